#include "text/CaseFolding.h"

#include <algorithm>
#include <array>

namespace tarnwell {

namespace {

// Lower-case ranges and how they map. Kind 0: every code point moves by delta. Kind 1: only the code
// points of the range with the given parity (first, first+2, ...) are lower case and move by delta.
struct CaseRange {
    char32_t first, last;
    int delta;
    int kind;
};
// Sorted by first; ranges do not overlap. Only mappings whose two forms have the same UTF-8 length.
constexpr CaseRange kRanges[] = {
    {0x00B5, 0x00B5, 0x039C - 0x00B5, 0},  // micro sign -> capital mu
    {0x00E0, 0x00F6, -0x20, 0},
    {0x00F8, 0x00FE, -0x20, 0},
    {0x00FF, 0x00FF, 0x0178 - 0x00FF, 0},
    {0x0101, 0x012F, -1, 1},
    {0x0133, 0x0137, -1, 1},
    {0x013A, 0x0148, -1, 1},
    {0x014B, 0x0177, -1, 1},
    {0x017A, 0x017E, -1, 1},
    {0x01CE, 0x01DC, -1, 1},
    {0x01DF, 0x01EF, -1, 1},
    {0x01F9, 0x021F, -1, 1},
    {0x0223, 0x0233, -1, 1},
    {0x03AC, 0x03AC, 0x0386 - 0x03AC, 0},
    {0x03AD, 0x03AF, -0x25, 0},
    {0x03B1, 0x03C1, -0x20, 0},
    {0x03C2, 0x03C2, 0x03A3 - 0x03C2, 0},  // final sigma
    {0x03C3, 0x03CB, -0x20, 0},
    {0x03CC, 0x03CC, 0x038C - 0x03CC, 0},
    {0x03CD, 0x03CE, -0x3F, 0},
    {0x0430, 0x044F, -0x20, 0},
    {0x0450, 0x045F, -0x50, 0},
    {0x0461, 0x0481, -1, 1},
    {0x048B, 0x04BF, -1, 1},
    {0x04C2, 0x04CE, -1, 1},
    {0x04CF, 0x04CF, 0x04C0 - 0x04CF, 0},
    {0x04D1, 0x052F, -1, 1},
    {0x0561, 0x0586, -0x30, 0},
    {0x1E01, 0x1E95, -1, 1},
    {0x1EA1, 0x1EFF, -1, 1},
    {0x2170, 0x217F, -0x10, 0},  // small roman numerals
    {0x24D0, 0x24E9, -0x1A, 0},  // circled small letters
    {0xFF41, 0xFF5A, -0x20, 0},  // full-width letters
};

int Utf8Length(char32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

int EncodeUtf8(char32_t cp, uint8_t* out) {
    if (cp < 0x80) {
        out[0] = uint8_t(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = uint8_t(0xC0 | (cp >> 6));
        out[1] = uint8_t(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = uint8_t(0xE0 | (cp >> 12));
        out[1] = uint8_t(0x80 | ((cp >> 6) & 0x3F));
        out[2] = uint8_t(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = uint8_t(0xF0 | (cp >> 18));
    out[1] = uint8_t(0x80 | ((cp >> 12) & 0x3F));
    out[2] = uint8_t(0x80 | ((cp >> 6) & 0x3F));
    out[3] = uint8_t(0x80 | (cp & 0x3F));
    return 4;
}

}  // namespace

const uint8_t* UpperTable(CodePage cp) {
    using Table = std::array<uint8_t, 256>;
    static const std::array<Table, std::size(kCodePages)> tables = [] {
        std::array<Table, std::size(kCodePages)> all{};
        for (size_t k = 0; k < all.size(); ++k) {
            Table& t = all[k];
            for (int b = 0; b < 256; ++b) {
                t[size_t(b)] = uint8_t(b);
                const char c = char(b);
                const char32_t up = UpperCodePointSameLength(DecodeChar(kCodePages[k], &c, 1, 0).code);
                std::string enc;
                if (b >= 0x80 || (b >= 'a' && b <= 'z'))
                    if (AppendEncoded(kCodePages[k], up, enc) && enc.size() == 1) t[size_t(b)] = uint8_t(enc[0]);
            }
        }
        return all;
    }();
    size_t k = 0;
    while (kCodePages[k] != cp) ++k;
    return tables[k].data();
}

char32_t UpperCodePointSameLength(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    auto it = std::upper_bound(std::begin(kRanges), std::end(kRanges), cp,
                               [](char32_t v, const CaseRange& r) { return v < r.first; });
    if (it == std::begin(kRanges)) return cp;
    const CaseRange& r = *(it - 1);
    if (cp > r.last) return cp;
    if (r.kind == 1 && ((cp - r.first) & 1) != 0) return cp;
    char32_t up = char32_t(int(cp) + r.delta);
    return Utf8Length(up) == Utf8Length(cp) ? up : cp;
}

int Utf8SequenceLength(const uint8_t* p, size_t n, char32_t* cp) {
    if (n == 0) return 0;
    uint8_t c = p[0];
    if (c < 0x80) {
        *cp = c;
        return 1;
    }
    auto cont = [&](size_t i) { return i < n && (p[i] & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF) {
        if (!cont(1)) return 0;
        *cp = (char32_t(c & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2)) return 0;
        if (c == 0xE0 && p[1] < 0xA0) return 0;  // overlong
        if (c == 0xED && p[1] > 0x9F) return 0;  // surrogate
        *cp = (char32_t(c & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if (c == 0xF0 && p[1] < 0x90) return 0;
        if (c == 0xF4 && p[1] > 0x8F) return 0;
        *cp = (char32_t(c & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
              (p[3] & 0x3F);
        return 4;
    }
    return 0;
}

int UpperUtf8At(const uint8_t* p, size_t n, uint8_t out[4]) {
    uint8_t c = p[0];
    if (c < 0x80) {
        out[0] = (c >= 'a' && c <= 'z') ? uint8_t(c - 32) : c;
        return 1;
    }
    char32_t cp = 0;
    int len = Utf8SequenceLength(p, n, &cp);
    if (len == 0) {
        out[0] = c;
        return 1;
    }
    char32_t up = UpperCodePointSameLength(cp);
    if (up == cp) {
        std::copy(p, p + len, out);
        return len;
    }
    EncodeUtf8(up, out);
    return len;
}

std::string UpperCase(std::string_view text, CodePage cp) {
    std::string out(text.size(), '\0');
    auto* src = reinterpret_cast<const uint8_t*>(text.data());
    auto* dst = reinterpret_cast<uint8_t*>(out.data());
    if (IsSingleByte(cp)) {
        const uint8_t* upper = UpperTable(cp);
        for (size_t i = 0; i < text.size(); ++i) dst[i] = upper[src[i]];
        return out;
    }
    size_t i = 0;
    while (i < text.size()) {
        uint8_t buf[4];
        int len = UpperUtf8At(src + i, text.size() - i, buf);
        std::copy(buf, buf + len, dst + i);
        i += size_t(len);
    }
    return out;
}

namespace {
std::optional<std::string> EncodeFromUtf8(std::string_view utf8, CodePage cp, bool lossy) {
    std::string out;
    out.reserve(utf8.size());
    auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c = 0;
        int len = Utf8SequenceLength(p + i, utf8.size() - i, &c);
        if (len == 0) {  // not UTF-8: keep the byte as it is
            out.push_back(char(p[i]));
            ++i;
            continue;
        }
        i += size_t(len);
        if (AppendEncoded(cp, c, out)) continue;
        if (!lossy) return std::nullopt;
        out.push_back('?');
    }
    return out;
}
}  // namespace

std::optional<std::string> FromUtf8(std::string_view utf8, CodePage cp) {
    if (cp == CodePage::Utf8) return std::string(utf8);
    return EncodeFromUtf8(utf8, cp, false);
}

std::string FromUtf8Lossy(std::string_view utf8, CodePage cp) {
    if (cp == CodePage::Utf8) return std::string(utf8);
    return *EncodeFromUtf8(utf8, cp, true);
}

std::string ToUtf8(std::string_view bytes, CodePage cp) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    uint8_t buf[4];
    if (IsSingleByte(cp)) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            int n = EncodeUtf8(DecodeChar(cp, bytes.data() + i, 1, 0).code, buf);
            out.append(reinterpret_cast<char*>(buf), size_t(n));
        }
        return out;
    }
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t c = 0;
        int len = Utf8SequenceLength(p + i, bytes.size() - i, &c);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.data() + i, size_t(len));
            i += size_t(len);
        }
    }
    return out;
}

}  // namespace tarnwell
