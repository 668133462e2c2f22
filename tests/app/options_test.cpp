// Option values: defaults, the range rules on reading, writing every value, and ranged input.
#include "app/Options.h"
#include "platform/MemoryProfile.h"

#include <gtest/gtest.h>

using namespace tarnwell;

TEST(OptionsRead, EmptyProfileGivesTheDefaults) {
    MemoryProfile p;
    OptionsValues v = OptionsValues::Read(p);
    EXPECT_EQ(v.general, GeneralOptions{});
    EXPECT_TRUE(v.general.reloadLastProject && v.general.rememberOpenFiles && v.general.enableInternalPreview);
    EXPECT_TRUE(v.internalPreviewAtStart);
    EXPECT_EQ(v.edit.fontFace, "FixedSys");
    EXPECT_EQ(v.edit.fontSize, 12);
    EXPECT_EQ(v.edit.tabSize, 4);
    EXPECT_FALSE(v.edit.showLineNumber);
    EXPECT_FALSE(v.edit.tabToSpace);
    EXPECT_EQ(v.edit.defaultEncoding, CodePage::Windows1252);
    EXPECT_EQ(v.fileTypes, (FileTypesOptions{false, 100, 200}));
    EXPECT_TRUE(v.edit.showSelectionMargin && v.edit.showSelectionAlways && v.edit.autoIndent);
    EXPECT_TRUE(v.color.enableSyntaxColoring);
    // The stored form of the defaults: red in the low byte.
    EXPECT_EQ(v.color.colors[SlotHtmlKeyword], 16711680u);
    EXPECT_EQ(v.color.colors[SlotHtmlString], 8388736u);
    EXPECT_EQ(v.color.colors[SlotHtmlComment], 8421504u);
    EXPECT_EQ(v.color.colors[SlotAspString], 128u);
    EXPECT_EQ(v.color.colors[SlotAspStartEnd], 65535u);
    EXPECT_EQ(v.color.colors[SlotSelMargin], 12632256u);
    EXPECT_EQ(v.color.colors[SlotAspNormal], 0u);
    EXPECT_EQ(p.ValueCount(), 0u);  // reading writes nothing
}

struct ClampCase {
    const char* name;
    int stored;
    int expected;
};

class FontSizeClamp : public testing::TestWithParam<ClampCase> {};
TEST_P(FontSizeClamp, ReadsIntoRange) {
    MemoryProfile p;
    p.WriteInt(kEditSection, "Font Size", GetParam().stored);
    EXPECT_EQ(ReadEditOptions(p).fontSize, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, FontSizeClamp,
                         testing::Values(ClampCase{"above_72", 100, 72}, ClampCase{"at_72", 72, 72},
                                         ClampCase{"below_8", 3, 8}, ClampCase{"zero", 0, 8},
                                         ClampCase{"negative_counts_as_large", -5, 72},
                                         ClampCase{"in_range", 10, 10}),
                         [](const auto& info) { return std::string(info.param.name); });

class TabSizeClamp : public testing::TestWithParam<ClampCase> {};
TEST_P(TabSizeClamp, ReadsIntoRange) {
    MemoryProfile p;
    p.WriteInt(kEditSection, "Tab Size", GetParam().stored);
    EXPECT_EQ(ReadEditOptions(p).tabSize, GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, TabSizeClamp,
                         testing::Values(ClampCase{"zero_is_1", 0, 1}, ClampCase{"above_64", 200, 64},
                                         ClampCase{"at_64", 64, 64}, ClampCase{"one", 1, 1},
                                         ClampCase{"negative_counts_as_large", -1, 64}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OptionsWrite, EveryValueRoundTrips) {
    MemoryProfile p;
    OptionsValues v;
    v.general = {false, false, false};
    v.edit.fontFace = "DejaVu Sans Mono";
    v.edit.fontSize = 20;
    v.edit.autoListMembers = false;
    v.edit.autoParameterInfo = false;
    v.edit.autoIndent = false;
    v.edit.showSelectionMargin = false;
    v.edit.showSelectionAlways = false;
    v.edit.showLineNumber = true;
    v.edit.tabSize = 8;
    v.edit.tabToSpace = true;
    v.edit.defaultEncoding = CodePage::Windows1251;
    v.color.enableSyntaxColoring = false;
    for (int i = 0; i < ColorSlotCount; ++i) v.color.colors[size_t(i)] = MakeColorRef(i, 2 * i, 3 * i);

    EXPECT_TRUE(WriteGeneralOptions(p, v.general));
    EXPECT_TRUE(WriteEditOptions(p, v.edit));
    EXPECT_TRUE(WriteColorOptions(p, v.color));
    EXPECT_EQ(p.ValueCount(), 3u + 11u + 11u);
    v.fileTypes = {true, 80, 260};
    EXPECT_TRUE(WriteFileTypesOptions(p, v.fileTypes));

    OptionsValues back = OptionsValues::Read(p);
    EXPECT_EQ(back.general, v.general);
    EXPECT_FALSE(back.internalPreviewAtStart);
    EXPECT_EQ(back.edit, v.edit);
    EXPECT_EQ(back.color, v.color);
    EXPECT_EQ(back.fileTypes, v.fileTypes);
    EXPECT_EQ(p.GetInt(kFileTypesSection, "Open Unlisted", -1), 1);
    // Column widths no screen can show read as their defaults.
    p.WriteInt(kFileTypesSection, "Type Width", -3);
    p.WriteInt(kFileTypesSection, "Editor Width", 90000);
    EXPECT_EQ(ReadFileTypesOptions(p), (FileTypesOptions{true, 100, 200}));
    EXPECT_EQ(p.GetInt(kColorSection, "ASPStartEnd", -1), int(MakeColorRef(8, 16, 24)));
    EXPECT_EQ(p.GetInt(kEditSection, "Show Line Number", -1), 1);
    EXPECT_EQ(p.GetInt(kEditSection, "Default Encoding", -1), 1251);
    // A code page the editor does not know reads as the default.
    p.WriteInt(kEditSection, "Default Encoding", 932);
    EXPECT_EQ(ReadEditOptions(p).defaultEncoding, CodePage::Windows1252);
    p.WriteInt(kEditSection, "Default Encoding", 65001);
    EXPECT_EQ(ReadEditOptions(p).defaultEncoding, CodePage::Utf8);
}

TEST(OptionsEditing, SixValuesMirrorTheEditPage) {
    EditOptions e;
    e.showSelectionMargin = false;
    e.showLineNumber = true;
    e.showSelectionAlways = false;
    e.autoIndent = false;
    e.tabSize = 7;
    e.tabToSpace = true;
    EditingSettings s = EditingSettingsOf(e);
    EXPECT_EQ(s, (EditingSettings{false, true, false, false, 7, true}));
}

TEST(OptionsInput, RangedIntegers) {
    EXPECT_EQ(ParseRangedInt("12", 8, 72), 12);
    EXPECT_EQ(ParseRangedInt(" 8 ", 8, 72), 8);
    EXPECT_EQ(ParseRangedInt("+72", 8, 72), 72);
    EXPECT_FALSE(ParseRangedInt("73", 8, 72));
    EXPECT_FALSE(ParseRangedInt("7", 8, 72));
    EXPECT_FALSE(ParseRangedInt("", 1, 64));
    EXPECT_FALSE(ParseRangedInt("0", 1, 64));
    EXPECT_FALSE(ParseRangedInt("4x", 1, 64));
    EXPECT_FALSE(ParseRangedInt("-3", 1, 64));
    EXPECT_FALSE(ParseRangedInt("99999999999999999999", 1, 64));
}

TEST(OptionsColors, SlotsAgreeWithTheViewsColorTable) {
    // The page and the views read the same registry values: names, order and defaults must match.
    for (int i = 0; i < ColorSlotCount; ++i) {
        EXPECT_STREQ(ColorSlotName(i), kHtmlAspColorSettings[i].name) << i;
        EXPECT_EQ(DefaultSlotColor(i), kHtmlAspColorSettings[i].defaultColor.ToColorRef()) << i;
    }
    ColorOptions c;
    c.enableSyntaxColoring = false;
    c.colors[SlotAspStartEnd] = MakeColorRef(1, 2, 3);
    HtmlAspPalette palette = PaletteOf(c);
    EXPECT_FALSE(palette.syntaxColoring);
    EXPECT_EQ(palette.colors[ColorAspStartEnd], (RgbColor{1, 2, 3}));
    EXPECT_EQ(palette.colors[ColorSelMargin], (RgbColor{192, 192, 192}));
}
