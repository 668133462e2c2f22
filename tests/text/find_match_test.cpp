// The matching step and the block search: case, whole word, block bounds, direction and wrap.
#include "text/FindText.h"

#include <gtest/gtest.h>

#include <random>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <string>
#include <vector>

using namespace tarnwell;

namespace {

VectorLines Lines(std::vector<std::string> l) { return VectorLines(std::move(l)); }

int First(std::string_view line, std::string_view pat, unsigned flags, CodePage cp = CodePage::Windows1252,
          int from = 0) {
    TextFinder f(pat, flags, cp);
    return f.FindFirst(line.data(), int(line.size()), from, int(line.size()));
}

// The plain definition: upper-case both sides, try every start, check neighbours in the line.
int Reference(const std::string& line, const std::string& pat, unsigned flags, CodePage cp, int from, int to,
              bool last) {
    const bool mc = flags & SearchCaseBit;
    std::string t = mc ? line.substr(size_t(from), size_t(to - from))
                       : UpperCase(std::string_view(line).substr(size_t(from), size_t(to - from)), cp);
    std::string p = mc ? pat : UpperCase(pat, cp);
    int found = -1;
    for (int s = 0; s + int(p.size()) <= int(t.size()); ++s) {
        if (t.compare(size_t(s), p.size(), p) != 0) continue;
        int a = s + from, e = a + int(p.size());
        if (flags & SearchWordBit) {
            if (a > 0 && IsWordChar(uint8_t(line[size_t(a - 1)]))) continue;
            if (e < int(line.size()) && IsWordChar(uint8_t(line[size_t(e)]))) continue;
        }
        found = a;
        if (!last) break;
    }
    return found;
}

}  // namespace

TEST(FindMatch, CaseInsensitiveUpperCasesBothSides) {
    EXPECT_EQ(First("xx ABC", "abc", 0), 3);
    EXPECT_EQ(First("xx aBc", "abc", 0), 3);
    EXPECT_EQ(First("xx aBc", "ABC", 0), 3);
    EXPECT_EQ(First("ABC aBc abc", "abc", SearchCaseBit), 8);
    EXPECT_EQ(First("ABC aBc", "abc", SearchCaseBit), -1);
}

TEST(FindMatch, Windows1252LettersFoldButNotOtherBytes) {
    // e acute / E acute, s caron / S caron, y diaeresis / Y diaeresis
    EXPECT_EQ(First("caf\xC9", "caf\xE9", 0), 0);
    EXPECT_EQ(First("x\x8A", "\x9A", 0), 1);
    EXPECT_EQ(First("\x9F", "\xFF", 0), 0);
    // the division sign 0xF7 is not the lower case of the multiplication sign 0xD7
    EXPECT_EQ(First("\xD7", "\xF7", 0), -1);
    EXPECT_EQ(First("caf\xC9", "caf\xE9", SearchCaseBit), -1);
}

TEST(FindMatch, Utf8LettersFoldWhenTheLengthStays) {
    const CodePage u = CodePage::Utf8;
    EXPECT_EQ(First("x CAF\xC3\x89", "caf\xC3\xA9", 0, u), 2);             // é / É
    EXPECT_EQ(First("\xD0\x9F\xD0\xA0\xD0\x98", "\xD0\xBF\xD1\x80\xD0\xB8", 0, u), 0);  // при / ПРИ
    EXPECT_EQ(First("\xCE\xA3", "\xCF\x82", 0, u), 0);                       // final sigma
    // dotless i would upper-case to a shorter I: not folded, so it does not find "I"
    EXPECT_EQ(First("I", "\xC4\xB1", 0, u), -1);
    // In a Windows-1252 document the same bytes are two separate letters
    EXPECT_EQ(First("CAF\xC3\x89", "caf\xC3\xA9", 0, CodePage::Windows1252), -1);
}

TEST(FindMatch, Utf8PatternNeverMatchesInsideACharacter) {
    const CodePage u = CodePage::Utf8;
    // "\xA9" alone is a stray continuation byte; é's second byte upper-cases to 0x89
    EXPECT_EQ(First("\xC3\xA9", "\xA9", 0, u), -1);
    EXPECT_EQ(First("\xC3\xA9", "\x89", 0, u), 1);
    // invalid bytes compare as themselves
    EXPECT_EQ(First("a\xFF\xFE" "b", "\xFE" "B", 0, u), 2);
}

TEST(FindMatch, WholeWordAtLineEdgesAndBetweenPunctuation) {
    EXPECT_EQ(First("concat", "cat", SearchWordBit), -1);
    EXPECT_EQ(First("cat_2", "cat", SearchWordBit), -1);
    EXPECT_EQ(First("f(cat)", "cat", SearchWordBit), 2);
    EXPECT_EQ(First("cat is", "cat", SearchWordBit), 0);
    EXPECT_EQ(First("a cat", "cat", SearchWordBit), 2);
    EXPECT_EQ(First("cat", "cat", SearchWordBit), 0);
    EXPECT_EQ(First("<cat>", "CAT", SearchWordBit), 1);
}

TEST(FindMatch, RejectedOccurrenceDoesNotShiftTheResult) {
    EXPECT_EQ(First("xab ab", "ab", SearchWordBit), 4);
    EXPECT_EQ(First("aaa aa", "aa", SearchWordBit), 4);
    // overlapping occurrences: the one starting a char later is tried too
    EXPECT_EQ(First("xaa-aa", "aa", SearchWordBit), 4);
}

TEST(FindMatch, WholeWordLooksAtTheRealNeighbourBeforeTheStart) {
    // Started at char 2 of "abab": the "ab" there follows a "b", so it is not a whole word.
    EXPECT_EQ(First("abab", "ab", SearchWordBit, CodePage::Windows1252, 2), -1);
    EXPECT_EQ(First("ab ab", "ab", SearchWordBit, CodePage::Windows1252, 2), 3);
}

TEST(FindMatch, AgreesWithThePlainDefinitionOnRandomText) {
    std::mt19937 rng(7);
    const char alphabet[] = {'a', 'b', 'A', 'B', '_', ' ', '(', '\xE9', '\xC9', '\xC3', '\xA9', '\x89', '1'};
    for (int round = 0; round < 4000; ++round) {
        std::string line, pat;
        int n = int(rng() % 100), m = 1 + int(rng() % 4);
        for (int i = 0; i < n; ++i) line.push_back(alphabet[rng() % sizeof alphabet]);
        for (int i = 0; i < m; ++i) pat.push_back(alphabet[rng() % sizeof alphabet]);
        unsigned flags = unsigned(rng() % 4);
        CodePage cp = rng() % 2 ? CodePage::Utf8 : CodePage::Windows1252;
        int from = n ? int(rng() % (n + 1)) : 0;
        int to = from + int(rng() % (n - from + 1));
        TextFinder f(pat, flags, cp);
        // the scan may never read past `to` differently from the reference, which folds [from, to) only
        ASSERT_EQ(f.FindFirst(line.data(), n, from, to), Reference(line, pat, flags, cp, from, to, false))
            << "line \"" << line << "\" pattern \"" << pat << "\" flags " << flags << " from " << from << " to " << to;
        ASSERT_EQ(f.FindLast(line.data(), n, from, to), Reference(line, pat, flags, cp, from, to, true))
            << "line \"" << line << "\" pattern \"" << pat << "\" flags " << flags;
    }
}

TEST(FindMatch, LongLinesUseTheVectorScanAndItsTail) {
    for (int len : {15, 16, 17, 31, 32, 33, 64, 200}) {
        for (int at : {0, len / 2, len - 3}) {
            std::string line(size_t(len), 'e');
            line.replace(size_t(at), 3, "Xyz");
            EXPECT_EQ(First(line, "xyz", 0), at) << len << " " << at;
            EXPECT_EQ(First(line, "Xyz", SearchCaseBit), at) << len << " " << at;
            EXPECT_EQ(First(line, "X", SearchCaseBit), at);
            EXPECT_EQ(First(line, "eXyz", SearchCaseBit), at == 0 ? -1 : at - 1);
        }
    }
}

TEST(FindBlock, EmptyPatternOrBlockFindsNothing) {
    auto t = Lines({"abc", "abc"});
    EXPECT_FALSE(FindInText(t, "", {0, 0}, 0, true).found);
    EXPECT_FALSE(FindInBlock(t, "abc", {0, 0}, {1, 1}, {1, 1}, 0, true).found);
    auto empty = Lines({""});
    EXPECT_FALSE(FindInText(empty, "a", {0, 0}, 0, true).found);
}

TEST(FindBlock, NeverSpansALineBreak) {
    auto t = Lines({"ab", "cd"});
    EXPECT_FALSE(FindInText(t, "b\r\nc", {0, 0}, 0, true).found);
    EXPECT_FALSE(FindInText(t, "bc", {0, 0}, 0, true).found);
}

TEST(FindBlock, DownFromStartThenWrapOnce) {
    auto t = Lines({"one x", "two", "x three x"});
    auto r = FindInText(t, "x", {0, 0}, 0, true);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pos, TextPosition(0, 4));
    r = FindInText(t, "x", {0, 5}, 0, true);
    EXPECT_EQ(r.pos, TextPosition(2, 0));
    r = FindInText(t, "x", {2, 9}, 0, true);  // past the last one: wraps to the first
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pos, TextPosition(0, 4));
    EXPECT_FALSE(FindInText(t, "x", {2, 9}, 0, false).found);
    // a single occurrence is found again from after it
    auto one = Lines({"a needle b"});
    r = FindInText(one, "needle", {0, 8}, 0, true);
    EXPECT_EQ(r.pos, TextPosition(0, 2));
}

TEST(FindBlock, WrapFindsAnOccurrenceAroundTheStart) {
    auto t = Lines({"abcdef"});
    auto r = FindInText(t, "cde", {0, 3}, 0, true);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.pos, TextPosition(0, 2));
}

TEST(FindBlock, BlockBounds) {
    auto t = Lines({"aa xx", "xx bb xx", "cc xx"});
    // block (0,3)-(1,4): occurrences at (0,3) and (1,0); (1,6) lies after the block end
    auto r = FindInBlock(t, "xx", {1, 1}, {0, 3}, {1, 4}, 0, false);
    EXPECT_FALSE(r.found);
    r = FindInBlock(t, "xx", {1, 1}, {0, 3}, {1, 4}, 0, true);
    EXPECT_EQ(r.pos, TextPosition(0, 3));
    // a start before the block starts at the block start
    r = FindInBlock(t, "xx", {0, 0}, {0, 4}, {1, 4}, 0, false);
    EXPECT_EQ(r.pos, TextPosition(1, 0));
    // an occurrence that starts before the block end but runs past it is inside
    r = FindInBlock(t, "bb", {1, 0}, {1, 0}, {1, 4}, 0, false);
    EXPECT_EQ(r.pos, TextPosition(1, 3));
    r = FindInBlock(t, "bb", {1, 0}, {1, 0}, {1, 3}, 0, false);
    EXPECT_FALSE(r.found);
}

TEST(FindBlock, UpSearchTakesTheLastOccurrenceBeforeTheStart) {
    auto t = Lines({"x1 x2", "y", "x3 x4 x5"});
    auto r = FindInText(t, "x", {2, 6}, SearchUpBit, true);
    EXPECT_EQ(r.pos, TextPosition(2, 3));  // x4: x5 starts at the start position
    // an occurrence must lie wholly before the start
    r = FindInText(t, "x4", {2, 4}, SearchUpBit, true);
    EXPECT_EQ(r.pos, TextPosition(2, 3)) << "wraps round to it";
    r = FindInText(t, "x4", {2, 4}, SearchUpBit, false);
    EXPECT_FALSE(r.found);
    r = FindInText(t, "x", {2, 0}, SearchUpBit, true);
    EXPECT_EQ(r.pos, TextPosition(0, 3));
    // wrap: from line 0 on to the last line, upwards, down to the start line taken whole
    r = FindInText(t, "x", {0, 0}, SearchUpBit, true);
    EXPECT_EQ(r.pos, TextPosition(2, 6));
    r = FindInText(t, "x2", {0, 1}, SearchUpBit, true);
    EXPECT_EQ(r.pos, TextPosition(0, 3));
    EXPECT_FALSE(FindInText(t, "x", {0, 0}, SearchUpBit, false).found);
}

TEST(FindBlock, UpSearchWalksBackThroughOccurrences) {
    auto t = Lines({"ab ab", "ab"});
    TextPosition at{1, 2};
    std::vector<TextPosition> seen;
    for (int i = 0; i < 4; ++i) {
        auto r = FindInText(t, "ab", at, SearchUpBit, true);
        ASSERT_TRUE(r.found);
        seen.push_back(r.pos);
        at = r.pos;  // the next search starts at the start of the match
    }
    std::vector<TextPosition> want{{1, 0}, {0, 3}, {0, 0}, {1, 0}};
    EXPECT_EQ(seen, want);
}

TEST(FindBlock, WholeWordUpSearchChecksTheNeighbourPastTheStart) {
    auto t = Lines({"ab abc"});
    // before (0,5) lies "ab ab"; the second "ab" is followed by "c" in the line
    auto r = FindInText(t, "ab", {0, 5}, SearchUpBit | SearchWordBit, false);
    EXPECT_EQ(r.pos, TextPosition(0, 0));
}

TEST(FindBlock, PositionsOutsideTheTextAreClamped) {
    auto t = Lines({"abc", "abc"});
    EXPECT_EQ(FindInText(t, "b", {9, 9}, 0, true).pos, TextPosition(0, 1));
    EXPECT_EQ(FindInText(t, "b", {0, 99}, 0, false).pos, TextPosition(1, 1));
    EXPECT_EQ(FindInText(t, "b", {-3, -1}, SearchUpBit, true).pos, TextPosition(1, 1));
    EXPECT_EQ(FindInText(t, "b", {9, 9}, SearchUpBit, false).pos, TextPosition(1, 1));
}

TEST(FindBlock, LinesOfAnyLineTable) {
    struct Table {
        std::vector<std::string> l;
        int LineCount() const { return int(l.size()); }
        int LineLength(int i) const { return int(l[size_t(i)].size()); }
        const char* LineText(int i) const { return l[size_t(i)].data(); }
    } table{{"first", "SECOND line"}};
    LinesOf<Table> lines(table);
    EXPECT_EQ(FindInText(lines, "line", {0, 0}, 0, false).pos, TextPosition(1, 7));
}

// The tool: one search over a real file, in a real process.
#include <cstdio>
#include <filesystem>
#include <fstream>

#ifndef _WIN32
namespace {
std::string RunTool(const std::string& args) {
    std::string cmd = std::string(TARNWELL_BIN_DIR) + "/tarnwell-tool find " + args;
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
    return out;
}
}  // namespace

TEST(FindTool, PrintsTheEnginesAnswer) {
    auto path = std::filesystem::temp_directory_path() / ("tarnwell_find_tool_" + std::to_string(::getpid()) + ".asp");
    {
        std::ofstream f(path, std::ios::binary);
        f << "Hello world\r\nfoo BAR baz\r\nbar caf\xC3\xA9\r\n";
    }
    const std::string file = " '" + path.string() + "'";
    EXPECT_EQ(RunTool("--text bar" + file), "{\"found\":true,\"line\":1,\"char\":4}\n");
    EXPECT_EQ(RunTool("--text bar --case" + file), "{\"found\":true,\"line\":2,\"char\":0}\n");
    EXPECT_EQ(RunTool("--text bar --up --from 2,3" + file), "{\"found\":true,\"line\":2,\"char\":0}\n");
    EXPECT_EQ(RunTool("--text bar --up --from 2,2" + file), "{\"found\":true,\"line\":1,\"char\":4}\n");
    EXPECT_EQ(RunTool("--text bar --from 2,1 --nowrap" + file), "{\"found\":false}\n");
    EXPECT_EQ(RunTool("--text CAF\xC3\x89 --word" + file), "{\"found\":true,\"line\":2,\"char\":4}\n");
    EXPECT_EQ(RunTool("--text zzz" + file), "{\"found\":false}\n");
    std::filesystem::remove(path);
}
#endif
