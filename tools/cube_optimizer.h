// Choosing a filter's 216 control colours by optimisation, so that what the program shows
// (its integer expansion into the 16-level cube, then the lookup of each pixel) comes as
// close as it can to a float model.
#pragma once

#include "filter/filter_table.h"
#include "tools/color_science.h"

struct OptimizerResult {
    double sampledMean;    // the grid mean with the model sampled at the lattice points
    double optimizedMean;  // the same after optimisation
    long evaluations;      // candidate control colours tried
};

// Fills record.controlCube and record.colorCube. Starts from the model sampled at the 216
// lattice points and moves control colours while that lowers the grid's mean CIEDE2000
// (cube_optimizer.cpp says how, and how the chart colours take part). Deterministic.
// `progress`, when given, is called after each stage with the grid mean reached.
OptimizerResult OptimizeControlCube(const CvdModel& model, FilterRecord& record,
                                    void (*progress)(const char* stage, double gridMean) = nullptr);
