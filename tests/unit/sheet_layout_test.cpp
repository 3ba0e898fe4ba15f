// The comparison sheet's grid, worked by hand with gaps of 8, labels of 24 and a limit of
// 4096 each way; and the placeholders of a translated message. (The proposed file name of a
// saved picture is checked under code page 932, tests/cp932.)

#include <cstring>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "filter/text.h"
#include "app/sheet_layout.h"

TEST(SheetLayout, TheSmallestFactorWinsThenTheMostNearlySquareSheet)
{
    const struct { int tiles, width, height, maxHeight; SheetLayout want; } cases[] = {
        // Whole: 8 + 1920 + 8 across, 8 + 1080 + 24 + 8 down.
        {1, 1920, 1080, 4096, {true, 1, 1, 1, 1920, 1080, 24, 8, 1936, 1120}},
        // No grid takes seven whole (two columns need 8 + 4 * 1112 down); halved, one to
        // four columns fit, and 2 x 4 is the squarest (976 x 4012, 2912 x 1724, 3880 x 1152).
        {7, 1920, 1080, 4096, {true, 2, 4, 2, 960, 540, 24, 8, 1944, 2296}},
        // Whole, 2 x 2 (2072 x 1608) is squarer than 1 x 3 (1040 x 2408).
        {3, 1024, 768, 4096, {true, 2, 2, 1, 1024, 768, 24, 8, 2072, 1608}},
        // 4099 is 19 too wide: halved, rounded up; two columns would need a third.
        {2, 4099, 31, 4096, {true, 1, 2, 2, 2050, 16, 24, 8, 2066, 104}},
        // Upright pictures keep their size side by side, not one above the other.
        {2, 600, 4000, 4096, {true, 2, 1, 1, 600, 4000, 24, 8, 1224, 4040}},
        {1, 100, 100, 40, {}},  // no room for a label and its gaps
        {0, 100, 100, 4096, {}},
    };
    for (const auto& c : cases) {
        const SheetLayout got = LayOutSheet({c.tiles, c.width, c.height, 24, 8, 4096, c.maxHeight});
        const auto fields = [](const SheetLayout& s) {
            return std::make_tuple(s.fits, s.columns, s.rows, s.factor, s.tileWidth,
                                   s.tileHeight, s.width, s.height);
        };
        EXPECT_EQ(fields(got), fields(c.want)) << c.tiles << " tiles of " << c.width << "x" << c.height;
    }
}

TEST(SheetLayout, TilesFillRowsWithTheirLabelsUnderneath)
{
    const SheetLayout layout = LayOutSheet({7, 1920, 1080, 24, 8, 4096, 4096});
    const auto rect = [](SheetRect r) { return std::make_tuple(r.x, r.y, r.width, r.height); };
    // Tile 5: third row, second column; each step 960 + 8 across, 540 + 24 + 8 down.
    EXPECT_EQ(rect(SheetTilePicture(layout, 5)), std::make_tuple(976, 1152, 960, 540));
    EXPECT_EQ(rect(SheetTileLabel(layout, 5)), std::make_tuple(976, 1692, 960, 24));
    EXPECT_EQ(rect(SheetTilePicture(layout, 0)), std::make_tuple(8, 8, 960, 540));
}

TEST(Placeholders, TakeTheirArgumentsAndLeaveEverythingElseAsText)
{
    const char* const args[] = {"C:\\x 50%1.png", "Access is denied."};
    const struct { const char* pattern; int count; size_t size; const char* want; } cases[] = {
        {"%1 cannot be written: %2", 2, 512, "C:\\x 50%1.png cannot be written: Access is denied."},
        {"%2 then %1 then %3", 1, 512, " then C:\\x 50%1.png then "},
        {"%s%n%d 100% %0 %", 2, 512, "%s%n%d 100% %0 %"},
        {"[%1]", 1, 8, "[C:\\x 5"},
    };
    for (const auto& c : cases) {
        char text[512];
        std::memset(text, 'j', sizeof text);
        SubstitutePlaceholders(text, c.size, c.pattern, args, c.count);
        EXPECT_STREQ(text, c.want) << c.pattern;
    }
}
