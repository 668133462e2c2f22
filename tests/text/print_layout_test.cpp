// Page layout of printing: margins from the settings, bands, wrapping into rows and pagination.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/MemoryProfile.h"
#include "text/PrintLayout.h"

using namespace tarnwell;

namespace {

LineRef Ref(const std::string& s, CodePage cp = CodePage::Utf8) { return {s.data(), int(s.size()), cp}; }

// The rows of a line as the text they print (cells joined, blanks as spaces).
std::vector<std::string> Rows(const std::string& line, int columns, int tab = 4) {
    std::vector<PrintCell> cells;
    std::vector<RowSpan> spans;
    LayoutCells(Ref(line), tab, cells);
    WrapCells(cells, columns, spans);
    std::vector<std::string> out;
    for (const RowSpan& r : spans) {
        std::string s;
        for (int k = r.first; k < r.last; ++k) {
            const PrintCell& c = cells[size_t(k)];
            if (c.IsBlank()) {
                s.append(size_t(c.cells), ' ');
            } else {
                const int next = k + 1 < int(cells.size()) ? cells[size_t(k + 1)].byte : int(line.size());
                s.append(line, size_t(c.byte), size_t(next - c.byte));
            }
        }
        out.push_back(s);
    }
    EXPECT_EQ(int(out.size()), CountRows(Ref(line), tab, columns)) << line;
    return out;
}

// A page of 2100 x 2970 units at 254 dpi: 1 unit = 0.1 mm, so 1000 hundredths of a mm = 100 units.
PageMetrics A4(int lineHeight = 10, int cellWidth = 5) {
    return {{0, 0, 2100, 2970}, 254, 254, lineHeight, cellWidth, false, true};
}

}  // namespace

TEST(PrintLayout, MarginsReadClampedAndWrittenBack) {
    MemoryProfile profile;
    EXPECT_EQ(ReadPageMargins(profile), PageMargins{});  // 1000 each when missing
    profile.WriteInt(kPageSetupSection, "LeftMargin", -5);
    profile.WriteInt(kPageSetupSection, "TopMargin", 2500);
    EXPECT_EQ(ReadPageMargins(profile), (PageMargins{0, 1000, 2500, 1000}));
    WritePageMargins(profile, {1, 2, 3, 4});
    EXPECT_EQ(profile.GetInt("CrystalEdit\\PageSetup", "BottomMargin", 0), 4);
    EXPECT_EQ(ReadPageMargins(profile), (PageMargins{1, 2, 3, 4}));
}

TEST(PrintLayout, HundredthsOfMillimetreToDeviceUnits) {
    const struct { int hmm, dpi, units; } cases[] = {
        {1000, 254, 100}, {2540, 600, 600}, {1000, 1200, 472}, {1, 1200, 0}, {3, 1200, 1}, {-10, 600, 0},
        {1000, 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(HundredthsMmToDevice(c.hmm, c.dpi), c.units) << c.hmm << " at " << c.dpi;
    EXPECT_GT(HundredthsMmToDevice(2000000000, 1200), 0);  // capped, not overflowed
}

TEST(PrintLayout, FrameBandsAndRows) {
    const struct {
        const char* name;
        bool header, footer;
        PageMargins margins;
        PrintRect text, headerBand, footerBand;
        int rows, columns;
    } cases[] = {
        // Default margins keep 10 mm free on every side; the footer band sits right below the text.
        {"footer only", false, true, {}, {100, 100, 2000, 2855}, {}, {100, 2855, 2000, 2870}, 275, 380},
        {"both bands", true, true, {},
         {100, 115, 2000, 2855}, {100, 100, 2000, 115}, {100, 2855, 2000, 2870}, 274, 380},
        {"no bands", false, false, {0, 0, 0, 0}, {0, 0, 2100, 2970}, {}, {}, 297, 420},
        {"negative margins count as 0", false, false, {-1, -1, -1, -1}, {0, 0, 2100, 2970}, {}, {}, 297, 420},
        // Margins that leave no row or cell fall back to the default, each direction on its own.
        {"too wide", false, false, {20000, 1000, 0, 0}, {100, 0, 2000, 2970}, {}, {}, 297, 380},
        {"too tall", false, false, {0, 0, 29700, 0}, {0, 100, 2100, 2870}, {}, {}, 277, 420},
    };
    for (const auto& c : cases) {
        PageMetrics m = A4();
        m.headerOn = c.header;
        m.footerOn = c.footer;
        const PageFrame f = ComputePageFrame(m, c.margins);
        EXPECT_EQ(f.text, c.text) << c.name;
        EXPECT_EQ(f.header, c.headerBand) << c.name;
        EXPECT_EQ(f.footer, c.footerBand) << c.name;
        EXPECT_EQ(f.rows, c.rows) << c.name;
        EXPECT_EQ(f.columns, c.columns) << c.name;
    }
}

TEST(PrintLayout, TinyPageStillHasOneRowAndCell) {
    PageMetrics m = A4(500, 500);
    m.page = {300, 300, 0, 0};  // corners swapped, and smaller than a line even without margins
    const PageFrame f = ComputePageFrame(m, {});
    EXPECT_EQ(f.used, (PageMargins{0, 0, 0, 0}));
    EXPECT_EQ(f.rows, 1);
    EXPECT_EQ(f.columns, 1);
    EXPECT_EQ(f.text.left, 0);
}

TEST(PrintLayout, WrapsAtWordsAndBreaksLongWords) {
    const struct {
        const char* name;
        std::string line;
        int columns;
        std::vector<std::string> rows;
    } cases[] = {
        {"empty line is one row", "", 10, {""}},
        {"fits", "abc def", 7, {"abc def"}},
        {"at a blank", "abc def ghi", 7, {"abc def", "ghi"}},
        {"before the last word", "abc def ghi", 9, {"abc def", "ghi"}},
        {"word wider than a row", "abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"long word after a short one", "ab cdefghij", 4, {"ab", "cdef", "ghij"}},
        {"blanks at a break are dropped", "ab      cd", 4, {"ab", "cd"}},
        {"indent kept on the first row", "  ab cd", 5, {"  ab", "cd"}},
        {"tab expanded before wrapping", "a\tb c", 5, {"a   b", "c"}},
        {"word after a tab moves", "a\tbc", 5, {"a", "bc"}},
        {"wide character not split", "a\xE6\x97\xA5" "b", 2, {"a", "\xE6\x97\xA5", "b"}},
        {"wide character wider than the row", "\xE6\x97\xA5\xE6\x97\xA5", 1, {"\xE6\x97\xA5", "\xE6\x97\xA5"}},
        {"one column", "ab c", 1, {"a", "b", "c"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Rows(c.line, c.columns), c.rows) << c.name;
}

TEST(PrintLayout, EveryNonBlankCharacterPrintsOnce) {
    // A 5,000-character line of words and one of a single word: all their characters come out, in order.
    std::string words;
    for (int i = 0; words.size() < 5000; ++i) words += "w" + std::to_string(i) + (i % 7 ? " " : "\t");
    const std::string word(5000, 'x');
    for (const std::string& line : {words, word}) {
        for (int columns : {1, 3, 80, 6000}) {
            std::string printed, expected;
            for (const std::string& r : Rows(line, columns)) {
                EXPECT_LE(int(r.size()), columns);
                for (char ch : r) if (ch != ' ') printed += ch;
            }
            for (char ch : line) if (ch != ' ' && ch != '\t') expected += ch;
            EXPECT_EQ(printed, expected) << columns;
        }
    }
}

TEST(PrintLayout, ControlBytesAndInvalidTextPrintAsOneCellEach) {
    std::vector<PrintCell> cells;
    LayoutCells(Ref(std::string("a\0\x7F\xFF", 4)), 4, cells);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[1].code, U' ');
    EXPECT_EQ(cells[2].code, U' ');
    EXPECT_EQ(cells[3].code, U'\xFFFD');
    LayoutCells(Ref("\x80\xE9", CodePage::Windows1252), 4, cells);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].code, U'\x20AC');
    EXPECT_EQ(cells[1].code, U'\xE9');
    EXPECT_EQ(cells[1].column, 1);
}

TEST(PrintLayout, PaginationKeepsShortLinesWholeAndSplitsTallOnes) {
    const struct {
        const char* name;
        std::vector<int> rows;  // rows of each line
        int perPage;
        std::vector<PageStart> pages;
    } cases[] = {
        {"no lines", {}, 5, {{0, 0}}},
        {"one page exactly", {1, 2, 2}, 5, {{0, 0}}},
        {"next line starts a page", {1, 2, 2, 1}, 5, {{0, 0}, {3, 0}}},
        {"wrapped line moves whole", {4, 3}, 5, {{0, 0}, {1, 0}}},
        {"tall first line split", {12, 1}, 5, {{0, 0}, {0, 5}, {0, 10}}},
        {"tall line starts a page then splits", {2, 11, 2}, 5, {{0, 0}, {1, 0}, {1, 5}, {1, 10}}},
        {"tall line ending a page exactly", {10, 1}, 5, {{0, 0}, {0, 5}, {1, 0}}},
        {"one row per page", {1, 1, 2}, 1, {{0, 0}, {1, 0}, {2, 0}, {2, 1}}},
    };
    for (const auto& c : cases) {
        const auto pages = Paginate(int(c.rows.size()), [&](int line) { return c.rows[size_t(line)]; }, c.perPage);
        EXPECT_EQ(pages, c.pages) << c.name;
    }
}
