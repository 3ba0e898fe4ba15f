// The comparison sheet's grid, worked by hand with gaps of 8, labels of 24 and a limit of
// 4096 each way; and the texts around saving: the proposed file name and the placeholders
// of a translated message.

#include <cstring>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "filter/text.h"
#include "preview/picture_name.h"
#include "preview/sheet_layout.h"

TEST(SheetLayout, TheSmallestFactorWinsThenTheMostNearlySquareSheet)
{
    const struct { int tiles, width, height, maxHeight; SheetLayout want; } cases[] = {
        // One tile fits whole: 8 + 1920 + 8 across, 8 + 1080 + 24 + 8 down.
        {1, 1920, 1080, 4096, {true, 1, 1, 1, 1920, 1080, 24, 8, 1936, 1120}},
        // A capture and six filters: no grid takes them whole (two columns need
        // 8 + 4 * 1112 = 4456 down). Halved, one to four columns fit; two columns of four
        // rows, 1944 x 2296, are the squarest (one, three, four: 976 x 4012, 2912 x 1724,
        // 3880 x 1152).
        {7, 1920, 1080, 4096, {true, 2, 4, 2, 960, 540, 24, 8, 1944, 2296}},
        // Three tiles whole: 2 x 2 (2072 x 1608) is squarer than 1 x 3 (1040 x 2408).
        {3, 1024, 768, 4096, {true, 2, 2, 1, 1024, 768, 24, 8, 2072, 1608}},
        // 4099 is 19 too wide for one column: halved and rounded up, 2050 x 16; two
        // columns would need a third.
        {2, 4099, 31, 4096, {true, 1, 2, 2, 2050, 16, 24, 8, 2066, 104}},
        // Upright pictures side by side keep their size; one above the other they would not.
        {2, 600, 4000, 4096, {true, 2, 1, 1, 600, 4000, 24, 8, 1224, 4040}},
        // No room for a label band and its gaps, nor for no tile at all.
        {1, 100, 100, 40, {}},
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

TEST(PictureName, NamesTheMomentAndTheFilterWithWhatAFileNameCannotHoldReplaced)
{
    const PictureTime time = {2026, 12, 7, 14, 3, 12};
    const struct { const char* label; size_t size; const char* want; } cases[] = {
        {"Deuteranopia", 260, "Prismolenteer 2026-12-07 14.03.12 Deuteranopia.png"},
        {"hue(RGB=>GBR)", 260, "Prismolenteer 2026-12-07 14.03.12 hue(RGB=_GBR).png"},
        {"a\\b/c:d*e?f\"g<h>i|j\tk", 260, "Prismolenteer 2026-12-07 14.03.12 a_b_c_d_e_f_g_h_i_j_k.png"},
        // Cut to fit 45 bytes with the terminator.
        {"Deuteranopia", 45, "Prismolenteer 2026-12-07 14.03.12 Deuter.png"},
    };
    for (const auto& c : cases) {
        char name[260];
        ProposePictureName(time, c.label, name, c.size);
        EXPECT_STREQ(name, c.want) << c.label;
    }
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
