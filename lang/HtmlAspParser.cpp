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

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#if defined(__GNUC__)
#define TARNWELL_ALWAYS_INLINE inline __attribute__((always_inline))
#elif defined(_MSC_VER)
#define TARNWELL_ALWAYS_INLINE __forceinline
#else
#define TARNWELL_ALWAYS_INLINE inline
#endif

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define TARNWELL_PARSER_SSE2 1
#endif

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

// The same searches sixteen bytes at a time, for the byte sets spelled out in Cs (which must be exactly
// the bytes with a bit of kStop). Lines shorter than sixteen bytes, and machines without SSE2, take the
// table walk; the last partial chunk of a longer line is read as the line's last sixteen bytes.
template <char... Cs>
constexpr bool SetMatches(unsigned char stop) {
    for (int c = 0; c < 256; ++c) {
        const bool listed = ((static_cast<unsigned char>(Cs) == c) || ...);
        if (listed != ((kChars.bits[c] & stop) != 0)) return false;
    }
    return true;
}

#ifdef TARNWELL_PARSER_SSE2

template <char... Cs>
inline __m128i Equals(__m128i v) {
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi8(v, _mm_set1_epi8(Cs)))), ...);
    return hits;
}

inline __m128i Load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline unsigned Bitmask(__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }

// Sixteen bytes from p (p[-1] readable): the bytes of VbCodeStop, and blanks right after an "m" or "M".
inline unsigned VbCodeChunkMask(const char* p) {
    const __m128i v = Load(p);
    const __m128i stops = Equals<'"', '\'', '>'>(v);
    const __m128i afterM = _mm_cmpeq_epi8(_mm_or_si128(Load(p - 1), _mm_set1_epi8(0x20)), _mm_set1_epi8('m'));
    return Bitmask(_mm_or_si128(stops, _mm_and_si128(Equals<' ', '\t'>(v), afterM)));
}

template <char... Cs>
inline unsigned ChunkMask(const char* p) {
    return Bitmask(Equals<Cs...>(Load(p)));
}

// The first index >= i (i >= first) at which mask(p) has a bit, or length; false when the line is too
// short for chunks (the caller walks it instead).
template <class Mask>
inline bool FindByChunks(const char* s, int& i, int length, int first, Mask mask) {
    if (length - first < 16) return false;
    for (; i + 16 <= length; i += 16)
        if (const unsigned m = mask(s + i)) {
            i += std::countr_zero(m);
            return true;
        }
    if (i < length) {
        const int tail = length - 16;
        const unsigned m = mask(s + tail) >> (i - tail);
        i = m ? i + std::countr_zero(m) : length;
    }
    return true;
}
#endif

template <unsigned char kStop, char... Cs>
inline int FindAny(const char* s, int i, int length) {
    static_assert(SetMatches<Cs...>(kStop), "the byte list must be the table's set");
#ifdef TARNWELL_PARSER_SSE2
    if (FindByChunks(s, i, length, 0, ChunkMask<Cs...>)) return i;
#endif
    return SkipUntil(s, i, length, kStop);
}

// The first index >= i whose byte has none of the bits in keep (or length).
inline int SkipWhile(const char* s, int i, int length, unsigned char keep) {
    while (i < length && (Bits(s[i]) & keep)) ++i;
    return i;
}

// The first index >= i holding ">" (or length).
inline int FindGt(const char* s, int i, int length) {
#ifdef TARNWELL_PARSER_SSE2
    if (FindByChunks(s, i, length, 0, ChunkMask<'>'>)) return i;
#endif
    while (i < length && s[i] != '>') ++i;
    return i;
}

// The last "<" before byte to, given that lastLt is the last one before from (from <= to). Searched
// backwards: the "<" of a tag is usually a few bytes before its ">".
inline int LastLtBefore(const char* s, int from, int to, int lastLt) {
#ifdef TARNWELL_PARSER_SSE2
    for (; to > from && to >= 16; to -= 16) {
        unsigned m = ChunkMask<'<'>(s + to - 16);
        if (to - 16 < from) m &= ~0u << (from - (to - 16));  // only bytes from `from` on
        if (m) return to - 16 + 31 - std::countl_zero(m);
    }
#endif
    for (int k = to - 1; k >= from; --k)
        if (s[k] == '<') return k;
    return lastLt;
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

// The same for stop VbCodeStop alone (the cookie-only pass).
inline int SkipVbCodeStops(const char* s, int i, int length) {
#ifdef TARNWELL_PARSER_SSE2
    if (i == 0 && length > 0) {  // the first byte has no byte before it to read
        if (Bits(s[0]) & VbCodeStop) return 0;
        i = 1;
    }
    if (FindByChunks(s, i, length, 1, VbCodeChunkMask)) return i;
#endif
    return SkipVbCode(s, i, length, VbCodeStop);
}

// The first index >= i at which the byte can change the state or a block, for the state in flags
// (see the branches of Parse). inWord: an HTML or VBScript word is open (only tracked with blocks).
template <bool kBlocks>
TARNWELL_ALWAYS_INLINE int NextEventfulByte(LineCookie flags, bool inWord, const char* s, int i, int length) {
    if (flags & InHtmlString) {
        if (flags & InAspBlock) return FindGt(s, i, length);  // only the ">" of "%>"
        return FindAny<HtmlStrStop, '"', '%'>(s, i, length);
    }
    if (flags & InHtmlComment) return FindGt(s, i, length);  // only the ">" of "-->"
    if (flags & (InAspBlock | InServerScript)) {
        if (flags & InScriptString) return FindAny<VbStrStop, '"', '>'>(s, i, length);
        if (flags & InScriptComment) return FindGt(s, i, length);  // only the end of the block
        if (!kBlocks) return SkipVbCodeStops(s, i, length);
        // Words are short: a walk beats the chunks here.
        if (inWord) return SkipWhile(s, i, length, VbWord);  // the byte after the word ends it
        return SkipVbCode(s, i, length, VbCodeStop | VbWord);
    }
    if (!(flags & InTag))  // words outside a tag color nothing
        return FindAny<HtmlStop, '"', '<', '>', '{', '}'>(s, i, length);
    if (!kBlocks) return FindAny<HtmlStop | HtmlOpener, '"', '<', '>', '{', '}', '-', '%'>(s, i, length);
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
// It also notes what its answers rest on, for a parse resumed after an edit: a "yes" rests on the bytes
// of the match it found (up to `reach`), a "no" on every byte from `failFrom` to the end of the line.
struct ScriptTagTester {
    const char* s;
    int length;
    int knownMatchStart = -1;  // a match starts here (or -1)
    int knownMatchEnd = -1;
    int noMatchFrom = -1;      // no match starts at or after this (or -1)
    int failFrom = INT_MAX;    // the smallest p answered "no" (since the last TakeNotes)
    int reach = -1;            // the end of the furthest match a "yes" rested on (since the last TakeNotes)

    bool Test(int p) {
        const bool yes = Search(p);
        if (yes) {
            reach = knownMatchEnd > reach ? knownMatchEnd : reach;
        } else if (p < failFrom) {
            failFrom = p;
        }
        return yes;
    }

    // Whether a match starts at or after p.
    bool Search(int p) {
        if (noMatchFrom >= 0 && p >= noMatchFrom) return false;
        if (knownMatchStart >= 0 && p <= knownMatchStart) return true;
        // One matcher per thread keeps the compiled pattern, so a tag costs a search and no set-up.
        static thread_local regexx::Regexx rx;
        std::size_t count = 0;
        try {
            count = rx.MatchIn(std::string_view(s + p, static_cast<std::size_t>(length - p)), kVbScriptTagPattern,
                                 regexx::Regexx::IgnoreCase | regexx::Regexx::Study | regexx::Regexx::NoAtoms);
        } catch (const regexx::Regexx::Exception&) {
            count = 0;  // a failure counts as no match
        }
        if (count == 0) {
            if (noMatchFrom < 0 || p < noMatchFrom) noMatchFrom = p;
            return false;
        }
        knownMatchStart = p + static_cast<int>(rx.Matches()[0].start);
        knownMatchEnd = knownMatchStart + static_cast<int>(rx.Matches()[0].length);
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

// Keeps only the last block: what a resumable parse records with each saved state. After RemoveFrom the
// parser always appends at the removal point at once, so the lost top is never looked at.
struct TopBlock {
    static constexpr bool kBlocks = true;
    ColorBlock top{-1, ClassPlainText};
    bool has = false;

    void Append(int start, int colorClass) {
        if (has && top.start > start) return;
        top = ColorBlock{start, colorClass};
        has = true;
    }
    void RemoveFrom(int p) {
        if (has && top.start >= p) has = false;
    }
};

// Keeps the blocks that color bytes [from, to): the last block starting at or before `from`, then the
// blocks inside.
struct WindowBlocks {
    static constexpr bool kBlocks = true;
    std::vector<ColorBlock>& inside;
    int from;
    int to;
    ColorBlock before{-1, ClassPlainText};
    bool hasBefore = false;
    ColorBlock last{-1, ClassPlainText};
    bool hasLast = false;

    void Append(int start, int colorClass) {
        if (hasLast && last.start > start) return;
        last = ColorBlock{start, colorClass};
        hasLast = true;
        if (start <= from) {
            before = last;
            hasBefore = true;
        } else if (start < to) {
            inside.push_back(last);
        }
    }
    void RemoveFrom(int p) {
        while (!inside.empty() && inside.back().start >= p) inside.pop_back();
        if (hasBefore && before.start >= p) hasBefore = false;
        if (hasLast && last.start >= p) hasLast = false;
    }
};

// Looks at the parse between bytes; the plain parse has none.
struct NoWatch {
    static constexpr bool kActive = false;
    int next = INT_MAX;
    template <class Blocks>
    bool At(const HtmlAspParseState&, Blocks&, ScriptTagTester&) { return false; }
};

// The parse from a saved state (the state at the start of the line: i 0, pending, the incoming
// cookie's carried bits). `watch.At` is called at the top of each step at or after `watch.next`; when
// it answers true the parse stops there (and the result means nothing).
template <class Blocks, class Watch>
LineCookie Run(const HtmlAspParseState& from, const char* s, int length, Blocks& out, const HtmlAspContext& ctx,
               ScriptTagTester& scriptTag, Watch& watch) {
    constexpr bool kBlocks = Blocks::kBlocks;  // without blocks, keywords are never looked up
    LineCookie flags = from.flags;
    const bool server = IsServerPage(ctx.fileKind);
    const KeywordSet* html = ctx.htmlKeywords;
    const KeywordSet* vb = ctx.vbKeywords;

    bool pending = from.pending;  // a base-color block starts at the top of the next step
    bool backOne = from.backOne;  // ... at i - 1 instead of i
    int wordStart = from.wordStart;
    int ltScanned = from.ltScanned;  // the nearest "<" before ltScanned is lastLt
    int lastLt = from.lastLt;

    for (int i = from.i;; ++i) {
        if constexpr (Watch::kActive) {
            if (i >= watch.next && i < length &&
                watch.At(HtmlAspParseState{i, flags, pending, backOne, wordStart, ltScanned, lastLt}, out, scriptTag))
                return kInvalidCookie;
        }
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
                // The nearest "<" before i; each byte of the line is looked at once at most.
                if (ltScanned < i) {
                    lastLt = LastLtBefore(s, ltScanned, i, lastLt);
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

template <class Blocks>
LineCookie Parse(LineCookie incoming, const char* s, int length, Blocks out, const HtmlAspContext& ctx) {
    ScriptTagTester scriptTag{s, length};
    NoWatch watch;
    HtmlAspParseState start;
    start.flags = incoming & CarriedMask;
    return Run(start, s, length, out, ctx, scriptTag, watch);
}

// The last "<" before byte i, kept up to date as the parse moves on: the saved states hold it exactly
// (the parse itself looks it up only when a ">" needs it).
struct LastLtTracker {
    const char* s;
    int scannedTo;
    int lastLt;

    int Before(int i) {
        if (i > scannedTo) {
            lastLt = LastLtBefore(s, scannedTo, i, lastLt);
            scannedTo = i;
        }
        return lastLt;
    }
};

using Saved = HtmlAspLineMemo::Saved;

// Where a byte of the old line is in the new one, after a change that kept `prefix` bytes in front and
// moved the bytes from oldEnd on by delta; INT_MIN for a byte inside the change.
struct ByteMap {
    int prefix;
    int oldEnd;
    int delta;
    int operator()(int pos) const {
        if (pos < prefix) return pos;
        if (pos >= oldEnd) return pos + delta;
        return INT_MIN;
    }
};

// Records a state about every kStep bytes; with the old states of the line, stops where the parse
// reaches one of them in the same state past the change (the rest of the parse is the old one moved).
struct RecordWatch {
    static constexpr bool kActive = true;
    int next = 0;
    int threshold = 0;
    std::vector<Saved>& states;
    LastLtTracker lt;
    const std::vector<Saved>* old = nullptr;
    std::size_t oldNext = 0;
    ByteMap map{0, 0, 0};
    int newEnd = 0;  // new bytes from here on are unchanged
    bool met = false;

    void Aim() {
        next = threshold;
        if (old && oldNext < old->size()) {
            const int at = (*old)[oldNext].state.i + map.delta;
            if (at < next) next = at;
        }
    }

    // Positions that the rest of the parse reads must lie past the change (or be none).
    bool Same(const HtmlAspParseState& a, const TopBlock& top, const Saved& o) const {
        auto samePos = [this](int now, int was) {
            if (now < 0 || was < 0) return now == was;
            return now >= newEnd && map(was) == now;
        };
        if (a.flags != o.state.flags || a.pending != o.state.pending || a.backOne != o.state.backOne) return false;
        if (!samePos(a.wordStart, o.state.wordStart) || !samePos(a.lastLt, o.state.lastLt)) return false;
        if (top.has != o.hasTop) return false;
        return !top.has || (top.top.colorClass == o.top.colorClass && map(o.top.start) == top.top.start);
    }

    bool At(const HtmlAspParseState& now, TopBlock& top, ScriptTagTester& tester) {
        HtmlAspParseState st = now;
        st.lastLt = lt.Before(st.i);
        st.ltScanned = st.i;
        if (old) {
            while (oldNext < old->size() && (*old)[oldNext].state.i + map.delta < st.i) ++oldNext;
            if (oldNext < old->size() && st.i >= newEnd + 8 && (*old)[oldNext].state.i + map.delta == st.i &&
                Same(st, top, (*old)[oldNext])) {
                met = true;
                return true;
            }
        }
        if (st.i >= threshold) {
            states.push_back(Saved{st, top.top, top.has, tester.failFrom, tester.reach});
            tester.failFrom = INT_MAX;
            tester.reach = -1;
            threshold = (st.i / HtmlAspLineMemo::kStep + 1) * HtmlAspLineMemo::kStep;
        }
        Aim();
        if (next <= st.i) next = st.i + 1;
        return false;
    }
};

// Stops a parse once a "<" lies far enough behind `to`: later steps can change no block before it.
struct WindowWatch {
    static constexpr bool kActive = true;
    int next;
    const char* s;
    int scannedTo;

    bool At(const HtmlAspParseState& now, WindowBlocks&, ScriptTagTester&) {
        // Steps read and color at most 8 bytes behind them ("</script>").
        const int limit = now.i - 9;
        if (limit > scannedTo) {
            if (std::memchr(s + scannedTo, '<', static_cast<std::size_t>(limit - scannedTo))) return true;
            scannedTo = limit;
        }
        next = now.i + 1;
        return false;
    }
};

}  // namespace

LineCookie HtmlAspLineMemo::Update(LineCookie incoming, const char* line, int length, const HtmlAspContext& ctx,
                                   int prefix, int suffix) {
    const bool sameContext = !states_.empty() && incoming == incoming_ && ctx.fileKind == fileKind_ &&
                             ctx.htmlKeywords == html_ && ctx.vbKeywords == vb_ && ctx.syntaxColoring == coloring_;
    const int oldLength = length_;
    incoming_ = incoming;
    fileKind_ = ctx.fileKind;
    html_ = ctx.htmlKeywords;
    vb_ = ctx.vbKeywords;
    coloring_ = ctx.syntaxColoring;
    length_ = length;
    lastParsed_ = 0;
    if (!ctx.syntaxColoring || length <= 0 || line == nullptr) {
        states_.clear();
        outgoing_ = ctx.syntaxColoring ? (incoming & CarriedMask) : 0;
        return outgoing_;
    }

    ScriptTagTester tester{line, length};
    std::vector<Saved> old;
    int keep = -1;  // the last state the change cannot have touched
    ByteMap map{0, 0, 0};
    if (sameContext && prefix >= 0) {
        const int shorter = std::min(oldLength, length);
        prefix = std::min(prefix, shorter);
        suffix = std::clamp(suffix, 0, shorter - prefix);
        map = ByteMap{prefix, oldLength - suffix, length - oldLength};
        int fail = INT_MAX;
        int reach = -1;
        int verifiedFrom = INT_MAX;  // no script tag starts at or after this in the new line
        for (std::size_t k = 0; k < states_.size(); ++k) {
            const Saved& sv = states_[k];
            // All the parse read before a state must be unchanged: the bytes before it, and the 7 bytes
            // from the "<" that a ">" looked back to.
            if (sv.state.i > prefix || (sv.state.lastLt >= 0 && sv.state.lastLt + 7 > prefix)) break;
            fail = std::min(fail, sv.failFrom);
            reach = std::max(reach, sv.reach);
            if (reach > prefix) break;
            if (fail != INT_MAX && fail < verifiedFrom) {
                // A "no" holds if the new line has no match from there on either.
                if (tester.Search(fail)) break;
                verifiedFrom = fail;
            }
            keep = static_cast<int>(k);
        }
        old.swap(states_);
    } else {
        states_.clear();
    }

    HtmlAspParseState start;
    start.flags = incoming & CarriedMask;
    TopBlock top;
    RecordWatch watch{0, 0, states_, LastLtTracker{line, 0, -1}};
    if (keep >= 0) {
        states_.assign(old.begin(), old.begin() + keep + 1);
        const Saved& from = old[static_cast<std::size_t>(keep)];
        start = from.state;
        top.top = from.top;
        top.has = from.hasTop;
        watch.lt = LastLtTracker{line, start.ltScanned, start.lastLt};
        watch.threshold = (start.i / kStep + 1) * kStep;
    }
    if (!old.empty()) {
        // Only old states past the change can meet the new parse.
        std::size_t first = static_cast<std::size_t>(keep + 1);
        while (first < old.size() && old[first].state.i < map.oldEnd) ++first;
        watch.old = &old;
        watch.oldNext = first;
        watch.map = map;
        watch.newEnd = map.oldEnd + map.delta;
    }
    watch.Aim();
    const LineCookie out = Run(start, line, length, top, ctx, tester, watch);
    if (!watch.met) {
        outgoing_ = out;
        lastParsed_ = length - start.i;
        return outgoing_;
    }
    // The rest is the old parse moved: its states (with the script-tag notes since the state before
    // each) and its outgoing cookie. The state where the parses met notes what this parse saw.
    const Saved& metState = old[watch.oldNext];
    lastParsed_ = metState.state.i + map.delta - start.i;
    for (std::size_t k = watch.oldNext; k < old.size(); ++k) {
        Saved sv = old[k];
        sv.state.i = map(sv.state.i);
        sv.state.ltScanned = sv.state.i;
        if (sv.state.wordStart >= 0) sv.state.wordStart = map(sv.state.wordStart);
        if (sv.state.lastLt >= 0) sv.state.lastLt = map(sv.state.lastLt);
        if (sv.hasTop) sv.top.start = map(sv.top.start);
        if (sv.failFrom != INT_MAX) sv.failFrom = map(sv.failFrom);
        if (sv.reach >= 0) sv.reach = map(sv.reach);
        if (k == watch.oldNext) {
            sv.failFrom = tester.failFrom;
            sv.reach = tester.reach;
        }
        states_.push_back(sv);
    }
    return outgoing_;
}

void HtmlAspLineMemo::BlocksFor(const char* line, int length, int from, int to, std::vector<ColorBlock>& out) const {
    if (!coloring_ || states_.empty() || length <= 0 || line == nullptr) return;
    const HtmlAspContext ctx{fileKind_, html_, vb_, coloring_};
    from = std::clamp(from, 0, length);
    to = std::clamp(to, from, length);
    auto it = std::upper_bound(states_.begin(), states_.end(), from,
                               [](int b, const Saved& sv) { return b < sv.state.i; });
    const Saved& sv = it == states_.begin() ? states_.front() : *(it - 1);
    std::vector<ColorBlock> inside;
    WindowBlocks window{inside, from, to};
    if (sv.hasTop) {
        window.before = window.last = sv.top;
        window.hasBefore = window.hasLast = true;
    }
    ScriptTagTester tester{line, length};
    WindowWatch watch{to, line, to};
    Run(sv.state, line, length, window, ctx, tester, watch);
    if (window.hasBefore) out.push_back(window.before);
    out.insert(out.end(), inside.begin(), inside.end());
}

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
