#include "text/CodePage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace tarnwell {

namespace {

// Windows-1252 bytes 0x80..0x9F. The five unassigned bytes map to the C1 control of the same value,
// so every byte round-trips.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

DecodedChar DecodeUtf8(const unsigned char* s, int n, int i) {
    const unsigned char b0 = s[i];
    if (b0 < 0x80) return {b0, 1};
    int len;
    char32_t code;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, code = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, code = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, code = b0 & 0x07, min = 0x10000;
    } else {
        return {0xFFFD, 1};
    }
    if (i + len > n) return {0xFFFD, 1};
    for (int k = 1; k < len; ++k) {
        if (!IsContinuation(s[i + k])) return {0xFFFD, 1};
        code = (code << 6) | (s[i + k] & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0xFFFD, 1};
    return {code, len};
}

struct Range {
    char32_t first, last;
};

// East Asian Wide and Fullwidth blocks (the common ones; everything else is one cell).
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x17000, 0x18AFF}, {0x1B000, 0x1B2FF}, {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF},
    {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202}, {0x1F210, 0x1F23B},
    {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265}, {0x1F300, 0x1F320},
    {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E},
    {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E},
    {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4},
    {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC}, {0x1F6D0, 0x1F6D2},
    {0x1F6D5, 0x1F6D7}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

}  // namespace

DecodedChar DecodeChar(CodePage cp, const char* s, int n, int i) {
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    if (cp == CodePage::Utf8) return DecodeUtf8(u, n, i);
    const unsigned char b = u[i];
    if (b >= 0x80 && b <= 0x9F) return {kCp1252High[b - 0x80], 1};
    return {b, 1};
}

bool IsValidUtf8(std::string_view text) {
    const auto* u = reinterpret_cast<const unsigned char*>(text.data());
    const int n = static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF));  // lines are int-sized
    int i = 0;
    while (i < n) {
        // Skip ASCII quickly: this runs over whole files.
        while (i + 16 <= n) {
            std::uint64_t w[2];
            std::memcpy(w, u + i, 16);
            if ((w[0] | w[1]) & 0x8080808080808080ULL) break;
            i += 16;
        }
        if (i >= n) break;
        if (u[i] < 0x80) {
            ++i;
            continue;
        }
        const DecodedChar d = DecodeUtf8(u, n, i);
        if (d.code == 0xFFFD && d.length == 1) return false;
        i += d.length;
    }
    return true;
}

int PrevCharStart(CodePage cp, const char* s, int n, int i) {
    if (i <= 0) return 0;
    if (cp != CodePage::Utf8) return i - 1;
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    for (int j = i - 1; j >= 0 && j >= i - 4; --j) {
        if (!IsContinuation(u[j])) {
            const DecodedChar d = DecodeUtf8(u, n, j);
            return (j + d.length == i) ? j : i - 1;
        }
    }
    return i - 1;
}

int SnapBackward(CodePage cp, const char* s, int n, int i) {
    if (cp != CodePage::Utf8 || i <= 0 || i >= n) return i;
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    if (!IsContinuation(u[i])) return i;
    for (int j = i - 1; j >= 0 && j >= i - 3; --j) {
        if (!IsContinuation(u[j])) {
            const DecodedChar d = DecodeUtf8(u, n, j);
            return (j + d.length > i) ? j : i;
        }
    }
    return i;
}

int SnapForward(CodePage cp, const char* s, int n, int i) {
    const int start = SnapBackward(cp, s, n, i);
    if (start == i) return i;
    return start + DecodeChar(cp, s, n, start).length;
}

int CellWidth(char32_t code) {
    if (code < 0x1100) return 1;
    auto it = std::upper_bound(std::begin(kWide), std::end(kWide), code,
                               [](char32_t c, const Range& r) { return c < r.first; });
    if (it == std::begin(kWide)) return 1;
    --it;
    return code <= it->last ? 2 : 1;
}

bool AppendEncoded(CodePage cp, char32_t code, std::string& out) {
    if (cp == CodePage::Utf8) {
        if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        return true;
    }
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        out += static_cast<char>(code);
        return true;
    }
    for (int k = 0; k < 32; ++k) {
        if (kCp1252High[k] == code) {
            out += static_cast<char>(0x80 + k);
            return true;
        }
    }
    return false;
}

std::string EncodeUtf16(CodePage cp, const char16_t* s, std::size_t n) {
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        char32_t code = s[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (!AppendEncoded(cp, code, out)) out += '?';
    }
    return out;
}

std::u16string DecodeToUtf16(CodePage cp, std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const int n = static_cast<int>(bytes.size());
    for (int i = 0; i < n;) {
        const DecodedChar d = DecodeChar(cp, bytes.data(), n, i);
        if (d.code >= 0x10000) {
            const char32_t v = d.code - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(d.code);
        }
        i += d.length;
    }
    return out;
}

}  // namespace tarnwell
