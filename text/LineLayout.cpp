#include "text/LineLayout.h"

#include <cstdint>
#include <cstring>

namespace tarnwell {

namespace {

inline int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline int Step(const LineRef& line, int i, int tabSize, int& col) { return StepColumn(line, i, tabSize, col); }

inline int SafeTab(int tabSize) { return tabSize < 1 ? 1 : tabSize; }

}  // namespace

// Eight bytes at a time.
bool HasOnlySingleByteChars(const LineRef& line, int from, int to) {
    if (line.codePage != CodePage::Utf8) return true;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const char* p = line.text + from;
    const char* end = line.text + to;
    std::uint64_t any = 0;
    for (; p + 8 <= end; p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        any |= w;
    }
    for (; p < end; ++p) any |= static_cast<unsigned char>(*p);
    return (any & kHigh) == 0;
}

int WalkSingleByteChars(const LineRef& line, int from, int to, int tabSize, int col) {
    while (from < to) {
        const void* hit = std::memchr(line.text + from, '\t', static_cast<size_t>(to - from));
        const int tab = hit ? static_cast<int>(static_cast<const char*>(hit) - line.text) : to;
        col += tab - from;
        if (tab == to) break;
        col += tabSize - col % tabSize;
        from = tab + 1;
    }
    return col;
}

int ColumnOf(const LineRef& line, int ch, int tabSize) {
    tabSize = SafeTab(tabSize);
    ch = Clamp(ch, 0, line.length);
    int col = 0;
    for (int i = 0; i < ch;) i += Step(line, i, tabSize, col);
    return col;
}

int DisplayLength(const LineRef& line, int tabSize) {
    tabSize = SafeTab(tabSize);
    const int n = line.length;
    // Most lines are ASCII without tabs: one column a byte. Eight bytes at a time: a byte with the top
    // bit, or one equal to a tab (the zero-byte test of the word xor tabs).
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    std::uint64_t found = 0;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, line.text + i, 8);
        const std::uint64_t t = w ^ (kOnes * '\t');
        found |= (w & kHigh) | ((t - kOnes) & ~t & kHigh);
    }
    for (; i < n; ++i) found |= static_cast<unsigned char>(line.text[i]) >= 0x80 || line.text[i] == '\t';
    if (!found) return n;
    // Single-byte characters only: only tabs take more than a column.
    if (HasOnlySingleByteChars(line, 0, n)) return WalkSingleByteChars(line, 0, n, tabSize, 0);
    int col = 0;
    for (int i = 0; i < n;) i += Step(line, i, tabSize, col);
    return col;
}

int CharAtColumn(const LineRef& line, int column, int tabSize) {
    tabSize = SafeTab(tabSize);
    if (column <= 0) return 0;
    int col = 0;
    for (int i = 0; i < line.length;) {
        const int len = Step(line, i, tabSize, col);
        if (col >= column) return (col - tabSize / 2 < column) ? i + len : i;
        i += len;
    }
    return line.length;
}

int CharUnderColumn(const LineRef& line, int column, int tabSize) {
    tabSize = SafeTab(tabSize);
    int col = 0;
    for (int i = 0; i < line.length;) {
        const int len = Step(line, i, tabSize, col);
        if (col > column) return i;
        i += len;
    }
    return line.length;
}

}  // namespace tarnwell
