// A tool bar's stored button layout.
#include "ui/ToolBarLayout.h"

#include <gtest/gtest.h>

using namespace tarnwell;

TEST(ToolBarLayout, RoundTripsAndRejectsWhatIsNotALayout) {
    const std::vector<int> known{57600, 57601, 57603, 57636};
    const std::vector<int> layout{57601, 0, 57600, 57636};
    const auto bytes = EncodeToolBarLayout(layout);
    EXPECT_EQ(DecodeToolBarLayout(bytes, known), layout);
    EXPECT_EQ(DecodeToolBarLayout(EncodeToolBarLayout({}), known), std::vector<int>{});

    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    } bad[] = {
        {"empty", {}},
        {"wrong magic", {'X', 'W', 'T', 'B', 0, 0, 0, 0}},
        {"count larger than the data", {'T', 'W', 'T', 'B', 2, 0, 0, 0, 1, 0, 0, 0}},
        {"trailing bytes", {'T', 'W', 'T', 'B', 0, 0, 0, 0, 7}},
        {"count near 2^32", {'T', 'W', 'T', 'B', 0xff, 0xff, 0xff, 0xff}},
    };
    for (const Case& c : bad) EXPECT_FALSE(DecodeToolBarLayout(c.bytes, known)) << c.name;
}

TEST(ToolBarLayout, UnknownAndRepeatedButtonsAreLeftOut) {
    const std::vector<int> known{57600, 57601};
    EXPECT_EQ(DecodeToolBarLayout(EncodeToolBarLayout(std::vector<int>{99999, 57600, 0, 57600, 57601, -5}), known),
              (std::vector<int>{57600, 0, 57601}));
}
