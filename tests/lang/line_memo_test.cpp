// The long-line memo of the HTML/ASP parser: after any edit its outgoing cookie and the colors of any
// byte range equal a fresh parse of the whole line, and an edit is parsed again only near itself.
#include "lang/HtmlAspParser.h"

#include "lang/Keywords.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tarnwell;

namespace {

struct Sets {
    KeywordSet html, vb;
    Sets() {
        ParseKeywordText(html, "table, td, border, href, a, script, language, runat, b, p");
        ParseKeywordText(vb, "dim, if, then, end, response, write, function");
    }
    HtmlAspContext Ctx(int kind = FileKindAsp, bool on = true) const { return HtmlAspContext{kind, &html, &vb, on}; }
};

const Sets& K() {
    static Sets s;
    return s;
}

// Pieces of minified pages, with every construct whose state spans bytes: tags, strings, comments,
// server blocks, SCRIPT elements that do and do not take VBScript, and half constructs.
const char* const kPieces[] = {
    "<table border=\"1\">", "<td class=\"n\">", "<%= rs(\"Name\") %>", "</td>", "<!-- a comment -->",
    "<script language=\"VBScript\" runat=\"server\">", "Function Twice(x) : Twice = x * 2 : End Function",
    "</script>", "<script type=\"text/javascript\">var a = \"<b>\";</script>", "<% Dim a ' note %>",
    "Response.Write \"x\" rem y", "<p>text & more</p>", "\"", "<", ">", "%>", "<%", "-->", "<!--", " ",
    "<a href=\"d.asp?id=<%= id %>\">x</a>", "{", "}", "<SCRIPT LANGUAGE=vb>", "Rem z", "if x then",
};

std::string RandomText(std::mt19937& rng, int bytes) {
    std::string s;
    while (static_cast<int>(s.size()) < bytes) s += kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
    return s;
}

// The class each byte is drawn in (-1 before the first block).
std::vector<int> ClassesOf(const std::vector<ColorBlock>& blocks, int from, int to) {
    std::vector<int> out(static_cast<size_t>(to - from), -1);
    for (size_t k = 0; k < blocks.size(); ++k) {
        const int end = k + 1 < blocks.size() ? blocks[k + 1].start : to;
        for (int b = std::max(from, blocks[k].start); b < std::min(end, to); ++b) out[b - from] = blocks[k].colorClass;
    }
    return out;
}

void ExpectSameAsFreshParse(const HtmlAspLineMemo& memo, LineCookie in, const std::string& s,
                            const HtmlAspContext& ctx, std::mt19937& rng) {
    std::vector<ColorBlock> full;
    const LineCookie out = ParseHtmlAspLine(in, s, &full, ctx);
    ASSERT_EQ(memo.Outgoing(), out);
    const int n = static_cast<int>(s.size());
    const std::vector<int> want = ClassesOf(full, 0, n);
    for (int k = 0; k < 12; ++k) {
        const int from = static_cast<int>(rng() % (n + 1));
        const int to = std::min(n, from + static_cast<int>(rng() % 300));
        std::vector<ColorBlock> window;
        memo.BlocksFor(s.data(), n, from, to, window);
        if (from < to) {
            ASSERT_FALSE(window.empty() || window.front().start > from) << from;
        }
        const std::vector<int> got = ClassesOf(window, from, to);
        ASSERT_EQ(got, std::vector<int>(want.begin() + from, want.begin() + to)) << "bytes " << from << ".." << to;
    }
}

}  // namespace

TEST(HtmlAspLineMemo, RandomEditsOfALongLineColorAsAFreshParse) {
    struct Case {
        LineCookie incoming;
        int kind;
    } cases[] = {{0, FileKindAsp}, {cookie::InAspBlock, FileKindAsp}, {cookie::InTag, FileKindHtml}};
    std::mt19937 rng(2024);
    for (const Case& c : cases) {
        const HtmlAspContext ctx = K().Ctx(c.kind);
        std::string s = RandomText(rng, 12 * HtmlAspLineMemo::kStep);
        HtmlAspLineMemo memo;
        memo.Update(c.incoming, s.data(), static_cast<int>(s.size()), ctx);
        ExpectSameAsFreshParse(memo, c.incoming, s, ctx, rng);
        for (int round = 0; round < 60; ++round) {
            const int n = static_cast<int>(s.size());
            const int at = static_cast<int>(rng() % (n + 1));
            const int removed = rng() % 3 == 0 ? static_cast<int>(rng() % std::min(n - at + 1, 200)) : 0;
            const std::string added = rng() % 4 == 0 ? std::string() : RandomText(rng, 1 + rng() % 12);
            s.replace(static_cast<size_t>(at), static_cast<size_t>(removed), added);
            memo.Update(c.incoming, s.data(), static_cast<int>(s.size()), ctx, at, n - at - removed);
            ExpectSameAsFreshParse(memo, c.incoming, s, ctx, rng);
        }
    }
}

TEST(HtmlAspLineMemo, AnEditIsParsedAgainOnlyNearItself) {
    const HtmlAspContext ctx = K().Ctx();
    std::mt19937 rng(5);
    // Markup and server blocks without SCRIPT tags: nothing reaches far along the line.
    std::string s;
    while (s.size() < 400000) s += "<td class=\"n\"><%= rs(\"Name\") %></td><!-- c --><p>text</p>";
    HtmlAspLineMemo memo;
    memo.Update(0, s.data(), static_cast<int>(s.size()), ctx);
    EXPECT_EQ(memo.LastParsedBytes(), static_cast<int>(s.size()));
    struct Edit {
        size_t at;
        const char* text;
    } edits[] = {{s.size(), "x"}, {0, "<b>"}, {200000, "y"}, {s.size() / 2, "<p>"}};
    for (const Edit& e : edits) {
        const int n = static_cast<int>(s.size());
        s.insert(std::min(e.at, s.size()), e.text);
        memo.Update(0, s.data(), static_cast<int>(s.size()), ctx, static_cast<int>(std::min(e.at, s.size())),
                    n - static_cast<int>(std::min<size_t>(e.at, n)));
        EXPECT_LT(memo.LastParsedBytes(), 3 * HtmlAspLineMemo::kStep) << e.text;
        ExpectSameAsFreshParse(memo, 0, s, ctx, rng);
    }
    // A changed incoming cookie or context parses the whole line again.
    memo.Update(cookie::InHtmlComment, s.data(), static_cast<int>(s.size()), ctx, 10, 10);
    EXPECT_EQ(memo.LastParsedBytes(), static_cast<int>(s.size()));
    ExpectSameAsFreshParse(memo, cookie::InHtmlComment, s, ctx, rng);
    memo.Update(cookie::InHtmlComment, s.data(), static_cast<int>(s.size()), K().Ctx(FileKindAsp, false), 10, 10);
    EXPECT_EQ(memo.Outgoing(), 0);
}
