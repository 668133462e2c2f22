// Color text parsing and formatting, and the palette's marks and mouse rules.
#include "html/ColorPalette.h"
#include "html/ColorText.h"

#include <gtest/gtest.h>

#include <set>

using namespace tarnwell;

namespace {

struct ParseCase {
    const char* name;
    const char* text;
    int red, green, blue;
};

class ColorTextParse : public testing::TestWithParam<ParseCase> {};

TEST_P(ColorTextParse, ReadsRedGreenBlueInTurn) {
    const ParseCase& c = GetParam();
    ColorRef color = ParseColorText(c.text);
    EXPECT_EQ(RedOf(color), c.red);
    EXPECT_EQ(GreenOf(color), c.green);
    EXPECT_EQ(BlueOf(color), c.blue);
    EXPECT_EQ(color >> 24, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColorTextParse,
    testing::Values(ParseCase{"full_upper", "#FF8000", 255, 128, 0},
                    ParseCase{"full_lower_no_hash", "c0ffee", 0xC0, 0xFF, 0xEE},
                    ParseCase{"odd_last_digit_read_alone", "#ff8", 255, 8, 0},
                    ParseCase{"one_pair_is_red", "12", 18, 0, 0},
                    ParseCase{"single_digit", "#7", 7, 0, 0},
                    ParseCase{"empty", "", 0, 0, 0},
                    ParseCase{"hash_only", "#", 0, 0, 0},
                    ParseCase{"blanks_trimmed", "  #102030 \t", 0x10, 0x20, 0x30},
                    ParseCase{"stray_char_stops_reading", "#12zz56", 0x12, 0, 0},
                    ParseCase{"stray_inside_pair", "#1g3456", 1, 0, 0},
                    ParseCase{"extra_digits_ignored", "#1122334455", 0x11, 0x22, 0x33},
                    ParseCase{"double_hash_unreadable", "##112233", 0, 0, 0},
                    ParseCase{"color_name_unreadable", "red", 0, 0, 0}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(ColorText, FormatsUpperCaseAndRoundTrips) {
    EXPECT_EQ(FormatColorText(MakeColorRef(255, 8, 0)), "#FF0800");
    EXPECT_EQ(FormatColorText(MakeColorRef(0xab, 0xcd, 0xef)), "#ABCDEF");
    // The button-face marker is not a color of its own: only its low three bytes show.
    EXPECT_EQ(FormatColorText(kButtonFaceColor), "#000000");
    for (ColorRef c : ColorPalette::FixedColors()) EXPECT_EQ(ParseColorText(FormatColorText(c)), c);
}

TEST(ColorText, SurvivesArbitraryBytes) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(char(i));
    ColorRef c = ParseColorText(bytes);
    EXPECT_EQ(c >> 24, 0u);
    EXPECT_EQ(ParseColorText(std::string("\0#12", 4)), 0u);
}

TEST(ColorPaletteLayout, ItemsDoNotOverlapAndFillTheClient) {
    std::set<std::pair<int, int>> corners;
    for (int i = 0; i < ColorPalette::kItemCount; ++i) {
        PaletteRect r = ColorPalette::ItemRect(i);
        EXPECT_GT(r.Width(), 0) << i;
        EXPECT_LE(r.right, ColorPalette::kClientWidth);
        EXPECT_LE(r.bottom, ColorPalette::kClientHeight);
        EXPECT_TRUE(corners.insert({r.left, r.top}).second) << i;
        // The centre of every item finds that item again.
        EXPECT_EQ(ColorPalette::ItemAt((r.left + r.right) / 2, (r.top + r.bottom) / 2), i);
    }
    EXPECT_EQ(ColorPalette::ItemRect(1).left, 6);
    EXPECT_EQ(ColorPalette::ItemRect(8).left, 132);
    EXPECT_EQ(ColorPalette::ItemRect(40).top, 102);
    EXPECT_EQ(ColorPalette::ItemAt(3, 3), -1);     // the margin
    EXPECT_EQ(ColorPalette::ItemAt(80, 26), -1);   // between Automatic and the grid
    EXPECT_EQ(ColorPalette::ItemAt(80, 123), -1);  // between the grid and Customize
}

TEST(ColorPaletteMarks, CurrentIsFirstMatchingItem) {
    ColorPalette p;
    // Automatic stands for black; black is also the first fixed color: Automatic wins.
    p.Open(0, MakeColorRef(0, 0, 0));
    EXPECT_EQ(p.CurrentItem(), ColorPalette::kAutomaticItem);

    p.Open(MakeColorRef(1, 2, 3), MakeColorRef(0, 0, 255));
    EXPECT_EQ(p.CurrentItem(), 14);  // row 2, column 6
    EXPECT_EQ(p.ItemColor(ColorPalette::kAutomaticItem), MakeColorRef(1, 2, 3));
}

TEST(ColorPaletteMarks, ColorOutsideThePaletteGoesToCustomize) {
    ColorPalette p;
    ColorRef odd = MakeColorRef(1, 2, 3);
    p.Open(0, odd);
    EXPECT_EQ(p.CurrentItem(), ColorPalette::kCustomizeItem);
    EXPECT_EQ(p.CustomColor(), odd);
    // Opening again for a palette color keeps the custom color but moves the current mark.
    p.Open(0, MakeColorRef(255, 255, 255));
    EXPECT_EQ(p.CurrentItem(), 2);
    EXPECT_EQ(p.CustomColor(), odd);
    // A button showing the custom color finds it on the Customize item.
    p.Open(0, odd);
    EXPECT_EQ(p.CurrentItem(), ColorPalette::kCustomizeItem);
}

TEST(ColorPaletteMouse, PressAndReleaseOnTheSameItemChooses) {
    ColorPalette p;
    p.Open(0, 0);
    PaletteRect red = ColorPalette::ItemRect(17);  // #FF0000
    p.MouseMove(red.left + 2, red.top + 2, false);
    EXPECT_TRUE(p.IsHot(17));
    EXPECT_FALSE(p.IsPressed(17));
    EXPECT_FALSE(p.MousePress(red.left + 2, red.top + 2).has_value());
    EXPECT_TRUE(p.IsPressed(17));
    auto result = p.MouseRelease(red.left + 5, red.top + 5);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, PaletteOutcome::Chosen);
    EXPECT_EQ(result->color, MakeColorRef(255, 0, 0));
}

TEST(ColorPaletteMouse, ReleaseOnAnotherItemOrNowhereKeepsThePaletteOpen) {
    ColorPalette p;
    p.Open(0, 0);
    PaletteRect a = ColorPalette::ItemRect(5), b = ColorPalette::ItemRect(6);
    p.MousePress(a.left + 1, a.top + 1);
    p.MouseMove(b.left + 1, b.top + 1, true);
    EXPECT_TRUE(p.IsPressed(6));  // the pressed look follows the pointer
    EXPECT_FALSE(p.MouseRelease(b.left + 1, b.top + 1).has_value());
    // After that release nothing is pressed: a later release on item 5 does not choose it either.
    EXPECT_FALSE(p.MouseRelease(a.left + 1, a.top + 1).has_value());

    p.MousePress(a.left + 1, a.top + 1);
    EXPECT_FALSE(p.MouseRelease(2, 2).has_value());  // margin: no item
    // A release without any press (the click that opened the palette) chooses nothing.
    EXPECT_FALSE(p.MouseRelease(a.left + 1, a.top + 1).has_value());
}

TEST(ColorPaletteMouse, PressOutsideClosesWithoutChoice) {
    ColorPalette p;
    p.Open(0, 0);
    auto result = p.MousePress(-1, 10);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, PaletteOutcome::Nothing);
    // Inside the client but on no item: stays open.
    EXPECT_FALSE(p.MousePress(2, 2).has_value());
    EXPECT_TRUE(p.MousePress(ColorPalette::kClientWidth, 0).has_value());
}

TEST(ColorPaletteMouse, AutomaticAndCustomize) {
    ColorPalette p;
    p.Open(MakeColorRef(9, 9, 9), MakeColorRef(0, 0, 255));
    PaletteRect automatic = ColorPalette::ItemRect(ColorPalette::kAutomaticItem);
    p.MousePress(automatic.left + 50, automatic.top + 3);
    auto chosen = p.MouseRelease(automatic.left + 60, automatic.top + 4);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->outcome, PaletteOutcome::Chosen);
    EXPECT_EQ(chosen->color, MakeColorRef(9, 9, 9));

    PaletteRect custom = ColorPalette::ItemRect(ColorPalette::kCustomizeItem);
    p.MousePress(custom.left + 1, custom.top + 1);
    auto customize = p.MouseRelease(custom.left + 1, custom.top + 1);
    ASSERT_TRUE(customize.has_value());
    EXPECT_EQ(customize->outcome, PaletteOutcome::Customize);
}

}  // namespace
