// The shared vocabulary between the line parsers that color text and the views that draw it.
#pragma once

#include <cstdint>

namespace tarnwell {

// The parser's state at a line boundary. Its bits belong to the parser; views only store and pass it.
// -1 marks an unknown (invalid) cache entry; the state before line 0 is 0.
using LineCookie = std::int32_t;
constexpr LineCookie kInvalidCookie = -1;

// Color class numbers; a view's ColorForIndex maps each to a color.
enum ColorClass : int {
    ClassEmptyArea = 0,     // background of runs, right of the text, rows below the last line
    ClassLineBack = 1,      // background of a line without runs
    ClassPlainText = 2,     // text of a line without runs
    ClassMargin = 3,        // second color of the margin pattern
    ClassSelectBack = 4,
    ClassSelectText = 5,
    ClassSpare = 6,         // produced by no parser
    ClassHtmlKeyword = 7,
    ClassHtmlString = 8,
    ClassHtmlComment = 9,
    ClassAspOpenTag = 10,   // drawn on ClassAspOpenBack
    ClassAspOpenBack = 11,
    ClassAspCloseTag = 12,  // drawn on ClassAspCloseBack
    ClassAspCloseBack = 13,
    ClassAspText = 14,
    ClassAspKeyword = 15,
    ClassAspString = 16,
    ClassAspComment = 17,
    ColorClassCount = 18
};

// One colored run: from `start` (character index) to the next block's start or the line's end.
struct ColorBlock {
    int start = 0;
    int colorClass = ClassPlainText;
};

}  // namespace tarnwell
