// The least grid mean a filter can reach: each cell's best 8-bit colour, checked against
// exhaustive search, and against the cells of the shipped files, none of which may beat it.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_file.h"
#include "tests/support/filter_fixture.h"
#include "tools/cube_bound.h"
#include "tools/filter_fidelity.h"
#include "tools/shipped_filters.h"

namespace {

double SummedDifference(ColorRef color, const std::vector<Lab>& targets)
{
    const Lab lab = ColorRefLab(color);
    double sum = 0.0;
    for (const Lab& target : targets)
        sum += Ciede2000(lab, target);
    return sum;
}

// The grid colours the program looks up in the cell with these levels, found by trying
// every grid value against ColorLevel.
std::vector<ColorRef> GridColorsOfCell(int red, int green, int blue)
{
    std::vector<int> values[3];
    const int levels[3] = {red, green, blue};
    for (int axis = 0; axis < 3; ++axis)
        for (int v = 0; v < 256; v += kGridStep)
            if (ColorLevel(v) == levels[axis])
                values[axis].push_back(v);
    std::vector<ColorRef> colors;
    for (int r : values[0])
        for (int g : values[1])
            for (int b : values[2])
                colors.push_back(MakeColorRef(r, g, b));
    return colors;
}

TEST(BestConstantColor, OneTargetIsItsOwnBestColourEvenAtTheGamutsCorners)
{
    for (ColorRef color : {0x000000u, 0xFFFFFFu, 0x0000FFu, 0xFF0000u, 0x00FFFFu, 0x563412u}) {
        const Lab target = ColorRefLab(color);
        double sum = -1.0;
        EXPECT_EQ(BestConstantColor(&target, 1, &sum), color);
        EXPECT_EQ(sum, 0.0);
    }
}

TEST(BestConstantColor, MatchesExhaustiveSearchOverEveryCandidateAroundTheTargets)
{
    const CvdModel tritanopia = {CvdModelKind::Brettel1997, Deficiency::Tritan, 1.0};
    const CvdModel protanopia = {CvdModelKind::Vienot1999, Deficiency::Protan, 1.0};
    const CvdModel protanomaly = {CvdModelKind::Machado2009, Deficiency::Protan, 0.6};
    const CvdModel deuteranomaly = {CvdModelKind::Machado2009, Deficiency::Deutan, 0.6};
    const CvdModel tritanomaly = {CvdModelKind::Machado2009, Deficiency::Tritan, 0.6};
    const struct {
        const char* what;
        CvdModel model;
        int red, green, blue;  // the cell's levels
    } cases[] = {
        // Valleys narrower than one step, at a slant to the axes: a walk over neighbouring
        // 8-bit colours alone stops short in each of these.
        {"tritanopia, green and blue trade off", tritanopia, 0, 10, 1},
        {"tritanopia, red near 0 trades with blue", tritanopia, 3, 6, 11},
        {"tritanopia, blue near 0", tritanopia, 3, 11, 15},
        {"protanopia, two clusters of yellow at the gamut's edge", protanopia, 0, 15, 0},
        {"protanomaly, white corner (8 grid colours)", protanomaly, 15, 15, 15},
        {"deuteranomaly, magenta corner", deuteranomaly, 15, 0, 15},
        {"tritanomaly, mid grey (64 grid colours)", tritanomaly, 7, 7, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Lab> targets;
        int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
        for (ColorRef color : GridColorsOfCell(c.red, c.green, c.blue)) {
            targets.push_back(ModelLab(c.model, color));
            const ColorRef seen = ModelColorRef(c.model, color);
            const int channels[3] = {static_cast<int>(RedOf(seen)), static_cast<int>(GreenOf(seen)),
                                     static_cast<int>(BlueOf(seen))};
            for (int i = 0; i < 3; ++i) {
                low[i] = std::min(low[i], channels[i]);
                high[i] = std::max(high[i], channels[i]);
            }
        }
        // Every 8-bit colour within three of the targets' bounding box.
        double exhaustive = 1e300;
        ColorRef exhaustiveColor = 0;
        for (int r = std::max(low[0] - 3, 0); r <= std::min(high[0] + 3, 255); ++r)
            for (int g = std::max(low[1] - 3, 0); g <= std::min(high[1] + 3, 255); ++g)
                for (int b = std::max(low[2] - 3, 0); b <= std::min(high[2] + 3, 255); ++b) {
                    const double sum = SummedDifference(MakeColorRef(r, g, b), targets);
                    if (sum < exhaustive) {
                        exhaustive = sum;
                        exhaustiveColor = MakeColorRef(r, g, b);
                    }
                }

        double sum = 0.0;
        const ColorRef best = BestConstantColor(targets.data(), static_cast<int>(targets.size()), &sum);
        char colors[64];
        std::snprintf(colors, sizeof colors, "got %06X, exhaustive search %06X", best,
                      exhaustiveColor);
        // Where the targets form two clusters the sum is all but flat along the segment
        // between them; a thousandth in one cell is four billionths of the grid mean.
        EXPECT_LE(sum, exhaustive + 1e-3) << colors;
        EXPECT_NEAR(SummedDifference(best, targets), sum, 1e-9) << colors;
    }
}

class ShippedFileAgainstBound : public EmptyFilterTable {};

TEST_F(ShippedFileAgainstBound, NoCellOfAShippedFileBeatsItsBestConstantColour)
{
    // A sample of cells from every file: each cell's cost through the file must be at least
    // that of the best constant colour, or the bound would be no floor. The cells' grid
    // colours, as grouped for the optimiser and the bound, must be those the program looks
    // up there.
    const int kCellStride = 97;
    for (const ShippedFilter& shipped : kShippedFilters) {
        SCOPED_TRACE(shipped.fileName);
        const std::string path = std::string(PL_FILTER_DATA) + "/" + shipped.fileName;
        std::FILE* file = std::fopen(path.c_str(), "r");
        ASSERT_NE(file, nullptr) << path;
        const int before = filterTable.count;
        ReadFilterFile(file, shipped.fileName, 1033);
        std::fclose(file);
        ASSERT_EQ(filterTable.count, before + 1);
        const FilterRecord& record = filterTable.records[before];

        CellTargets targets;
        CollectCellTargets(shipped.model, targets);
        for (int cell = 0; cell < kColorCubeSize; cell += kCellStride) {
            const std::vector<Lab> labs(targets.labs.begin() + targets.start[cell],
                                        targets.labs.begin() + targets.start[cell + 1]);
            const std::vector<ColorRef> colors =
                GridColorsOfCell(cell / 256, cell / 16 % 16, cell % 16);
            ASSERT_EQ(labs.size(), colors.size()) << "grid colours of cell " << cell;
            double bound = 0.0;
            BestConstantColor(labs.data(), static_cast<int>(labs.size()), &bound);
            EXPECT_GE(SummedDifference(record.colorCube[cell], labs), bound - 1e-9)
                << "cell " << cell;
        }
    }
}

}  // namespace
