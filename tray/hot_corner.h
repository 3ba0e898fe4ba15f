// The hot corner's rules: which screen point each corner setting names, and when a dwell
// on it has lasted long enough. Pure arithmetic, no windows.h.
#pragma once

#include <cstdint>

// The cursor must rest on this point for more than this many milliseconds.
const uint32_t kHotCornerDwellMs = 200;

// The corner point of `position` (0 top-left, 1 bottom-left, 2 top-right, 3 bottom-right)
// on a screen of the given size. False for any other position: no point matches.
inline bool HotCornerPoint(uint32_t position, int screenWidth, int screenHeight, int* x, int* y)
{
    switch (position) {
    case 0: *x = 0;               *y = 0;                return true;
    case 1: *x = 0;               *y = screenHeight - 1; return true;
    case 2: *x = screenWidth - 1; *y = 0;                return true;
    case 3: *x = screenWidth - 1; *y = screenHeight - 1; return true;
    default: return false;
    }
}

// Tick counts wrap after 49.7 days; the unsigned difference stays right across the wrap.
inline bool IsDwellLongEnough(uint32_t startTick, uint32_t nowTick)
{
    return nowTick - startTick > kHotCornerDwellMs;
}
