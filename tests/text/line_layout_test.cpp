// Columns, tab expansion, multi-byte characters and code page conversion of the view's line layout.
#include <gtest/gtest.h>

#include <string>

#include "text/CodePage.h"
#include "text/LineLayout.h"

using namespace tarnwell;

namespace {
LineRef Ref(const std::string& s, CodePage cp = CodePage::Utf8) { return {s.data(), static_cast<int>(s.size()), cp}; }
}  // namespace

TEST(LineLayout, TabExpansionAndHalfTabRule) {
    const std::string line = "\ta\t";
    EXPECT_EQ(ColumnOf(Ref(line), 1, 4), 4);  // a at column 4
    EXPECT_EQ(ColumnOf(Ref(line), 3, 4), 8);
    EXPECT_EQ(DisplayLength(Ref(line), 4), 8);
    // A column in the first half of a tab's span maps before it, in the second half after it.
    EXPECT_EQ(CharAtColumn(Ref(line), 0, 4), 0);
    EXPECT_EQ(CharAtColumn(Ref(line), 1, 4), 0);
    EXPECT_EQ(CharAtColumn(Ref(line), 2, 4), 0);
    EXPECT_EQ(CharAtColumn(Ref(line), 3, 4), 1);
    EXPECT_EQ(CharAtColumn(Ref(line), 4, 4), 1);
    EXPECT_EQ(CharAtColumn(Ref(line), 5, 4), 2);
    EXPECT_EQ(CharAtColumn(Ref(line), 100, 4), 3);  // past the end: the line length
    // Tab size 8 and a tab after text that is not on a stop.
    EXPECT_EQ(ColumnOf(Ref("abc\tx"), 4, 8), 8);
    EXPECT_EQ(DisplayLength(Ref("abc\tx"), 8), 9);
}

TEST(LineLayout, CharUnderColumnPicksTheCellsCharacter) {
    const std::string line = "a\tb";
    EXPECT_EQ(CharUnderColumn(Ref(line), 0, 4), 0);
    EXPECT_EQ(CharUnderColumn(Ref(line), 1, 4), 1);  // inside the tab
    EXPECT_EQ(CharUnderColumn(Ref(line), 3, 4), 1);
    EXPECT_EQ(CharUnderColumn(Ref(line), 4, 4), 2);
    EXPECT_EQ(CharUnderColumn(Ref(line), 9, 4), 3);
}

TEST(LineLayout, NonPositiveTabSizeDoesNotDivideByZero) {
    EXPECT_EQ(DisplayLength(Ref("\t\t"), 0), 2);
    EXPECT_EQ(ColumnOf(Ref("\tx"), 1, -3), 1);
}

TEST(LineLayout, MultiByteCharactersCountCellsNotBytes) {
    // "é" (2 bytes, one cell), "日" (3 bytes, wide: two cells), then "x".
    const std::string line = "\xC3\xA9\xE6\x97\xA5x";
    EXPECT_EQ(DisplayLength(Ref(line), 4), 4);
    EXPECT_EQ(ColumnOf(Ref(line), 2, 4), 1);
    EXPECT_EQ(ColumnOf(Ref(line), 5, 4), 3);
    EXPECT_EQ(CharUnderColumn(Ref(line), 1, 4), 2);
    EXPECT_EQ(CharUnderColumn(Ref(line), 2, 4), 2);  // second cell of the wide character
    EXPECT_EQ(CharUnderColumn(Ref(line), 3, 4), 5);
    // Positions inside a character are never produced.
    for (int col = 0; col < 6; ++col) {
        const int ch = CharAtColumn(Ref(line), col, 4);
        EXPECT_TRUE(ch == 0 || ch == 2 || ch == 5 || ch == 6) << col;
    }
    // The same bytes in Windows-1252 are five one-cell characters.
    EXPECT_EQ(DisplayLength(Ref(line, CodePage::Windows1252), 4), 6);
}

TEST(CodePage, BoundariesInValidAndBrokenUtf8) {
    const std::string s = "a\xC3\xA9\xF0\x9F\x98\x80z";  // a, é, 😀, z
    const int n = static_cast<int>(s.size());
    EXPECT_EQ(PrevCharStart(CodePage::Utf8, s.data(), n, 3), 1);
    EXPECT_EQ(PrevCharStart(CodePage::Utf8, s.data(), n, 7), 3);
    EXPECT_EQ(SnapForward(CodePage::Utf8, s.data(), n, 2), 3);
    EXPECT_EQ(SnapForward(CodePage::Utf8, s.data(), n, 5), 7);
    EXPECT_EQ(SnapBackward(CodePage::Utf8, s.data(), n, 5), 3);
    EXPECT_EQ(SnapForward(CodePage::Utf8, s.data(), n, 7), 7);
    EXPECT_EQ(DecodeChar(CodePage::Utf8, s.data(), n, 3).code, 0x1F600u);

    // Stray continuation bytes, a truncated sequence, an overlong form and a surrogate: each bad
    // byte is a character of its own, and walking back agrees with walking forward.
    const std::string bad = "\x80\x80x\xE6\x97y\xC0\xAF\xED\xA0\x80";
    const int m = static_cast<int>(bad.size());
    std::vector<int> forward;
    for (int i = 0; i < m;) {
        forward.push_back(i);
        i += DecodeChar(CodePage::Utf8, bad.data(), m, i).length;
    }
    EXPECT_EQ(forward.size(), static_cast<size_t>(m));
    std::vector<int> backward;
    for (int i = m; i > 0;) {
        i = PrevCharStart(CodePage::Utf8, bad.data(), m, i);
        backward.insert(backward.begin(), i);
    }
    EXPECT_EQ(forward, backward);
    EXPECT_FALSE(IsValidUtf8(bad));
    EXPECT_TRUE(IsValidUtf8(s));
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_FALSE(IsValidUtf8("abcdefgh\xE9tail"));  // Windows-1252 é after a run of ASCII
}

TEST(CodePage, RoundTripsThroughUtf16) {
    const std::string utf8 = "caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80";
    const std::u16string u = DecodeToUtf16(CodePage::Utf8, utf8);
    EXPECT_EQ(EncodeUtf16(CodePage::Utf8, u.data(), u.size()), utf8);

    // Every Windows-1252 byte decodes to something that encodes back to the same byte.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    const std::u16string w = DecodeToUtf16(CodePage::Windows1252, all);
    EXPECT_EQ(w[0x80 - 1], u'\u20AC');
    EXPECT_EQ(EncodeUtf16(CodePage::Windows1252, w.data(), w.size()), all);

    // A character without a Windows-1252 encoding becomes '?'.
    const std::u16string cjk = u"a\u65E5b";
    EXPECT_EQ(EncodeUtf16(CodePage::Windows1252, cjk.data(), cjk.size()), "a?b");
}

TEST(CodePage, WideCells) {
    EXPECT_EQ(CellWidth(U'a'), 1);
    EXPECT_EQ(CellWidth(0xE9), 1);
    EXPECT_EQ(CellWidth(0x65E5), 2);   // CJK ideograph
    EXPECT_EQ(CellWidth(0xAC00), 2);   // Hangul syllable
    EXPECT_EQ(CellWidth(0xFF21), 2);   // full-width A
    EXPECT_EQ(CellWidth(0x1F600), 2);  // emoji
    EXPECT_EQ(CellWidth(0x2603), 1);
}
