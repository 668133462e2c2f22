// The remembered sizes of a docking bar and their six stored values.
#include "platform/MemoryProfile.h"
#include "ui/BarSizes.h"

#include <gtest/gtest.h>

using namespace tarnwell;

TEST(BarSizes, SectionAndSideSelection) {
    EXPECT_EQ(SizingBarSizes::Section("ToolBars\\DockBar", 59433), "ToolBars\\DockBar-SCBar-59433");
    SizingBarSizes s({400, 180});
    s.vert = {210, 300};
    s.floating = {320, 240};
    EXPECT_EQ(s.For(BarSide::Top), (BarSize{400, 180}));
    EXPECT_EQ(s.For(BarSide::Bottom), (BarSize{400, 180}));
    EXPECT_EQ(s.For(BarSide::Right), (BarSize{210, 300}));
    EXPECT_EQ(s.For(BarSide::Floating), (BarSize{320, 240}));
}

TEST(BarSizes, StoredValuesAreHeldBetweenMinimumAndClientArea) {
    const std::string sec = "ToolBars\\DockBar-SCBar-59432";
    struct Case {
        const char* name;
        int stored;  // written as sizeVertCX; -1: not written
        int expected;
    } cases[] = {
        {"missing keeps the current size", -1, 200},
        {"5 reads as the minimum", 5, 20},
        {"negative reads as the minimum", -300, 20},
        {"from a larger screen cut to the client area", 5000, 900},
        {"in range kept", 333, 333},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryProfile p;
        if (c.stored != -1) p.WriteInt(sec, "sizeVertCX", c.stored);
        SizingBarSizes s({200, 250});
        s.Load(p, sec, {900, 600});
        EXPECT_EQ(s.vert.cx, c.expected);
        EXPECT_EQ(s.vert.cy, 250);
    }
    // A client area smaller than the minimum: the minimum wins.
    EXPECT_EQ(ClampBarSize({100, 100}, {20, 20}, {10, 50}), (BarSize{20, 50}));
}

TEST(BarSizes, SaveThenLoadRoundTripsAllSix) {
    MemoryProfile p;
    SizingBarSizes a;
    a.horz = {401, 181};
    a.vert = {202, 252};
    a.floating = {303, 203};
    a.Save(p, "S");
    EXPECT_EQ(p.ValueCount(), 6u);
    for (const char* name : {"sizeHorzCX", "sizeHorzCY", "sizeVertCX", "sizeVertCY", "sizeFloatCX", "sizeFloatCY"})
        EXPECT_TRUE(p.Has("S", name)) << name;
    SizingBarSizes b;
    b.Load(p, "S", {2000, 2000});
    EXPECT_EQ(b.horz, a.horz);
    EXPECT_EQ(b.vert, a.vert);
    EXPECT_EQ(b.floating, a.floating);
}
