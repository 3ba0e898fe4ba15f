// How faithfully a filter, run through the program's own integer expansion and lookup,
// reproduces the float model it implements: CIEDE2000 between what the program shows and
// what the model says, over a grid of colours and over a list of typical colours.
#pragma once

#include <vector>

#include "filter/filter_table.h"
#include "tools/color_science.h"

// The grid: every 4th value per channel (0, 4, ..., 252), 64^3 colours.
const int kGridStep = 4;
const int kGridValues = 64;
const int kGridSize = kGridValues * kGridValues * kGridValues;

inline ColorRef GridColor(int index)
{
    return MakeColorRef(kGridStep * (index / (kGridValues * kGridValues)),
                        kGridStep * (index / kGridValues % kGridValues),
                        kGridStep * (index % kGridValues));
}

// About fifty colours of everyday screens: primaries and secondaries, greys, the ten
// colours of a common chart palette, skin tones and common interface accent colours.
extern const ColorRef kChartColors[];
extern const int kChartColorCount;

// CIELAB of an 8-bit sRGB colour as it stands.
Lab ColorRefLab(ColorRef color);

// CIELAB of what the model says a person with the deficiency sees for an 8-bit sRGB colour
// (not rounded to 8 bits).
Lab ModelLab(const CvdModel& model, ColorRef color);

// The model's answer for an 8-bit sRGB colour, rounded to the nearest 8-bit colour.
ColorRef ModelColorRef(const CvdModel& model, ColorRef color);

struct FidelityFigures {
    double gridMean;  // mean CIEDE2000 over the grid
    double gridP95;   // its 95th percentile (nearest rank)
    double chartMean; // mean over the chart colours
    double chartMax;  // the largest over the chart colours
};

FidelityFigures MeasureFidelity(const FilterRecord& record, const CvdModel& model);

// The model's CIELAB for every grid colour, grouped by the cube cell the program looks the
// colour up in, and the same for the chart colours. A cell's share of the grid's total
// CIEDE2000 depends only on the colour the cube gives that cell.
struct CellTargets {
    std::vector<int> start;  // targets of cell i: labs[start[i]] to labs[start[i + 1] - 1]
    std::vector<Lab> labs;
    std::vector<int> chartStart;  // the same for the chart colours
    std::vector<Lab> chartLabs;
};

void CollectCellTargets(const CvdModel& model, CellTargets& targets);
