// Expansion of a filter's 6x6x6 control colours into its 16x16x16 lookup cube.

#include "filter/color_cube.h"

#include "filter/filter_table.h"

namespace {

// The points one third and two thirds of the way from p to q, channel by channel,
// truncated. Truncation makes the order of the axes part of the result, so the
// expansion below must run blue, then green, then red.
ColorRef Third(ColorRef p, ColorRef q)
{
    return MakeColorRef((2 * RedOf(p) + RedOf(q)) / 3, (2 * GreenOf(p) + GreenOf(q)) / 3,
                        (2 * BlueOf(p) + BlueOf(q)) / 3);
}

ColorRef TwoThirds(ColorRef p, ColorRef q)
{
    return MakeColorRef((RedOf(p) + 2 * RedOf(q)) / 3, (GreenOf(p) + 2 * GreenOf(q)) / 3,
                        (BlueOf(p) + 2 * BlueOf(q)) / 3);
}

// Fills the two cells between cube cells `from` and `from + 3 * step`.
void FillBetween(ColorCube& cube, int from, int step)
{
    const ColorRef p = cube[from];
    const ColorRef q = cube[from + 3 * step];
    cube[from + step] = Third(p, q);
    cube[from + 2 * step] = TwoThirds(p, q);
}

}  // namespace

void ExpandColorCube(FilterRecord& record)
{
    ColorCube& cube = record.colorCube;
    const int kRedStep = CubeCellIndex(1, 0, 0);
    const int kGreenStep = CubeCellIndex(0, 1, 0);
    const int kBlueStep = CubeCellIndex(0, 0, 1);

    // Each control colour sits on the cell whose levels are three times its own.
    for (int a = 0; a < kControlLevels; ++a)
        for (int b = 0; b < kControlLevels; ++b)
            for (int c = 0; c < kControlLevels; ++c)
                cube[CubeCellIndex(3 * a, 3 * b, 3 * c)] = record.controlCube[ControlCubeIndex(a, b, c)];

    // Blue axis: completes the 36 rows whose red and green levels are multiples of 3.
    for (int a = 0; a < kControlLevels; ++a)
        for (int b = 0; b < kControlLevels; ++b)
            for (int k = 0; k < kControlLevels - 1; ++k)
                FillBetween(cube, CubeCellIndex(3 * a, 3 * b, 3 * k), kBlueStep);

    // Green axis: completes the six planes whose red level is a multiple of 3.
    for (int a = 0; a < kControlLevels; ++a)
        for (int k = 0; k < kControlLevels - 1; ++k)
            for (int c = 0; c < kCubeLevels; ++c)
                FillBetween(cube, CubeCellIndex(3 * a, 3 * k, c), kGreenStep);

    // Red axis: everything else.
    for (int k = 0; k < kControlLevels - 1; ++k)
        for (int g = 0; g < kCubeLevels; ++g)
            for (int c = 0; c < kCubeLevels; ++c)
                FillBetween(cube, CubeCellIndex(3 * k, g, c), kRedStep);
}

ColorRef LookupColor(ColorRef color, const FilterRecord& record)
{
    return record.colorCube[ColorCubeIndex(color)];
}
