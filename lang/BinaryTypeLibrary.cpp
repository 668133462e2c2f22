// Binary type-library reader ("MSFT" layout) and the PE resource lookup.
//
// Layout, all integers little-endian:
//   header (0x54 bytes): magic "MSFT", 0x00010002, library GUID offset, ..., flags word at 0x14 (0x100: a
//     help DLL name follows the header), type count at 0x20, library name offset at 0x38;
//   then one 32-bit word per type, then the segment directory: 15 x (offset, length, -1, 0x0F) for the
//     type table, import table, import files, reference table, GUID hash, GUIDs, name hash, names,
//     strings, type descriptions, array descriptions, custom data, custom-data GUIDs and two unused ones;
//   type table: 0x64 bytes per type (kind in the low 4 bits of word 0, member data offset at 4, function
//     count in the low and variable count in the high half of the word at 0x18, GUID offset at 0x2C,
//     flags at 0x30, name offset at 0x34, implemented-type count at 0x4C, first reference at 0x54);
//   member data of a type: a length L, L bytes of function then variable records, then member ids, name
//     offsets and record offsets, one word per member each;
//   names: 12 bytes (type reference, hash link, length in the low byte) then the characters;
//   type descriptions: 8 bytes (VARTYPE, unused, then either a base VARTYPE with -1, an offset of the next
//     description with 0, or a type reference in two halves); a negative type word is a base VARTYPE;
//   type references: even = offset of a type in the type table, odd = an imported type.
#include "lang/BinaryTypeLibrary.h"

#include <cstring>
#include <set>
#include <vector>

namespace tarnwell {

namespace {

constexpr std::uint32_t kMagicMsft = 0x5446534D;  // "MSFT"
constexpr std::uint32_t kMagicSltg = 0x47544C53;  // "SLTG"
constexpr size_t kHeaderSize = 0x54;
constexpr size_t kTypeInfoSize = 0x64;
constexpr int kSegmentCount = 15;
constexpr int kMaxTypeDepth = 16;   // pointer levels and description chains
constexpr int kMaxBaseDepth = 32;   // base interfaces
constexpr int kMaxImplTypes = 1024;
constexpr std::uint16_t kVtTypeMask = 0xFFF;
constexpr std::uint32_t kParamFlagLcid = 0x4;

enum Segment { kSegTypeInfo = 0, kSegImpInfo = 1, kSegRefTab = 3, kSegGuidTab = 5, kSegNameTab = 7, kSegTypeDesc = 9 };

// Bounds-checked little-endian reads over the whole data.
class Bytes {
public:
    explicit Bytes(std::string_view b) : b_(b) {}
    size_t Size() const { return b_.size(); }
    bool Has(std::uint64_t off, std::uint64_t len) const { return off <= b_.size() && len <= b_.size() - off; }
    bool U8(std::uint64_t off, std::uint8_t& v) const {
        if (!Has(off, 1)) return false;
        v = static_cast<std::uint8_t>(b_[off]);
        return true;
    }
    bool U16(std::uint64_t off, std::uint16_t& v) const {
        if (!Has(off, 2)) return false;
        v = static_cast<std::uint16_t>(Byte(off) | (Byte(off + 1) << 8));
        return true;
    }
    bool U32(std::uint64_t off, std::uint32_t& v) const {
        if (!Has(off, 4)) return false;
        v = Byte(off) | (Byte(off + 1) << 8) | (Byte(off + 2) << 16) | (static_cast<std::uint32_t>(Byte(off + 3)) << 24);
        return true;
    }
    bool I32(std::uint64_t off, std::int32_t& v) const {
        std::uint32_t u;
        if (!U32(off, u)) return false;
        v = static_cast<std::int32_t>(u);
        return true;
    }
    bool I16(std::uint64_t off, std::int16_t& v) const {
        std::uint16_t u;
        if (!U16(off, u)) return false;
        v = static_cast<std::int16_t>(u);
        return true;
    }
    std::string_view Sub(std::uint64_t off, std::uint64_t len) const { return Has(off, len) ? b_.substr(off, len) : std::string_view(); }

private:
    std::uint32_t Byte(std::uint64_t off) const { return static_cast<unsigned char>(b_[off]); }
    std::string_view b_;
};

struct Seg {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;  // 0 when absent
    bool Contains(std::uint64_t off, std::uint64_t len) const { return off <= length && len <= length - off; }
};

std::string FormatGuid(std::string_view g) {
    static const char hex[] = "0123456789ABCDEF";
    auto byte = [&](int i) { return static_cast<unsigned char>(g[static_cast<size_t>(i)]); };
    std::string out = "{";
    auto put = [&](int i) {
        out.push_back(hex[byte(i) >> 4]);
        out.push_back(hex[byte(i) & 15]);
    };
    for (int i = 3; i >= 0; --i) put(i);
    out += '-';
    put(5);
    put(4);
    out += '-';
    put(7);
    put(6);
    out += '-';
    put(8);
    put(9);
    out += '-';
    for (int i = 10; i < 16; ++i) put(i);
    out += '}';
    return out;
}

struct RawType {
    std::int32_t memOffset = -1;
    int cFuncs = 0, cVars = 0;
    int cImplTypes = 0;
    std::int32_t datatype1 = -1;
};

class MsftReader {
public:
    MsftReader(std::string_view bytes, std::string path, std::string format)
        : d_(bytes), path_(std::move(path)), format_(std::move(format)) {}

    std::unique_ptr<TypeLibrary> Read(std::string* error) {
        auto lib = ReadLibrary();
        if (!lib && error) *error = error_;
        return lib;
    }

private:
    bool Fail(std::string what) {
        if (error_.empty()) error_ = std::move(what);
        return false;
    }

    std::unique_ptr<TypeLibrary> ReadLibrary() {
        std::uint32_t magic1 = 0, magic2 = 0, varflags = 0, libGuid = 0, nameOffset = 0, count = 0;
        if (!d_.U32(0, magic1) || !d_.U32(4, magic2) || magic1 != kMagicMsft || magic2 != 0x00010002 ||
            !d_.Has(0, kHeaderSize)) {
            Fail("not a type library (bad header)");
            return nullptr;
        }
        d_.U32(0x08, libGuid);
        d_.U32(0x14, varflags);
        d_.U32(0x20, count);
        d_.U32(0x38, nameOffset);
        if (count > 0xFFFF) {
            Fail("damaged type library: type count out of range");
            return nullptr;
        }
        typeCount_ = static_cast<int>(count);
        const std::uint64_t segDir = kHeaderSize + std::uint64_t(count) * 4 + ((varflags & 0x100) ? 4 : 0);
        for (int i = 0; i < kSegmentCount; ++i) {
            std::int32_t off = 0, len = 0, res0c = 0;
            const std::uint64_t at = segDir + std::uint64_t(i) * 16;
            if (!d_.I32(at, off) || !d_.I32(at + 4, len) || !d_.I32(at + 12, res0c)) {
                Fail("damaged type library: truncated segment directory");
                return nullptr;
            }
            if ((i == kSegTypeInfo || i == kSegImpInfo) && res0c != 0x0F) {
                Fail("damaged type library: no segment directory");
                return nullptr;
            }
            if (len <= 0 || off < 0) continue;
            if (!d_.Has(std::uint64_t(off), std::uint64_t(len))) {
                Fail("damaged type library: segment " + std::to_string(i) + " lies outside the file");
                return nullptr;
            }
            segs_[i] = {std::uint64_t(off), std::uint64_t(len)};
        }
        if (!segs_[kSegTypeInfo].Contains(0, std::uint64_t(typeCount_) * kTypeInfoSize)) {
            Fail("damaged type library: type table too short");
            return nullptr;
        }
        auto lib = std::make_unique<TypeLibrary>();
        lib->path = path_;
        lib->format = format_;
        if (!Name(static_cast<std::int32_t>(nameOffset), lib->name) || lib->name.empty()) {
            Fail("damaged type library: no library name");
            return nullptr;
        }
        lib->guid = Guid(static_cast<std::int32_t>(libGuid));

        raw_.resize(static_cast<size_t>(typeCount_));
        names_.resize(static_cast<size_t>(typeCount_));
        for (int i = 0; i < typeCount_; ++i) ReadTypeHeader(i);

        std::vector<TypeEntry*> byIndex(static_cast<size_t>(typeCount_), nullptr);
        for (int i = 0; i < typeCount_; ++i) {
            if (names_[static_cast<size_t>(i)].empty()) continue;  // unreadable: that one record is dropped
            auto t = std::make_unique<TypeEntry>();
            FillType(i, *t);
            t->library = lib.get();
            byIndex[static_cast<size_t>(i)] = t.get();
            lib->types.push_back(std::move(t));
        }
        for (int i = 0; i < typeCount_; ++i)
            if (TypeEntry* t = byIndex[static_cast<size_t>(i)]) {
                if (t->kind == kTypeCoclass) LinkImplementedTypes(i, *t, byIndex);
            }
        // Flatten base interfaces: each interface gets its bases' members first (own ones after).
        std::vector<std::vector<std::unique_ptr<MethodMember>>> ownMethods(byIndex.size());
        std::vector<std::vector<std::unique_ptr<PropertyMember>>> ownProps(byIndex.size());
        for (size_t i = 0; i < byIndex.size(); ++i)
            if (byIndex[i]) {
                ownMethods[i] = std::move(byIndex[i]->methods);
                ownProps[i] = std::move(byIndex[i]->properties);
            }
        for (size_t i = 0; i < byIndex.size(); ++i) {
            TypeEntry* t = byIndex[i];
            if (!t || (t->kind != kTypeInterface && t->kind != kTypeDispatch)) {
                if (t) {
                    t->methods = std::move(ownMethods[i]);
                    t->properties = std::move(ownProps[i]);
                }
                continue;
            }
            std::vector<int> chain;  // bases from the outermost in, then the type itself
            std::set<int> seen{static_cast<int>(i)};
            for (int at = static_cast<int>(i), depth = 0; depth < kMaxBaseDepth; ++depth) {
                int base = InternalIndex(raw_[static_cast<size_t>(at)].datatype1);
                if (base < 0 || !byIndex[static_cast<size_t>(base)] || !seen.insert(base).second) break;
                chain.insert(chain.begin(), base);
                at = base;
            }
            for (int b : chain) {
                for (const auto& m : ownMethods[static_cast<size_t>(b)]) AddUnique(t->methods, std::make_unique<MethodMember>(*m));
                for (const auto& p : ownProps[static_cast<size_t>(b)]) AddUnique(t->properties, std::make_unique<PropertyMember>(*p));
            }
            // Copies: another interface may be based on this one and read its own members later.
            for (auto& m : ownMethods[i]) AddUnique(t->methods, std::make_unique<MethodMember>(*m));
            for (auto& p : ownProps[i]) AddUnique(t->properties, std::make_unique<PropertyMember>(*p));
        }
        return lib;
    }

    template <typename T>
    static void AddUnique(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T> m) {
        for (const auto& have : list)
            if (TypeNameEquals(have->name, m->name)) return;
        list.push_back(std::move(m));
    }

    bool Name(std::int32_t offset, std::string& out) const {
        const Seg& s = segs_[kSegNameTab];
        if (offset < 0 || !s.Contains(std::uint64_t(offset), 12)) return false;
        std::uint32_t len = 0;
        d_.U32(s.offset + std::uint64_t(offset) + 8, len);
        len &= 0xFF;
        if (!s.Contains(std::uint64_t(offset) + 12, len)) return false;
        out = std::string(d_.Sub(s.offset + std::uint64_t(offset) + 12, len));
        return true;
    }

    std::string Guid(std::int32_t offset) const {
        const Seg& s = segs_[kSegGuidTab];
        if (offset < 0 || !s.Contains(std::uint64_t(offset), 16)) return {};
        return FormatGuid(d_.Sub(s.offset + std::uint64_t(offset), 16));
    }

    std::uint64_t TypeInfoAt(int index) const { return segs_[kSegTypeInfo].offset + std::uint64_t(index) * kTypeInfoSize; }

    // The index of the type an even (internal) reference names, or -1.
    int InternalIndex(std::int32_t href) const {
        if (href < 0 || (href & 3) != 0 || href % static_cast<std::int32_t>(kTypeInfoSize) != 0) return -1;
        const std::int32_t index = href / static_cast<std::int32_t>(kTypeInfoSize);
        return index < typeCount_ ? index : -1;
    }

    void ReadTypeHeader(int i) {
        const std::uint64_t at = TypeInfoAt(i);
        RawType& r = raw_[static_cast<size_t>(i)];
        std::uint32_t cElement = 0;
        std::int16_t cImpl = 0;
        std::int32_t nameOffset = -1;
        d_.I32(at + 4, r.memOffset);
        d_.U32(at + 0x18, cElement);
        d_.I16(at + 0x4C, cImpl);
        d_.I32(at + 0x54, r.datatype1);
        d_.I32(at + 0x34, nameOffset);
        r.cFuncs = static_cast<int>(cElement & 0xFFFF);
        r.cVars = static_cast<int>(cElement >> 16);
        r.cImplTypes = cImpl < 0 ? 0 : cImpl;
        std::string name;
        if (Name(nameOffset, name)) names_[static_cast<size_t>(i)] = name;
    }

    void FillType(int i, TypeEntry& t) {
        const std::uint64_t at = TypeInfoAt(i);
        const RawType& r = raw_[static_cast<size_t>(i)];
        std::uint32_t kind = 0, flags = 0;
        std::int32_t guid = -1;
        d_.U32(at, kind);
        d_.U32(at + 0x30, flags);
        d_.I32(at + 0x2C, guid);
        t.name = names_[static_cast<size_t>(i)];
        t.kind = static_cast<int>(kind & 0xF);
        t.typeFlags = static_cast<std::uint16_t>(flags);
        t.guid = Guid(guid);
        t.functionCount = r.cFuncs;
        t.variableCount = r.cVars;
        t.implementedCount = r.cImplTypes;
        if (t.kind != kTypeCoclass) ReadMembers(r, t);
    }

    // Resolves a type word to a base code and a name: pointers are followed to their base; a
    // user-defined type is named by the type it references.
    void TypeOf(std::int32_t word, std::uint16_t& code, std::string& name, int depth = 0) const {
        code = kVtEmpty;
        name.clear();
        if (depth > kMaxTypeDepth) return;
        if (word < 0) {
            code = static_cast<std::uint16_t>(word & kVtTypeMask);
            name = VarTypeName(code);
            return;
        }
        const Seg& s = segs_[kSegTypeDesc];
        std::uint16_t vt = 0, td2 = 0;
        std::int16_t td3 = 0;
        if (!s.Contains(std::uint64_t(word), 8)) return;
        d_.U16(s.offset + std::uint64_t(word), vt);
        d_.U16(s.offset + std::uint64_t(word) + 4, td2);
        d_.I16(s.offset + std::uint64_t(word) + 6, td3);
        vt &= kVtTypeMask;
        if (vt == kVtPtr) {
            if (td3 < 0) {
                code = static_cast<std::uint16_t>(td2 & kVtTypeMask);
                name = VarTypeName(code);
            } else {
                TypeOf(td2, code, name, depth + 1);
            }
            return;
        }
        code = vt;
        if (vt == kVtUserDefined) {
            const std::int32_t href = static_cast<std::int32_t>(std::uint32_t(td2) | (std::uint32_t(std::uint16_t(td3)) << 16));
            int index = InternalIndex(href);
            if (index >= 0) name = names_[static_cast<size_t>(index)];
            return;  // an imported type keeps an empty name: its library is not at hand
        }
        name = VarTypeName(vt);
    }

    void ReadMembers(const RawType& r, TypeEntry& t) {
        const int total = r.cFuncs + r.cVars;
        if (total == 0 || r.memOffset < 0) return;
        std::int32_t infoLen = 0;
        const std::uint64_t base = std::uint64_t(r.memOffset);
        if (!d_.I32(base, infoLen) || infoLen < 0 || !d_.Has(base + 4, std::uint64_t(infoLen))) return;
        const std::uint64_t recEnd = base + 4 + std::uint64_t(infoLen);
        const std::uint64_t ids = recEnd, nameOffs = recEnd + std::uint64_t(total) * 4;
        std::uint64_t rec = base + 4;
        std::string previousName;
        int previousInvoke = 0;
        for (int i = 0; i < total; ++i) {
            std::uint16_t recLen = 0;
            if (!d_.U16(rec, recLen) || recLen < 20 || rec + recLen > recEnd) return;  // the rest is unreadable
            std::int32_t memberId = -1, nameOffset = -1;
            const bool isFunc = i < r.cFuncs;
            // Ids and name offsets: one word per member, functions first, then variables.
            if (!d_.I32(ids + std::uint64_t(i) * 4, memberId) || !d_.I32(nameOffs + std::uint64_t(i) * 4, nameOffset)) return;
            if (isFunc) {
                if (recLen >= 24) ReadFunction(rec, recLen, memberId, nameOffset, previousName, previousInvoke, t);
            } else {
                ReadVariable(rec, memberId, nameOffset, t);
            }
            rec += recLen;
        }
    }

    void ReadFunction(std::uint64_t rec, std::uint16_t recLen, std::int32_t memberId, std::int32_t nameOffset,
                      std::string& previousName, int& previousInvoke, TypeEntry& t) {
        std::int32_t dataType = 0;
        std::uint32_t flags = 0, fkccic = 0;
        std::int16_t nArgs = 0;
        d_.I32(rec + 4, dataType);
        d_.U32(rec + 8, flags);
        d_.U32(rec + 16, fkccic);
        d_.I16(rec + 20, nArgs);
        const int invoke = static_cast<int>((fkccic >> 3) & 0xF);
        auto isProp = [](int k) { return k == kInvokePropertyGet || k == kInvokePropertyPut || k == kInvokePropertyPutRef; };
        std::string name;
        if (!Name(nameOffset, name)) {
            // The second function of a get/put pair may leave its name out.
            if (nameOffset == -1 && isProp(invoke) && isProp(previousInvoke)) name = previousName;
        }
        previousName = name;
        previousInvoke = invoke;
        const std::uint64_t paramBytes = nArgs < 0 ? 0 : std::uint64_t(nArgs) * 12;
        const std::uint64_t defaultBytes = (fkccic & 0x1000) && nArgs > 0 ? std::uint64_t(nArgs) * 4 : 0;
        if (name.empty() || nArgs < 0 || 24 + paramBytes + defaultBytes > recLen) return;  // this record is dropped

        std::uint16_t code;
        std::string typeName;
        TypeOf(dataType, code, typeName);
        auto m = std::make_unique<MethodMember>(name, code, typeName);
        m->memberId = memberId;
        m->invokeKind = invoke == 0 ? kInvokeFunc : invoke;
        m->flags = static_cast<std::uint16_t>(flags & 0xFFFF);
        const std::uint64_t params = rec + recLen - paramBytes;
        for (int j = 0; j < nArgs; ++j) {
            std::int32_t pType = 0, pName = -1;
            std::uint32_t pFlags = 0;
            d_.I32(params + std::uint64_t(j) * 12, pType);
            d_.I32(params + std::uint64_t(j) * 12 + 4, pName);
            d_.U32(params + std::uint64_t(j) * 12 + 8, pFlags);
            std::string paramName;
            Name(pName, paramName);
            std::uint16_t pCode;
            std::string pTypeName;
            TypeOf(pType, pCode, pTypeName);
            m->parameters.emplace_back(std::move(paramName), pCode, std::move(pTypeName), pFlags);
        }
        // The dispatch view of an interface function: the [retval] parameter is the result, an HRESULT
        // result alone is nothing, and an [lcid] argument is supplied by the caller's runtime.
        if (m->baseType == kVtHresult) {
            if (!m->parameters.empty() && (m->parameters.back().flags & kParamFlagRetval)) {
                m->baseType = m->parameters.back().baseType;
                m->typeName = m->parameters.back().typeName;
                m->parameters.pop_back();
            } else {
                m->baseType = kVtVoid;
                m->typeName = VarTypeName(kVtVoid);
            }
        }
        std::erase_if(m->parameters, [](const TypeParameter& p) { return (p.flags & (kParamFlagRetval | kParamFlagLcid)) != 0; });
        AddUnique(t.methods, std::move(m));
    }

    void ReadVariable(std::uint64_t rec, std::int32_t memberId, std::int32_t nameOffset, TypeEntry& t) {
        std::int32_t dataType = 0;
        std::uint32_t flags = 0;
        std::string name;
        if (!Name(nameOffset, name) || name.empty()) return;
        d_.I32(rec + 4, dataType);
        d_.U32(rec + 8, flags);
        std::uint16_t code;
        std::string typeName;
        TypeOf(dataType, code, typeName);
        auto p = std::make_unique<PropertyMember>(name, code, typeName);
        p->memberId = memberId;
        p->flags = static_cast<std::uint16_t>(flags & 0xFFFF);
        AddUnique(t.properties, std::move(p));
    }

    void LinkImplementedTypes(int i, TypeEntry& t, const std::vector<TypeEntry*>& byIndex) {
        const Seg& s = segs_[kSegRefTab];
        std::int32_t ref = raw_[static_cast<size_t>(i)].datatype1;
        const int limit = std::min(raw_[static_cast<size_t>(i)].cImplTypes, kMaxImplTypes);
        for (int n = 0; n < limit && ref >= 0 && s.Contains(std::uint64_t(ref), 16); ++n) {
            std::int32_t refType = -1, flags = 0, next = -1;
            d_.I32(s.offset + std::uint64_t(ref), refType);
            d_.I32(s.offset + std::uint64_t(ref) + 4, flags);
            d_.I32(s.offset + std::uint64_t(ref) + 12, next);
            const int index = InternalIndex(refType);
            if (index >= 0 && index != i && byIndex[static_cast<size_t>(index)] &&
                byIndex[static_cast<size_t>(index)]->kind != kTypeCoclass)
                t.interfaces.push_back({byIndex[static_cast<size_t>(index)], flags});
            if (next <= ref) break;  // the chain only runs forward, so it cannot loop
            ref = next;
        }
    }

    Bytes d_;
    std::string path_, format_;
    std::string error_;
    Seg segs_[kSegmentCount];
    int typeCount_ = 0;
    std::vector<RawType> raw_;
    std::vector<std::string> names_;
};

bool RvaToOffset(const Bytes& d, std::uint64_t sections, int count, std::uint32_t rva, std::uint64_t& out) {
    for (int i = 0; i < count; ++i) {
        const std::uint64_t s = sections + std::uint64_t(i) * 40;
        std::uint32_t vsize = 0, va = 0, rawSize = 0, rawPtr = 0;
        if (!d.U32(s + 8, vsize) || !d.U32(s + 12, va) || !d.U32(s + 16, rawSize) || !d.U32(s + 20, rawPtr)) return false;
        const std::uint64_t span = std::max(vsize, rawSize);
        if (rva >= va && std::uint64_t(rva) < std::uint64_t(va) + span) {
            const std::uint64_t delta = rva - va;
            if (delta >= rawSize) return false;
            out = std::uint64_t(rawPtr) + delta;
            return true;
        }
    }
    return false;
}

bool ResourceNameIs(const Bytes& d, std::uint64_t root, std::uint32_t nameField, const char* want) {
    const std::uint64_t at = root + (nameField & 0x7FFFFFFF);
    std::uint16_t len = 0;
    if (!d.U16(at, len) || len != std::strlen(want)) return false;
    for (std::uint16_t i = 0; i < len; ++i) {
        std::uint16_t c = 0;
        if (!d.U16(at + 2 + std::uint64_t(i) * 2, c)) return false;
        if (c >= 'a' && c <= 'z') c = static_cast<std::uint16_t>(c - 'a' + 'A');
        if (c != static_cast<unsigned char>(want[i])) return false;
    }
    return true;
}

}  // namespace

bool LooksLikeBinaryTypeLibrary(std::string_view bytes) {
    return bytes.size() >= 4 && (bytes.substr(0, 4) == "MSFT" || bytes.substr(0, 4) == "SLTG" || bytes.substr(0, 2) == "MZ");
}

bool FindTypeLibraryResource(std::string_view image, std::string_view& resource, std::string* error) {
    const Bytes d(image);
    auto fail = [&](const char* what) {
        if (error) *error = what;
        return false;
    };
    std::uint32_t peOffset = 0, peMagic = 0;
    if (image.substr(0, 2) != "MZ" || !d.U32(0x3C, peOffset) || !d.U32(peOffset, peMagic) || peMagic != 0x00004550)
        return fail("not a PE image");
    const std::uint64_t coff = std::uint64_t(peOffset) + 4;
    std::uint16_t sectionCount = 0, optSize = 0, optMagic = 0;
    if (!d.U16(coff + 2, sectionCount) || !d.U16(coff + 16, optSize) || !d.U16(coff + 20, optMagic))
        return fail("damaged PE image: truncated header");
    const std::uint64_t opt = coff + 20;
    std::uint64_t dirs = 0, countAt = 0;
    if (optMagic == 0x10B) {
        dirs = opt + 96;
        countAt = opt + 92;
    } else if (optMagic == 0x20B) {
        dirs = opt + 112;
        countAt = opt + 108;
    } else {
        return fail("damaged PE image: unknown optional header");
    }
    std::uint32_t dirCount = 0, rsrcRva = 0, rsrcSize = 0;
    if (!d.U32(countAt, dirCount) || dirCount < 3 || !d.U32(dirs + 16, rsrcRva) || !d.U32(dirs + 20, rsrcSize) || rsrcRva == 0)
        return fail("the PE image has no resources");
    const std::uint64_t sections = opt + optSize;
    std::uint64_t root = 0;
    if (!RvaToOffset(d, sections, sectionCount, rsrcRva, root)) return fail("damaged PE image: resources lie outside the file");

    // Three levels: type ("TYPELIB"), id (the lowest, normally 1), language (the first).
    std::uint64_t dir = root;
    std::uint32_t dataEntry = 0;
    for (int level = 0; level < 3; ++level) {
        std::uint16_t named = 0, ids = 0;
        if (!d.U16(dir + 12, named) || !d.U16(dir + 14, ids)) return fail("damaged PE image: bad resource directory");
        const int entries = named + ids;
        bool found = false;
        std::uint32_t chosen = 0, bestId = 0xFFFFFFFF;
        for (int e = 0; e < entries && e < 4096; ++e) {
            std::uint32_t nameField = 0, target = 0;
            if (!d.U32(dir + 16 + std::uint64_t(e) * 8, nameField) || !d.U32(dir + 20 + std::uint64_t(e) * 8, target))
                return fail("damaged PE image: bad resource directory");
            if (level == 0) {
                if ((nameField & 0x80000000) && ResourceNameIs(d, root, nameField, "TYPELIB")) {
                    chosen = target;
                    found = true;
                    break;
                }
            } else if (level == 1) {
                const std::uint32_t id = (nameField & 0x80000000) ? 0xFFFFFFFE : nameField;
                if (!found || id < bestId) {
                    bestId = id;
                    chosen = target;
                    found = true;
                }
            } else {
                chosen = target;
                found = true;
                break;
            }
        }
        if (!found) return fail("the PE image holds no type library");
        const bool isDir = (chosen & 0x80000000) != 0;
        if (level < 2 && !isDir) return fail("damaged PE image: bad resource directory");
        if (level < 2) {
            dir = root + (chosen & 0x7FFFFFFF);
            if (dir == root && level > 0) return fail("damaged PE image: resource directory loops");
        } else {
            if (isDir) return fail("damaged PE image: bad resource directory");
            dataEntry = chosen;
        }
    }
    std::uint32_t dataRva = 0, dataSize = 0;
    std::uint64_t dataOffset = 0;
    if (!d.U32(root + dataEntry, dataRva) || !d.U32(root + dataEntry + 4, dataSize) ||
        !RvaToOffset(d, sections, sectionCount, dataRva, dataOffset) || !d.Has(dataOffset, dataSize))
        return fail("damaged PE image: the type library lies outside the file");
    resource = image.substr(dataOffset, dataSize);
    return true;
}

std::unique_ptr<TypeLibrary> ReadBinaryTypeLibrary(std::string_view bytes, const std::string& path, std::string* error) {
    std::string format = "binary";
    if (bytes.substr(0, 2) == "MZ") {
        std::string_view resource;
        if (!FindTypeLibraryResource(bytes, resource, error)) return nullptr;
        bytes = resource;
        format = "resource";
    }
    std::uint32_t magic = 0;
    Bytes(bytes).U32(0, magic);
    if (magic == kMagicSltg) {
        if (error) *error = "unsupported type library format (SLTG)";
        return nullptr;
    }
    return MsftReader(bytes, path, format).Read(error);
}

}  // namespace tarnwell
