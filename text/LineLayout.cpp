#include "text/LineLayout.h"

namespace tarnwell {

namespace {

inline int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline int Step(const LineRef& line, int i, int tabSize, int& col) { return StepColumn(line, i, tabSize, col); }

inline int SafeTab(int tabSize) { return tabSize < 1 ? 1 : tabSize; }

}  // namespace

int ColumnOf(const LineRef& line, int ch, int tabSize) {
    tabSize = SafeTab(tabSize);
    ch = Clamp(ch, 0, line.length);
    int col = 0;
    for (int i = 0; i < ch;) i += Step(line, i, tabSize, col);
    return col;
}

int DisplayLength(const LineRef& line, int tabSize) {
    tabSize = SafeTab(tabSize);
    const auto* u = reinterpret_cast<const unsigned char*>(line.text);
    const int n = line.length;
    // Most lines are plain ASCII without tabs: then the length is the byte count. The test is a
    // branch-free reduction the compiler vectorizes.
    unsigned char special = 0;
    unsigned char tabs = 0;
    for (int i = 0; i < n; ++i) {
        special |= u[i] & 0x80;
        tabs |= (u[i] == '\t');
    }
    if (!special && !tabs) return n;
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
