// Quantization to the 16 cube levels and the expansion of control colours into the cube.

#include <gtest/gtest.h>

#include "filter/color_cube.h"
#include "filter/filter_table.h"
#include "tests/support/filter_fixture.h"

namespace {

// Channel value -> level, as tabulated for the program (v/17 rounded to nearest).
TEST(ColorLevel, CoversTheTabulatedRanges)
{
    const struct {
        int level, first, last;
    } ranges[] = {
        {0, 0, 8},       {1, 9, 25},      {2, 26, 42},     {3, 43, 59},
        {4, 60, 76},     {5, 77, 93},     {6, 94, 110},    {7, 111, 127},
        {8, 128, 144},   {9, 145, 161},   {10, 162, 178},  {11, 179, 195},
        {12, 196, 212},  {13, 213, 229},  {14, 230, 246},  {15, 247, 255},
    };
    for (const auto& range : ranges)
        for (int v = range.first; v <= range.last; ++v)
            EXPECT_EQ(ColorLevel(v), range.level) << "value " << v;
}

TEST(ColorCubeIndex, TakesRedFromTheLowByte)
{
    // Red 200, green 100, blue 50: levels 12, 6, 3.
    EXPECT_EQ(ColorCubeIndex(MakeColorRef(200, 100, 50)), 3171);
    EXPECT_EQ(ColorCubeIndex(0x00000000), 0);
    EXPECT_EQ(ColorCubeIndex(0x00FFFFFF), 4095);
    EXPECT_EQ(ColorCubeIndex(0x000000FF), 15 * 256);
    EXPECT_EQ(ColorCubeIndex(0x00FF0000), 15);
}

class ExpandColorCubeTest : public EmptyFilterTable {
protected:
    FilterRecord record{};

    // Channel value of a grey cell (all three channels must agree).
    unsigned Gray(int r, int g, int b)
    {
        const ColorRef cell = record.colorCube[CubeCellIndex(r, g, b)];
        EXPECT_EQ(RedOf(cell), GreenOf(cell));
        EXPECT_EQ(RedOf(cell), BlueOf(cell));
        return RedOf(cell);
    }
};

TEST_F(ExpandColorCubeTest, SingleWhiteControlColorSpreadsAtThirds)
{
    record.controlCube[ControlCubeIndex(1, 1, 1)] = 0x00FFFFFF;
    ExpandColorCube(record);
    const struct {
        int r, g, b;
        unsigned value;
    } cells[] = {
        {3, 3, 3, 255}, {3, 3, 2, 170}, {3, 3, 1, 85}, {3, 2, 3, 170},
        {3, 2, 2, 113}, {2, 2, 2, 75},  {3, 1, 1, 28}, {1, 1, 1, 9},
    };
    for (const auto& cell : cells)
        EXPECT_EQ(Gray(cell.r, cell.g, cell.b), cell.value)
            << "cube[" << cell.r << ", " << cell.g << ", " << cell.b << "]";
}

TEST_F(ExpandColorCubeTest, AxesRunBlueThenGreenThenRed)
{
    record.controlCube[ControlCubeIndex(0, 1, 0)] = MakeColorRef(5, 0, 0);
    ExpandColorCube(record);
    EXPECT_EQ(RedOf(record.colorCube[CubeCellIndex(0, 3, 1)]), 3u);
    // Green before blue would give 0 here.
    EXPECT_EQ(RedOf(record.colorCube[CubeCellIndex(0, 1, 1)]), 1u);
}

TEST_F(ExpandColorCubeTest, LatticeCellsKeepTheirControlColors)
{
    uint32_t seed = 12345;
    for (ColorRef& color : record.controlCube) {
        seed = seed * 1103515245u + 12345u;
        color = (seed >> 4) & 0x00FFFFFF;
    }
    ExpandColorCube(record);
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b)
            for (int c = 0; c < 6; ++c)
                EXPECT_EQ(record.colorCube[CubeCellIndex(3 * a, 3 * b, 3 * c)],
                          record.controlCube[ControlCubeIndex(a, b, c)]);
    for (int i = 0; i < kColorCubeSize; ++i)
        EXPECT_EQ(record.colorCube[i] >> 24, 0u) << "cell " << i;
}

TEST_F(ExpandColorCubeTest, BuiltinCubesExpandExactly)
{
    RegisterBuiltinFilters();
    const FilterRecord& normal = filterTable.records[0];
    const FilterRecord& gray = filterTable.records[1];
    const FilterRecord& gbr = filterTable.records[2];
    const FilterRecord& brg = filterTable.records[3];
    for (int r = 0; r < 16; ++r) {
        for (int g = 0; g < 16; ++g) {
            for (int b = 0; b < 16; ++b) {
                const int cell = CubeCellIndex(r, g, b);
                ASSERT_EQ(normal.colorCube[cell], MakeColorRef(17 * r, 17 * g, 17 * b));
                ASSERT_EQ(gbr.colorCube[cell], MakeColorRef(17 * g, 17 * b, 17 * r));
                ASSERT_EQ(brg.colorCube[cell], MakeColorRef(17 * b, 17 * r, 17 * g));
            }
        }
    }
    EXPECT_EQ(gray.colorCube[CubeCellIndex(12, 6, 3)], 0x007E7E7Eu);
    EXPECT_EQ(gray.colorCube[CubeCellIndex(1, 2, 3)], 0x001E1E1Eu);
    EXPECT_EQ(gray.colorCube[CubeCellIndex(1, 1, 1)], 0x00101010u);
    EXPECT_EQ(gray.colorCube[CubeCellIndex(15, 15, 15)], 0x00FFFFFFu);
}

TEST_F(ExpandColorCubeTest, LookupColorReadsTheCellOfTheNearestLevels)
{
    RegisterBuiltinFilters();
    const FilterRecord& gray = filterTable.records[1];
    EXPECT_EQ(LookupColor(MakeColorRef(200, 100, 50), gray), 0x007E7E7Eu);
    EXPECT_EQ(LookupColor(MakeColorRef(255, 0, 0), filterTable.records[2]), 0x00FF0000u);
    EXPECT_EQ(LookupColor(MakeColorRef(255, 0, 0), filterTable.records[3]), 0x0000FF00u);
    // The top byte of the input takes no part.
    EXPECT_EQ(LookupColor(0xAB000000 | MakeColorRef(200, 100, 50), gray), 0x007E7E7Eu);
}

}  // namespace
