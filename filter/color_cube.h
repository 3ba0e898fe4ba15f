// Colour values, the two cube layouts of a filter, and the per-pixel lookup.
// Portable: no windows.h.
#pragma once

#include <cstdint>

struct FilterRecord;

// A colour as 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23, top byte zero.
// This is the layout of the Win32 COLORREF.
typedef uint32_t ColorRef;

inline ColorRef MakeColorRef(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<ColorRef>((red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16);
}
inline unsigned RedOf(ColorRef color)   { return color & 0xFF; }
inline unsigned GreenOf(ColorRef color) { return (color >> 8) & 0xFF; }
inline unsigned BlueOf(ColorRef color)  { return (color >> 16) & 0xFF; }

const int kControlLevels = 6;    // channel values 0, 51, 102, 153, 204, 255
const int kCubeLevels = 16;      // channel values 0, 17, 34, ..., 255
const int kControlCubeSize = kControlLevels * kControlLevels * kControlLevels;  // 216
const int kColorCubeSize = kCubeLevels * kCubeLevels * kCubeLevels;             // 4096

// The filter author's 6x6x6 colours: index a*36 + b*6 + c for the red, green and
// blue levels a, b, c (0-5). Red varies slowest, blue fastest.
typedef ColorRef ControlCube[kControlCubeSize];

// The expanded 16x16x16 cube: index r*256 + g*16 + b for the levels 0-15.
typedef ColorRef ColorCube[kColorCubeSize];

inline int ControlCubeIndex(int red, int green, int blue)
{
    return red * 36 + green * 6 + blue;
}
inline int CubeCellIndex(int red, int green, int blue)
{
    return red * 256 + green * 16 + blue;
}

// Fills record.colorCube from record.controlCube by interpolation at thirds.
void ExpandColorCube(FilterRecord& record);

// The nearest of the 16 cube levels to a channel value 0-255.
constexpr int ColorLevel(unsigned value)
{
    return static_cast<int>((3 * value + 25) / 51);
}

inline int ColorCubeIndex(ColorRef color)
{
    return ColorLevel(RedOf(color)) * 256 + ColorLevel(GreenOf(color)) * 16 +
           ColorLevel(BlueOf(color));
}

ColorRef LookupColor(ColorRef color, const FilterRecord& record);
