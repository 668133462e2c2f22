// The line parser that colors HTML, ASP (VBScript between "<%" and "%>") and VBScript SCRIPT elements.
//
// A pure function of (incoming cookie, line bytes, context) -> outgoing cookie. The editor view calls it
// from CVeskView::ParseLineColors, once per line, with the cookie the previous line returned (0 before
// line 0):
//     tarnwell::HtmlAspContext ctx{GetFileKind(doc->PathName()), &HtmlKeywordSet(), &VbKeywordSet(), enabled};
//     int count = 0;                       // blocks need room for MaxBlocksForLine(length)
//     LineCookie out = ParseHtmlAspLine(in, text, length, blocks, count, ctx);
// With blocks == nullptr only the outgoing cookie is computed (the same cookie either way). Blocks come
// in non-decreasing start order, the first at 0; two blocks may share a start (the later one decides).
// The result uses the carried bits below only (never -1).
#pragma once

#include "lang/Keywords.h"
#include "text/Coloring.h"

#include <string_view>
#include <vector>

namespace tarnwell {

// FileKind of a document, from its path name.
enum FileKind : int {
    FileKindOther = 0,
    FileKindHtml = 2,    // .htm .html
    FileKindAsp = 4,     // .asp .asa .inc, and an untitled document
    FileKindAspNet = 8,  // .aspx
};

// Kind from the extension of the path's file name (case-insensitive); an empty path is FileKindAsp.
FileKind GetFileKind(std::string_view pathName);

// Server pages (kinds 4 and 8) get ASP blocks, SCRIPT elements, the outline and member lists.
constexpr bool IsServerPage(int kind) { return (kind & 0xC) != 0; }

// Bits of the parser's LineCookie. The first five are carried from line to line; the VBScript string and
// comment bits live only while one line is scanned (neither continues on the next line).
namespace cookie {
constexpr LineCookie InHtmlComment = 0x01;   // inside "<!--" ... "-->"
constexpr LineCookie InHtmlString = 0x02;    // inside a double-quoted string of HTML text
constexpr LineCookie InTag = 0x04;           // after "<" or "{", before ">" or "}"
constexpr LineCookie InAspBlock = 0x08;      // inside "<%" ... "%>"
constexpr LineCookie InServerScript = 0x10;  // inside a SCRIPT element whose language is VBScript
constexpr LineCookie InScriptString = 0x20;  // inside a VBScript string literal (this line only)
constexpr LineCookie InScriptComment = 0x40; // inside a VBScript ' or Rem comment (this line only)
constexpr LineCookie CarriedMask = 0x1F;     // the bits a line passes on
}  // namespace cookie

// What the parser needs besides the line. A null keyword set counts as empty.
struct HtmlAspContext {
    int fileKind = FileKindAsp;
    const KeywordSet* htmlKeywords = nullptr;
    const KeywordSet* vbKeywords = nullptr;
    bool syntaxColoring = true;  // "Enable Syntax Coloring"; off: every line returns 0 with no block
};

// Room a block array needs for one line (beyond the blocks already in it).
constexpr int MaxBlocksForLine(int length) { return 3 * (length < 0 ? 0 : length) + 2; }

// Colors one line. blocks (or nullptr) must have room for blockCount + MaxBlocksForLine(length) entries;
// blockCount is the number of blocks already there and is raised for each block appended.
LineCookie ParseHtmlAspLine(LineCookie incoming, const char* line, int length, ColorBlock* blocks, int& blockCount,
                            const HtmlAspContext& ctx);

// Convenience form: appends to *blocks (when given).
LineCookie ParseHtmlAspLine(LineCookie incoming, std::string_view line, std::vector<ColorBlock>* blocks,
                            const HtmlAspContext& ctx);

// The parser's state between two bytes of a line: with the line's bytes, all the rest of the parse
// depends on.
struct HtmlAspParseState {
    int i = 0;                 // the next byte
    LineCookie flags = 0;
    bool pending = true;       // a base-color block starts at the next step (at i - 1 with backOne)
    bool backOne = false;
    int wordStart = -1;        // the word being read (or -1)
    int ltScanned = 0;         // lastLt is the last "<" before ltScanned
    int lastLt = -1;
};

// What the parser keeps about one long line so that it is never parsed whole again without need: its
// state about every kStep bytes. After an edit the line is parsed again from the last state that the
// edit cannot have touched up to the first state where the new parse meets the old one; a paint
// parses only the bytes it shows, from the state before them. Results equal those of
// ParseHtmlAspLine (the blocks of a range and the outgoing cookie).
class HtmlAspLineMemo : public LineParseMemo {
public:
    static constexpr int kStep = 4096;

    // Parses the line after a change that kept its first `prefix` and last `suffix` bytes (prefix -1:
    // anything may have changed, or the memo is new) and returns the outgoing cookie. The incoming
    // cookie and the context must be those of the last call for the kept parts to count.
    LineCookie Update(LineCookie incoming, const char* line, int length, const HtmlAspContext& ctx, int prefix = -1,
                      int suffix = 0);
    // Appends the blocks that color bytes [from, to) of the line last given to Update (the same bytes),
    // in the context given then: the first one starts at or before `from`. Nothing when coloring is off.
    void BlocksFor(const char* line, int length, int from, int to, std::vector<ColorBlock>& out) const override;

    LineCookie Outgoing() const { return outgoing_; }
    int StateCount() const { return static_cast<int>(states_.size()); }
    // Bytes the last Update parsed (tests and benchmarks).
    int LastParsedBytes() const { return lastParsed_; }

    struct Saved {
        HtmlAspParseState state;
        ColorBlock top;       // the last block at that point
        bool hasTop = false;
        int failFrom;         // script-tag answers given since the previous state: the first "no" (INT_MAX: none)
        int reach;            // ... and the furthest byte a "yes" rested on (-1: none)
    };

private:
    std::vector<Saved> states_;  // in byte order; states_[0] is the start of the line
    LineCookie incoming_ = kInvalidCookie;
    LineCookie outgoing_ = kInvalidCookie;
    int length_ = 0;
    int fileKind_ = -1;
    const KeywordSet* html_ = nullptr;
    const KeywordSet* vb_ = nullptr;
    bool coloring_ = false;
    int lastParsed_ = 0;
};

// The pattern a SCRIPT start tag must match (ignoring case) to open a VBScript element.
inline constexpr const char* kVbScriptTagPattern =
    "<SCRIPT[ \\t]+.*?LANGUAGE[ \\t]*=[ \\t]*(\"?)(VBSCRIPT|VB)\\1.*?(>)";

}  // namespace tarnwell
