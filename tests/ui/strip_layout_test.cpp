// The open-files strip's arithmetic: widths, rows and the scroller; clicks and the button menu.
#include "ui/StripLayout.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tarnwell;

namespace {
constexpr int kScroll = 16;
}

TEST(StripLayout, WidthsRowsAndScroller) {
    struct Case {
        const char* name;
        int width, count, firstRow;
        int buttonWidth, columns, rows, shownFirstRow;
        bool scroller;
    } cases[] = {
        {"three share the width", 400, 3, 0, 133, 3, 1, 0, false},
        {"one is capped at 180", 400, 1, 0, 180, 1, 1, 0, false},
        {"ten need rows of 50", 400, 10, 0, 50, 7, 2, 0, true},
        {"first row cut to the last row", 400, 10, 5, 50, 7, 2, 1, true},
        {"too narrow for one column keeps one", 30, 3, 0, 50, 1, 3, 0, true},
        {"exactly 50 still fits one row", 150, 3, 0, 50, 3, 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const StripLayout l = LayoutStrip(c.width, 22, c.count, c.firstRow, kScroll);
        EXPECT_EQ(l.buttonWidth, c.buttonWidth);
        EXPECT_EQ(l.columns, c.columns);
        EXPECT_EQ(l.rows, c.rows);
        EXPECT_EQ(l.firstRow, c.shownFirstRow);
        EXPECT_EQ(l.scrollerShown, c.scroller);
        ASSERT_EQ(int(l.buttons.size()), c.count);
        if (c.scroller) {
            EXPECT_EQ(l.scroller, (StripRect{c.width - kScroll, 0, c.width, 22}));
            EXPECT_EQ(l.scrollerMax, c.rows - 1);
            EXPECT_EQ(FirstRowForScroller(l.rows, l.scrollerValue), l.firstRow);
            // No button reaches under the scroller.
            for (const StripRect& r : l.buttons) EXPECT_LE(r.right, std::max(c.buttonWidth, c.width - kScroll));
        }
    }
}

TEST(StripLayout, ButtonsGoRowByRowFromTheFirstRowShown) {
    StripMetrics m;
    m.gap = 2;
    m.marginLeft = 3;
    m.marginTop = 1;
    m.marginBottom = 1;
    const StripLayout l = LayoutStrip(200, 22, 5, 1, kScroll, m);
    ASSERT_EQ(l.columns, 3);  // (200 - 3 - 16) / 52
    EXPECT_EQ(l.buttons[0], (StripRect{3, 1 - 20, 53, 1}));
    EXPECT_EQ(l.buttons[2], (StripRect{107, 1 - 20, 157, 1}));
    EXPECT_EQ(l.buttons[3], (StripRect{3, 1, 53, 21}));
    EXPECT_EQ(ButtonAt(l.buttons, 60, 5), 4);
    EXPECT_EQ(ButtonAt(l.buttons, 54, 5), -1);  // in the gap
    EXPECT_EQ(ButtonAt(l.buttons, 3, 21), -1);  // below the row
    // The up arrow (a higher value) shows earlier rows.
    EXPECT_EQ(l.scrollerValue, 0);
    EXPECT_EQ(FirstRowForScroller(l.rows, 1), 0);
}

TEST(StripLayout, EmptyStripHasNoButtons) {
    const StripLayout l = LayoutStrip(400, 22, 0, 3, kScroll);
    EXPECT_TRUE(l.buttons.empty());
    EXPECT_FALSE(l.scrollerShown);
}

TEST(StripLayout, LightFaceIsCappedAt255) {
    EXPECT_EQ(LightFace({212, 208, 200}), (StripRgb{228, 224, 216}));
    EXPECT_EQ(LightFace({240, 0, 100}), (StripRgb{255, 0, 108}));
}

TEST(StripClick, MinimizeTheActiveAndBringBackOthers) {
    struct Case {
        bool down, minimized, activeMaximized, wasMaximized;
        WindowAction action;
    } cases[] = {
        {true, false, false, false, WindowAction::Minimize},
        {false, false, true, false, WindowAction::Activate},
        {false, true, false, false, WindowAction::Restore},
        {false, true, false, true, WindowAction::Maximize},
        {false, true, true, false, WindowAction::Maximize},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClickAction(c.down, c.minimized, c.activeMaximized, c.wasMaximized), c.action);
}

TEST(StripClick, ButtonMenuDefaultsAndDisabledItems) {
    struct Case {
        const char* name;
        bool active, minimized, maximized, modified, hasPath;
        int defaultId;
        std::vector<int> disabled;
    } cases[] = {
        {"active and maximized", true, false, true, false, true, kFilesMenuMinimize,
         {kFilesMenuActivate, kFilesMenuMaximize, kFilesMenuSave}},
        {"inactive normal, modified", false, false, false, true, true, kFilesMenuActivate, {kFilesMenuRestore}},
        {"minimized untitled", false, true, false, false, false, kFilesMenuActivate, {kFilesMenuMinimize}},
        {"active but minimized", true, true, false, false, true, kFilesMenuActivate,
         {kFilesMenuMinimize, kFilesMenuSave}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FilesMenuState s = FilesMenu(c.active, c.minimized, c.maximized, c.modified, c.hasPath);
        EXPECT_EQ(s.defaultId, c.defaultId);
        std::vector<int> disabled;
        for (int id = kFilesMenuRestore; id <= kFilesMenuActivate; ++id)
            if (!s.Enabled(id)) disabled.push_back(id);
        std::sort(disabled.begin(), disabled.end());
        auto expected = c.disabled;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(disabled, expected);
    }
}
