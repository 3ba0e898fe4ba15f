// The hot corner's points and its dwell threshold.

#include <gtest/gtest.h>

#include "tray/hot_corner.h"

namespace {

TEST(HotCorner, EachPositionNamesItsCornerPixel)
{
    const struct {
        uint32_t position;
        bool matches;
        int x, y;
    } cases[] = {
        {0, true, 0, 0},      {1, true, 0, 767},   {2, true, 1023, 0},
        {3, true, 1023, 767}, {4, false, 0, 0},    {0xFFFFFFFF, false, 0, 0},
    };
    for (const auto& c : cases) {
        int x = -1, y = -1;
        EXPECT_EQ(HotCornerPoint(c.position, 1024, 768, &x, &y), c.matches) << c.position;
        if (c.matches) {
            EXPECT_EQ(x, c.x) << c.position;
            EXPECT_EQ(y, c.y) << c.position;
        }
    }
}

TEST(HotCorner, DwellMustLastMoreThan200MsAcrossTheTickWrap)
{
    const struct {
        uint32_t start, now;
        bool fires;
    } cases[] = {
        {1000, 1000, false},       {1000, 1200, false},       {1000, 1201, true},
        {0xFFFFFF00, 0x00000008, true},   // 264 ms across the wrap
        {0xFFFFFFF0, 0x000000B8, false},  // 200 ms across the wrap
        {0xFFFFFFF0, 0x000000B9, true},   // 201 ms across the wrap
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsDwellLongEnough(c.start, c.now), c.fires) << c.start << " -> " << c.now;
}

}  // namespace
