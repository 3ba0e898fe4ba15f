// The comparison sheet's grid, worked by hand with gaps of 8, labels of 24 and a limit of
// 4096 each way. (The proposed file name of a saved picture is checked under code page 932,
// tests/cp932.)

#include <tuple>

#include <gtest/gtest.h>

#include "app/sheet_layout.h"

TEST(SheetLayout, TheSmallestFactorWinsThenTheMostNearlySquareSheet)
{
    struct Want { bool fits; int columns, rows, factor, tileWidth, tileHeight, cellWidth, width, height; };
    const struct { int tiles, width, height, maxHeight, minCellWidth; Want want; } cases[] = {
        // Whole: 8 + 1920 + 8 across, 8 + 1080 + 24 + 8 down.
        {1, 1920, 1080, 4096, 120, {true, 1, 1, 1, 1920, 1080, 1920, 1936, 1120}},
        // No grid takes seven whole (two columns need 8 + 4 * 1112 down); halved, one to
        // four columns fit, and 2 x 4 is the squarest (976 x 4012, 2912 x 1724, 3880 x 1152).
        {7, 1920, 1080, 4096, 120, {true, 2, 4, 2, 960, 540, 960, 1944, 2296}},
        // Whole, 2 x 2 (2072 x 1608) is squarer than 1 x 3 (1040 x 2408).
        {3, 1024, 768, 4096, 0, {true, 2, 2, 1, 1024, 768, 1024, 2072, 1608}},
        // 4080 is just as wide as the room: whole.
        {1, 4080, 100, 4096, 120, {true, 1, 1, 1, 4080, 100, 4080, 4096, 140}},
        // 4099 is 19 too wide: halved, rounded up; two columns would need a third.
        {2, 4099, 31, 4096, 120, {true, 1, 2, 2, 2050, 16, 2050, 2066, 104}},
        // Upright pictures keep their size side by side, not one above the other.
        {2, 600, 4000, 4096, 120, {true, 2, 1, 1, 600, 4000, 600, 1224, 4040}},
        // Small pictures in cells as wide as their labels: 2 x 4 cells of 120 + 8 across and
        // 20 + 24 + 8 down (264 x 216) beats one column (136 x 372) and three (392 x 164).
        {7, 37, 20, 4096, 120, {true, 2, 4, 1, 37, 20, 120, 264, 216}},
        {1, 1, 1, 4096, 60, {true, 1, 1, 1, 1, 1, 60, 76, 41}},
        // Cells of 2000 fit two across (2036 each) but not three; one column is squarer.
        {3, 100, 100, 4096, 2000, {true, 1, 3, 1, 100, 100, 2000, 2016, 404}},
        {1, 100, 100, 4096, 4081, {}},  // no room for the labels' cell
        {1, 100, 100, 40, 0, {}},       // no room for a label and its gaps
        {0, 100, 100, 4096, 0, {}},
    };
    for (const auto& c : cases) {
        const SheetLayout got = LayOutSheet({c.tiles, c.width, c.height, 24, 8, 4096, c.maxHeight, c.minCellWidth});
        const Want& w = c.want;
        EXPECT_EQ(std::make_tuple(got.fits, got.columns, got.rows, got.factor, got.tileWidth, got.tileHeight,
                                  got.cellWidth, got.width, got.height),
                  std::make_tuple(w.fits, w.columns, w.rows, w.factor, w.tileWidth, w.tileHeight, w.cellWidth,
                                  w.width, w.height))
            << c.tiles << " tiles of " << c.width << "x" << c.height;
    }
}

TEST(SheetLayout, TilesFillRowsWithTheirLabelsUnderneath)
{
    const auto rect = [](SheetRect r) { return std::make_tuple(r.x, r.y, r.width, r.height); };
    const SheetLayout layout = LayOutSheet({7, 1920, 1080, 24, 8, 4096, 4096, 120});
    // Tile 5: third row, second column; each step 960 + 8 across, 540 + 24 + 8 down.
    EXPECT_EQ(rect(SheetTilePicture(layout, 5)), std::make_tuple(976, 1152, 960, 540));
    EXPECT_EQ(rect(SheetTileLabel(layout, 5)), std::make_tuple(976, 1692, 960, 24));
    EXPECT_EQ(rect(SheetTilePicture(layout, 0)), std::make_tuple(8, 8, 960, 540));
    // A small picture in the middle of its cell, its label across the whole cell: tile 3
    // is the second row's second cell, 8 + 128 across and 8 + 52 down.
    const SheetLayout small = LayOutSheet({7, 37, 20, 24, 8, 4096, 4096, 120});
    EXPECT_EQ(rect(SheetTilePicture(small, 3)), std::make_tuple(136 + 41, 60, 37, 20));
    EXPECT_EQ(rect(SheetTileLabel(small, 3)), std::make_tuple(136, 80, 120, 24));
}
