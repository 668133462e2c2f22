// The type-information model: type libraries with their types and members in the dispatch view (what a
// script can call), the readers behind one provider interface, and the cache of loaded libraries with the
// ProgID lookup that stands in for the system's component registry.
//
// Every record is read completely when its library loads; the cache never unloads a library, so pointers
// to libraries, types and members stay valid for the cache's lifetime. Names are compared without regard
// to ASCII case.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

class TypeLibrary;
class TypeEntry;

// Type kinds, as type libraries number them.
enum TypeKindCode : int {
    kTypeEnum = 0,
    kTypeRecord = 1,
    kTypeModule = 2,
    kTypeInterface = 3,
    kTypeDispatch = 4,
    kTypeCoclass = 5,
    kTypeAlias = 6,
    kTypeUnion = 7,
};

// Base type codes (VARTYPE values) the readers produce or follow.
enum VarTypeCode : std::uint16_t {
    kVtEmpty = 0,
    kVtI4 = 3,
    kVtBstr = 8,
    kVtDispatch = 9,
    kVtBool = 11,
    kVtVariant = 12,
    kVtUnknown = 13,
    kVtVoid = 24,
    kVtHresult = 25,
    kVtPtr = 26,
    kVtSafeArray = 27,
    kVtCArray = 28,
    kVtUserDefined = 29,
};

// The name shown for a base type code: "VT_EMPTY" ... "VT_LPWSTR" for 0-31, then "VT_RECORD" ...
// "VT_TYPEMASK" for 32-49 (by position, not those names' own VARTYPE values); "" from 50 on.
const char* VarTypeName(unsigned code);
// The code of a name from that table, or -1.
int VarTypeFromName(std::string_view name);

enum TypeMemberKind : int { kMemberMethod = 1, kMemberProperty = 2, kMemberParameter = 3 };
enum InvokeKind : int { kInvokeFunc = 1, kInvokePropertyGet = 2, kInvokePropertyPut = 4, kInvokePropertyPutRef = 8 };

// Member flags that hide a member from lists (function flags: restricted, hidden, non-browsable;
// variable flags: hidden, restricted, non-browsable).
constexpr std::uint16_t kFuncFlagRestricted = 0x1, kFuncFlagHidden = 0x40, kFuncFlagNonBrowsable = 0x400;
constexpr std::uint16_t kVarFlagHidden = 0x40, kVarFlagRestricted = 0x80, kVarFlagNonBrowsable = 0x400;
constexpr std::uint16_t kMethodHiddenMask = 0x441, kPropertyHiddenMask = 0x4C0;
// Parameter flags: optional, has a default value (both make the argument optional), return value.
constexpr std::uint32_t kParamFlagOptional = 0x10, kParamFlagHasDefault = 0x20, kParamFlagRetval = 0x8;
// Implemented-interface flags of a coclass.
constexpr int kImplTypeDefault = 0x1, kImplTypeSource = 0x2, kImplTypeRestricted = 0x4;

// A method, property or parameter: its name and type. typeName is the name of a user-defined type (the
// type's own name) or the table name of baseType.
class TypeMember {
public:
    TypeMember(int kind, std::string name, std::uint16_t baseType, std::string typeName)
        : kind(kind), name(std::move(name)), baseType(baseType), typeName(std::move(typeName)) {}
    virtual ~TypeMember() = default;
    // True for the member with member id 0 (the one a call on the object itself reaches).
    virtual bool IsDefaultMember() const { return false; }

    int kind;
    std::string name;
    std::uint16_t baseType;
    std::string typeName;
};

class TypeParameter : public TypeMember {
public:
    TypeParameter(std::string name, std::uint16_t baseType, std::string typeName, std::uint32_t flags = 0)
        : TypeMember(kMemberParameter, std::move(name), baseType, std::move(typeName)), flags(flags) {}
    bool Optional() const { return (flags & (kParamFlagOptional | kParamFlagHasDefault)) != 0; }

    std::uint32_t flags;
};

class MethodMember : public TypeMember {
public:
    MethodMember(std::string name, std::uint16_t baseType, std::string typeName)
        : TypeMember(kMemberMethod, std::move(name), baseType, std::move(typeName)) {}
    bool IsDefaultMember() const override { return memberId == 0; }
    bool Visible() const { return (flags & kMethodHiddenMask) == 0; }
    // Invoked as a function (not a property get or put).
    bool IsFunction() const { return invokeKind == kInvokeFunc; }

    std::int32_t memberId = -1;
    int invokeKind = kInvokeFunc;
    std::uint16_t flags = 0;
    std::vector<TypeParameter> parameters;
};

class PropertyMember : public TypeMember {
public:
    PropertyMember(std::string name, std::uint16_t baseType, std::string typeName)
        : TypeMember(kMemberProperty, std::move(name), baseType, std::move(typeName)) {}
    bool IsDefaultMember() const override { return memberId == 0; }
    bool Visible() const { return (flags & kPropertyHiddenMask) == 0; }

    std::int32_t memberId = -1;
    std::uint16_t flags = 0;
};

struct ImplementedInterface {
    const TypeEntry* type = nullptr;  // a type of the same library
    int flags = 0;                    // kImplType*
};

// One type of a library. A coclass has only implemented interfaces; other kinds have only members.
// Within each member list names are unique (a property with get and put functions is listed once).
class TypeEntry {
public:
    std::string name;
    std::string guid;  // "{...}" or empty
    int kind = kTypeDispatch;
    std::uint16_t typeFlags = 0;
    // Counts as the library declared them (before duplicates and unreadable records were dropped).
    int functionCount = 0, variableCount = 0, implementedCount = 0;
    std::vector<std::unique_ptr<MethodMember>> methods;
    std::vector<std::unique_ptr<PropertyMember>> properties;
    std::vector<ImplementedInterface> interfaces;  // coclass only, in the library's order
    const TypeLibrary* library = nullptr;

    // What a coclass stands for: its [default] interface that is not an event source, else its first
    // non-source interface, else its first; other types stand for themselves.
    const TypeEntry* DispatchType() const;
    // First of the property list (or method list) by name, then each implemented non-source interface
    // in order. nullptr when none.
    const PropertyMember* FindProperty(std::string_view name) const;
    const MethodMember* FindMethod(std::string_view name) const;
    // The first method with member id 0, then each implemented interface searched the same way, then
    // the first property with member id 0.
    const TypeMember* DefaultMember() const;
};

class TypeLibrary {
public:
    std::string name;    // as the library names itself
    std::string guid;
    std::string path;    // the file it was read from
    std::string format;  // "description", "binary" or "resource"
    std::vector<std::unique_ptr<TypeEntry>> types;  // the library's own order

    // The first type of that name; a coclass stands for its DispatchType(). nullptr when none.
    const TypeEntry* FindType(std::string_view typeName) const;
    // The type of that name as stored (a coclass stays a coclass).
    const TypeEntry* FindTypeExact(std::string_view typeName) const;
};

// Where a ProgID's coclass lives, as a component index tells.
struct ProgIdLocation {
    std::string library;  // the library's own name
    std::string coclass;
    std::string path;     // the file holding the library; empty when the index names no file for it
};

// The system side of type information: reading library files and locating a ProgID's library.
class TypeLibraryProvider {
public:
    virtual ~TypeLibraryProvider() = default;
    // Reads the library in a file; nullptr with a message in *error (when given) on failure.
    virtual std::unique_ptr<TypeLibrary> Load(const std::string& path, std::string* error) = 0;
    // The library and coclass a ProgID names. False when the ProgID is unknown to the provider.
    virtual bool LocateProgId(std::string_view progId, ProgIdLocation& out) = 0;
};

// The loaded libraries and every ProgID looked up so far.
class TypeLibraryCache {
public:
    explicit TypeLibraryCache(std::unique_ptr<TypeLibraryProvider> provider);
    ~TypeLibraryCache();
    TypeLibraryCache(const TypeLibraryCache&) = delete;
    TypeLibraryCache& operator=(const TypeLibraryCache&) = delete;

    // Reads the library in path and appends it. True when it is loaded now or was loaded from the same
    // file before (a file is never loaded twice). On failure the provider's message is kept in
    // LastError().
    bool LoadTypeLibraryFile(const std::string& path);
    // Loads the library the provider locates for a ProgID (unless that library is loaded already).
    // True when a library of the located name is loaded afterwards. A failure is remembered.
    bool LoadTypeLibraryForProgId(std::string_view progId);

    // The library of that name (first loaded wins), or nullptr.
    const TypeLibrary* FindLibrary(std::string_view libraryName) const;
    // FindType of the first library of that name.
    const TypeEntry* FindLibraryType(std::string_view libraryName, std::string_view typeName) const;
    // A type named by a ProgID ("ADODB.Recordset", "MSXML2.DOMDocument.6.0") or by a bare type name:
    // - no ".": the first type of that name in preferred (when given), then every library in load order;
    // - otherwise the library named before the first "." and the type named by the rest;
    // failing that, the component index (versioned and renamed ProgIDs, and classes such as "RegExp"
    // that a script creates with New), loading the library it names. What the index answers is
    // remembered, found or not, so a repeated lookup never asks the index or loads anything again.
    const TypeEntry* FindTypeByProgId(std::string_view text, const TypeLibrary* preferred = nullptr);
    // The VBScript global functions and constants: type "GlobalObj" of library "VBScript_Global".
    const TypeEntry* VbScriptGlobals() const;

    const std::vector<std::unique_ptr<TypeLibrary>>& Libraries() const { return libraries_; }
    // Dotted names looked up so far, and those that found nothing.
    size_t RememberedCount() const { return remembered_.size(); }
    bool HasFailed(std::string_view progId) const;
    const std::string& LastError() const { return lastError_; }

private:
    const TypeEntry* LocateAndLoad(std::string_view progId);

    std::unique_ptr<TypeLibraryProvider> provider_;
    std::vector<std::unique_ptr<TypeLibrary>> libraries_;
    std::map<std::string, const TypeEntry*> remembered_;  // upper-cased ProgID -> type or nullptr
    std::map<std::string, const TypeLibrary*> byPath_;     // files asked for or read -> library or nullptr
    std::string lastError_;
};

// Loads "asp.tlb" and then "vbscript.dll" from a type-library folder (the program's "TypeLibs"), as at
// start-up. Failures are silent: the features that need a library then find nothing.
void LoadStartupTypeLibraries(TypeLibraryCache& cache, const std::string& typeLibsFolder);

// Equal names ignoring ASCII case.
bool TypeNameEquals(std::string_view a, std::string_view b);

}  // namespace tarnwell
