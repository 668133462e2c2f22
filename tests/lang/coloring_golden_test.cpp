// Regression oracle for the HTML/ASP/VBScript line parser: its exact output is frozen in two forms.
// - Golden pages (tests/data/coloring/*): realistic files whose per-line JSON was written by
//   `tarnwell-tool colors --keywords tests/data/coloring/Keyword [--name N] FILE`; every line of it must
//   come out the same, byte for byte.
// - A differential corpus: documents generated from a fixed seed (tokens the parser reacts to, stray
//   bytes, long runs) whose cookies and blocks are hashed per batch; the hashes were recorded from the
//   parser as it was before its fast scanning paths, so any change of output shows up as a batch.
// When the output is meant to change, regenerate both (the JSON with the command above, the hashes by
// running this test with TARNWELL_WRITE_COLORING_HASHES=<path of coloring_hashes.txt>) and review the diff.
#include "lang/HtmlAspParser.h"

#include "lang/Keywords.h"
#include "lang/LineSource.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace tarnwell;
using namespace std::string_view_literals;

namespace {

const std::filesystem::path kData = std::filesystem::path(TARNWELL_TEST_DATA) / "coloring";

// One line of `tarnwell-tool colors` output.
std::string JsonLine(std::size_t n, LineCookie in, LineCookie out, const std::vector<ColorBlock>& blocks) {
    std::string s = "{\"line\":" + std::to_string(n) + ",\"in\":" + std::to_string(in) + ",\"out\":" +
                    std::to_string(out) + ",\"blocks\":[";
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        if (k) s += ',';
        s += '[' + std::to_string(blocks[k].start) + ',' + std::to_string(blocks[k].colorClass) + ']';
    }
    return s + "]}";
}

std::vector<std::string> TextLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

struct GoldenCase {
    const char* input;     // file under tests/data/coloring
    const char* name;      // the path name the kind comes from ("" = untitled)
    const char* expected;  // JSON lines under tests/data/coloring
};

const GoldenCase kGolden[] = {
    {"orders.asp", "orders.asp", "orders.asp.json"},       {"orders.asp", "orders.htm", "orders.htm.json"},
    {"scripts.asp", "scripts.asp", "scripts.asp.json"},    {"scripts.asp", "", "scripts.untitled.json"},
    {"comments.htm", "comments.htm", "comments.htm.json"}, {"comments.htm", "comments.aspx", "comments.aspx.json"},
    {"mixed.txt", "mixed.txt", "mixed.txt.json"},          {"mixed.txt", "mixed.inc", "mixed.inc.json"},
};

struct GoldenKeywords {
    KeywordSet html, vb;
    GoldenKeywords() {
        EXPECT_TRUE(LoadKeywordFile(html, kData / "Keyword" / "html.txt"));
        EXPECT_TRUE(LoadKeywordFile(vb, kData / "Keyword" / "vbscript.txt"));
    }
};

}  // namespace

TEST(ColoringGolden, PagesColorExactlyAsRecorded) {
    GoldenKeywords kw;
    for (const GoldenCase& c : kGolden) {
        SCOPED_TRACE(std::string(c.input) + " as \"" + c.name + "\"");
        std::vector<std::string> lines;
        ASSERT_TRUE(ReadFileLines((kData / c.input).string(), lines));
        const std::vector<std::string> expected = TextLines(kData / c.expected);
        ASSERT_EQ(expected.size(), lines.size());
        const HtmlAspContext ctx{GetFileKind(c.name), &kw.html, &kw.vb, true};
        LineCookie cookie = 0;
        std::vector<ColorBlock> blocks;
        for (std::size_t n = 0; n < lines.size(); ++n) {
            blocks.clear();
            const LineCookie next = ParseHtmlAspLine(cookie, lines[n], &blocks, ctx);
            EXPECT_EQ(JsonLine(n, cookie, next, blocks), expected[n]);
            EXPECT_EQ(ParseHtmlAspLine(cookie, lines[n], nullptr, ctx), next) << "cookie-only, line " << n;
            cookie = next;
        }
    }
}

TEST(ColoringGolden, ColoringOffGivesNothingForAnyPage) {
    GoldenKeywords kw;
    for (const char* input : {"orders.asp", "scripts.asp", "comments.htm", "mixed.txt"}) {
        std::vector<std::string> lines;
        ASSERT_TRUE(ReadFileLines((kData / input).string(), lines));
        const HtmlAspContext off{GetFileKind(input), &kw.html, &kw.vb, false};
        for (const std::string& line : lines) {
            std::vector<ColorBlock> blocks;
            EXPECT_EQ(ParseHtmlAspLine(cookie::InAspBlock | cookie::InTag, line, &blocks, off), 0) << input;
            EXPECT_TRUE(blocks.empty()) << input;
        }
    }
}

namespace {

// The differential corpus. std::mt19937 is the same generator on every platform; only its raw output
// (reduced with %) is used, so the corpus is too.
constexpr int kBatches = 48;
constexpr int kLinesPerBatch = 300;

// Pieces the parser reacts to, with filler words and stray bytes.
const std::string_view kTokens[] = {
    "<", ">", "<%", "%>", "<%=", "%", "\"", "\"\"", "'", "-", "--", "<!--", "-->", "<!-->", "<!", "!", "{", "}",
    "/", " ", "  ", "\t", "=", "rem ", "REM\t", "Rem", "iRem ", "rem", "<script", "<SCRIPT ", "<script ",
    "</script>", "</SCRIPT>", "</scr", " language=", "LANGUAGE = ", "language=\"", "vbscript", "\"VBScript\"",
    "vb", "'vbscript'", "javascript", " runat=server", "<script language=vbscript>",
    "<script language=\"vb\" runat=server>", "Dim", "dim x", "If", "Then", "End", "table", "TD", "border",
    "href", "a", "x", "_", "123", "!doctype", "@#", "http-equiv", "\xff", "\0"sv, "\x80", "\r", "\xc3\xa9",
    "&amp;", ";", ":", "(", ")", ",", ".",
};

std::string RandomLine(std::mt19937& rng) {
    std::string line;
    const int pieces = int(rng() % 40);
    for (int p = 0; p < pieces; ++p) {
        const unsigned roll = rng() % 100;
        if (roll < 8) {
            line += char(rng() % 256);  // any byte
        } else if (roll < 11) {
            // A long run of one character: the stretches the fast paths skip over.
            const char runChars[] = "a \"'<>%-x\t";
            line.append(std::size_t(20 + rng() % 600), runChars[rng() % (sizeof runChars - 1)]);
        } else {
            line += kTokens[rng() % std::size(kTokens)];
        }
    }
    return line;
}

// FNV-1a over 32-bit values, byte order fixed.
struct Hash {
    std::uint64_t h = 14695981039346656037ull;
    void Add(std::int64_t v) {
        for (int b = 0; b < 4; ++b) {
            h ^= std::uint64_t((v >> (8 * b)) & 0xFF);
            h *= 1099511628211ull;
        }
    }
    void Add(LineCookie out, const ColorBlock* blocks, int count) {
        Add(out);
        Add(count);
        for (int k = 0; k < count; ++k) {
            Add(blocks[k].start);
            Add(blocks[k].colorClass);
        }
    }
};

// Each batch is one document colored line after line with chained cookies (the way the view does it),
// and each of its lines colored once more from a random incoming cookie, appended after a block that
// was already in the array. Kinds rotate over the batches.
std::uint64_t BatchHash(int batch) {
    static const struct Sets {
        KeywordSet html, vb;
        Sets() {
            ParseKeywordText(html, "table, td, border, href, a, script, language, runat, !doctype, http-equiv, x");
            ParseKeywordText(vb, "dim, if, then, end, rem, x, language");
        }
    } sets;
    const int kinds[] = {FileKindAsp, FileKindHtml, FileKindAspNet, FileKindOther};
    const HtmlAspContext ctx{kinds[batch % 4], &sets.html, &sets.vb, true};
    std::mt19937 rng(std::uint32_t(1000 + batch));
    Hash hash;
    std::vector<ColorBlock> blocks;
    LineCookie cookie = 0;
    for (int n = 0; n < kLinesPerBatch; ++n) {
        const std::string line = RandomLine(rng);
        blocks.clear();
        const LineCookie before = cookie;
        cookie = ParseHtmlAspLine(before, line, &blocks, ctx);
        hash.Add(cookie, blocks.data(), int(blocks.size()));
        EXPECT_EQ(ParseHtmlAspLine(before, line, nullptr, ctx), cookie) << "cookie-only differs, batch " << batch;

        const LineCookie in = LineCookie(rng() % 32);
        std::vector<ColorBlock> raw(1 + std::size_t(MaxBlocksForLine(int(line.size()))));
        raw[0] = ColorBlock{7, ClassAspKeyword};
        int count = 1;
        const LineCookie out = ParseHtmlAspLine(in, line.data(), int(line.size()), raw.data(), count, ctx);
        EXPECT_EQ(raw[0].start, 7);
        EXPECT_EQ(ParseHtmlAspLine(in, line, nullptr, ctx), out) << "cookie-only differs, batch " << batch;
        hash.Add(out, raw.data() + 1, count - 1);
    }
    return hash.h;
}

}  // namespace

TEST(ColoringGolden, GeneratedCorpusColorsAsRecorded) {
    const std::filesystem::path file = kData / "coloring_hashes.txt";
    if (const char* write = std::getenv("TARNWELL_WRITE_COLORING_HASHES")) {
        std::ofstream out(write, std::ios::binary);
        out << "# batch hash: FNV-1a of the cookies and blocks of each generated batch (coloring_golden_test.cpp)\n";
        for (int b = 0; b < kBatches; ++b) out << b << ' ' << std::hex << BatchHash(b) << std::dec << '\n';
        GTEST_SKIP() << "hashes written to " << write;
    }
    std::vector<std::uint64_t> recorded;
    for (const std::string& l : TextLines(file)) {
        if (l.empty() || l[0] == '#') continue;
        std::istringstream row(l);
        int b = 0;
        std::uint64_t h = 0;
        row >> b >> std::hex >> h;
        recorded.push_back(h);
    }
    ASSERT_EQ(int(recorded.size()), kBatches) << file;
    for (int b = 0; b < kBatches; ++b)
        EXPECT_EQ(BatchHash(b), recorded[std::size_t(b)]) << "generated batch " << b << " (seed " << 1000 + b << ")";
}
