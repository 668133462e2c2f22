// The HTML/ASP/VBScript line parser: one pass over the line, state in the cookie bits.
//
// Rules worth knowing when reading this file:
// - "%>" ends an ASP block wherever it appears in the block, also inside a VBScript string or comment;
//   "</SCRIPT>" (any case) does the same for a SCRIPT element.
// - VBScript comments start at ' or at "rem" followed by a blank or tab (the character before the "r" is
//   not tested, so "iRem x" starts a comment); VBScript strings and comments end with the line.
// - Inside an HTML attribute string an ASP block may open; after its "%>" the string goes on.
// - A SCRIPT start tag opens a VBScript element only when the whole tag lies on one line and its
//   LANGUAGE is VBScript or VB, unquoted or double-quoted.
// Speed: most bytes of a page change nothing (the inside of a string, a comment, a word, the blanks
// between words), so each step first jumps to the next byte that can (NextEventfulByte); the per-byte
// rules below then run on that byte only. A jump may stop early (that is always safe) but never passes
// a byte the per-byte rules would act on. Without blocks the words are not even looked at: they only
// ever produce blocks, never a change of state.
#include "lang/HtmlAspParser.h"

#include "lang/Regexx.h"

#include <cstring>

namespace tarnwell {

FileKind GetFileKind(std::string_view pathName) {
    if (pathName.empty()) return FileKindAsp;
    std::size_t slash = pathName.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? pathName : pathName.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return FileKindOther;
    std::string_view ext = name.substr(dot + 1);
    auto is = [ext](const char* e) {
        std::size_t n = std::strlen(e);
        if (ext.size() != n) return false;
        for (std::size_t i = 0; i < n; ++i) {
            char c = ext[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            if (c != e[i]) return false;
        }
        return true;
    };
    if (is("asp") || is("asa") || is("inc")) return FileKindAsp;
    if (is("aspx")) return FileKindAspNet;
    if (is("htm") || is("html")) return FileKindHtml;
    return FileKindOther;
}

namespace {

using namespace cookie;

// Character classes, one table lookup per character.
enum : unsigned char {
    VbWord = 0x01,       // letters, digits, "_"
    HtmlWord = 0x02,     // letters, digits and - ! @ # %
    Blank = 0x04,        // space and tab: may end "rem"
    VbCodeStop = 0x08,   // " ' >       acted on in VBScript code
    HtmlStop = 0x10,     // " < > { }   acted on in HTML text, inside a tag or not
    HtmlStrStop = 0x20,  // " %         acted on in an HTML string (the "%" of "<%")
    VbStrStop = 0x40,    // " >         acted on in a VBScript string
    HtmlOpener = 0x80,   // - %         may complete "<!--" or "<%" inside a tag
};

struct CharTable {
    unsigned char bits[256] = {};
    constexpr CharTable() {
        for (int c = 0; c < 256; ++c) {
            bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            if (alnum || c == '_') bits[c] |= VbWord;
            if (alnum || c == '-' || c == '!' || c == '@' || c == '#' || c == '%') bits[c] |= HtmlWord;
        }
        bits[' '] |= Blank;
        bits['\t'] |= Blank;
        for (unsigned char c : {'"', '\'', '>'}) bits[c] |= VbCodeStop;
        for (unsigned char c : {'"', '<', '>', '{', '}'}) bits[c] |= HtmlStop;
        for (unsigned char c : {'"', '%'}) bits[c] |= HtmlStrStop;
        for (unsigned char c : {'"', '>'}) bits[c] |= VbStrStop;
        for (unsigned char c : {'-', '%'}) bits[c] |= HtmlOpener;
    }
};
constexpr CharTable kChars;

inline unsigned char Bits(char c) { return kChars.bits[static_cast<unsigned char>(c)]; }

// The first index >= i whose byte has one of the bits in stop (or length). Four bytes a round: the
// runs between eventful bytes are where the time goes.
inline int SkipUntil(const char* s, int i, int length, unsigned char stop) {
    for (; i + 4 <= length; i += 4) {
        if (Bits(s[i]) & stop) return i;
        if (Bits(s[i + 1]) & stop) return i + 1;
        if (Bits(s[i + 2]) & stop) return i + 2;
        if (Bits(s[i + 3]) & stop) return i + 3;
    }
    while (i < length && !(Bits(s[i]) & stop)) ++i;
    return i;
}

// The first index >= i whose byte has none of the bits in keep (or length).
inline int SkipWhile(const char* s, int i, int length, unsigned char keep) {
    while (i < length && (Bits(s[i]) & keep)) ++i;
    return i;
}

// The first index >= i holding c (or length).
inline int Find(const char* s, int i, int length, char c) {
    if (i >= length) return length;
    const void* hit = std::memchr(s + i, c, static_cast<std::size_t>(length - i));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - s) : length;
}

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// s[0..n) equals the lower-case text lower, ignoring case.
inline bool EqualsIgnoreCase(const char* s, const char* lower, int n) {
    for (int k = 0; k < n; ++k)
        if (Lower(s[k]) != lower[k]) return false;
    return true;
}

// VBScript code: with stop, the " ' > bytes, and a blank right after an "m" (it may end "rem").
inline int SkipVbCode(const char* s, int i, int length, unsigned char stop) {
    for (;; ++i) {
        i = SkipUntil(s, i, length, stop | Blank);
        if (i >= length || (Bits(s[i]) & stop) || (i > 0 && Lower(s[i - 1]) == 'm')) return i;
    }
}

// The first index >= i at which the byte can change the state or a block, for the state in flags
// (see the branches of Parse). inWord: an HTML or VBScript word is open (only tracked with blocks).
template <bool kBlocks>
inline int NextEventfulByte(LineCookie flags, bool inWord, const char* s, int i, int length) {
    if (flags & InHtmlString) {
        if (flags & InAspBlock) return Find(s, i, length, '>');  // only the ">" of "%>"
        return SkipUntil(s, i, length, HtmlStrStop);
    }
    if (flags & InHtmlComment) return Find(s, i, length, '>');  // only the ">" of "-->"
    if (flags & (InAspBlock | InServerScript)) {
        if (flags & InScriptString) return SkipUntil(s, i, length, VbStrStop);
        if (flags & InScriptComment) return Find(s, i, length, '>');  // only the end of the block
        if (!kBlocks) return SkipVbCode(s, i, length, VbCodeStop);
        if (inWord) return SkipWhile(s, i, length, VbWord);  // the byte after the word ends it
        return SkipVbCode(s, i, length, VbCodeStop | VbWord);
    }
    if (!(flags & InTag)) return SkipUntil(s, i, length, HtmlStop);  // words outside a tag color nothing
    if (!kBlocks) return SkipUntil(s, i, length, HtmlStop | HtmlOpener);
    if (inWord) {
        // The word goes on up to a byte that is no word byte; a "-" or "%" may still open a comment or
        // a block, so the byte-by-byte rules see those.
        while (i < length && (Bits(s[i]) & (HtmlWord | HtmlOpener)) == HtmlWord) ++i;
        return i;
    }
    return SkipUntil(s, i, length, HtmlStop | HtmlWord);
}

inline int BaseClass(LineCookie flags) {
    if (flags & InHtmlString) return ClassHtmlString;
    if (flags & InHtmlComment) return ClassHtmlComment;
    if (flags & (InAspBlock | InServerScript)) return ClassAspText;
    return ClassPlainText;
}

inline bool Lookup(const KeywordSet* set, const char* s, int start, int end) {
    return set && set->Contains(s + start, static_cast<std::size_t>(end - start));
}

// Whether the VBScript SCRIPT-tag pattern matches the text from p to the end of the line. The answer
// depends on p only, and a search from p finds the leftmost match start q >= p, so one search answers
// for every p' <= q (a match) or every p' >= p (none); this keeps long lines of tags linear.
struct ScriptTagTester {
    const char* s;
    int length;
    int knownMatchStart = -1;  // a match starts here (or -1)
    int noMatchFrom = -1;      // no match starts at or after this (or -1)

    bool Test(int p) {
        if (noMatchFrom >= 0 && p >= noMatchFrom) return false;
        if (knownMatchStart >= 0 && p <= knownMatchStart) return true;
        // One matcher per thread keeps the compiled pattern, so a tag costs a search and no set-up.
        static thread_local regexx::Regexx rx;
        std::size_t count = 0;
        try {
            count = rx.MatchOnce(std::string_view(s + p, static_cast<std::size_t>(length - p)), kVbScriptTagPattern,
                                 regexx::Regexx::IgnoreCase | regexx::Regexx::Study | regexx::Regexx::NoAtoms);
        } catch (const regexx::Regexx::Exception&) {
            count = 0;  // a failure counts as no match
        }
        if (count == 0) {
            if (noMatchFrom < 0 || p < noMatchFrom) noMatchFrom = p;
            return false;
        }
        knownMatchStart = p + static_cast<int>(rx.Matches()[0].start);
        return true;
    }
};

// Where the blocks go: nowhere (the cookie-only pass), into a caller's array with room, or onto a
// vector. The array and vector forms keep the same rules: a block that would start before the previous
// one is dropped, and no more than capacity blocks are ever held.
struct NoBlocks {
    static constexpr bool kBlocks = false;
    void Append(int, int) {}
    void RemoveFrom(int) {}
};

struct ArrayBlocks {
    static constexpr bool kBlocks = true;
    ColorBlock* blocks;
    int& count;
    int first;     // blocks before this index were there before the call
    int capacity;  // never write at or past this index

    void Append(int start, int colorClass) {
        if (count > 0 && blocks[count - 1].start > start) return;  // would start before the previous block
        if (count >= capacity) return;
        blocks[count++] = ColorBlock{start, colorClass};
    }
    // Drops this call's blocks that start at p or later (blocks are in start order).
    void RemoveFrom(int p) {
        while (count > first && blocks[count - 1].start >= p) --count;
    }
};

struct VectorBlocks {
    static constexpr bool kBlocks = true;
    std::vector<ColorBlock>& blocks;
    std::size_t first;
    std::size_t capacity;

    void Append(int start, int colorClass) {
        if (!blocks.empty() && blocks.back().start > start) return;
        if (blocks.size() >= capacity) return;
        blocks.push_back(ColorBlock{start, colorClass});
    }
    void RemoveFrom(int p) {
        while (blocks.size() > first && blocks.back().start >= p) blocks.pop_back();
    }
};

template <class Blocks>
LineCookie Parse(LineCookie incoming, const char* s, int length, Blocks out, const HtmlAspContext& ctx) {
    constexpr bool kBlocks = Blocks::kBlocks;  // without blocks, keywords are never looked up
    LineCookie flags = incoming & CarriedMask;
    const bool server = IsServerPage(ctx.fileKind);
    const KeywordSet* html = ctx.htmlKeywords;
    const KeywordSet* vb = ctx.vbKeywords;

    bool pending = true;  // a base-color block starts at the top of the next step
    bool backOne = false; // ... at i - 1 instead of i
    int wordStart = -1;
    int ltScanned = 0;    // the nearest "<" before ltScanned is lastLt
    int lastLt = -1;
    ScriptTagTester scriptTag{s, length};

    for (int i = 0;; ++i) {
        if (pending) {
            out.Append(backOne ? i - 1 : i, BaseClass(flags));
            pending = backOne = false;
        }
        if (i >= length) break;
        i = NextEventfulByte<kBlocks>(flags, wordStart >= 0, s, i, length);
        if (i >= length) break;
        const char c = s[i];

        if (flags & InHtmlString) {  // A: HTML string (possibly with an ASP block inside it)
            if (flags & InAspBlock) {
                if (c == '>' && i >= 1 && s[i - 1] == '%') {
                    out.Append(i - 1, ClassAspCloseTag);
                    out.Append(i + 1, ClassPlainText);
                    flags &= ~InAspBlock;
                    wordStart = -1;
                    pending = true;
                }
            } else if (server && c == '%' && i >= 1 && s[i - 1] == '<') {
                out.Append(i - 1, ClassAspOpenTag);
                out.Append(i + 1, ClassAspText);
                flags &= ~InTag;
                flags |= InAspBlock;  // the string goes on after the matching "%>"
                wordStart = -1;
            } else if (c == '"') {
                flags &= ~InHtmlString;
                pending = true;  // the closing quote belongs to the string
            }
            continue;
        }

        if (flags & InHtmlComment) {  // B: nothing but "-->" counts here
            if (c == '>' && i >= 2 && s[i - 1] == '-' && s[i - 2] == '-') {
                flags &= ~InHtmlComment;
                pending = true;
            }
            continue;
        }

        if (flags & (InAspBlock | InServerScript)) {  // C: VBScript
            if (flags & InScriptString) {
                if (c == '"') {  // a doubled quote closes and reopens: the colors come out the same
                    flags &= ~InScriptString;
                    pending = true;
                    continue;
                }
            } else if (!(flags & InScriptComment)) {
                if (c == '"') {
                    out.Append(i, ClassAspString);
                    flags |= InScriptString;
                    wordStart = -1;
                } else if (c == '\'') {
                    out.Append(i, ClassAspComment);
                    flags |= InScriptComment;
                    wordStart = -1;
                } else if ((c == ' ' || c == '\t') && i >= 3 && EqualsIgnoreCase(s + i - 3, "rem", 3)) {
                    out.Append(i - 3, ClassAspComment);
                    flags |= InScriptComment;
                    wordStart = -1;
                }
            }
            // Delimiters end the block on every character, inside strings and comments too.
            if (c == '>') {
                if ((flags & InAspBlock) && i >= 1 && s[i - 1] == '%') {
                    out.Append(i - 1, ClassAspCloseTag);
                    out.Append(i + 1, ClassPlainText);
                    flags &= ~(InAspBlock | InScriptString | InScriptComment);
                    wordStart = -1;
                    pending = true;
                } else if ((flags & InServerScript) && i >= 8 && EqualsIgnoreCase(s + i - 8, "</script>", 9)) {
                    out.Append(i - 8, ClassAspCloseTag);
                    out.Append(i + 1, ClassPlainText);
                    flags &= ~(InServerScript | InScriptString | InScriptComment);
                    wordStart = -1;
                    pending = true;
                }
            }
            if (flags & (InScriptString | InScriptComment)) continue;
            if (kChars.bits[static_cast<unsigned char>(c)] & VbWord) {
                if (wordStart < 0) wordStart = i;
                continue;
            }
            if (wordStart >= 0) {
                if (kBlocks && Lookup(vb, s, wordStart, i)) out.Append(wordStart, ClassAspKeyword);
                pending = backOne = true;  // the character that ended the word starts a base-color run
                wordStart = -1;
            }
            continue;
        }

        // D: HTML text, inside or outside a tag.
        if (c == '"') {
            out.Append(i, ClassHtmlString);
            flags |= InHtmlString;
            wordStart = -1;
            continue;
        }
        if (c == '-' && i >= 3 && s[i - 1] == '-' && s[i - 2] == '!' && s[i - 3] == '<') {
            out.Append(i - 3, ClassHtmlComment);
            flags &= ~InTag;
            flags |= InHtmlComment;
            wordStart = -1;
            continue;
        }
        if (server && i >= 1) {
            if (c == '%' && s[i - 1] == '<') {
                out.Append(i - 1, ClassAspOpenTag);
                out.Append(i + 1, ClassAspText);
                flags &= ~InTag;
                flags |= InAspBlock;
                wordStart = -1;
                continue;
            }
            if (c == '>') {
                // The nearest "<" before i, found by scanning forward once over the line.
                if (ltScanned < i) {
                    const void* hit = nullptr;
                    const char* from = s + ltScanned;
                    std::size_t n = static_cast<std::size_t>(i - ltScanned);
                    while (n > 0 && (hit = std::memchr(from, '<', n)) != nullptr) {
                        lastLt = static_cast<int>(static_cast<const char*>(hit) - s);
                        from = static_cast<const char*>(hit) + 1;
                        n = static_cast<std::size_t>(s + i - from);
                    }
                    ltScanned = i;
                }
                const int p = lastLt;
                if (p >= 0 && p + 7 <= length && EqualsIgnoreCase(s + p, "<script", 7) && scriptTag.Test(p)) {
                    out.RemoveFrom(p);
                    out.Append(p, ClassAspOpenTag);
                    out.Append(i + 1, ClassAspText);
                    flags &= ~InTag;
                    flags |= InServerScript;
                    wordStart = -1;
                    continue;
                }
            }
        }
        if (kChars.bits[static_cast<unsigned char>(c)] & HtmlWord) {
            if (wordStart < 0) wordStart = i;
            continue;
        }
        if (kBlocks && wordStart >= 0 && (flags & InTag) && Lookup(html, s, wordStart, i)) {
            out.Append(wordStart, ClassHtmlKeyword);
            pending = backOne = true;
        }
        wordStart = -1;
        if (c == '<' || c == '{')
            flags |= InTag;
        else if (c == '>' || c == '}')
            flags &= ~InTag;
    }

    // End of line: a word running to the end is looked up too.
    if (kBlocks && wordStart >= 0) {
        if ((flags & InTag) && Lookup(html, s, wordStart, length))
            out.Append(wordStart, ClassHtmlKeyword);
        else if ((flags & (InAspBlock | InServerScript)) && Lookup(vb, s, wordStart, length))
            out.Append(wordStart, ClassAspKeyword);
    }
    return flags & CarriedMask;
}

}  // namespace

LineCookie ParseHtmlAspLine(LineCookie incoming, const char* line, int length, ColorBlock* blocks, int& blockCount,
                            const HtmlAspContext& ctx) {
    if (!ctx.syntaxColoring) return 0;
    if (length <= 0 || line == nullptr) return incoming & CarriedMask;
    if (!blocks) return Parse(incoming, line, length, NoBlocks{}, ctx);
    return Parse(incoming, line, length, ArrayBlocks{blocks, blockCount, blockCount, blockCount + MaxBlocksForLine(length)},
                 ctx);
}

LineCookie ParseHtmlAspLine(LineCookie incoming, std::string_view line, std::vector<ColorBlock>* blocks,
                            const HtmlAspContext& ctx) {
    const int length = line.size() > static_cast<std::size_t>(INT32_MAX / 4) ? INT32_MAX / 4 : static_cast<int>(line.size());
    if (!blocks || !ctx.syntaxColoring || length == 0) {
        int none = 0;
        return ParseHtmlAspLine(incoming, line.data(), length, nullptr, none, ctx);
    }
    // Room for the usual line up front, so appending does not reallocate; a huge line grows as needed.
    const std::size_t before = blocks->size();
    blocks->reserve(before + static_cast<std::size_t>(MaxBlocksForLine(length < 4096 ? length : 4096)));
    return Parse(incoming, line.data(), length,
                 VectorBlocks{*blocks, before, before + static_cast<std::size_t>(MaxBlocksForLine(length))}, ctx);
}

}  // namespace tarnwell
