// The colourful sample picture the headless demonstration shows: a bar chart in a common
// chart palette, a dot plate with a red-green figure, status colours, a hue sweep and a
// grey ramp. Drawn by code so that data/sample.bmp can be made again byte for byte.
#pragma once

#include <cstdint>
#include <vector>

// The picture as an 8-bit BMP file with a 256-entry palette.
std::vector<uint8_t> MakeSamplePictureBmp();
