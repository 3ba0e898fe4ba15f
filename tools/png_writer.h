// Saving pixels as a PNG file, for the demonstration's screenshots. Portable: no windows.h.
#pragma once

#include <string>
#include <vector>

#include "filter/color_cube.h"

// Writes `pixels` (rows from the top) as an 8-bit RGB PNG. The image data is stored without
// compression, which every PNG reader accepts.
bool SavePng(const std::string& path, int width, int height, const std::vector<ColorRef>& pixels);
