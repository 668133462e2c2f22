// Column lookups through the checkpoint index of long lines: the answers of the plain walks, also
// after edits, with tabs, multi-byte and wide characters and bytes that do not decode.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/ColumnIndex.h"

using namespace tarnwell;

namespace {

LineRef Ref(const std::string& s, CodePage cp) { return {s.data(), static_cast<int>(s.size()), cp}; }

// Pieces that straddle the checkpoint spacing in every way: tabs, 2-, 3- and 4-byte characters, a
// wide character, a lone lead byte and a stray continuation byte.
std::string RandomLine(std::mt19937& rng, int bytes) {
    static const char* const kPieces[] = {"a", "bc", "\t", "\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xE2",
                                          "\x80", "<%= x %>", "    "};
    std::string s;
    while (static_cast<int>(s.size()) < bytes) s += kPieces[rng() % 10];
    return s;
}

void ExpectSameAsWalk(ColumnIndex& index, const std::string& s, CodePage cp, int tab, std::mt19937& rng) {
    const LineRef line = Ref(s, cp);
    const int n = static_cast<int>(s.size());
    ASSERT_EQ(index.DisplayLength(line, tab), DisplayLength(line, tab));
    const int cols = DisplayLength(line, tab);
    for (int k = 0; k < 300; ++k) {
        const int ch = static_cast<int>(rng() % (n + 1));
        const int col = static_cast<int>(rng() % (cols + 3));
        ASSERT_EQ(index.ColumnOf(line, ch, tab), ColumnOf(line, ch, tab)) << ch;
        ASSERT_EQ(index.CharAtColumn(line, col, tab), CharAtColumn(line, col, tab)) << col;
        ASSERT_EQ(index.CharUnderColumn(line, col, tab), CharUnderColumn(line, col, tab)) << col;
    }
}

}  // namespace

TEST(ColumnIndex, AnswersAsTheWalkOnLongMixedLines) {
    struct Case {
        CodePage cp;
        int tab;
        int bytes;
    } cases[] = {{CodePage::Utf8, 4, 5 * ColumnIndex::kStep + 17},
                 {CodePage::Utf8, 8, 3 * ColumnIndex::kStep},
                 {CodePage::Windows1252, 4, 4 * ColumnIndex::kStep + 1},
                 {CodePage::Utf8, 1, 100}};
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        const std::string s = RandomLine(rng, c.bytes);
        ColumnIndex index;
        ExpectSameAsWalk(index, s, c.cp, c.tab, rng);
        // Tab size and code page changes are picked up without being told.
        ExpectSameAsWalk(index, s, c.cp, c.tab + 2, rng);
    }
}

TEST(ColumnIndex, EditsInvalidateFromTheEditedByte) {
    std::mt19937 rng(11);
    std::string s = RandomLine(rng, 6 * ColumnIndex::kStep);
    ColumnIndex index;
    for (int round = 0; round < 40; ++round) {
        ExpectSameAsWalk(index, s, CodePage::Utf8, 4, rng);
        const int at = static_cast<int>(rng() % (s.size() + 1));
        if (rng() % 2) {
            // Continuation bytes right after a lone lead byte make it a valid character.
            s.insert(static_cast<size_t>(at), rng() % 2 ? std::string("\x97\xA5") : RandomLine(rng, 1 + rng() % 40));
        } else {
            s.erase(static_cast<size_t>(at), rng() % 3000);
        }
        index.InvalidateFrom(at);
    }
}
