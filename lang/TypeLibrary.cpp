// Type entries, libraries and the cache of loaded libraries.
#include "lang/TypeLibrary.h"

#include <filesystem>

#include "lang/AsciiCase.h"

namespace tarnwell {

namespace {

constexpr const char* kVarTypeNames[50] = {
    "VT_EMPTY", "VT_NULL", "VT_I2", "VT_I4", "VT_R4", "VT_R8", "VT_CY", "VT_DATE",
    "VT_BSTR", "VT_DISPATCH", "VT_ERROR", "VT_BOOL", "VT_VARIANT", "VT_UNKNOWN", "VT_DECIMAL", "VT_XXX",
    "VT_I1", "VT_UI1", "VT_UI2", "VT_UI4", "VT_I8", "VT_UI8", "VT_INT", "VT_UINT",
    "VT_VOID", "VT_HRESULT", "VT_PTR", "VT_SAFEARRAY", "VT_CARRAY", "VT_USERDEFINED", "VT_LPSTR", "VT_LPWSTR",
    "VT_RECORD", "VT_FILETIME", "VT_BLOB", "VT_STREAM", "VT_STORAGE", "VT_STREAMED_OBJECT", "VT_STORED_OBJECT",
    "VT_BLOB_OBJECT", "VT_CF", "VT_CLSID", "VT_BSTR_BLOB", "VT_VECTOR", "VT_ARRAY", "VT_BYREF", "VT_RESERVED",
    "VT_ILLEGAL", "VT_ILLEGALMASKED", "VT_TYPEMASK",
};

template <typename T>
const T* FindInList(const std::vector<std::unique_ptr<T>>& list, std::string_view name) {
    for (const auto& m : list)
        if (TypeNameEquals(m->name, name)) return m.get();
    return nullptr;
}

std::string PathKey(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(std::filesystem::path(path), ec);
    return ec ? path : p.string();
}

}  // namespace

const char* VarTypeName(unsigned code) { return code < 50 ? kVarTypeNames[code] : ""; }

int VarTypeFromName(std::string_view name) {
    for (int i = 0; i < 50; ++i)
        if (TypeNameEquals(kVarTypeNames[i], name)) return i;
    return -1;
}

bool TypeNameEquals(std::string_view a, std::string_view b) { return AsciiEqualsNoCase(a, b); }

const TypeEntry* TypeEntry::DispatchType() const {
    if (kind != kTypeCoclass || interfaces.empty()) return this;
    for (const auto& i : interfaces)
        if ((i.flags & kImplTypeDefault) && !(i.flags & kImplTypeSource)) return i.type;
    for (const auto& i : interfaces)
        if (!(i.flags & kImplTypeSource)) return i.type;
    return interfaces.front().type;
}

const PropertyMember* TypeEntry::FindProperty(std::string_view n) const {
    if (const PropertyMember* p = FindInList(properties, n)) return p;
    for (const auto& i : interfaces)
        if (!(i.flags & kImplTypeSource))
            if (const PropertyMember* p = FindInList(i.type->properties, n)) return p;
    return nullptr;
}

const MethodMember* TypeEntry::FindMethod(std::string_view n) const {
    if (const MethodMember* m = FindInList(methods, n)) return m;
    for (const auto& i : interfaces)
        if (!(i.flags & kImplTypeSource))
            if (const MethodMember* m = FindInList(i.type->methods, n)) return m;
    return nullptr;
}

const TypeMember* TypeEntry::DefaultMember() const {
    for (const auto& m : methods)
        if (m->memberId == 0) return m.get();
    for (const auto& i : interfaces)
        if (!(i.flags & kImplTypeSource))
            if (const TypeMember* m = i.type->DefaultMember()) return m;
    for (const auto& p : properties)
        if (p->memberId == 0) return p.get();
    return nullptr;
}

const TypeEntry* TypeLibrary::FindTypeExact(std::string_view typeName) const {
    for (const auto& t : types)
        if (TypeNameEquals(t->name, typeName)) return t.get();
    return nullptr;
}

const TypeEntry* TypeLibrary::FindType(std::string_view typeName) const {
    const TypeEntry* t = FindTypeExact(typeName);
    return t ? t->DispatchType() : nullptr;
}

TypeLibraryCache::TypeLibraryCache(std::unique_ptr<TypeLibraryProvider> provider) : provider_(std::move(provider)) {}
TypeLibraryCache::~TypeLibraryCache() = default;

bool TypeLibraryCache::LoadTypeLibraryFile(const std::string& path) {
    if (!provider_ || path.empty()) return false;
    const std::string key = PathKey(path);
    if (auto it = byPath_.find(key); it != byPath_.end()) return it->second != nullptr;
    std::string error;
    std::unique_ptr<TypeLibrary> lib = provider_->Load(path, &error);
    if (!lib) {
        lastError_ = error.empty() ? "cannot read \"" + path + "\"" : error;
        byPath_.emplace(key, nullptr);
        return false;
    }
    // A provider may read a stand-in file for the path asked for: both paths name this library now.
    if (lib->path.empty()) lib->path = path;
    const std::string actualKey = PathKey(lib->path);
    if (auto it = byPath_.find(actualKey); it != byPath_.end() && it->second) {
        byPath_[key] = it->second;
        return true;
    }
    libraries_.push_back(std::move(lib));
    byPath_[key] = byPath_[actualKey] = libraries_.back().get();
    return true;
}

const TypeLibrary* TypeLibraryCache::FindLibrary(std::string_view libraryName) const {
    for (const auto& lib : libraries_)
        if (TypeNameEquals(lib->name, libraryName)) return lib.get();
    return nullptr;
}

const TypeEntry* TypeLibraryCache::FindLibraryType(std::string_view libraryName, std::string_view typeName) const {
    const TypeLibrary* lib = FindLibrary(libraryName);
    return lib ? lib->FindType(typeName) : nullptr;
}

const TypeEntry* TypeLibraryCache::LocateAndLoad(std::string_view progId) {
    if (!provider_) return nullptr;
    ProgIdLocation where;
    if (!provider_->LocateProgId(progId, where)) return nullptr;
    if (!FindLibrary(where.library) && !where.path.empty()) LoadTypeLibraryFile(where.path);
    return FindLibraryType(where.library, where.coclass);
}

bool TypeLibraryCache::LoadTypeLibraryForProgId(std::string_view progId) {
    const std::string key = AsciiUpperCopy(progId);
    auto it = remembered_.find(key);
    if (it != remembered_.end()) return it->second != nullptr;
    const TypeEntry* found = LocateAndLoad(progId);
    remembered_.emplace(key, found);
    return found != nullptr;
}

const TypeEntry* TypeLibraryCache::FindTypeByProgId(std::string_view text, const TypeLibrary* preferred) {
    if (text.empty()) return nullptr;
    const size_t dot = text.find('.');
    if (dot == std::string_view::npos) {
        if (preferred)
            if (const TypeEntry* t = preferred->FindType(text)) return t;
        for (const auto& lib : libraries_)
            if (const TypeEntry* t = lib->FindType(text)) return t;
    }
    const std::string key = AsciiUpperCopy(text);
    if (auto it = remembered_.find(key); it != remembered_.end()) return it->second;
    const TypeEntry* found = dot == std::string_view::npos ? nullptr : FindLibraryType(text.substr(0, dot), text.substr(dot + 1));
    if (!found) found = LocateAndLoad(text);
    remembered_.emplace(key, found);
    return found;
}

bool TypeLibraryCache::HasFailed(std::string_view progId) const {
    auto it = remembered_.find(AsciiUpperCopy(progId));
    return it != remembered_.end() && it->second == nullptr;
}

const TypeEntry* TypeLibraryCache::VbScriptGlobals() const { return FindLibraryType("VBScript_Global", "GlobalObj"); }

void LoadStartupTypeLibraries(TypeLibraryCache& cache, const std::string& typeLibsFolder) {
    const std::filesystem::path folder(typeLibsFolder);
    cache.LoadTypeLibraryFile((folder / "asp.tlb").string());
    cache.LoadTypeLibraryFile((folder / "vbscript.dll").string());
}

}  // namespace tarnwell
