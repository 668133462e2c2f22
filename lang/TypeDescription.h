// The reader of type-library descriptions: plain-text files, shipped in the "TypeLibs" folder, that state a
// library's types and members in the dispatch view. The format, one statement per line:
//
//   # a comment runs to the end of the line; blank lines and indentation carry no meaning
//   library ASPTypeLibrary {D97A6DA0-A85C-11CF-83AE-00A0C90C2BD8}     first statement, exactly once
//   coclass Request {920C25D0-25D9-11D0-A55F-00A0C90C2091}          a type: enum record module interface
//     implements IRequest default                                   dispatch coclass alias union, name,
//     implements IRequestEvents source                              optional GUID
//   dispatch IRequest
//     inherits IBase                    copies the members the named (earlier) type has at this point
//     get Item(bstrVar?) : IRequestDictionary id=0
//     method BinaryRead(pvarCountToRead) : VT_VARIANT
//     put Buffer(fIsBuffering : VT_BOOL)
//     var ScriptTimeout : VT_I4 hidden
//
// Members: "method", "get", "put", "putref" (functions by invoke kind) and "var" (a property record),
// then the name, an optional parameter list, an optional ": TYPE" (default VT_VOID for a method, else
// VT_VARIANT) and attributes: "id=N" (decimal or 0x hex; otherwise ids count up from 1 per type),
// "default" (id 0), "hidden", "restricted", "nonbrowsable". A parameter is a name, "?" when optional,
// and an optional ": TYPE" (default VT_VARIANT). A TYPE is a base type name ("VT_BSTR") or the name of
// a user-defined type. Names are made of letters, digits and "_". Within a type a second member of the
// same name in the same list is dropped (a get/put pair is one property).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "lang/TypeLibrary.h"

namespace tarnwell {

// Reads a whole description. On any error (a damaged or foreign file) returns nullptr and puts
// "line N: what" in *error; nothing is half-read.
std::unique_ptr<TypeLibrary> ReadTypeDescription(std::string_view text, const std::string& path, std::string* error);

// The name of the "library" statement that a description starts with, or "" when the text does not
// start like a description (used to index a folder without reading every file completely).
std::string PeekTypeDescriptionName(std::string_view text);

}  // namespace tarnwell
