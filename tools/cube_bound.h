// The least grid mean any filter file can reach against a model. Every grid colour is
// looked up in one cube cell, so the best a cube can do is give each cell, on its own, the
// 8-bit colour with the least summed CIEDE2000 to the model's colours for the grid colours
// that fall in it. A filter file's cells are tied together by the expansion of its 216
// control colours, so it can only do as well or worse: what is left between a file and
// this bound is what better control colours could still win.
#pragma once

#include "filter/color_cube.h"
#include "tools/color_science.h"

struct CubeBound {
    double gridMean;  // the grid mean of `cells`, the least any filter can score
    ColorCube cells;  // each cell's best colour
};

// The 8-bit colour with the least summed CIEDE2000 to `targets` (count > 0), and that
// sum in *sum.
ColorRef BestConstantColor(const Lab* targets, int count, double* sum);

void ComputeCubeBound(const CvdModel& model, CubeBound& bound);
