// Where things are on the screen: the operate panel's layout and its stored position pulled
// onto the screen, and the hot corner's points and dwell.

#include <tuple>

#include <gtest/gtest.h>

#include "preview/panel_layout.h"
#include "tray/hot_corner.h"

// At 96 DPI: an 8-point GUI font (m = 11), 13-pixel rows, the classic frame sizes, on a
// monitor 1024 wide whose left edge is at `left`.
static PanelLayout LayOut96Dpi(int rows, int screenHeight, int widestText, int storedX,
                               int storedY, int left = 0)
{
    return LayOutPanel({11, 13, rows, widestText, 2, 2, 3, 3, 19, 16, left, 0, left + 1024,
                        screenHeight},
                       storedX, storedY);
}

static std::tuple<int, int, int, int> Rect(const PanelRect& r)
{
    return {r.x, r.y, r.width, r.height};
}

TEST(PanelLayout, SixFiltersAt96Dpi)
{
    // The list 2 * (2 + 5m) wide, or the widest name + 4 + 2 * 2, and 6 * 13 + 4 high; the
    // button 7m by m + 10 centred under it; around them m and the frame of 3 on each side,
    // and 2m + 10 + 19 of caption. The panel ends 882, 607 at the latest.
    const struct { int widestText, storedX, storedY; PanelRect list, button, panel; } cases[] = {
        {0, 2000, -40, {11, 11, 114, 82}, {29, 104, 77, 21}, {882, 0, 142, 161}},
        {106, 100, 200, {11, 11, 114, 82}, {29, 104, 77, 21}, {100, 200, 142, 161}},
        {107, 882, 607, {11, 11, 115, 82}, {30, 104, 77, 21}, {881, 607, 143, 161}},
        {0, 883, 608, {11, 11, 114, 82}, {29, 104, 77, 21}, {882, 607, 142, 161}},
        {0, -2147483647 - 1, 2147483647, {11, 11, 114, 82}, {29, 104, 77, 21}, {0, 607, 142, 161}},
    };
    for (const auto& c : cases) {
        const PanelLayout layout = LayOut96Dpi(6, 768, c.widestText, c.storedX, c.storedY);
        EXPECT_EQ(Rect(layout.list), Rect(c.list)) << "list, name " << c.widestText;
        EXPECT_EQ(Rect(layout.button), Rect(c.button)) << "button, name " << c.widestText;
        EXPECT_EQ(Rect(layout.panel), Rect(c.panel)) << "stored " << c.storedX << "," << c.storedY;
        EXPECT_FALSE(layout.listScrolls);
    }
}

TEST(PanelLayout, AStoredPositionIsPulledOntoTheMonitorOfThePreview)
{
    // A second monitor right of the first, or left of it: whatever monitor the position was
    // stored on, the panel lands on the previewed one.
    const struct { int left, storedX, storedY, x, y; } cases[] = {
        {1024, 100, 200, 1024, 200},  {1024, 1100, 200, 1100, 200}, {1024, 5000, 900, 1906, 607},
        {-1024, 100, 200, -142, 200}, {-1024, -1100, -5, -1024, 0},
    };
    for (const auto& c : cases) {
        const PanelLayout layout = LayOut96Dpi(6, 768, 0, c.storedX, c.storedY, c.left);
        EXPECT_EQ(Rect(layout.panel), Rect({c.x, c.y, 142, 161}))
            << "stored " << c.storedX << "," << c.storedY << " on the monitor at " << c.left;
    }
}

TEST(PanelLayout, RowsThatDoNotFitScrollAndTheCaptionStaysOnTheScreen)
{
    // A scrolling list shows the whole rows that fit (at least one) and is 16 pixels wider.
    // Stored far down, the panel is pulled up to the bottom, but never above the top.
    const struct { int rows, screenHeight; bool scrolls; int listHeight, y; } cases[] = {
        {0, 768, false, 4, 685},  {1, 768, false, 17, 672}, {52, 759, false, 680, 0},
        {52, 758, true, 667, 12}, {53, 759, true, 680, 0},  {128, 768, true, 680, 9},
        {10, 50, true, 17, 0},    {10, 88, true, 17, 0},  {0, 50, false, 4, 0},
    };
    for (const auto& c : cases) {
        const PanelLayout layout = LayOut96Dpi(c.rows, c.screenHeight, 0, 0, 5000);
        EXPECT_EQ(layout.listScrolls, c.scrolls) << c.rows << " rows on " << c.screenHeight;
        EXPECT_EQ(Rect(layout.list), Rect({11, 11, c.scrolls ? 130 : 114, c.listHeight})) << c.rows;
        EXPECT_EQ(Rect(layout.panel), Rect({0, c.y, c.scrolls ? 158 : 142, c.listHeight + 79}))
            << c.rows;
        EXPECT_EQ(layout.button.y, c.listHeight + 22) << c.rows;
    }
}

TEST(HotCorner, EachPositionNamesItsCornerPixelAndTheDwellLastsOver200Ms)
{
    const struct { uint32_t position; bool matches; int x, y; } corners[] = {
        {0, true, 0, 0},      {1, true, 0, 767},   {2, true, 1023, 0},
        {3, true, 1023, 767}, {4, false, -1, -1},
    };
    for (const auto& c : corners) {
        int x = -1, y = -1;
        EXPECT_EQ(HotCornerPoint(c.position, 1024, 768, &x, &y), c.matches) << c.position;
        EXPECT_TRUE(x == c.x && y == c.y) << c.position << ": " << x << "," << y;
    }
    const struct { uint32_t start, now; bool fires; } dwells[] = {
        {1000, 1200, false},       {1000, 1201, true},
        {0xFFFFFFF0, 0xB8, false}, {0xFFFFFFF0, 0xB9, true},  // 200 and 201 ms across the wrap
    };
    for (const auto& d : dwells)
        EXPECT_EQ(IsDwellLongEnough(d.start, d.now), d.fires) << d.start << " to " << d.now;
}
