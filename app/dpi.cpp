// The DPI functions of newer Windows, found through GetProcAddress so that the program
// still starts where they do not exist.

#include "app/dpi.h"

#include "app/app.h"

namespace {

// shcore's GetDpiForMonitor (Windows 8.1) and its MDT_EFFECTIVE_DPI.
typedef HRESULT(WINAPI* GetDpiForMonitorProc)(HMONITOR, int, UINT*, UINT*);
const int kEffectiveDpi = 0;
// user32's GetSystemMetricsForDpi and AdjustWindowRectExForDpi (Windows 10 1607).
typedef int(WINAPI* GetSystemMetricsForDpiProc)(int, UINT);
typedef BOOL(WINAPI* AdjustWindowRectExForDpiProc)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

HMONITOR PrimaryMonitor()
{
    const POINT origin = {0, 0};  // the primary monitor's top-left corner, by definition
    return MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
}

bool GetMonitorArea(HMONITOR monitor, RECT* area)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        return false;
    *area = info.rcMonitor;
    return true;
}

UINT SystemDpi()
{
    static UINT dpi = 0;
    if (dpi == 0) {
        HDC screen = GetDC(nullptr);
        dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
        if (dpi == 0)
            dpi = kDesignDpi;
    }
    return dpi;
}

UINT MonitorDpi(HMONITOR monitor)
{
    // shcore stays loaded for the rest of the run once it is found.
    static const GetDpiForMonitorProc getDpiForMonitor =
        FindSystemFunction<GetDpiForMonitorProc>("shcore.dll", "GetDpiForMonitor", true);
    UINT x = 0, y = 0;
    if (getDpiForMonitor != nullptr && monitor != nullptr &&
        SUCCEEDED(getDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && y != 0)
        return y;
    return SystemDpi();
}

int MetricForDpi(int index, UINT dpi)
{
    static const GetSystemMetricsForDpiProc getSystemMetricsForDpi =
        FindSystemFunction<GetSystemMetricsForDpiProc>("user32.dll", "GetSystemMetricsForDpi", false);
    // Without it Windows draws every window at the system DPI, whatever the monitor.
    if (getSystemMetricsForDpi != nullptr)
        return getSystemMetricsForDpi(index, dpi);
    return GetSystemMetrics(index);
}

BOOL AdjustWindowRectForDpi(RECT* rect, DWORD style, DWORD exStyle, UINT dpi)
{
    static const AdjustWindowRectExForDpiProc adjustForDpi =
        FindSystemFunction<AdjustWindowRectExForDpiProc>("user32.dll", "AdjustWindowRectExForDpi",
                                                    false);
    if (adjustForDpi != nullptr)
        return adjustForDpi(rect, style, FALSE, exStyle, dpi);
    return AdjustWindowRectEx(rect, style, FALSE, exStyle);
}

HFONT GetGuiFontForDpi(UINT dpi)
{
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (dpi == SystemDpi())
        return stock;
    LOGFONTA font{};
    if (GetObjectA(stock, sizeof font, &font) == 0)
        return stock;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    HFONT scaled = CreateFontIndirectA(&font);
    return scaled != nullptr ? scaled : stock;
}

void ReleaseGuiFont(HFONT font)
{
    if (font != nullptr && font != GetStockObject(DEFAULT_GUI_FONT))
        DeleteObject(font);
}
