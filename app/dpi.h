// Monitors and display scaling: where a monitor lies, its DPI, and sizes at a DPI, on every
// Windows from XP on.
// The per-monitor functions came with Windows 8.1 and 10; they are looked up at run time,
// and where one is missing the system DPI stands in, which is then also all that Windows
// scales by.
#pragma once

#include <windows.h>

// The DPI at which every size of the program is designed: 100 % scaling.
const UINT kDesignDpi = 96;

// The primary monitor.
HMONITOR PrimaryMonitor();

// The rectangle of `monitor` in screen pixels. False when the monitor is gone.
bool GetMonitorArea(HMONITOR monitor, RECT* area);

// The DPI of the screen at start-up, which the stock GUI font and GetSystemMetrics follow.
UINT SystemDpi();

// The DPI of one monitor.
UINT MonitorDpi(HMONITOR monitor);

// GetSystemMetrics(index) as it would be at `dpi`.
int MetricForDpi(int index, UINT dpi);

// AdjustWindowRectEx for a window shown at `dpi`, without a menu.
BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi);

// `value` designed at kDesignDpi, scaled to `dpi` and rounded to the nearest pixel.
inline int ScaleForDpi(int value, UINT dpi)
{
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

// The stock GUI font (DEFAULT_GUI_FONT) at `dpi`: the stock font itself at the system DPI,
// otherwise a scaled copy. Give it back with ReleaseGuiFont.
HFONT GetGuiFontForDpi(UINT dpi);
void ReleaseGuiFont(HFONT font);
