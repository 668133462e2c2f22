// A writer of binary type libraries ("MSFT" layout) and of PE images holding one, for tests that need
// such files without shipping any.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lang/TypeLibrary.h"

namespace tarnwell::testlib {

inline void Put16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
}
inline void Put32(std::string& s, std::uint32_t v) {
    Put16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(s, static_cast<std::uint16_t>(v >> 16));
}
inline void Set32(std::string& s, size_t at, std::uint32_t v) {
    std::string w;
    Put32(w, v);
    s.replace(at, 4, w);
}

// Writes the "MSFT" layout: header, segment directory, types, references, GUIDs, names, type
// descriptions, then each type's member data.
struct TlbWriter {
    struct Param {
        std::string name;
        std::int32_t type;
        std::uint32_t flags = 0;
    };
    struct Func {
        std::string name;
        std::int32_t id;
        int invoke;
        std::int32_t type;
        std::vector<Param> params = {};
        std::uint16_t flags = 0;
        bool omitName = false;
    };
    struct Var {
        std::string name;
        std::int32_t id;
        std::int32_t type;
        std::uint16_t flags = 0;
    };
    struct Type {
        std::string name;
        int kind;
        std::vector<Func> funcs = {};
        std::vector<Var> vars = {};
        std::int32_t base = -1;                     // datatype word of an interface
        std::vector<std::pair<int, int>> impls = {};  // coclass: type index, flags
    };

    std::string libName = "TestLib";
    std::vector<Type> types;
    std::vector<std::array<std::uint16_t, 4>> descs;
    bool refLoop = false;  // the coclass's reference chain points back at its start

    static std::int32_t Vt(std::uint16_t vt) { return static_cast<std::int32_t>(0x80000000u | (std::uint32_t(vt) << 16) | vt); }
    static std::int32_t Href(int index) { return index * 0x64; }
    std::int32_t Desc(std::uint16_t vt, std::uint16_t a, std::uint16_t b) {
        descs.push_back({vt, 0x7FFE, a, b});
        return static_cast<std::int32_t>((descs.size() - 1) * 8);
    }
    std::int32_t PtrToVt(std::uint16_t vt) { return Desc(kVtPtr, vt, 0xFFFF); }
    std::int32_t PtrTo(std::int32_t desc) { return Desc(kVtPtr, static_cast<std::uint16_t>(desc), 0); }
    std::int32_t UserType(int index) {
        const std::uint32_t h = static_cast<std::uint32_t>(Href(index));
        return Desc(kVtUserDefined, static_cast<std::uint16_t>(h & 0xFFFF), static_cast<std::uint16_t>(h >> 16));
    }

    std::string Build(size_t* segmentsEnd = nullptr) const {
        std::string names;
        std::map<std::string, std::int32_t> nameAt;
        auto name = [&](const std::string& n) {
            if (auto it = nameAt.find(n); it != nameAt.end()) return it->second;
            const auto off = static_cast<std::int32_t>(names.size());
            Put32(names, 0xFFFFFFFF);
            Put32(names, 0xFFFFFFFF);
            Put32(names, static_cast<std::uint32_t>(n.size()) | 0x38000000u);
            names += n;
            while (names.size() % 4) names.push_back('W');
            return nameAt[n] = off;
        };
        std::string guids(16, '\x11');
        Put32(guids, 0xFFFFFFFF);
        Put32(guids, 0xFFFFFFFF);
        std::string refs, descSeg;
        for (const auto& d : descs)
            for (std::uint16_t w : d) Put16(descSeg, w);
        const size_t n = types.size();
        const size_t segStart = 0x54 + n * 4 + 15 * 16;
        // Segments in file order: types, references, GUIDs, names, descriptions.
        std::vector<std::string> typeRecs(n, std::string(0x64, '\0'));
        std::vector<std::string> blocks(n);
        for (size_t i = 0; i < n; ++i) {
            const Type& t = types[i];
            std::string& r = typeRecs[i];
            Set32(r, 0, static_cast<std::uint32_t>(t.kind));
            Set32(r, 0x18, static_cast<std::uint32_t>(t.funcs.size() | (t.vars.size() << 16)));
            Set32(r, 0x2C, 0xFFFFFFFF);
            Set32(r, 0x34, static_cast<std::uint32_t>(name(t.name)));
            r[0x4C] = static_cast<char>(t.impls.size());
            std::uint32_t datatype1 = static_cast<std::uint32_t>(t.base);
            if (t.kind == kTypeCoclass && !t.impls.empty()) {
                datatype1 = static_cast<std::uint32_t>(refs.size());
                for (size_t k = 0; k < t.impls.size(); ++k) {
                    const size_t next = refs.size() + 16;
                    Put32(refs, static_cast<std::uint32_t>(Href(t.impls[k].first)));
                    Put32(refs, static_cast<std::uint32_t>(t.impls[k].second));
                    Put32(refs, 0xFFFFFFFF);
                    Put32(refs, k + 1 < t.impls.size() ? static_cast<std::uint32_t>(next) : (refLoop ? datatype1 : 0xFFFFFFFF));
                }
            }
            Set32(r, 0x54, datatype1);
            // Member data: records, then ids, name offsets and record offsets.
            std::string recs, ids, nameOffs, recOffs;
            for (const Func& f : t.funcs) {
                Put32(recOffs, static_cast<std::uint32_t>(recs.size()));
                Put32(recs, static_cast<std::uint32_t>(24 + 12 * f.params.size()));
                Put32(recs, static_cast<std::uint32_t>(f.type));
                Put32(recs, f.flags);
                Put32(recs, 0);
                Put32(recs, static_cast<std::uint32_t>(4 | (f.invoke << 3) | (4 << 8)));
                Put16(recs, static_cast<std::uint16_t>(f.params.size()));
                Put16(recs, 0);
                for (const Param& p : f.params) {
                    Put32(recs, static_cast<std::uint32_t>(p.type));
                    Put32(recs, static_cast<std::uint32_t>(name(p.name)));
                    Put32(recs, p.flags);
                }
                Put32(ids, static_cast<std::uint32_t>(f.id));
                Put32(nameOffs, f.omitName ? 0xFFFFFFFF : static_cast<std::uint32_t>(name(f.name)));
            }
            for (const Var& v : t.vars) {
                Put32(recOffs, static_cast<std::uint32_t>(recs.size()));
                Put32(recs, 20);
                Put32(recs, static_cast<std::uint32_t>(v.type));
                Put32(recs, v.flags);
                Put32(recs, 0);
                Put32(recs, 0);
                Put32(ids, static_cast<std::uint32_t>(v.id));
                Put32(nameOffs, static_cast<std::uint32_t>(name(v.name)));
            }
            if (!recs.empty()) {
                Put32(blocks[i], static_cast<std::uint32_t>(recs.size()));
                blocks[i] += recs + ids + nameOffs + recOffs;
            }
        }
        const std::int32_t libName_ = name(libName);
        std::string typeSeg;
        for (const auto& r : typeRecs) typeSeg += r;
        struct Seg {
            int index;
            const std::string* data;
        } segs[] = {{0, &typeSeg}, {3, &refs}, {5, &guids}, {7, &names}, {9, &descSeg}};
        std::string out;
        Put32(out, 0x5446534D);
        Put32(out, 0x00010002);
        Put32(out, 0);  // library GUID at offset 0
        while (out.size() < 0x54) Put32(out, 0);
        Set32(out, 0x20, static_cast<std::uint32_t>(n));
        Set32(out, 0x38, static_cast<std::uint32_t>(libName_));
        for (size_t i = 0; i < n; ++i) Put32(out, 0);
        std::array<std::pair<std::uint32_t, std::uint32_t>, 15> dir;
        dir.fill({0xFFFFFFFF, 0});
        size_t at = segStart;
        for (const Seg& s : segs) {
            dir[static_cast<size_t>(s.index)] = {static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(s.data->size())};
            at += s.data->size();
        }
        const size_t blocksStart = at;
        for (auto [off, len] : dir) {
            Put32(out, off);
            Put32(out, len);
            Put32(out, 0xFFFFFFFF);
            Put32(out, 0x0F);
        }
        for (const Seg& s : segs) out += *s.data;
        if (segmentsEnd) *segmentsEnd = out.size();
        for (size_t i = 0; i < n; ++i) {
            if (blocks[i].empty()) {
                Set32(out, segStart + i * 0x64 + 4, 0xFFFFFFFF);
                continue;
            }
            Set32(out, segStart + i * 0x64 + 4, static_cast<std::uint32_t>(out.size()));
            out += blocks[i];
        }
        (void)blocksStart;
        return out;
    }
};

// A PE32 image with one ".rsrc" section holding the library as resource TYPELIB / 1 / 0x409.
inline std::string PeImage(const std::string& tlb) {
    std::string img(0x40, '\0');
    img[0] = 'M';
    img[1] = 'Z';
    Set32(img, 0x3C, 0x40);
    img += std::string("PE\0\0", 4);
    Put16(img, 0x14C);
    Put16(img, 1);
    Put32(img, 0);
    Put32(img, 0);
    Put32(img, 0);
    Put16(img, 224);
    Put16(img, 0x2102);
    const size_t opt = img.size();
    img += std::string(224, '\0');
    img[opt] = 0x0B;
    img[opt + 1] = 0x01;
    Set32(img, opt + 92, 16);
    std::string rsrc;
    // root -> "TYPELIB" -> id 1 -> language 0x409 -> data entry
    auto dirHeader = [&](std::uint16_t named, std::uint16_t ids) {
        rsrc += std::string(12, '\0');
        Put16(rsrc, named);
        Put16(rsrc, ids);
    };
    dirHeader(1, 0);
    Put32(rsrc, 0x80000000u | 72);  // name string
    Put32(rsrc, 0x80000000u | 24);  // level-2 directory
    dirHeader(0, 1);                // at 24
    Put32(rsrc, 1);
    Put32(rsrc, 0x80000000u | 48);
    dirHeader(0, 1);  // at 48
    Put32(rsrc, 0x409);
    Put32(rsrc, 88);
    Put16(rsrc, 7);  // at 72
    for (char c : std::string("TYPELIB")) Put16(rsrc, static_cast<std::uint16_t>(c));
    Put32(rsrc, 0x1000 + 104);  // at 88: data entry
    Put32(rsrc, static_cast<std::uint32_t>(tlb.size()));
    Put32(rsrc, 0);
    Put32(rsrc, 0);
    rsrc += tlb;  // at 104
    Set32(img, opt + 96 + 16, 0x1000);
    Set32(img, opt + 96 + 20, static_cast<std::uint32_t>(rsrc.size()));
    img += ".rsrc";
    img += std::string(3, '\0');
    Put32(img, static_cast<std::uint32_t>(rsrc.size()));
    Put32(img, 0x1000);
    Put32(img, static_cast<std::uint32_t>(rsrc.size()));
    Put32(img, 0x200);
    img += std::string(16, '\0');
    img.resize(0x200, '\0');
    return img + rsrc;
}

}  // namespace tarnwell::testlib
