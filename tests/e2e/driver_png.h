// Saving screen pixels as a PNG file, for screenshots of what the user saw.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace e2e {

// Writes `pixels` (COLORREFs, rows from the top) as an 8-bit RGB PNG. The image data is
// stored without compression, which every PNG reader accepts.
bool SavePng(const std::string& path, int width, int height, const std::vector<COLORREF>& pixels);

}  // namespace e2e
