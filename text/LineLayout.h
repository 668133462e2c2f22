// Display columns of one line: tab expansion, multi-byte characters and wide cells, and the
// character classes that word movement uses. Pure functions over a line's bytes.
//
// A column is a display cell counted from 0 at the left edge of the line. A tab runs to the next
// multiple of the tab size; an East Asian wide character takes two cells; every other character one.
#pragma once

#include "text/CodePage.h"

namespace tarnwell {

struct LineRef {
    const char* text = nullptr;
    int length = 0;
    CodePage codePage = CodePage::Utf8;
};

// Advances over the character at byte i: returns its byte length and adds its cells to `col`.
inline int StepColumn(const LineRef& line, int i, int tabSize, int& col) {
    const auto b = static_cast<unsigned char>(line.text[i]);
    if (b == '\t') {
        col += tabSize - col % tabSize;
        return 1;
    }
    if (b < 0x80 || line.codePage != CodePage::Utf8) {
        ++col;
        return 1;
    }
    const DecodedChar d = DecodeChar(line.codePage, line.text, line.length, i);
    col += CellWidth(d.code);
    return d.length;
}

// Whether bytes [from, to) hold no multi-byte character (always so in a single-byte code page).
bool HasOnlySingleByteChars(const LineRef& line, int from, int to);
// The column after bytes [from, to) of single-byte characters, starting at column `col`.
int WalkSingleByteChars(const LineRef& line, int from, int to, int tabSize, int col);

// Column at which the character starting at byte `ch` begins (the walk covers bytes [0, ch)).
int ColumnOf(const LineRef& line, int ch, int tabSize);
// Columns taken by the whole line.
int DisplayLength(const LineRef& line, int tabSize);
// Character boundary for a display column, rounding to the nearer side of a tab (its first half
// maps before it, its second half after it). A column past the end gives the line length.
int CharAtColumn(const LineRef& line, int column, int tabSize);
// The first character whose expanded span ends after `column` (the line length if none): the
// character a point in that column is over.
int CharUnderColumn(const LineRef& line, int column, int tabSize);

// Word characters for movement and word selection: ASCII letters, digits and '_'.
inline bool IsWordByte(unsigned char b) {
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '_';
}
// Blanks: space, tab, CR, LF, vertical tab, form feed.
inline bool IsBlankByte(unsigned char b) { return b == ' ' || (b >= '\t' && b <= '\r'); }
// Letters and digits only (the typing merge rule, where '_' is not alphanumeric).
inline bool IsAlnumByte(unsigned char b) { return IsWordByte(b) && b != '_'; }

}  // namespace tarnwell
