// The program's pictures, drawn by code so that they can be made again byte for byte:
// the program's icon (a prism splitting a beam of light, 32x32 and 16x16 in 16 colours) and
// the splash picture (100x40, 8 bits per pixel). Integer arithmetic only.
#pragma once

#include <cstdint>
#include <vector>

// The complete .ico file: one group holding a 32x32 and a 16x16 image, 4 bits per pixel.
std::vector<uint8_t> MakeIconFile();

// The complete .bmp file: 100x40, 8 bits per pixel, a 256-entry palette, rows bottom-up.
std::vector<uint8_t> MakeSplashBitmapFile();
