#include "text/FindText.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define TARNWELL_FIND_SSE2 1
#endif

namespace tarnwell {

namespace {

// Rough byte frequencies of HTML/ASP text (higher = more common), used to pick the pattern bytes to
// scan for: the rarer the byte, the fewer candidates need checking.
constexpr std::array<uint8_t, 256> MakeFrequency() {
    std::array<uint8_t, 256> f{};
    for (int i = 0; i < 256; ++i) f[i] = 2;
    for (int c = 'A'; c <= 'Z'; ++c) f[c] = 12;
    for (int c = '0'; c <= '9'; ++c) f[c] = 25;
    const char* common = "etaoinsrhldcumfpgwybvkxjqz";  // descending
    for (int i = 0; common[i]; ++i) f[uint8_t(common[i])] = uint8_t(200 - i * 7);
    f[' '] = 255;
    f['\t'] = 120;
    f['<'] = f['>'] = 110;
    f['"'] = f['='] = f['/'] = 100;
    f['.'] = f[','] = f['-'] = f[':'] = f[';'] = 60;
    f['('] = f[')'] = f['\''] = f['_'] = f['&'] = f['#'] = 40;
    f['%'] = f['['] = f[']'] = f['{'] = f['}'] = f['!'] = f['?'] = 20;
    f['E'] = f['T'] = f['A'] = f['S'] = f['I'] = f['N'] = f['O'] = f['R'] = 20;
    return f;
}
constexpr std::array<uint8_t, 256> kFrequency = MakeFrequency();

inline uint8_t AsciiUpper(uint8_t c) { return (c >= 'a' && c <= 'z') ? uint8_t(c - 32) : c; }

// Lead bytes of lower-case characters whose upper-case form starts with `lead` (UTF-8, same length).
void AddUtf8LeadPreimage(uint8_t lead, bool (&in)[256]) {
    using Table = std::array<std::array<bool, 256>, 256>;  // [upper lead][lower lead]
    static const Table table = [] {
        Table t{};
        auto leadOf = [](char32_t c) -> uint8_t {
            return c < 0x800 ? uint8_t(0xC0 | (c >> 6)) : uint8_t(0xE0 | (c >> 12));
        };
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            char32_t up = UpperCodePointSameLength(cp);
            if (up != cp) t[leadOf(up)][leadOf(cp)] = true;
        }
        return t;
    }();
    for (int i = 0; i < 256; ++i)
        if (table[lead][size_t(i)]) in[i] = true;
}

// First p in [p, end) whose byte is in the set, or end.
const uint8_t* FindInSet(const uint8_t* p, const uint8_t* end, const uint8_t* b, int n) {
    if (n == 1) {
        const void* r = std::memchr(p, b[0], size_t(end - p));
        return r ? static_cast<const uint8_t*>(r) : end;
    }
#ifdef TARNWELL_FIND_SSE2
    const __m128i v0 = _mm_set1_epi8(char(b[0]));
    const __m128i v1 = _mm_set1_epi8(char(b[1]));
    const __m128i v2 = _mm_set1_epi8(char(n > 2 ? b[2] : b[1]));
    while (end - p >= 32) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        __m128i mx = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, v0), _mm_cmpeq_epi8(x, v1)), _mm_cmpeq_epi8(x, v2));
        __m128i my = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(y, v0), _mm_cmpeq_epi8(y, v1)), _mm_cmpeq_epi8(y, v2));
        unsigned m = unsigned(_mm_movemask_epi8(mx)) | (unsigned(_mm_movemask_epi8(my)) << 16);
        if (m) {
#if defined(_MSC_VER) && !defined(__clang__)
            unsigned long idx;
            _BitScanForward(&idx, m);
            return p + idx;
#else
            return p + __builtin_ctz(m);
#endif
        }
        p += 32;
    }
#endif
    for (; p < end; ++p) {
        uint8_t c = *p;
        if (c == b[0] || c == b[1] || (n > 2 && c == b[2])) return p;
    }
    return end;
}

inline int CountTrailingZeros(unsigned m) {
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long idx;
    _BitScanForward(&idx, m);
    return int(idx);
#else
    return __builtin_ctz(m);
#endif
}

}  // namespace

VectorLines VectorLines::FromText(std::string_view text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.emplace_back(text.substr(begin, i - begin));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    lines.emplace_back(text.substr(begin));
    return VectorLines(std::move(lines));
}

TextFinder::TextFinder(std::string_view pattern, unsigned flags, CodePage cp)
    : wholeWord_((flags & SearchWordBit) != 0), cp_(cp) {
    const bool matchCase = (flags & SearchCaseBit) != 0;
    pattern_ = matchCase ? std::string(pattern) : UpperCase(pattern, cp);
    const int m = int(pattern_.size());
    if (m == 0) return;
    mode_ = matchCase ? Mode::Exact : IsSingleByte(cp) ? Mode::FoldByte : Mode::FoldUtf8;
    if (mode_ == Mode::FoldByte) upper_ = UpperTable(cp);

    // Pick the two rarest pattern positions whose possible text bytes are known exactly.
    int bestScore[2] = {1 << 30, 1 << 30};
    for (int j = 0; j < m; ++j) {
        ByteSet s = PreimageOf(j);
        if (s.n == 0) continue;
        int score = 0;
        for (int i = 0; i < s.n; ++i) score += kFrequency[s.b[i]] + 1;
        if (score < bestScore[0]) {
            bestScore[1] = bestScore[0];
            k2_ = k1_;
            set2_ = set1_;
            bestScore[0] = score;
            k1_ = j;
            set1_ = s;
        } else if (score < bestScore[1]) {
            bestScore[1] = score;
            k2_ = j;
            set2_ = s;
        }
    }
    const uint8_t first = uint8_t(pattern_[0]);
    if (k1_ < 0 || (mode_ == Mode::FoldUtf8 && (first & 0xC0) == 0x80)) {
        // No usable scan byte, or a pattern that starts inside a character: upper-case each line
        // into the scratch buffer and search that exactly.
        mode_ = Mode::FoldSlow;
        k1_ = 0;
        set1_ = ByteSet{{first, 0, 0}, 1};
        k2_ = -1;
    }
    if (k2_ >= 0 && k2_ < k1_) {
        std::swap(k1_, k2_);
        std::swap(set1_, set2_);
    }
}

TextFinder::ByteSet TextFinder::PreimageOf(int pos) const {
    ByteSet s;
    const uint8_t p = uint8_t(pattern_[size_t(pos)]);
    switch (mode_) {
    case Mode::Exact:
    case Mode::FoldSlow:
        s.b[0] = p;
        s.n = 1;
        break;
    case Mode::FoldByte: {
        for (int c = 0; c < 256 && s.n < 3; ++c)
            if (upper_[c] == p) s.b[s.n++] = uint8_t(c);
        break;
    }
    case Mode::FoldUtf8: {
        if (p < 0x80) {
            s.b[s.n++] = p;
            if (p >= 'A' && p <= 'Z') s.b[s.n++] = uint8_t(p + 32);
        } else if (p >= 0xC2 && p <= 0xEF) {
            bool in[256] = {};
            in[p] = true;
            AddUtf8LeadPreimage(p, in);
            int n = 0;
            for (int c = 0; c < 256; ++c) n += in[c];
            if (n <= 3)
                for (int c = 0; c < 256; ++c)
                    if (in[c]) s.b[s.n++] = uint8_t(c);
        }
        break;  // continuation and 4-byte leads: not a scan position
    }
    }
    return s;
}

bool TextFinder::Verify(const uint8_t* t, int s, int to) const {
    const auto* p = reinterpret_cast<const uint8_t*>(pattern_.data());
    const int m = int(pattern_.size());
    switch (mode_) {
    case Mode::Exact:
    case Mode::FoldSlow:
        return std::memcmp(t + s, p, size_t(m)) == 0;
    case Mode::FoldByte:
        for (int j = 0; j < m; ++j)
            if (upper_[t[s + j]] != p[j]) return false;
        return true;
    case Mode::FoldUtf8: {
        int j = 0;
        while (j < m) {
            uint8_t c = t[s + j];
            if (c < 0x80) {
                if (AsciiUpper(c) != p[j]) return false;
                ++j;
                continue;
            }
            uint8_t buf[4];
            int len = UpperUtf8At(t + s + j, size_t(to - (s + j)), buf);
            int cmp = std::min(len, m - j);
            if (std::memcmp(buf, p + j, size_t(cmp)) != 0) return false;
            j += len;
        }
        return true;
    }
    }
    return false;
}

bool TextFinder::WordOk(const uint8_t* line, int len, int s) const {
    if (!wholeWord_) return true;
    const int e = s + int(pattern_.size());
    if (s > 0 && IsWordChar(line[s - 1])) return false;
    if (e < len && IsWordChar(line[e])) return false;
    return true;
}

// Offers every candidate start s in [from, last] (scan coordinates of t, whose examined part ends at
// `to`) whose scan bytes fit, in ascending order, to accept(s) until it returns true.
template <class Accept>
bool TextFinder::Scan(const uint8_t* t, int from, int last, int to, Accept&& accept) const {
    if (from > last) return false;
    if (k2_ < 0) {
        const uint8_t* end = t + last + k1_ + 1;
        const uint8_t* p = t + from + k1_;
        while (p < end) {
            p = FindInSet(p, end, set1_.b, set1_.n);
            if (p == end) break;
            int s = int(p - t) - k1_;
            if (Verify(t, s, to) && accept(s)) return true;
            ++p;
        }
        return false;
    }
    auto inSet = [](const ByteSet& set, uint8_t c) {
        return c == set.b[0] || (set.n > 1 && c == set.b[1]) || (set.n > 2 && c == set.b[2]);
    };
    int s = from;
#ifdef TARNWELL_FIND_SSE2
    // Sixteen candidate starts at a time: both scan bytes must fit.
    const __m128i a0 = _mm_set1_epi8(char(set1_.b[0]));
    const __m128i a1 = _mm_set1_epi8(char(set1_.n > 1 ? set1_.b[1] : set1_.b[0]));
    const __m128i a2 = _mm_set1_epi8(char(set1_.n > 2 ? set1_.b[2] : set1_.b[0]));
    const __m128i b0 = _mm_set1_epi8(char(set2_.b[0]));
    const __m128i b1 = _mm_set1_epi8(char(set2_.n > 1 ? set2_.b[1] : set2_.b[0]));
    const __m128i b2 = _mm_set1_epi8(char(set2_.n > 2 ? set2_.b[2] : set2_.b[0]));
    while (s + 15 <= last) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + s + k1_));
        __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + s + k2_));
        __m128i mx = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, a0), _mm_cmpeq_epi8(x, a1)), _mm_cmpeq_epi8(x, a2));
        __m128i my = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(y, b0), _mm_cmpeq_epi8(y, b1)), _mm_cmpeq_epi8(y, b2));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(mx, my)));
        while (mask) {
            int c = s + CountTrailingZeros(mask);
            if (Verify(t, c, to) && accept(c)) return true;
            mask &= mask - 1;
        }
        s += 16;
    }
#endif
    for (; s <= last; ++s) {
        if (inSet(set1_, t[s + k1_]) && inSet(set2_, t[s + k2_]) && Verify(t, s, to) && accept(s)) return true;
    }
    return false;
}

// Offers every match start in [from, to) of the line to accept (an offset into the line, whole-word
// rule already applied) until accept returns true. Folding that changes byte lengths cannot be done on
// the fly: that mode scans an upper-cased copy of the window.
template <class Accept>
void TextFinder::ScanLine(const char* line, int len, int from, int to, Accept&& accept) const {
    const int m = int(pattern_.size());
    from = std::max(from, 0);
    to = std::min(to, len);
    if (m == 0 || to - from < m) return;
    const auto* u = reinterpret_cast<const uint8_t*>(line);
    if (mode_ == Mode::FoldSlow) {
        scratch_ = UpperCase(std::string_view(line + from, size_t(to - from)), cp_);
        const auto* f = reinterpret_cast<const uint8_t*>(scratch_.data());
        Scan(f, 0, to - from - m, to - from, [&](int s) { return WordOk(u, len, s + from) && accept(s + from); });
        return;
    }
    Scan(u, from, to - m, to, [&](int s) { return WordOk(u, len, s) && accept(s); });
}

int TextFinder::FindFirst(const char* line, int len, int from, int to) const {
    int found = -1;
    ScanLine(line, len, from, to, [&](int s) {
        found = s;
        return true;
    });
    return found;
}

int TextFinder::FindLast(const char* line, int len, int from, int to) const {
    int found = -1;
    ScanLine(line, len, from, to, [&](int s) {
        found = s;
        return false;
    });
    return found;
}

namespace {

TextPosition Clamp(const SearchLines& text, TextPosition p) {
    const int count = text.LineCount();
    if (p.line < 0) return {0, 0};
    if (p.line >= count) return {count - 1, text.LineLength(count - 1)};
    return {p.line, std::clamp(p.ch, 0, text.LineLength(p.line))};
}

// One downward pass over lines [from.line, lastLine]: the first occurrence inside the block.
FindResult DownPass(const SearchLines& text, const TextFinder& finder, TextPosition from, int lastLine,
                    TextPosition blockEnd) {
    for (int line = from.line; line <= lastLine; ++line) {
        const int len = text.LineLength(line);
        const int begin = line == from.line ? from.ch : 0;
        if (len - begin < finder.PatternLength()) continue;
        int s = finder.FindFirst(text.LineText(line), len, begin, len);
        if (s < 0) continue;
        if (line == blockEnd.line && s >= blockEnd.ch) return {};  // past the block end
        return {true, {line, s}};
    }
    return {};
}

}  // namespace

FindResult FindInBlock(const SearchLines& text, std::string_view what, TextPosition start,
                       TextPosition blockStart, TextPosition blockEnd, unsigned flags, bool wrap, CodePage cp) {
    if (what.empty() || text.LineCount() <= 0) return {};
    TextFinder finder(what, flags, cp);
    const int count = text.LineCount();

    if (flags & SearchUpBit) {
        start = Clamp(text, start);
        auto lastIn = [&](int line, int to) -> int {
            const int len = text.LineLength(line);
            return finder.FindLast(text.LineText(line), len, 0, to);
        };
        int s = lastIn(start.line, start.ch);
        if (s >= 0) return {true, {start.line, s}};
        for (int line = start.line - 1; line >= 0; --line) {
            s = lastIn(line, text.LineLength(line));
            if (s >= 0) return {true, {line, s}};
        }
        if (!wrap) return {};
        for (int line = count - 1; line >= start.line; --line) {
            s = lastIn(line, text.LineLength(line));
            if (s >= 0) return {true, {line, s}};
        }
        return {};
    }

    blockStart = Clamp(text, blockStart);
    blockEnd = Clamp(text, blockEnd);
    if (!(blockStart < blockEnd)) return {};
    if (start < blockStart) start = blockStart;
    if (start.line < count) start.ch = std::clamp(start.ch, 0, std::max(0, text.LineLength(start.line)));

    FindResult r = DownPass(text, finder, start, std::min(blockEnd.line, count - 1), blockEnd);
    if (r.found || !wrap || start == blockStart) return r;
    // The wrap pass: anything past the start line was already examined by the first pass.
    return DownPass(text, finder, blockStart, std::min({blockEnd.line, start.line, count - 1}), blockEnd);
}

FindResult FindInText(const SearchLines& text, std::string_view what, TextPosition start, unsigned flags,
                      bool wrap, CodePage cp) {
    const int count = text.LineCount();
    if (count <= 0) return {};
    return FindInBlock(text, what, start, {0, 0}, {count - 1, text.LineLength(count - 1)}, flags, wrap, cp);
}

}  // namespace tarnwell
