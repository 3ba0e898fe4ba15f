// The live view inside the test process, over a screen pattern whose every pixel names its
// place, with the program's message loop: what it shows is the pattern around the pointer
// through its filter, pixel for pixel at each zoom; it follows the pointer and holds while
// the pointer is on it, or a dialog, the preview or the lock screen is up; it draws the hatch
// where it covers its own area; and where Windows keeps it out of screen copies (the call
// answered through the program's imports) it shows the area under itself.

#include <algorithm>
#include <functional>

#include "preview/live_view.h"
#include "tests/win32/in_process.h"
#include "tests/win32/pictures.h"
#include "tests/win32/screen_pattern.h"
#include "tests/support/screen_pixels.h"

namespace {

// The pattern's pixels over `area` of the screen, as a picture.
TestPicture PatternOver(const RECT& area)
{
    TestPicture picture{UINT(area.right - area.left), UINT(area.bottom - area.top), {}, {}, {}};
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            picture.pixels.push_back(PatternPixel(x, y));
    return picture;
}

// The live window's client area as the screen shows it.
TestPicture ClientOnScreen()
{
    RECT client{};
    GetClientRect(liveWindow, &client);
    POINT origin{0, 0};
    ClientToScreen(liveWindow, &origin);
    TestPicture picture{UINT(client.right), UINT(client.bottom), {}, {}, {}};
    for (const COLORREF pixel : ScreenPixels({origin.x, origin.y, origin.x + client.right, origin.y + client.bottom}))
        picture.pixels.push_back(RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel)));  // as 0x00RRGGBB
    return picture;
}

// `picture` with each pixel a square of `zoom` x `zoom`, cut to `width` x `height`.
TestPicture Zoomed(const TestPicture& picture, UINT zoom, UINT width, UINT height)
{
    TestPicture zoomed{width, height, {}, {}, {}};
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x)
            zoomed.pixels.push_back(picture.Pixel(x / zoom, y / zoom));
    return zoomed;
}

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top);
}

// SetWindowDisplayAffinity as Windows 10 from version 2004 answers it.
BOOL WINAPI ExcludingAffinity(HWND, DWORD affinity)
{
    return affinity == 0x11;
}

const auto realGetProcAddress = reinterpret_cast<decltype(&GetProcAddress)>(
    reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcAddress")));

FARPROC WINAPI GetProcAddressOfNewerWindows(HMODULE module, const char* name)
{
    if (reinterpret_cast<UINT_PTR>(name) > 0xFFFF && std::strcmp(name, "SetWindowDisplayAffinity") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(ExcludingAffinity));
    return realGetProcAddress(module, name);
}

BOOL WINAPI NoCursorPosition(POINT*)
{
    return FALSE;  // as while the lock screen has the input
}

// The live view at a known place over the pattern, following the pointer, with three filters.
class LiveView : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        ReadyThePreview();
        LoadResString(IDS_PRODUCT_NAME, productName, sizeof productName);
        RegisterLiveViewClass();  // once per process; later calls find it registered
        for (const char* name : {"_normal", "_hue_gbr", "_grayscale"})
            EnableFilterByName(name);
        liveViewSettings = {true, 600, 380, 320, 260, "_hue_gbr", 1, kLiveFollowPointer};
    }
    void TearDown() override
    {
        CloseLiveView();
        EmptyFilterTable::TearDown();
    }

    // Opens the live view and waits until it shows the area around `pointer`.
    void Open(POINT pointer)
    {
        SetCursorPos(pointer.x, pointer.y);
        ASSERT_NE(OpenLiveView(nullptr), nullptr);
        ASSERT_TRUE(ShowsAround(pointer));
    }

    // The area of the client area's size at the zoom around `pointer`, held within the
    // screen (the test's one monitor).
    static RECT AreaAround(POINT pointer)
    {
        RECT client{};
        GetClientRect(liveWindow, &client);
        const LONG zoom = LONG(liveViewSettings.zoom), width = (client.right + zoom - 1) / zoom,
                   height = (client.bottom + zoom - 1) / zoom;
        const LONG left = std::clamp(pointer.x - width / 2, 0L, GetSystemMetrics(SM_CXSCREEN) - width);
        const LONG top = std::clamp(pointer.y - height / 2, 0L, GetSystemMetrics(SM_CYSCREEN) - height);
        return {left, top, left + width, top + height};
    }

    // Moves the pointer and waits until the live view shows the area around it.
    ::testing::AssertionResult ShowsAround(POINT pointer)
    {
        SetCursorPos(pointer.x, pointer.y);
        const RECT want = AreaAround(pointer);
        if (RunLoopUntil([&] { return EqualRect(&want, &Area()); }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "shows " << Text(GetLiveViewState().area) << ", not " << Text(want);
    }

    static const RECT& Area()
    {
        static RECT area;
        area = GetLiveViewState().area;
        return area;
    }

    // Runs the message loop for `ms` and returns the pictures shown meanwhile.
    static unsigned FramesDuring(DWORD ms)
    {
        const unsigned before = GetLiveViewState().framesShown;
        const DWORD start = GetTickCount();
        RunLoopUntil([&] { return GetTickCount() - start >= ms; });
        return GetLiveViewState().framesShown - before;
    }

    static void Command(UINT command) { SendMessageA(liveWindow, WM_COMMAND, command, 0); }

    ScreenPattern pattern_;
};

TEST_F(LiveView, ShowsTheAreaAroundThePointerThroughItsFilterPixelForPixelAtEachZoom)
{
    Open({200, 150});
    char title[128] = "";
    GetWindowTextA(liveWindow, title, sizeof title);
    EXPECT_STREQ(title, "hue(RGB=>GBR) - Prismolenteer");
    RECT client{};
    GetClientRect(liveWindow, &client);
    const struct { UINT command; const char* filter; UINT zoom; POINT pointer; } rows[] = {
        {IDM_LIVE_ZOOM_1, "_hue_gbr", 1, {200, 150}},
        {IDM_LIVE_FILTER + 1, "_grayscale", 1, {251 + 7, 241 + 3}},  // across the pattern's block edges
        {IDM_LIVE_ZOOM_2, "_grayscale", 2, {300, 100}},
        {IDM_LIVE_ZOOM_4, "_grayscale", 4, {5, 5}},                   // held inside the monitor
    };
    for (const auto& row : rows) {
        Command(row.command);
        ASSERT_TRUE(ShowsAround(row.pointer)) << row.filter << " at zoom " << row.zoom;
        const RECT area = GetLiveViewState().area;
        const TestPicture want = Zoomed(LiterallyFiltered(*FindFilterByName(row.filter), PatternOver(area)),
                                        row.zoom, UINT(client.right), UINT(client.bottom));
        EXPECT_TRUE(RunLoopUntil([&] { return Difference(ClientOnScreen(), want).empty(); }))
            << row.filter << " at zoom " << row.zoom << ": " << Difference(ClientOnScreen(), want);
    }
    EXPECT_EQ(std::string(liveViewSettings.filter) + " " + std::to_string(liveViewSettings.zoom), "_grayscale 4");
}

TEST_F(LiveView, DrawsTheHatchWhereTheAreaCoversTheWindowItself)
{
    RECT window{};
    Open({200, 150});
    GetWindowRect(liveWindow, &window);
    // Just left of the window: the right part of the area is the window.
    const POINT pointer{window.left - 40, window.top + 100};
    ASSERT_TRUE(ShowsAround(pointer));
    const RECT area = GetLiveViewState().area, hatched = GetLiveViewState().hatched;
    RECT covered{};
    IntersectRect(&covered, &area, &window);
    OffsetRect(&covered, -area.left, -area.top);
    EXPECT_EQ(Text(hatched), Text(covered));
    // Elsewhere the pattern through the filter; there stripes of two greys.
    TestPicture want = LiterallyFiltered(*FindFilterByName("_hue_gbr"), PatternOver(area));
    for (LONG y = hatched.top; y < hatched.bottom; ++y)
        for (LONG x = hatched.left; x < hatched.right; ++x)
            want.pixels[size_t(y) * want.width + x] = (x + y) / 6 % 2 ? 0x808080 : 0xA0A0A0;
    EXPECT_EQ(Difference(ClientOnScreen(), want), "");
    EXPECT_EQ(FramesDuring(300), 0u) << "its own picture under the hatch counted as a change";
}

TEST_F(LiveView, ShowsTheAreaUnderItselfOnlyWhereWindowsKeepsItOutOfScreenCopies)
{
    // Asked for the area under the window, as a user of a newer Windows left it.
    liveViewSettings.mode = kLiveUnderWindow;
    Open({200, 150});
    EXPECT_FALSE(GetLiveViewState().excludedFromCapture);  // Wine: it follows the pointer
    CloseLiveView();

    ImportPatch newerWindows("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(GetProcAddressOfNewerWindows));
    ASSERT_NE(OpenLiveView(nullptr), nullptr);
    EXPECT_TRUE(GetLiveViewState().excludedFromCapture);
    // The lens: the client area's own place, and no hatch.
    RECT client{};
    POINT origin{0, 0};
    GetClientRect(liveWindow, &client);
    ClientToScreen(liveWindow, &origin);
    const RECT under = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    EXPECT_TRUE(RunLoopUntil([&] { return EqualRect(&under, &Area()); })) << Text(Area()) << ", not " << Text(under);
    const RECT hatched = GetLiveViewState().hatched;
    EXPECT_TRUE(IsRectEmpty(&hatched)) << Text(hatched);
    Command(IDM_LIVE_FOLLOW_POINTER);
    EXPECT_TRUE(ShowsAround({100, 100})) << "following the pointer again";
    EXPECT_EQ(liveViewSettings.mode, kLiveFollowPointer);
}

// The menu as the program's import of TrackPopupMenu sees it: its items' texts, "*" before a
// checked one; it answers with `choice`.
std::vector<std::string> menuItems;
UINT choice;

BOOL WINAPI ReadMenu(HMENU menu, UINT, int, int, int, HWND, const RECT*)
{
    menuItems.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[96] = "";
        GetMenuStringA(menu, UINT(i), text, sizeof text, MF_BYPOSITION);
        menuItems.push_back((GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_CHECKED ? "*" : "") + std::string(text));
    }
    return BOOL(choice);
}

TEST_F(LiveView, ItsMenuOffersTheEnabledFiltersTheZoomKeepingAndClose)
{
    const ColorRef black[kControlCubeSize] = {};
    AddFilter("scratch", "Scratch & co", FilterKind::Custom, black);
    EnableFilterByName("scratch");
    Open({200, 150});
    ImportPatch menu("user32.dll", "TrackPopupMenu", reinterpret_cast<void*>(ReadMenu));
    choice = IDM_LIVE_FILTER + 4;  // scratch, after the built-in filters
    SendMessageA(liveWindow, WM_CONTEXTMENU, WPARAM(liveWindow), MAKELPARAM(700, 450));
    EXPECT_EQ(menuItems, (std::vector<std::string>{"normal", "*hue(RGB=>GBR)", "grayscale", "Scratch && co", "",
                                                   "*Zoom &1\xD7", "Zoom &2\xD7", "Zoom &4\xD7", "",
                                                   "&Copy\tCtrl+C", "&Save picture...\tCtrl+S", "", "C&lose\tEsc"}));
    choice = IDM_LIVE_CLOSE;
    SendMessageA(liveWindow, WM_CONTEXTMENU, WPARAM(liveWindow), -1);
    EXPECT_EQ(liveWindow, nullptr);
}

TEST_F(LiveView, FollowsThePointerButHoldsWhileThePointerIsOnItOrADialogThePreviewOrTheLockScreenIsUp)
{
    Open({200, 150});
    // Each holds, the pointer moves (onto the window in the last row), and each lets go.
    const struct { const char* what; std::function<void()> hold, release; } rows[] = {
        {"a dialog", PauseLiveView, ResumeLiveView},
        {"the lock screen", [] { SendMessageA(liveWindow, 0x02B1, 7, 0); }, [] { SendMessageA(liveWindow, 0x02B1, 8, 0); }},
        {"the preview", [] { OpenPreview(nullptr, PrimaryMonitor()); }, [] { DestroyWindow(previewWindow); }},
        {"the pointer on it", [] {}, [] {}},
    };
    RECT window{};
    GetWindowRect(liveWindow, &window);
    POINT pointer{200, 150};
    for (const auto& row : rows) {
        row.hold();
        pointer.x += 40;
        if (&row == std::end(rows) - 1)
            SetCursorPos(window.left + 40, window.top + 60);
        else
            SetCursorPos(pointer.x, pointer.y);
        EXPECT_EQ(FramesDuring(300), 0u) << row.what;
        row.release();
        EXPECT_TRUE(ShowsAround(pointer)) << "after " << row.what;
    }
    {
        ImportPatch locked("user32.dll", "GetCursorPos", reinterpret_cast<void*>(NoCursorPosition));
        SetCursorPos(pointer.x + 40, pointer.y);
        EXPECT_EQ(FramesDuring(300), 0u) << "with no pointer";
    }
    EXPECT_TRUE(ShowsAround({pointer.x + 40, pointer.y}));
}

}  // namespace
