// The shared vocabulary between the line parsers that color text and the views that draw it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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

// What a parser keeps about one long line between two parses of it (see LineColoring).
class LineParseMemo {
public:
    virtual ~LineParseMemo() = default;
    // Appends the blocks that color bytes [from, to) of the line as last parsed: the first one starts
    // at or before `from`.
    virtual void BlocksFor(const char* line, int length, int from, int to, std::vector<ColorBlock>& out) const = 0;
};

// The colors of one line as a view keeps them between paints: computed from `incoming`, valid while
// `upToDate`. Either `blocks` holds the whole line's blocks, or `memo` answers for any byte range.
struct LineColoring {
    LineCookie incoming = kInvalidCookie;
    LineCookie outgoing = kInvalidCookie;
    bool upToDate = false;
    // Since the colors were computed, the line changed but kept its first keptPrefix and last
    // keptSuffix bytes (keptPrefix -1: unknown). A memo uses them to parse only near the change.
    int keptPrefix = -1;
    int keptSuffix = 0;
    std::vector<ColorBlock> blocks;
    std::unique_ptr<LineParseMemo> memo;

    // The line's text changed, keeping `prefix` bytes in front and `suffix` bytes behind.
    void NoteEdit(int prefix, int suffix) {
        if (upToDate) {
            keptPrefix = prefix;
            keptSuffix = suffix;
        } else if (keptPrefix >= 0) {
            keptPrefix = prefix < keptPrefix ? prefix : keptPrefix;
            keptSuffix = suffix < keptSuffix ? suffix : keptSuffix;
        }
        upToDate = false;
    }
    void Forget() {
        upToDate = false;
        keptPrefix = -1;
    }
};

}  // namespace tarnwell
