// Run by the display test once per display scaling, in a process of its own, since a Wine
// process takes its DPI when it starts: the program's windows at this DPI, checked from the
// inside. Prints what does not fit, one line each; the exit code counts them.
//
//   dpi_probe.exe <the DPI it must see>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "app/dpi.h"
#include "dialogs/splash_window.h"
#include "filter/filter_table.h"
#include "preview/capture.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "tests/win32/screen_pattern.h"

static int failures;

#define CHECK(condition, ...)                                                  \
    do {                                                                       \
        if (!(condition)) {                                                    \
            ++failures;                                                        \
            std::printf("%s:%d: ", __FILE__, __LINE__);                        \
            std::printf(__VA_ARGS__);                                          \
            std::printf("\n");                                                 \
        }                                                                      \
    } while (0)

// Room the control leaves for its text: check boxes and radio buttons draw their box
// first, and a group box's caption stands inside its frame.
static int TextRoom(HWND control, int width, UINT dpi)
{
    char className[16] = "";
    GetClassNameA(control, className, sizeof className);
    const LONG style = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (lstrcmpiA(className, "Button") != 0)
        return width;
    if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX || style == BS_AUTORADIOBUTTON ||
        style == BS_RADIOBUTTON)
        return width - ScaleForDpi(17, dpi);
    if (style == BS_GROUPBOX)
        return width - ScaleForDpi(16, dpi);
    return width - ScaleForDpi(4, dpi);  // a push button's frame
}

// Every text of `window`'s children (or of `window` itself for a list box's rows) fits.
static BOOL CALLBACK CheckTextFits(HWND control, LPARAM dpi)
{
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    char className[16] = "";
    GetClassNameA(control, className, sizeof className);
    if (text[0] == '\0' || (lstrcmpiA(className, "Static") == 0 &&
                             (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON))
        return TRUE;
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT needed = {0, 0, 0, 0};
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT client;
    GetClientRect(control, &client);
    CHECK(needed.right <= TextRoom(control, client.right, static_cast<UINT>(dpi)),
          "\"%s\" (%s) needs %ld pixels of %ld", text, className, needed.right, client.right);
    return TRUE;
}

static INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

int main(int argc, char** argv)
{
    const UINT dpi = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 0;
    exeInstance = GetModuleHandleA(nullptr);
    std::strcpy(productName, "Prismolenteer");
    CHECK(SystemDpi() == dpi, "the system shows %u DPI", SystemDpi());
    const HMONITOR primary = MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);

    // The capture holds the whole screen pixel for pixel.
    ScreenPattern pattern;
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    CaptureScreen(nullptr, screen);
    int wrong = 0;
    for (int y = 0; y < screen.bottom; ++y)
        for (int x = 0; x < screen.right; ++x)
            wrong += CapturedPixel(frameBuffers, x, y) != PatternColor(x, y);
    CHECK(wrong == 0, "%d of %ldx%ld captured pixels differ", wrong, screen.right, screen.bottom);

    // The panel's unit is the GUI font's height at this DPI, and its texts fit.
    RegisterBuiltinFilters();
    const ColorRef black[kControlCubeSize] = {};
    AddFilter("long", "Deuteranomaly (weak green cones)", FilterKind::Custom, black);
    for (int i = 0; i < filterTable.count; ++i)
        EnableFilterByName(filterTable.records[i].name);
    RegisterPreviewClass();
    RegisterPanelClass();
    CreatePreviewWindow(nullptr, primary);
    HWND list = GetDlgItem(panelWindow, 1000), close = GetDlgItem(panelWindow, 1001);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    const int m = std::abs(font.lfHeight);
    CHECK(m == MulDiv(11, static_cast<int>(dpi), 96), "the panel's unit is %d", m);
    RECT listRect, closeRect;
    GetWindowRect(list, &listRect);
    GetWindowRect(close, &closeRect);
    MapWindowPoints(nullptr, panelWindow, reinterpret_cast<POINT*>(&listRect), 2);
    CHECK(listRect.left == m && listRect.top == m, "the list stands at %ld,%ld", listRect.left, listRect.top);
    CHECK(closeRect.bottom - closeRect.top == m + 10, "the button is %ld high",
          closeRect.bottom - closeRect.top);
    CheckTextFits(close, dpi);
    HDC dc = GetDC(list);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    RECT listClient;
    GetClientRect(list, &listClient);
    for (int i = 0; i < enabledList.count; ++i) {
        SIZE size;
        const char* name = enabledList.entries[i]->displayName;
        GetTextExtentPoint32A(dc, name, lstrlenA(name), &size);
        CHECK(size.cx + 4 <= listClient.right, "\"%s\" needs %ld of %ld", name, size.cx, listClient.right);
    }
    ReleaseDC(list, dc);
    DestroyWindow(previewWindow);

    // The dialogs' texts fit their controls.
    for (int id : {IDD_ABOUT, IDD_OPTION, IDD_ENABLE_FILTER}) {
        HWND dialog = CreateDialogParamA(exeInstance, MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0);
        CHECK(dialog != nullptr, "dialog %d", id);
        EnumChildWindows(dialog, CheckTextFits, dpi);
        DestroyWindow(dialog);
    }

    // The splash picture is scaled and centred on the primary monitor.
    RegisterSplashClass();
    HWND splash = CreateSplashWindow();
    RECT frame, client;
    GetWindowRect(splash, &frame);
    GetClientRect(splash, &client);
    CHECK(client.right == MulDiv(100, static_cast<int>(dpi), 96) &&
              client.bottom == MulDiv(40, static_cast<int>(dpi), 96),
          "the picture is %ldx%ld", client.right, client.bottom);
    CHECK(std::abs(frame.left + frame.right - screen.right) <= 1 &&
              std::abs(frame.top + frame.bottom - screen.bottom) <= 1,
          "the splash stands at %ld,%ld-%ld,%ld", frame.left, frame.top, frame.right, frame.bottom);
    DestroyWindow(splash);

    // The icon has an image of each size Windows asks for here.
    HRSRC group = FindResourceA(exeInstance, MAKEINTRESOURCEA(IDI_MAIN), MAKEINTRESOURCEA(14));
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(exeInstance, group)));
    for (int metric : {SM_CXICON, SM_CXSMICON}) {
        const int size = GetSystemMetrics(metric);
        bool found = false;
        for (int i = 0; i < directory[4]; ++i)
            found = found || (directory[6 + 14 * i] == 0 ? 256 : directory[6 + 14 * i]) == size;
        CHECK(found, "no %d-pixel icon", size);
    }
    return failures;
}
