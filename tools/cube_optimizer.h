// Choosing a filter's 216 control colours by optimisation, so that what the program shows
// (its integer expansion into the 16-level cube, then the lookup of each pixel) comes as
// close as it can to a float model.
#pragma once

#include "filter/filter_table.h"
#include "tools/color_science.h"

// The objective is the mean CIEDE2000 over the grid of tools/filter_fidelity.h, with the
// chart colours weighted in (cube_optimizer.cpp says how).
struct OptimizerResult {
    double sampledMean;    // the objective with the model sampled at the lattice points
    double optimizedMean;  // the same after optimisation
    long evaluations;      // candidate control colours tried
};

// Fills record.controlCube and record.colorCube. Starts from the model sampled at the 216
// lattice points, then changes one channel of one control colour at a time while that
// lowers the objective, with ever smaller steps. Deterministic. `progress`, when given, is
// called after each round with the objective reached.
OptimizerResult OptimizeControlCube(const CvdModel& model, FilterRecord& record,
                                    void (*progress)(int step, double mean) = nullptr);
