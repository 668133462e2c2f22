#include "platform/MemoryProfile.h"

#include <gtest/gtest.h>

using tarnwell::MemoryProfile;

TEST(MemoryProfile, MissingValuesReadAsDefaultsAndTypesDoNotCross) {
    MemoryProfile p;
    EXPECT_EQ(p.GetInt("Options\\Edit", "Tab Size", 4), 4);
    EXPECT_EQ(p.GetString("Options\\Edit", "Font", "x"), "x");
    EXPECT_FALSE(p.GetBinary("Settings", "Bar").has_value());

    p.WriteBinary("Settings", "Bar", {1, 2, 3});
    EXPECT_EQ(p.GetInt("Settings", "Bar", -7), -7);
    ASSERT_TRUE(p.GetBinary("Settings", "Bar").has_value());
    EXPECT_EQ(p.GetBinary("Settings", "Bar")->size(), 3u);
}

TEST(MemoryProfile, DeleteSectionTakesSubsectionsButNotSiblingsWithTheSamePrefix) {
    MemoryProfile p;
    p.WriteInt("Options", "A", 1);
    p.WriteInt("Options\\Edit", "B", 2);
    p.WriteInt("OptionsX", "C", 3);
    p.DeleteSection("Options");
    EXPECT_FALSE(p.Has("Options", "A"));
    EXPECT_FALSE(p.Has("Options\\Edit", "B"));
    EXPECT_TRUE(p.Has("OptionsX", "C"));
    EXPECT_TRUE(p.DeleteValue("OptionsX", "C"));
    EXPECT_FALSE(p.DeleteValue("OptionsX", "C"));
}
