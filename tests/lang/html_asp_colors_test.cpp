// The HTML/ASP view's color table and the "Options\Color" defaults it starts from.
#include "lang/HtmlAspColors.h"

#include <gtest/gtest.h>

#include <string>

using namespace tarnwell;

TEST(HtmlAspColors, DefaultsMatchTheStoredColorNumbers) {
    // The stored DWORDs of the options page's defaults.
    const std::pair<const char*, std::uint32_t> stored[] = {
        {"HTMLNormal", 0},         {"HTMLKeyword", 16711680}, {"HTMLString", 8388736}, {"HTMLComment", 8421504},
        {"ASPNormal", 0},          {"ASPKeyword", 16711680},  {"ASPString", 128},      {"ASPComment", 8421504},
        {"ASPStartEnd", 65535},    {"SelMargin", 12632256}};
    for (int slot = 0; slot < HtmlAspColorSlotCount; ++slot) {
        EXPECT_STREQ(kHtmlAspColorSettings[slot].name, stored[slot].first);
        EXPECT_EQ(kHtmlAspColorSettings[slot].defaultColor.ToColorRef(), stored[slot].second) << stored[slot].first;
        EXPECT_EQ(RgbColor::FromColorRef(stored[slot].second), kHtmlAspColorSettings[slot].defaultColor);
    }
}

TEST(HtmlAspColors, ColorForIndexWithDefaults) {
    HtmlAspPalette p;
    auto rgb = [&](int c) { return ColorForIndex(c, p).rgb; };
    EXPECT_EQ(ColorForIndex(0, p).source, ClassColor::Window);
    EXPECT_EQ(ColorForIndex(1, p).source, ClassColor::Window);
    EXPECT_EQ(ColorForIndex(4, p).source, ClassColor::Highlight);
    EXPECT_EQ(rgb(2), (RgbColor{0, 0, 0}));
    EXPECT_EQ(rgb(3), (RgbColor{192, 192, 192}));
    EXPECT_EQ(rgb(5), (RgbColor{255, 255, 255}));
    EXPECT_EQ(rgb(6), (RgbColor{0, 0, 0}));
    EXPECT_EQ(rgb(7), (RgbColor{0, 0, 255}));
    EXPECT_EQ(rgb(8), (RgbColor{128, 0, 128}));
    EXPECT_EQ(rgb(9), (RgbColor{128, 128, 128}));
    for (int c : {10, 12, 14}) EXPECT_EQ(rgb(c), (RgbColor{0, 0, 0})) << c;
    for (int c : {11, 13}) EXPECT_EQ(rgb(c), (RgbColor{255, 255, 0})) << c;
    EXPECT_EQ(rgb(15), (RgbColor{0, 0, 255}));
    EXPECT_EQ(rgb(16), (RgbColor{128, 0, 0}));
    EXPECT_EQ(rgb(17), (RgbColor{128, 128, 128}));
    for (int c : {-1, 18, 1000}) {
        EXPECT_EQ(ColorForIndex(c, p).source, ClassColor::Fixed);
        EXPECT_EQ(rgb(c), (RgbColor{0, 0, 0}));
    }
}

TEST(HtmlAspColors, UserColorsAndTheSwitch) {
    HtmlAspPalette p;
    p.colors[ColorHtmlNormal] = {1, 2, 3};
    p.colors[ColorAspStartEnd] = {9, 9, 9};
    p.colors[ColorAspNormal] = {4, 5, 6};
    EXPECT_EQ(ColorForIndex(2, p).rgb, (RgbColor{1, 2, 3}));
    EXPECT_EQ(ColorForIndex(13, p).rgb, (RgbColor{9, 9, 9}));
    EXPECT_EQ(ColorForIndex(10, p).rgb, (RgbColor{4, 5, 6}));
    p.syntaxColoring = false;
    EXPECT_EQ(ColorForIndex(2, p).rgb, (RgbColor{0, 0, 0}));  // plain text turns black
    EXPECT_EQ(ColorForIndex(10, p).rgb, (RgbColor{4, 5, 6}));
}
