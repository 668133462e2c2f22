// Positions in a text: (line, character), both zero-based. A character index counts bytes of the
// line, so a position inside a multi-byte character is possible in principle; views never leave one there.
// Ranges are half-open: [start, end) runs from start up to, not including, end.
#pragma once

namespace tarnwell {

struct TextPosition {
    int line = 0;
    int ch = 0;

    constexpr TextPosition() = default;
    constexpr TextPosition(int l, int c) : line(l), ch(c) {}

    friend constexpr bool operator==(TextPosition a, TextPosition b) { return a.line == b.line && a.ch == b.ch; }
    friend constexpr bool operator!=(TextPosition a, TextPosition b) { return !(a == b); }
    friend constexpr bool operator<(TextPosition a, TextPosition b) {
        return a.line < b.line || (a.line == b.line && a.ch < b.ch);
    }
    friend constexpr bool operator<=(TextPosition a, TextPosition b) { return !(b < a); }
    friend constexpr bool operator>(TextPosition a, TextPosition b) { return b < a; }
    friend constexpr bool operator>=(TextPosition a, TextPosition b) { return !(a < b); }
};

}  // namespace tarnwell
