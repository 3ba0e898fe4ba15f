// The program on real desks: physical pixels at any display scaling, two monitors (described
// through the program's monitor imports inside the one real screen), and a locked screen.

#include "tests/win32/in_process.h"
#include "tests/win32/screen_pattern.h"

TEST(Display, TheManifestAsksForPhysicalPixelsAndNoNewerDpiFunctionIsImported)
{
    HMODULE program = GetModuleHandleA(nullptr);  // carries the program's resources and code
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                               SizeofResource(program, found));
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);

    // Windows before 10 lack these: a hard import would keep the program from starting.
    auto* base = reinterpret_cast<BYTE*>(program);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; module->Name != 0; ++module)
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
             entry->u1.AddressOfData != 0; ++entry)
            if (!IMAGE_SNAP_BY_ORDINAL(entry->u1.Ordinal)) {
                const std::string name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(
                                             base + entry->u1.AddressOfData)->Name;
                EXPECT_TRUE(name.find("ForDpi") == std::string::npos &&
                            name.find("DpiFor") == std::string::npos &&
                            name.find("DpiAwareness") == std::string::npos)
                    << "imports " << name;
            }
}

// Wine takes the DPI from the registry when a process starts.
static void SetDisplayDpi(DWORD dpi)
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG}) {
        HKEY key;
        RegCreateKeyExA(root, root == HKEY_CURRENT_USER ? "Control Panel\\Desktop" : "Software\\Fonts",
                        0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
    }
}

TEST(Display, AtEveryScalingTheCaptureIsTheScreenAndEveryTextAndPictureFits)
{
    for (const DWORD dpi : {96, 120, 144, 192}) {
        SetDisplayDpi(dpi);
        const std::string command = "\"" + std::string(GetExeDirectory()) + "dpi_probe.exe\" " +
                                    std::to_string(dpi);
        FILE* probe = _popen(command.c_str(), "r");
        ASSERT_NE(probe, nullptr);
        std::string report;
        for (char line[512]; std::fgets(line, sizeof line, probe);)
            report += line;
        EXPECT_EQ(_pclose(probe), 0) << "at " << dpi << " DPI:\n" << report;
    }
    SetDisplayDpi(96);
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
    if (i < 0 || i > 1)
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
        exeInstance = GetModuleHandleA(nullptr);
        RegisterBuiltinFilters();
        EnableFilterByName("_normal");
        RegisterPreviewClass();
        RegisterPanelClass();
        settings = {};
    }

    ImportPatch fromPoint_{"user32.dll", "MonitorFromPoint", reinterpret_cast<void*>(FakeMonitorFromPoint)};
    ImportPatch info_{"user32.dll", "GetMonitorInfoA", reinterpret_cast<void*>(FakeGetMonitorInfoA)};
    ImportPatch cursor_{"user32.dll", "GetCursorPos", reinterpret_cast<void*>(FakeGetCursorPos)};
    ImportPatch clock_{"kernel32.dll", "GetTickCount", reinterpret_cast<void*>(FakeGetTickCount)};
};

static std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST_F(TwoMonitors, TheHotkeyPreviewsTheCursorsMonitorAndTheHotCornerThePrimaryOne)
{
    ScreenPattern pattern;
    // The panel was left on the other monitor, or on one that is gone.
    const struct { int cursorX; bool hotCorner; int storedX; int monitor; } cases[] = {
        {monitors[1].left + 40, false, 10, 1},
        {10, false, monitors[1].right + 500, 0},
        {monitors[1].left + 40, true, monitors[1].left + 5, 0},  // the corner at 0,0
    };
    for (const auto& c : cases) {
        settings.PositionX = c.storedX;
        settings.PositionY = 20;
        cursor = {c.cursorX, 100};
        if (c.hotCorner) {
            settings.EnableMouseAction = 1;
            cursor = {0, 0};
            for (tick = 1000; previewWindow == nullptr && tick < 1400; tick += 100)
                OnHotCornerTick(nullptr);
        } else {
            OnHotkey(nullptr);
        }
        ASSERT_NE(previewWindow, nullptr) << c.cursorX;
        const RECT& area = monitors[c.monitor];
        RECT preview, panel;
        GetWindowRect(previewWindow, &preview);
        GetWindowRect(panelWindow, &panel);
        EXPECT_EQ(Text(preview), Text(area)) << "the preview covers the monitor";
        EXPECT_TRUE(panel.left >= area.left && panel.right <= area.right && panel.top == 20)
            << "the panel stands on it: " << Text(panel);
        const int width = area.right - area.left, height = area.bottom - area.top;
        ASSERT_EQ(frameBuffers.width, width);
        ASSERT_EQ(frameBuffers.height, height);
        for (const POINT p : {POINT{0, 0}, POINT{width - 1, 0}, POINT{0, height - 1},
                              POINT{width - 1, height - 1}, POINT{width / 3, height / 2}})
            EXPECT_EQ(CapturedPixel(frameBuffers, p.x, p.y),
                      PatternColor(area.left + p.x, area.top + p.y))
                << "captured " << p.x << "," << p.y << " of monitor " << c.monitor;
        DestroyWindow(previewWindow);
    }
}

TEST_F(TwoMonitors, ALockedScreenResetsTheHotCornersDwellAndOpensNothing)
{
    settings.EnableMouseAction = 1;
    cursor = {0, 0};  // the default corner: where a failed read used to put the cursor
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
