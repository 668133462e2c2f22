// Literal text search over a line table: the matching step (TextFinder) and the block search with
// direction and wrap (FindInBlock, FindInText). A match never spans a line break.
#pragma once

#include "text/CaseFolding.h"
#include "text/TextPosition.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// Search flags (bit set).
enum : unsigned {
    SearchCaseBit = 0x01,  // compare case-sensitively; otherwise both sides are upper-cased
    SearchWordBit = 0x02,  // accept only whole-word matches
    SearchUpBit = 0x10,    // search towards the start of the text
};

// What the search reads: the lines of a text. Line text need not be NUL-terminated.
class SearchLines {
public:
    virtual ~SearchLines() = default;
    virtual int LineCount() const = 0;
    virtual int LineLength(int line) const = 0;
    virtual const char* LineText(int line) const = 0;
};

// Adapts anything with LineCount/LineLength/LineText members (a text buffer) to SearchLines.
template <class Lines>
class LinesOf final : public SearchLines {
public:
    explicit LinesOf(const Lines& lines) : lines_(lines) {}
    int LineCount() const override { return lines_.LineCount(); }
    int LineLength(int line) const override { return lines_.LineLength(line); }
    const char* LineText(int line) const override { return lines_.LineText(line); }

private:
    const Lines& lines_;
};

// Lines held in a vector of strings (tests, the command-line tool).
class VectorLines final : public SearchLines {
public:
    VectorLines() = default;
    explicit VectorLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    // Splits at CR LF, lone CR and lone LF; an empty text is one empty line.
    static VectorLines FromText(std::string_view text);

    int LineCount() const override { return int(lines_.size()); }
    int LineLength(int line) const override { return int(lines_[size_t(line)].size()); }
    const char* LineText(int line) const override { return lines_[size_t(line)].data(); }
    std::vector<std::string>& Lines() { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Word characters for whole-word matching: ASCII letters and digits, and "_".
inline bool IsWordChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The matching step for one pattern, prepared once and applied to many lines. Not thread-safe (the
// rare slow path upper-cases a line into a scratch buffer it owns).
class TextFinder {
public:
    TextFinder(std::string_view pattern, unsigned flags, CodePage cp);

    int PatternLength() const { return int(pattern_.size()); }

    // Char index of the first accepted occurrence that starts at or after `from` and ends at or before
    // `to` within line[0, len), or -1. Whole-word tests look at the real neighbours in the line, also
    // outside [from, to); a rejected occurrence is passed over and the search goes on one char later.
    int FindFirst(const char* line, int len, int from, int to) const;
    // The same, taking the last accepted occurrence that lies wholly in [from, to).
    int FindLast(const char* line, int len, int from, int to) const;

private:
    enum class Mode { Exact, FoldByte, FoldUtf8, FoldSlow };
    struct ByteSet {
        uint8_t b[3] = {0, 0, 0};
        int n = 0;
    };

    template <class Accept>
    bool Scan(const uint8_t* t, int from, int last, int to, Accept&& accept) const;
    template <class Accept>
    void ScanLine(const char* line, int len, int from, int to, Accept&& accept) const;
    bool Verify(const uint8_t* t, int s, int to) const;
    bool WordOk(const uint8_t* line, int len, int s) const;
    ByteSet PreimageOf(int pos) const;

    std::string pattern_;  // upper-cased unless case-sensitive
    Mode mode_ = Mode::Exact;
    const uint8_t* upper_ = nullptr;  // FoldByte: the code page's upper-case table
    bool wholeWord_ = false;
    CodePage cp_ = CodePage::Windows1252;
    int k1_ = -1, k2_ = -1;  // scan positions in the pattern (k2_ -1: one-position scan)
    ByteSet set1_, set2_;    // text bytes that may stand at k1_ / k2_ of a match
    mutable std::string scratch_;
};

struct FindResult {
    bool found = false;
    TextPosition pos;
};

// Searches `what` in the block [blockStart, blockEnd] from `start`. Down: an occurrence that starts
// before blockEnd is inside (even if it runs past it); wrap restarts once from blockStart. Up
// (SearchUpBit): the start line is examined before the start position only, each line yields its last
// occurrence, lines go towards line 0 and, with wrap, once more from the last line up to the start
// line (whole lines); the block bounds do not apply. An empty pattern or block finds nothing.
FindResult FindInBlock(const SearchLines& text, std::string_view what, TextPosition start,
                       TextPosition blockStart, TextPosition blockEnd, unsigned flags, bool wrap,
                       CodePage cp = CodePage::Windows1252);

// FindInBlock over the whole text, (0, 0) to the end of the last line.
FindResult FindInText(const SearchLines& text, std::string_view what, TextPosition start, unsigned flags,
                      bool wrap, CodePage cp = CodePage::Windows1252);

}  // namespace tarnwell
