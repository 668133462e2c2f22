// The HTML/ASP/VBScript line parser: exact block sequences for each state branch and their interplay,
// cookies across lines, the switches, and robustness over arbitrary bytes.
#include "lang/HtmlAspParser.h"

#include "lang/Keywords.h"
#include "lang/Regexx.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tarnwell;
using namespace tarnwell::cookie;

namespace {

struct Fixture {
    KeywordSet html, vb;
    Fixture() {
        ParseKeywordText(html, "table, td, border, href, a, script, language, runat, !doctype");
        ParseKeywordText(vb, "dim, if, then, end, response, nothing");
    }
    HtmlAspContext Ctx(int kind = FileKindAsp, bool on = true) const { return HtmlAspContext{kind, &html, &vb, on}; }
};

const Fixture& K() {
    static Fixture f;
    return f;
}

std::string Blocks(const std::vector<ColorBlock>& b) {
    std::string s;
    for (const auto& x : b) s += "(" + std::to_string(x.start) + "," + std::to_string(x.colorClass) + ")";
    return s;
}

struct Result {
    LineCookie out;
    std::string blocks;
};

Result Parse(const std::string& line, LineCookie in = 0, int kind = FileKindAsp, bool on = true) {
    std::vector<ColorBlock> b;
    LineCookie out = ParseHtmlAspLine(in, line, &b, K().Ctx(kind, on));
    // The cookie-only pass must agree.
    EXPECT_EQ(ParseHtmlAspLine(in, line, nullptr, K().Ctx(kind, on)), out) << line;
    return {out, Blocks(b)};
}

// The class in effect at each character (later same-start blocks win), one letter per class.
std::string Classes(const std::string& line, LineCookie in = 0, int kind = FileKindAsp) {
    std::vector<ColorBlock> b;
    ParseHtmlAspLine(in, line, &b, K().Ctx(kind));
    const char* letters = "..tm...KSC<.>.akscxxxx";
    std::string s(line.size(), '?');
    for (std::size_t k = 0; k < b.size(); ++k) {
        int end = k + 1 < b.size() ? b[k + 1].start : int(line.size());
        for (int i = b[k].start; i < end && i < int(line.size()); ++i) s[i] = letters[b[k].colorClass];
    }
    return s;
}

}  // namespace

TEST(HtmlAspParser, WorkedExampleGivesItsNineBlocks) {
    Result r = Parse("<% Dim x %>");
    EXPECT_EQ(r.blocks, "(0,2)(0,10)(2,14)(3,15)(6,14)(8,14)(9,12)(11,2)(11,2)");
    EXPECT_EQ(r.out, 0);
}

TEST(HtmlAspParser, SwitchOffAndEmptyLine) {
    Result off = Parse("<% Dim x", InTag, FileKindAsp, false);
    EXPECT_EQ(off.out, 0);
    EXPECT_EQ(off.blocks, "");
    Result empty = Parse("", InAspBlock | InHtmlString | 0x60);
    EXPECT_EQ(empty.out, InAspBlock | InHtmlString);
    EXPECT_EQ(empty.blocks, "");
    EXPECT_EQ(Parse("", 0, FileKindAsp, false).out, 0);
}

TEST(HtmlAspParser, TagsKeywordsAndTagsSpanningLines) {
    // Inside one tag every keyword is colored, also after a word that is not one.
    EXPECT_EQ(Classes("<table foo border=1>x"), "tKKKKKtttttKKKKKKtttt");
    Result first = Parse("<table");
    EXPECT_EQ(first.out, InTag);
    EXPECT_EQ(first.blocks, "(0,2)(1,7)");  // the word running to the end of the line
    // The second line keeps InTag whether or not the first was ever drawn.
    Result second = Parse("  border=0>border", InTag);
    EXPECT_EQ(second.blocks, "(0,2)(2,7)(8,2)");
    EXPECT_EQ(second.out, 0);
    // "{" and "}" open and close a tag too; outside a tag nothing is a keyword.
    EXPECT_EQ(Classes("{td} td"), "tKKtttt");
}

TEST(HtmlAspParser, HtmlStringsAndComments) {
    EXPECT_EQ(Classes("<a href=\"x y\">a"), "tKtKKKKtSSSSSt" "t");
    Result open = Parse("text \"unclosed");
    EXPECT_EQ(open.out, InHtmlString);
    EXPECT_EQ(Parse("still\" <td>", InHtmlString).blocks, "(0,8)(6,2)(8,7)(10,2)");
    EXPECT_EQ(Parse("td <td", 0).blocks, "(0,2)(4,7)");  // outside a tag a keyword is not one
    Result c = Parse("a<!-- <% x %> \"q");
    EXPECT_EQ(c.out, InHtmlComment);  // nothing but "-->" counts in a comment
    EXPECT_EQ(c.blocks, "(0,2)(1,9)");
    EXPECT_EQ(Parse("x --> y", InHtmlComment).blocks, "(0,9)(5,2)");
    // "<!-->" and "<!--->" close at once: the opening dashes count.
    EXPECT_EQ(Parse("<!-->a").blocks, "(0,2)(0,9)(5,2)");
    EXPECT_EQ(Parse("<!-->a").out, 0);
    EXPECT_EQ(Parse("<!--->a").blocks, "(0,2)(0,9)(6,2)");
    EXPECT_EQ(Parse("<!-- ->a").out, InHtmlComment);
}

TEST(HtmlAspParser, AspBlockInsideAttributeString) {
    // The string is 8, delimiters 10/12, the expression 14 without keywords; the string goes on after "%>".
    const std::string line = "<a href=\"<%= Dim %>/x\">";
    EXPECT_EQ(Classes(line), "tKtKKKKtS<<aaaaaa>>SSSt");
    Result r = Parse(line);
    EXPECT_EQ(r.out, 0);
    // An open ASP block inside a string is carried with the string; the next line starts in the string's
    // base color, as the base color puts the string first.
    Result open = Parse("<a href=\"<%= x");
    EXPECT_EQ(open.out, InHtmlString | InAspBlock);
    EXPECT_EQ(Parse(" y %>z\">", InHtmlString | InAspBlock).blocks, "(0,8)(3,12)(5,2)(5,8)(7,2)");
}

TEST(HtmlAspParser, VbScriptStringsCommentsAndDelimiters) {
    EXPECT_EQ(Classes("<% x = \"a %> b"), "<<aaaaasss>>tt");
    EXPECT_EQ(Parse("<% x = \"a %> b").out, 0);  // "%>" inside a string still closes the block
    // A comment-only block closed on the same line.
    Result c = Parse("<% ' note %>");
    EXPECT_EQ(c.blocks, "(0,2)(0,10)(2,14)(3,17)(10,12)(12,2)(12,2)");
    EXPECT_EQ(c.out, 0);
    // Strings and comments end with the line; the block does not.
    EXPECT_EQ(Parse("<% x = \"open").out, InAspBlock);
    EXPECT_EQ(Parse("<% ' open").out, InAspBlock);
    EXPECT_EQ(Parse("Dim x", InAspBlock).blocks, "(0,14)(0,15)(3,14)");
    // Doubled quotes inside a VBScript string.
    EXPECT_EQ(Classes("x = \"a\"\"b\" if", InAspBlock), "aaaassssssakk");
}

TEST(HtmlAspParser, RemComments) {
    EXPECT_EQ(Classes("rem note if", InAspBlock), "ccccccccccc");
    EXPECT_EQ(Parse("REM\tx", InAspBlock).blocks, "(0,14)(0,17)");
    // "rem" ending an identifier starts a comment: the character before the "r" is not tested.
    EXPECT_EQ(Parse("iRem = 1 %>x", InAspBlock).blocks, "(0,14)(1,17)(9,12)(11,2)(11,2)");
    // "rem" at the end of a line or followed by another character is a word.
    EXPECT_EQ(Parse("x rem", InAspBlock).blocks, "(0,14)(1,14)");
    EXPECT_EQ(Parse("remark if", InAspBlock).blocks, "(0,14)(6,14)(7,15)");
}

TEST(HtmlAspParser, OddDelimitersAndTheDropRule) {
    // "<%>" opens and closes with the shared "%"; the close block would start before the open's text
    // block and is dropped.
    EXPECT_EQ(Parse("<%>").blocks, "(0,2)(0,10)(2,14)(3,2)(3,2)");
    EXPECT_EQ(Parse("<%>").out, 0);
    EXPECT_EQ(Parse("<%<%").out, InAspBlock);
}

TEST(HtmlAspParser, ScriptElements) {
    // A double-quoted language with RUNAT: the whole tag is one run of 10.
    const std::string tag = "<SCRIPT LANGUAGE=\"VBScript\" RUNAT=Server>";
    Result r = Parse(tag + "Dim x");
    EXPECT_EQ(r.blocks, "(0,10)(41,14)(41,15)(44,14)");
    EXPECT_EQ(r.out, InServerScript);
    Result unq = Parse("x <script language=vbscript>Dim");
    EXPECT_EQ(unq.blocks, "(0,2)(2,10)(28,14)(28,15)");  // the word after the tag is a keyword
    EXPECT_EQ(Parse("<script type=x language = vb>").out, InServerScript);
    // Single quotes, a missing language, another language, or a blank missing after SCRIPT stay HTML.
    EXPECT_EQ(Parse("<script language='vbscript'>").out, 0);
    EXPECT_EQ(Parse("<script>").out, 0);
    EXPECT_EQ(Parse("<script language=javascript>").out, 0);
    EXPECT_EQ(Parse("<scriptlanguage=vb>").out, 0);
    // A quote in a tag opens an HTML string: an unmatched one swallows the ">".
    EXPECT_EQ(Parse("<script language=\"vb'>").out, InTag | InHtmlString);
    // A tag spanning lines never opens an element.
    EXPECT_EQ(Parse("<script", 0).out, InTag);
    EXPECT_EQ(Parse("language=vbscript>", InTag).out, 0);
    // The element ends at "</SCRIPT>" in any case, also inside a string or comment.
    Result end = Parse("x = \"</Script>\" <b>", InServerScript);
    // The quote that would have closed the VBScript string now opens an HTML string.
    EXPECT_EQ(end.blocks, "(0,14)(1,14)(4,16)(5,12)(14,2)(14,2)(14,8)");
    EXPECT_EQ(end.out, InHtmlString);
    EXPECT_EQ(Parse("' </script>", InServerScript).out, 0);
    // "%>" does not end a script element.
    EXPECT_EQ(Parse("%> x", InServerScript).out, InServerScript);
}

TEST(HtmlAspParser, FileKindsGateServerSyntax) {
    for (int kind : {FileKindHtml, FileKindOther}) {
        EXPECT_EQ(Parse("<% Dim %>", 0, kind).blocks, "(0,2)") << kind;  // a plain tag "<% Dim %>"
        EXPECT_EQ(Parse("<% Dim", 0, kind).out, InTag) << kind;
        EXPECT_EQ(Parse("<script language=vbscript>", 0, kind).out, 0) << kind;
        EXPECT_EQ(Parse("\"<%", 0, kind).out, InHtmlString) << kind;
    }
    EXPECT_EQ(Parse("<% Dim", 0, FileKindAspNet).out, InAspBlock);
    EXPECT_EQ(Parse("<% Dim", 0, GetFileKind("")).out, InAspBlock);  // untitled
}

TEST(HtmlAspParser, GetFileKind) {
    struct Row { const char* path; int kind; };
    for (Row r : {Row{"", 4}, {"a.asp", 4}, {"C:\\web\\A.ASA", 4}, {"/x/inc.Inc", 4}, {"p.aspx", 8},
                  {"index.htm", 2}, {"index.HTML", 2}, {"readme", 0}, {"a.txt", 0}, {"a.asp.bak", 0},
                  {"/dir.asp/page", 0}, {"dir.htm\\noext", 0}, {"trailing.", 0}, {".asp", 4}})
        EXPECT_EQ(GetFileKind(r.path), r.kind) << r.path;
    EXPECT_TRUE(IsServerPage(4));
    EXPECT_TRUE(IsServerPage(8));
    EXPECT_FALSE(IsServerPage(2));
    EXPECT_FALSE(IsServerPage(0));
}

TEST(HtmlAspParser, WordStartDoesNotLeakIntoTheNextRun) {
    // The word interrupted by a string, comment or delimiter is not looked up together with what follows.
    EXPECT_EQ(Parse("table\"x\" border", InTag).blocks, "(0,2)(5,8)(8,2)(9,7)");
    EXPECT_EQ(Parse("dim\"x\"dim", InAspBlock).blocks, "(0,14)(3,16)(6,14)(6,15)");
    EXPECT_EQ(Parse("x td<% x", InTag).blocks, "(0,2)(2,7)(4,2)(4,10)(6,14)");
    EXPECT_EQ(Parse("td!--x", 0).blocks, "(0,2)");
}

TEST(HtmlAspParser, MissingKeywordSetsColorNoKeywords) {
    HtmlAspContext ctx{FileKindAsp, nullptr, nullptr, true};
    std::vector<ColorBlock> b;
    EXPECT_EQ(ParseHtmlAspLine(0, "<% Dim x %><table>", &b, ctx), 0);
    EXPECT_EQ(Blocks(b), "(0,2)(0,10)(2,14)(6,14)(8,14)(9,12)(11,2)(11,2)");
}

TEST(HtmlAspParser, ScriptTagTestCompilesOnce) {
    Parse("<script language=vbscript>");
    const auto before = regexx::Regexx::CompileCount();
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Parse("<script language=vb>").out, InServerScript);
    EXPECT_EQ(regexx::Regexx::CompileCount(), before);
}

TEST(HtmlAspParser, LongLinesOfTagsStayFast) {
    // Many ">" after one "<script" and many "<script" tags without a language: each must not rescan the
    // line (this would take minutes if it did).
    std::string line = "<script src=x";
    line.append(400000, '>');
    EXPECT_EQ(Parse(line).out, 0);
    std::string tags;
    for (int i = 0; i < 50000; ++i) tags += "<script a>";
    EXPECT_EQ(Parse(tags + "<script language=vb>x").out, InServerScript);
    std::string gts(1000000, '>');
    EXPECT_EQ(Parse(gts).out, 0);
}

TEST(HtmlAspParser, EachStateFindsItsDelimiterAtAnyOffset) {
    // The parser skips runs that change nothing several bytes at a time; a delimiter must be found
    // wherever it lies: at the line's start, across chunk boundaries, in the line's last bytes.
    struct Case {
        LineCookie in;
        char filler;
        const char* event;
        LineCookie out;
        char classAtEvent;  // letter as in Classes(), 0: not checked
    };
    const Case cases[] = {
        {0, 'a', "<", InTag, 0},
        {InTag, ' ', ">", 0, 0},
        {InTag, 'b', "<%", InAspBlock, '<'},
        {InTag, ' ', "<!--", InHtmlComment, 'C'},
        {InHtmlString, 'x', "\"", 0, 'S'},
        {InHtmlString, 'x', "<%", InHtmlString | InAspBlock, '<'},
        {InHtmlComment, 'x', "-->", 0, 'C'},
        {InHtmlComment, '-', "-->", 0, 'C'},
        {InAspBlock, 'x', "%>", 0, '>'},
        {InAspBlock, ' ', "\"%>", 0, 's'},
        {InAspBlock, ' ', "Rem\t", InAspBlock, 'c'},
        {InAspBlock, ' ', "'", InAspBlock, 'c'},
        {InServerScript, 'y', "</script>", 0, '>'},
        {0, 'z', "<script language=vb>", InServerScript, '<'},
    };
    for (const Case& c : cases) {
        for (int before = 0; before <= 40; ++before) {
            for (int after : {0, 1, 17}) {
                const std::string line = std::string(before, c.filler) + c.event + std::string(after, c.filler);
                EXPECT_EQ(Parse(line, c.in).out, c.out) << c.event << " at " << before << " in " << line.size();
                if (c.classAtEvent)
                    EXPECT_EQ(Classes(line, c.in)[before], c.classAtEvent) << c.event << " at " << before;
            }
        }
    }
}

TEST(HtmlAspParser, AnyBytesGiveOrderedBlocksAndTheSameCookieEitherWay) {
    std::mt19937 rng(12345);
    const std::string alphabet = "<%>\"'-!{}/ \tremSCRIPTlanguage=vbscriptDim\x00\xff\x80\r";
    for (int round = 0; round < 3000; ++round) {
        std::string line;
        int len = int(rng() % 80);
        for (int k = 0; k < len; ++k)
            line += (rng() % 4 == 0) ? char(rng() % 256) : alphabet[rng() % alphabet.size()];
        const LineCookie valid[] = {0, 1, 2, 4, 6, 8, 10, 16};
        LineCookie in = valid[rng() % 8];
        int kind = int(rng() % 3) * 4;  // 0, 4, 8
        std::vector<ColorBlock> b;
        LineCookie out = ParseHtmlAspLine(in, line, &b, K().Ctx(kind));
        ASSERT_EQ(ParseHtmlAspLine(in, line, nullptr, K().Ctx(kind)), out);
        ASSERT_EQ(out & ~CarriedMask, 0);
        ASSERT_FALSE((out & InAspBlock) && (out & InServerScript)) << line;
        if (line.empty()) continue;
        ASSERT_FALSE(b.empty());
        ASSERT_EQ(b[0].start, 0);
        ASSERT_LE(int(b.size()), MaxBlocksForLine(len));
        for (std::size_t k = 0; k < b.size(); ++k) {
            ASSERT_GE(b[k].colorClass, 0);
            ASSERT_LT(b[k].colorClass, ColorClassCount);
            ASSERT_LE(b[k].start, len);
            if (k) {
                ASSERT_LE(b[k - 1].start, b[k].start);
            }
        }
    }
}

TEST(HtmlAspParser, RawArrayFormAppendsAfterExistingBlocks) {
    std::vector<ColorBlock> arr(2 + MaxBlocksForLine(11));
    arr[0] = {0, 2};
    arr[1] = {0, 2};
    int count = 2;
    EXPECT_EQ(ParseHtmlAspLine(0, "<% Dim x %>", 11, arr.data(), count, K().Ctx()), 0);
    EXPECT_EQ(count, 11);
    EXPECT_EQ(arr[2].colorClass, 2);
    EXPECT_EQ(arr[10].start, 11);
}
