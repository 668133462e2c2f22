// The reader of binary type libraries: ".tlb" files in the "MSFT" layout, and the "TYPELIB" resource of a
// PE image (".dll", ".ocx", ".exe"). Every byte is treated as hostile: each offset is checked against the
// data, reference chains and base-interface chains have depth limits, and a file whose structure does not
// hold together is refused with a message instead of being half-read.
//
// What is read: the library's name and GUID; each type's name, GUID, kind and flags; each function's name,
// member id, invoke kind, flags, return type and named parameters (with their optional flags); each
// variable's name, member id, flags and type; each coclass's implemented interfaces with their flags.
// Interfaces are shown in their dispatch view: inherited members of base interfaces in the same library
// come first, an HRESULT function returns the type of its [retval] parameter (or nothing), and [retval]
// and [lcid] parameters are not listed.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "lang/TypeLibrary.h"

namespace tarnwell {

// True when the bytes start like a binary type library or a PE image (what ReadBinaryTypeLibrary takes).
bool LooksLikeBinaryTypeLibrary(std::string_view bytes);

// Reads a type library from the bytes of a ".tlb" file or of a PE image holding a "TYPELIB" resource
// (the first one, by resource id). nullptr with a message in *error when the data is not a supported
// type library or is damaged.
std::unique_ptr<TypeLibrary> ReadBinaryTypeLibrary(std::string_view bytes, const std::string& path, std::string* error);

// The bytes of the first "TYPELIB" resource of a PE image; false with a message when there is none.
bool FindTypeLibraryResource(std::string_view image, std::string_view& resource, std::string* error);

}  // namespace tarnwell
