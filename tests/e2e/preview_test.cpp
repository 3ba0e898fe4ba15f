// The preview driven from outside as a user drives it: the hotkey over a known test
// pattern, every enabled filter chosen in turn from the operate panel, the panel's place
// remembered, the hot corner, and many previews in a row.

#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/driver_spy.h"

namespace {

const UINT kRefilterMessage = WM_APP + 3;
const DWORD kStartTimeoutMs = 15000;
const DWORD kPreviewTimeoutMs = 10000;

// ---------------------------------------------------------------------------------------
// The filter rules written out again from their definition, independently of the program:
// control colours at the levels 51k, expanded at thirds along blue, then green, then red,
// with truncating division; every channel quantized to the level (3v + 25) / 51.

struct Rgb {
    int r, g, b;
};

struct ReferenceFilter {
    std::string name, displayName;
    bool identity = false;
    Rgb cube[16][16][16];
};

Rgb Third(Rgb p, Rgb q)
{
    return {(2 * p.r + q.r) / 3, (2 * p.g + q.g) / 3, (2 * p.b + q.b) / 3};
}
Rgb TwoThirds(Rgb p, Rgb q)
{
    return {(p.r + 2 * q.r) / 3, (p.g + 2 * q.g) / 3, (p.b + 2 * q.b) / 3};
}

// control[a][b][c] for the input levels red a, green b, blue c.
void Expand(const Rgb (&control)[6][6][6], ReferenceFilter& filter)
{
    auto& cube = filter.cube;
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b)
            for (int c = 0; c < 6; ++c)
                cube[3 * a][3 * b][3 * c] = control[a][b][c];
    for (int a = 0; a < 16; a += 3)
        for (int b = 0; b < 16; b += 3)
            for (int c = 0; c < 15; c += 3) {
                cube[a][b][c + 1] = Third(cube[a][b][c], cube[a][b][c + 3]);
                cube[a][b][c + 2] = TwoThirds(cube[a][b][c], cube[a][b][c + 3]);
            }
    for (int a = 0; a < 16; a += 3)
        for (int b = 0; b < 15; b += 3)
            for (int c = 0; c < 16; ++c) {
                cube[a][b + 1][c] = Third(cube[a][b][c], cube[a][b + 3][c]);
                cube[a][b + 2][c] = TwoThirds(cube[a][b][c], cube[a][b + 3][c]);
            }
    for (int a = 0; a < 15; a += 3)
        for (int b = 0; b < 16; ++b)
            for (int c = 0; c < 16; ++c) {
                cube[a + 1][b][c] = Third(cube[a][b][c], cube[a + 3][b][c]);
                cube[a + 2][b][c] = TwoThirds(cube[a][b][c], cube[a + 3][b][c]);
            }
}

template <typename Generator>
ReferenceFilter MakeFilter(const char* name, const char* displayName, Generator generator)
{
    static Rgb control[6][6][6];
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b)
            for (int c = 0; c < 6; ++c)
                control[a][b][c] = generator(a, b, c);
    ReferenceFilter filter;
    filter.name = name;
    filter.displayName = displayName;
    Expand(control, filter);
    return filter;
}

int Level(int value)
{
    return (3 * value + 25) / 51;
}

COLORREF Apply(const ReferenceFilter& filter, COLORREF color)
{
    if (filter.identity)
        return color;
    const Rgb out = filter.cube[Level(GetRValue(color))][Level(GetGValue(color))][Level(GetBValue(color))];
    return RGB(out.r, out.g, out.b);
}

// A custom filter with control colours no built-in could produce, written as a filter file.
Rgb CustomControl(int a, int b, int c)
{
    return {(37 * a + 11 * b + 200 * c) % 256, (90 * a + 170 * b + 3 * c + 9) % 256,
            (255 - 51 * a + 13 * b * c) % 256};
}

std::string CustomFilterFile()
{
    std::string file = "[Prismolenteer filter]\r\nname: Test cube\r\n";
    for (int a = 0; a < 6; ++a)
        for (int b = 0; b < 6; ++b)
            for (int c = 0; c < 6; ++c) {
                const Rgb color = CustomControl(a, b, c);
                char line[16];
                std::snprintf(line, sizeof line, "#%02X%02X%02X\r\n", color.r, color.g, color.b);
                file += line;
            }
    return file;
}

// The enabled list of these tests, in the order the panel must show it.
std::vector<ReferenceFilter> EnabledFilters()
{
    std::vector<ReferenceFilter> filters;
    filters.push_back(MakeFilter("_normal", "normal", [](int a, int b, int c) {
        return Rgb{51 * a, 51 * b, 51 * c};
    }));
    filters.back().identity = true;
    filters.push_back(MakeFilter("_grayscale", "grayscale", [](int a, int b, int c) {
        const int gray = (77 * 51 * a + 150 * 51 * b + 29 * 51 * c) / 256;
        return Rgb{gray, gray, gray};
    }));
    filters.push_back(MakeFilter("testcube", "Test cube", CustomControl));
    filters.push_back(MakeFilter("_hue_gbr", "hue(RGB=>GBR)", [](int a, int b, int c) {
        return Rgb{51 * b, 51 * c, 51 * a};
    }));
    filters.push_back(MakeFilter("_hue_brg", "hue(RGB=>BRG)", [](int a, int b, int c) {
        return Rgb{51 * c, 51 * a, 51 * b};
    }));
    return filters;
}

const char kEnabledFilters[] = "_normal,_grayscale,testcube,_hue_gbr,_hue_brg";

// ---------------------------------------------------------------------------------------
// A window of the driver that paints a grid of known colours: all 16 levels of each
// channel alone, the channel values either side of every level boundary, and a spread of
// others, a few hundred in all.

const int kCell = 8;
const int kColumns = 24;
const int kRows = 14;

std::vector<COLORREF> PatternColors()
{
    std::vector<COLORREF> colors;
    for (int level = 0; level < 16; ++level) {
        colors.push_back(RGB(17 * level, 0, 0));
        colors.push_back(RGB(0, 17 * level, 0));
        colors.push_back(RGB(0, 0, 17 * level));
    }
    const int boundaries[] = {8, 9, 25, 26, 127, 128, 246, 247};
    for (int v : boundaries) {
        colors.push_back(RGB(v, 255 - v, v));
        colors.push_back(RGB(255 - v, v, 128));
    }
    unsigned seed = 20261207;
    while (colors.size() < static_cast<size_t>(kColumns * kRows)) {
        seed = seed * 1103515245u + 12345u;
        colors.push_back(RGB((seed >> 8) & 0xFF, (seed >> 16) & 0xFF, (seed >> 24) & 0xFF));
    }
    return colors;
}

LRESULT CALLBACK PatternProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        static const std::vector<COLORREF> colors = PatternColors();
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        for (int i = 0; i < kColumns * kRows; ++i) {
            RECT cell = {(i % kColumns) * kCell, (i / kColumns) * kCell, 0, 0};
            cell.right = cell.left + kCell;
            cell.bottom = cell.top + kCell;
            HBRUSH brush = CreateSolidBrush(colors[i]);
            FillRect(dc, &cell, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

class PatternWindow {
public:
    explicit PatternWindow(POINT origin)
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PatternProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "pattern.e2e";
        RegisterClassA(&windowClass);
        area_ = {origin.x, origin.y, origin.x + kColumns * kCell, origin.y + kRows * kCell};
        window_ = CreateWindowExA(0, "pattern.e2e", "pattern", WS_POPUP | WS_VISIBLE, area_.left,
                                  area_.top, kColumns * kCell, kRows * kCell, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    ~PatternWindow() { DestroyWindow(window_); }

    // True once the screen shows the pattern.
    bool Shown() const { return ScreenCells() == PatternColors(); }

    // The colour on the screen at the centre of every cell.
    std::vector<COLORREF> ScreenCells() const
    {
        const std::vector<COLORREF> pixels = e2e::ScreenPixels(area_);
        std::vector<COLORREF> cells;
        const int width = area_.right - area_.left;
        for (int i = 0; i < kColumns * kRows && !pixels.empty(); ++i)
            cells.push_back(pixels[((i / kColumns) * kCell + kCell / 2) * width +
                                   (i % kColumns) * kCell + kCell / 2]);
        return cells;
    }

private:
    RECT area_;
    HWND window_;
};

std::vector<COLORREF> Through(const ReferenceFilter& filter)
{
    std::vector<COLORREF> colors = PatternColors();
    for (COLORREF& color : colors)
        color = Apply(filter, color);
    return colors;
}

// The first cell that differs, for a readable failure.
std::string FirstDifference(const std::vector<COLORREF>& got, const std::vector<COLORREF>& want)
{
    if (got.size() != want.size())
        return "read " + std::to_string(got.size()) + " cells";
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "cell %u: got %06lX, want %06lX (0x00BBGGRR)",
                          static_cast<unsigned>(i), got[i], want[i]);
            return text;
        }
    return "none";
}

// ---------------------------------------------------------------------------------------

std::wstring ListText(HWND list, int row)
{
    wchar_t text[128] = L"";
    // The A message would copy UTF-16 bytes across processes; the W message is right.
    SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

class PreviewProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::DeleteRegistryKey(e2e::kProgramKey);
        e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 1);
        e2e::WriteRegistryString(e2e::kProgramKey, "EnableFilters", kEnabledFilters);
        ASSERT_TRUE(copy_.Ready());
        ASSERT_TRUE(copy_.AddFile("filter\\testcube.plf", CustomFilterFile()));
    }
    void TearDown() override { e2e::DeleteRegistryKey(e2e::kProgramKey); }

    void Start()
    {
        ASSERT_TRUE(process_.Start(copy_.ExePath()));
        mainFrame_ = e2e::WaitForWindow(e2e::kMainFrameClass, process_.Id(), kStartTimeoutMs);
        ASSERT_NE(mainFrame_, nullptr) << "the program did not start";
        // The hotkey is registered in the frame's creation, just after the frame is listed.
        ASSERT_TRUE(e2e::WaitUntil([] { return e2e::HotkeyTaken(VK_F11); }, 10000));
    }

    void Stop()
    {
        e2e::ChooseExit(mainFrame_);
        DWORD exitCode = 1;
        ASSERT_TRUE(process_.WaitForExit(10000, &exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    // Presses F11 and waits for the preview and its panel to be shown.
    void OpenWithHotkey()
    {
        e2e::PressKey(VK_F11);
        ASSERT_TRUE(e2e::WaitUntil([&] { return Preview() != nullptr && Panel() != nullptr; },
                                   kPreviewTimeoutMs))
            << "F11 opened no preview";
    }

    HWND Preview() const { return e2e::VisibleWindow(e2e::kPreviewClass, process_.Id()); }
    HWND Panel() const { return e2e::VisibleWindow(e2e::kPanelClass, process_.Id()); }
    HWND List() const { return GetDlgItem(Panel(), 1000); }


    bool PreviewGone() const
    {
        return Preview() == nullptr && Panel() == nullptr;
    }

    void ExpectPanelPosition(int x, int y)
    {
        RECT panel{};
        GetWindowRect(Panel(), &panel);
        EXPECT_EQ(panel.left, x);
        EXPECT_EQ(panel.top, y);
    }

    e2e::ProgramCopy copy_;
    e2e::Process process_;
    HWND mainFrame_ = nullptr;
};

TEST_F(PreviewProgram, ShowsTheScreenThroughEachFilterChosenInThePanel)
{
    PatternWindow pattern({300, 150});
    ASSERT_TRUE(e2e::WaitUntil([&] { return pattern.Shown(); }, 5000)) << "the pattern is not shown";
    Start();
    e2e::MessageSpy spy;
    ASSERT_TRUE(e2e::WaitUntil([&] { return spy.Attach(process_.ThreadId()); }, 5000));
    OpenWithHotkey();

    // A topmost tool window over the whole screen.
    HWND preview = Preview();
    RECT frame{};
    GetWindowRect(preview, &frame);
    EXPECT_EQ(frame.left, 0);
    EXPECT_EQ(frame.top, 0);
    EXPECT_EQ(frame.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(frame.bottom, GetSystemMetrics(SM_CYSCREEN));
    const LONG exStyle = GetWindowLongA(preview, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindow(Panel(), GW_OWNER), preview);

    // The panel lists the enabled filters by display name, in order, with row 0 chosen.
    const std::vector<ReferenceFilter> filters = EnabledFilters();
    HWND list = List();
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(filters.size()));
    for (size_t row = 0; row < filters.size(); ++row)
        EXPECT_EQ(ListText(list, static_cast<int>(row)), Wide(filters[row].displayName));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return pattern.Shown(); }, 5000))
        << "through the identity filter: " << FirstDifference(pattern.ScreenCells(), PatternColors());

    // Each row in turn with the Down arrow, as the list has the keyboard.
    for (size_t row = 1; row < filters.size(); ++row) {
        const LONG refilters = spy.Retrieved(kRefilterMessage);
        e2e::PressKey(VK_DOWN);
        const std::vector<COLORREF> expected = Through(filters[row]);
        EXPECT_TRUE(e2e::WaitUntil([&] { return pattern.ScreenCells() == expected; }, 5000))
            << filters[row].name << ": " << FirstDifference(pattern.ScreenCells(), expected);
        EXPECT_EQ(spy.Retrieved(kRefilterMessage), refilters + 1) << filters[row].name;
    }

    // And with the mouse: row 2, the file's filter.
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    POINT click = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list, &click);
    e2e::Click(click.x, click.y);
    const std::vector<COLORREF> custom = Through(filters[2]);
    EXPECT_TRUE(e2e::WaitUntil([&] { return pattern.ScreenCells() == custom; }, 5000))
        << FirstDifference(pattern.ScreenCells(), custom);

    // Choosing the row already shown filters nothing again and paints nothing.
    const LONG refilters = spy.Retrieved(kRefilterMessage);
    const LONG paints = spy.PreviewPaints();
    e2e::Click(click.x, click.y);
    e2e::Pause(500);
    EXPECT_EQ(spy.Retrieved(kRefilterMessage), refilters);
    EXPECT_EQ(spy.PreviewPaints(), paints);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);

    // A click on the picture does not activate the preview: the panel comes to the front.
    e2e::Click(700, 550);
    EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == Panel(); }, 5000))
        << "the foreground is " << GetForegroundWindow();
    EXPECT_EQ(spy.Retrieved(kRefilterMessage), refilters);

    // Esc ends the preview and its panel.
    e2e::PressKey(VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
    Stop();
}

TEST_F(PreviewProgram, TabReachesCloseAndSpaceOnItEndsThePreview)
{
    Start();
    OpenWithHotkey();
    HWND closeButton = GetDlgItem(Panel(), 1001);
    auto focus = [&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(process_.ThreadId(), &info);
        return info.hwndFocus;
    };
    ASSERT_TRUE(e2e::WaitUntil([&] { return focus() == List(); }, 5000)) << "the list has no focus";
    e2e::PressKey(VK_TAB);
    ASSERT_TRUE(e2e::WaitUntil([&] { return focus() == closeButton; }, 5000));
    e2e::PressKey(VK_TAB);
    ASSERT_TRUE(e2e::WaitUntil([&] { return focus() == List(); }, 5000)) << "Tab goes round";
    e2e::PressKeyWithModifiers(VK_TAB, false, false);
    ASSERT_TRUE(e2e::WaitUntil([&] { return focus() == closeButton; }, 5000));
    e2e::PressKey(VK_SPACE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
    Stop();
}

TEST_F(PreviewProgram, ThePanelReopensWhereItWasLeftAndOnTheScreen)
{
    e2e::WriteRegistryString(e2e::kProgramKey, "Position", "0,0");
    Start();
    OpenWithHotkey();
    ExpectPanelPosition(0, 0);

    // Drag the panel by its caption.
    RECT panel{};
    GetWindowRect(Panel(), &panel);
    const POINT grab = {panel.left + 30, panel.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    e2e::Drag(grab, {grab.x + 300, grab.y + 200});
    ASSERT_TRUE(e2e::WaitUntil(
        [&] {
            RECT moved{};
            GetWindowRect(Panel(), &moved);
            return moved.left == 300 && moved.top == 200;
        },
        5000))
        << "the panel was not dragged";

    e2e::PressKey(VK_ESCAPE);
    ASSERT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
    Stop();
    std::string position;
    EXPECT_TRUE(e2e::ReadRegistryString(e2e::kProgramKey, "Position", &position));
    EXPECT_EQ(position, "300,200");

    Start();
    OpenWithHotkey();
    ExpectPanelPosition(300, 200);
    EXPECT_EQ(SendMessageA(List(), LB_GETCURSEL, 0, 0), 0) << "each preview starts at row 0";
    e2e::PressKey(VK_ESCAPE);
    ASSERT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
    Stop();

    // A place off the screen (after a change to a smaller screen, say) is pulled back.
    e2e::WriteRegistryString(e2e::kProgramKey, "Position", "5000,-40");
    Start();
    OpenWithHotkey();
    GetWindowRect(Panel(), &panel);
    EXPECT_EQ(panel.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(panel.top, 0);
    e2e::PressKey(VK_ESCAPE);
    ASSERT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
    Stop();
}

TEST_F(PreviewProgram, TheHotCornerOpensThePreviewAfterADwellOnItsOwnCorner)
{
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    const POINT corners[4] = {{0, 0}, {0, bottom}, {right, 0}, {right, bottom}};
    const POINT away = {right / 2, bottom / 2};

    for (int chosen = 0; chosen < 4; ++chosen) {
        SCOPED_TRACE("corner " + std::to_string(chosen));
        e2e::WriteRegistryDword(e2e::kProgramKey, "EnableMouseAction", 1);
        e2e::WriteRegistryDword(e2e::kProgramKey, "MouseActionPosition", chosen);
        e2e::MoveCursor(away.x, away.y);
        Start();

        // The other corners do nothing, however long the cursor rests there.
        for (int other = 0; other < 4; ++other) {
            if (other == chosen)
                continue;
            e2e::MoveCursor(corners[other].x, corners[other].y);
            e2e::Pause(450);
            EXPECT_EQ(Preview(), nullptr) << "corner " << other << " opened the preview";
        }

        // Leaving the chosen corner before 200 ms have passed opens nothing. A visit counts
        // only when the driver itself kept it short: on a busy machine it may stall.
        bool shortVisit = false;
        for (int attempt = 0; attempt < 5 && !shortVisit; ++attempt) {
            const DWORD left = GetTickCount();
            e2e::MoveCursor(corners[chosen].x, corners[chosen].y);
            e2e::Pause(30);
            e2e::MoveCursor(away.x, away.y);
            shortVisit = GetTickCount() - left < 150;
            e2e::Pause(450);
            if (shortVisit) {
                EXPECT_EQ(Preview(), nullptr) << "a short visit opened the preview";
            }
            if (Preview() != nullptr) {
                e2e::PressKey(VK_ESCAPE);
                ASSERT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
            }
        }
        EXPECT_TRUE(shortVisit) << "the driver could not keep a visit under 150 ms";

        // Resting on it does, after more than 200 ms (three or four 100 ms ticks).
        e2e::MoveCursor(corners[chosen].x, corners[chosen].y);
        const DWORD arrived = GetTickCount();
        ASSERT_TRUE(e2e::WaitUntil([&] { return Preview() != nullptr; }, kPreviewTimeoutMs));
        EXPECT_GT(GetTickCount() - arrived, 200u);

        // While it is open the corner opens nothing more.
        HWND preview = Preview();
        e2e::Pause(450);
        EXPECT_EQ(Preview(), preview);

        e2e::PressKey(VK_ESCAPE);
        ASSERT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000));
        e2e::MoveCursor(away.x, away.y);
        Stop();
    }
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountWindow, count);
    return TRUE;
}

// Every window of the process, children included: its USER objects that can be seen from
// outside (GetGuiResources always answers 0 under Wine).
int WindowsOf(DWORD processId)
{
    int count = 0;
    for (HWND window : e2e::TopLevelWindows(processId, false))
        CountWindow(window, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST_F(PreviewProgram, TwoHundredPreviewsLeaveNothingBehind)
{
    Start();
    e2e::MessageSpy spy;
    ASSERT_TRUE(e2e::WaitUntil([&] { return spy.Attach(process_.ThreadId()); }, 5000));
    auto cycle = [&] {
        OpenWithHotkey();
        e2e::PressKey(VK_ESCAPE);
        ASSERT_TRUE(e2e::WaitUntil([&] { return PreviewGone(); }, 5000)) << "Esc closed nothing";
    };
    for (int i = 0; i < 10; ++i)  // the first previews allocate what every later one reuses
        cycle();
    const ProcessFigures before = spy.Measure();
    const int windowsBefore = WindowsOf(process_.Id());
    for (int i = 0; i < 190; ++i) {
        cycle();
        if (HasFatalFailure())
            return;
    }
    const ProcessFigures after = spy.Measure();
    const int windowsAfter = WindowsOf(process_.Id());
    std::printf("after 10 and after 200 previews: working set %lu -> %lu KB, "
                "kernel handles %lu -> %lu, windows %d -> %d\n",
                before.workingSetKb, after.workingSetKb, before.kernelHandles,
                after.kernelHandles, windowsBefore, windowsAfter);
    ASSERT_GT(before.workingSetKb, 0u) << "the spy took no figures";
    // A leaked pair of images would add 4.6 MB per preview at 1024 x 768, a leaked bitmap of
    // the paint 3 MB: under Wine both live in the process's own memory.
    EXPECT_LT(after.workingSetKb, before.workingSetKb + 4096);
    EXPECT_LE(after.kernelHandles, before.kernelHandles + 2);
    EXPECT_EQ(windowsAfter, windowsBefore);
    Stop();
}

}  // namespace
