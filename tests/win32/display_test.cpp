// The program on real desks: physical pixels at every display scaling, every shipped language
// (ctest runs the scaling test again under each language's Unix locale, from which Wine takes
// the user's locale and code page), two monitors and a locked screen (both described through
// the program's imports, inside the one real screen).

#include <cstdlib>

#include "filter/filter_folder.h"
#include "tests/win32/in_process.h"
#include "tests/win32/screen_pattern.h"

// A text as written (only its language's code page keeps it) and the GUI font's height at 96 DPI.
static const struct { LCID locale; UINT id; const wchar_t* text; int fontHeight; } kLanguages[] = {
    {1033, IDS_CLOSE, L"&Close", 11},
    {1031, IDS_CLOSE, L"&Schlie\u00DFen", 11},
    {1036, IDS_ERR_CREATE_WINDOW, L"Impossible de cr\u00E9er la fen\u00EAtre.", 11},
    {3082, IDS_ERR_REGISTER_HOTKEY, L"No se pudo registrar la tecla de acceso r\u00E1pido.", 11},
    {1041, IDS_CLOSE, L"\u9589\u3058\u308B(&C)", 12},
};

// Each control's id, class and style in tab order, and whether an icon control has its icon.
static std::string ControlShapes(HWND window)
{
    std::string shapes;
    char kind[32];
    for (HWND control = GetWindow(window, GW_CHILD); control && GetClassNameA(control, kind, sizeof kind);
         control = GetWindow(control, GW_HWNDNEXT))
        shapes += std::to_string(GetDlgCtrlID(control)) + kind + std::to_string(GetWindowLongA(control, GWL_STYLE)) +
                  (lstrcmpiA(kind, "Static") == 0 && SendMessageA(control, STM_GETICON, 0, 0) ? " icon\n" : "\n");
    return shapes;
}

// Checks the error box shown on this thread (its caption is the product name), then closes it.
static void CALLBACK CheckMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    ExpectTextsFit(FindWindowA("#32770", productName), SystemDpi());
    PostMessageA(FindWindowA("#32770", productName), WM_COMMAND, IDOK, 0);
}

// Every row of `list` can be drawn and fits beside the list's scroll bar, which shows: as
// the list box draws a row, in Unicode, two pixels in from either side.
static void ExpectRowsFit(HWND list, const std::string& where)
{
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    EXPECT_TRUE(GetScrollBarInfo(list, OBJID_VSCROLL, &bar) && !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE))
        << where << " shows no scroll bar";
    RECT rows;
    GetClientRect(list, &rows);
    HDC dc = GetDC(list);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char row[128] = "";
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
        const std::wstring name = ExpectDrawable(dc, row);
        SIZE size;
        GetTextExtentPoint32W(dc, name.c_str(), int(name.size()), &size);
        EXPECT_LE(size.cx + 4, rows.right) << where << ": \"" << row << "\" needs " << size.cx + 4 << " of " << rows.right;
    }
    ReleaseDC(list, dc);
}

// What a process started at `dpi` sees of the program's windows in the user's language: the
// module is taken, and each text reaches the program whole in the ANSI code page and fits.
static void CheckTheWindowsAt(UINT dpi)
{
    exeInstance = GetModuleHandleA(nullptr);
    ASSERT_EQ(SystemDpi(), dpi);
    ScreenPattern pattern;
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    CaptureScreen(nullptr, screen);
    for (int y = 0; y < screen.bottom; ++y)
        for (int x = 0; x < screen.right; ++x)
            ASSERT_EQ(CapturedPixel(frameBuffers, x, y), PatternPixel(x, y)) << x << "," << y;

    const LCID locale = GetUserDefaultLCID();
    const auto language = std::find_if(std::begin(kLanguages), std::end(kLanguages), [&](auto& row) { return row.locale == locale; });
    ASSERT_NE(language, std::end(kLanguages)) << "no language for locale " << locale;
    resourceModule = LoadResourceModule();  // this program stands beside the shipped modules
    ASSERT_EQ(resourceModule != nullptr, locale != 1033) << "the module of " << locale;
    LoadResString(IDS_PRODUCT_NAME, productName, sizeof productName);
    HDC dc = GetDC(nullptr);
    for (UINT id = 0; id < 0x10000; ++id) {  // every string of the executable, and each error box
        wchar_t english[512], wide[512] = L"";
        char ansi[512] = "";
        if (LoadStringW(exeInstance, id, english, 512) == 0)
            continue;
        EXPECT_GT(LoadStringW(GetResourceInstance(), id, wide, 512), 0) << "string " << id << " untranslated";
        LoadStringA(GetResourceInstance(), id, ansi, sizeof ansi);
        EXPECT_EQ(ExpectDrawable(dc, ansi), id == language->id ? language->text : wide) << "string " << id;
        errorBoxShown = 0;
        if (id >= IDS_ERR_REGISTER_CLASS && SetTimer(nullptr, 0, 10, CheckMessageBox))
            ShowMessageId(nullptr, MB_ICONERROR, id);
    }
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));  // the menus: the executable's items
    for (int id : {IDR_TRAY_MENU, IDR_PREVIEW_MENU, IDR_LIVE_MENU}) {
        HMENU english = GetSubMenu(LoadMenuA(exeInstance, MAKEINTRESOURCEA(id)), 0);
        HMENU menu = GetSubMenu(LoadMenuA(GetResourceInstance(), MAKEINTRESOURCEA(id)), 0);
        std::vector<std::string> items(GetMenuItemCount(menu));
        EXPECT_EQ(GetMenuItemCount(menu), GetMenuItemCount(english)) << "menu " << id;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char item[128] = "";
            EXPECT_EQ(GetMenuItemID(menu, i), GetMenuItemID(english, i));
            GetMenuStringA(menu, i, item, sizeof item, MF_BYPOSITION);
            ExpectDrawable(dc, (items[i] = item).c_str());
        }
        ExpectUniqueAccelerators(items);
    }
    ReleaseDC(nullptr, dc);

    // The panel over the shipped filters (the built-in ones named by their files), a long
    // name and enough short ones for every list to scroll; its unit is the GUI font's height.
    ReadyThePreview();
    LoadFilterFiles(GetFilterFolder());
    ASSERT_EQ(filterTable.count, 10) << "four built-in filters and the six shipped ones";
    std::vector<std::string> shipped;
    for (int i = 0; i < filterTable.count; ++i) {
        shipped.push_back(filterTable.records[i].displayName);
        if (const BuiltinFilter* builtin = FindBuiltinFilter(filterTable.records[i].name)) {
            EXPECT_EQ(shipped[i] == builtin->displayName, locale == 1033) << shipped[i] << " for locale " << locale;
        }
    }
    const ColorRef black[kControlCubeSize] = {};
    AddFilter("long", "Deuteranomaly (weak green cones)", FilterKind::Custom, black);
    for (int i = 0; i < 60; ++i)
        AddFilter(("f" + std::to_string(i)).c_str(), std::to_string(i).c_str(), FilterKind::Custom, black);
    for (int i = 0; i < filterTable.count; ++i)
        EnableFilterByName(filterTable.records[i].name);
    CreatePreviewWindow(nullptr, PrimaryMonitor());
    HWND list = GetDlgItem(panelWindow, kPanelListId);
    RECT listRect, button;
    GetWindowRect(list, &listRect);
    MapWindowPoints(nullptr, panelWindow, reinterpret_cast<POINT*>(&listRect), 2);
    GetClientRect(GetDlgItem(panelWindow, kPanelCloseId), &button);
    const int m = MulDiv(language->fontHeight, int(dpi), 96);
    EXPECT_EQ(std::make_tuple(listRect.left, listRect.top, button.bottom), std::make_tuple(m, m, m + 10));
    ExpectTextsFit(panelWindow, dpi);
    ExpectRowsFit(list, "the panel at " + std::to_string(dpi) + " DPI");
    DestroyWindow(previewWindow);

    for (int id : {IDD_ABOUT, IDD_OPTION, IDD_ENABLE_FILTER}) {  // with the executable's controls
        HWND dialog = CreateDialogParamA(GetResourceInstance(), MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0);
        HWND original = CreateDialogParamA(exeInstance, MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0);
        EXPECT_EQ(ControlShapes(dialog), ControlShapes(original)) << "dialog " << id;
        ExpectTextsFit(dialog, dpi);
        // The Option dialog's list and the Enable filter dialog's with every shipped filter.
        if (HWND rows = GetDlgItem(dialog, id == IDD_OPTION ? IDC_FILTER_LIST : IDC_AVAILABLE_LIST)) {
            for (const std::string& name : shipped)
                SendMessageA(rows, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
            for (int i = 0; i < 60; ++i)
                SendMessageA(rows, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
            ExpectRowsFit(rows, "the list of dialog " + std::to_string(id) + " at " + std::to_string(dpi) + " DPI");
        }
        DestroyWindow(original);
        DestroyWindow(dialog);
    }

    // The splash picture scaled and centred.
    RegisterSplashClass();
    HWND splash = CreateSplashWindow();
    RECT frame, client;
    GetWindowRect(splash, &frame);
    GetClientRect(splash, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom),
              std::make_pair(LONG(MulDiv(100, int(dpi), 96)), LONG(MulDiv(40, int(dpi), 96))));
    EXPECT_LE(std::abs(frame.left + frame.right - screen.right), 1) << frame.left;
    EXPECT_LE(std::abs(frame.top + frame.bottom - screen.bottom), 1) << frame.top;
    DestroyWindow(splash);
    productName[0] = '\0';
    FreeLibrary(resourceModule);
    resourceModule = nullptr;
}

// Wine takes the DPI from the registry when a process starts: each scaling runs this test
// again in a process of its own.
TEST(Display, AtEveryScalingTheCaptureIsTheScreenAndEveryTextAndPictureFits)
{
    if (const char* dpi = std::getenv("PL_TEST_DPI"))
        return CheckTheWindowsAt(UINT(std::atoi(dpi)));
    const auto setDpi = [](DWORD dpi) {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG})
            RegSetKeyValueA(root, root == HKEY_CURRENT_USER ? "Control Panel\\Desktop" : "Software\\Fonts",
                            "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    };
    for (const DWORD dpi : {96, 120, 144, 192}) {
        setDpi(dpi);
        SetEnvironmentVariableA("PL_TEST_DPI", std::to_string(dpi).c_str());
        std::string report, command = std::string(GetCommandLineA()) + " --gtest_filter=Display.AtEvery*";
        FILE* child = _popen(command.c_str(), "r");
        for (char line[512]; child && std::fgets(line, sizeof line, child);)
            report += line;
        EXPECT_EQ(_pclose(child), 0) << report;
    }
    setDpi(96);  // as the tests after this one expect
    SetEnvironmentVariableA("PL_TEST_DPI", nullptr);
}

using DraggedPanel = EmptyFilterTable;

TEST_F(DraggedPanel, FollowsTheDpiOfTheMonitorItIsDraggedOnto)
{
    ReadyThePreview();
    EnableFilterByName("_normal");
    ASSERT_NE(CreatePreviewWindow(nullptr, PrimaryMonitor()), nullptr);
    for (const int dpi : {144, 96}) {  // as Windows tells a window that crossed monitors
        RECT suggested = {100, 50, 300, 250}, list, frame;
        SendMessageA(panelWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(GetDlgItem(panelWindow, kPanelListId), &list);
        MapWindowPoints(nullptr, panelWindow, reinterpret_cast<POINT*>(&list), 2);
        GetWindowRect(panelWindow, &frame);
        const LONG m = MulDiv(11, dpi, 96);
        EXPECT_EQ(std::make_tuple(list.left, list.top, frame.left, frame.top),
                  std::make_tuple(m, m, 100L, 50L)) << dpi << " DPI";
    }
    DestroyWindow(previewWindow);
}

// Two monitors side by side inside the real screen, the left one primary; the cursor and
// the clock as the test sets them.
static RECT monitors[2];
static POINT cursor;
static bool cursorReadable = true;  // false: another desktop has the input
static DWORD tick;

static HMONITOR WINAPI FakeMonitorFromPoint(POINT point, DWORD)
{
    return reinterpret_cast<HMONITOR>(point.x >= monitors[1].left ? 2 : 1);
}
static BOOL WINAPI FakeGetMonitorInfoA(HMONITOR monitor, MONITORINFO* info)
{
    const INT_PTR i = reinterpret_cast<INT_PTR>(monitor) - 1;
    if (i != 0 && i != 1)
        return FALSE;
    info->rcMonitor = info->rcWork = monitors[i];
    info->dwFlags = i == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}
static BOOL WINAPI FakeGetCursorPos(POINT* point)
{
    *point = cursor;
    return cursorReadable;
}
static DWORD WINAPI FakeGetTickCount()
{
    return tick;
}

class TwoMonitors : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        monitors[0] = {0, 0, width / 2, height};
        monitors[1] = {width / 2, 0, width, height};
        ReadyThePreview();
        settings = {};
        settings.EnableMouseAction = 1;  // the top-left corner
    }

    ImportPatch fromPoint_{"user32.dll", "MonitorFromPoint", reinterpret_cast<void*>(FakeMonitorFromPoint)};
    ImportPatch info_{"user32.dll", "GetMonitorInfoA", reinterpret_cast<void*>(FakeGetMonitorInfoA)};
    ImportPatch cursor_{"user32.dll", "GetCursorPos", reinterpret_cast<void*>(FakeGetCursorPos)};
    ImportPatch clock_{"kernel32.dll", "GetTickCount", reinterpret_cast<void*>(FakeGetTickCount)};
};

TEST_F(TwoMonitors, TheHotkeyPreviewsTheCursorsMonitorAndTheHotCornerThePrimaryOne)
{
    ScreenPattern pattern;
    // The panel was left on the other monitor, or on one that is gone.
    const struct { int cursorX; bool hotCorner; int storedX, monitor; } cases[] = {
        {monitors[1].left + 40, false, 10, 1},
        {10, false, monitors[1].right + 500, 0},
        {monitors[1].left + 40, true, monitors[1].left + 5, 0},
    };
    for (const auto& c : cases) {
        settings.PositionX = c.storedX;
        settings.PositionY = 20;
        cursor = {c.hotCorner ? 0 : c.cursorX, c.hotCorner ? 0 : 100};
        for (tick = 1000; c.hotCorner && !previewWindow && tick < 1400; tick += 100)
            OnHotCornerTick(nullptr);
        if (!c.hotCorner)
            OnHotkey(nullptr);
        ASSERT_NE(previewWindow, nullptr) << c.cursorX;
        const RECT& area = monitors[c.monitor];
        RECT preview, panel;
        GetWindowRect(previewWindow, &preview);
        GetWindowRect(panelWindow, &panel);
        EXPECT_TRUE(EqualRect(&preview, &area)) << "the preview covers monitor " << c.monitor;
        EXPECT_TRUE(panel.left >= area.left && panel.right <= area.right && panel.top == 20)
            << "the panel stands on it: " << panel.left;
        const int width = area.right - area.left, height = area.bottom - area.top;
        ASSERT_EQ(std::make_pair(frameBuffers.width, frameBuffers.height), std::make_pair(width, height));
        for (const POINT p : {POINT{0, 0}, POINT{width - 1, height - 1}, POINT{width / 3, height / 2}})
            EXPECT_EQ(CapturedPixel(frameBuffers, p.x, p.y), PatternPixel(area.left + p.x, p.y))
                << "captured " << p.x << "," << p.y << " of monitor " << c.monitor;
        DestroyWindow(previewWindow);
    }
}

TEST_F(TwoMonitors, ALockedScreenResetsTheHotCornersDwellAndOpensNothing)
{
    cursor = {0, 0};  // the corner, where a failed read used to leave the cursor
    const struct { bool readable; DWORD tick; bool opens; } steps[] = {
        {true, 1000, false}, {false, 1100, false},  // locked: the dwell starts again
        {true, 1250, false}, {true, 1400, false},   {true, 1451, true},
        {false, 9000, false}, {false, 9500, false},  // locked for long: nothing
    };
    for (const auto& step : steps) {
        cursorReadable = step.readable;
        tick = step.tick;
        OnHotCornerTick(nullptr);
        EXPECT_EQ(previewWindow != nullptr, step.opens) << "at " << step.tick;
        if (previewWindow != nullptr)
            DestroyWindow(previewWindow);
    }
    cursorReadable = true;
}
