// The live window. A timer looks at the screen about sixty times a second; a look copies the
// area into a DIB section and, when it differs from the last one, filters it through the
// preview's own transform and paints it. While nothing changes it looks less often, so
// that watching a still screen costs next to nothing.

#include "preview/live_view.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app.h"
#include "app/dpi.h"
#include "app/resource_module.h"
#include "app/timeline.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "preview/capture.h"
#include "preview/keep_picture.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"

HWND liveWindow;
const char kLiveViewFramesMessage[] = "frames.liveview.prismolenteer.morvask";

namespace {

const char kLiveViewClass[] = "liveview.wndclass.prismolenteer.morvask";
const DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
const DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

const UINT_PTR kLookTimer = 1;
// A little faster than a 60 Hz screen changes, so that no change waits for two periods.
const UINT kLookPeriodMs = 15;
// Once nothing has changed for kQuietAfterMs the view goes quiet. The timer then fires only
// every kQuietTickMs, each time to see where the pointer is, and the screen is looked at
// only so often that looking takes about kQuietShare of one core, as a look's time is
// measured (a read of the screen costs several times more on Windows with its compositor
// than under Wine), yet at least once every kLongestQuietPeriodMs. A change, or a pointer
// moved to another area, brings the full rate back at once. Even a tick that only reads the
// pointer costs something; sixty of them a second took 3 % of a core under Wine.
const DWORD kQuietAfterMs = 500;
const UINT kQuietTickMs = 50;
const DWORD kLongestQuietPeriodMs = 1500;
const double kQuietShare = 0.025;

// The client area the window opens with at 100 % scaling, and how near a corner of the
// primary monitor's work area it opens when it has no place of its own yet.
const int kDefaultWidth = 480, kDefaultHeight = 320, kDefaultMargin = 24;

// WDA_EXCLUDEFROMCAPTURE (Windows 10 version 2004) and the session messages' codes, named
// here because older headers lack them.
const DWORD kExcludeFromCapture = 0x11;
const UINT kSessionChange = 0x02B1;  // WM_WTSSESSION_CHANGE
const WPARAM kSessionLock = 7, kSessionUnlock = 8;
typedef BOOL(WINAPI* SetWindowDisplayAffinityProc)(HWND, DWORD);
typedef BOOL(WINAPI* WTSRegisterSessionNotificationProc)(HWND, DWORD);
typedef BOOL(WINAPI* WTSUnRegisterSessionNotificationProc)(HWND);

// The hatch: stripes of two greys, 6 pixels wide, running down to the right.
const uint8_t kHatchLight = 0xA0, kHatchDark = 0x80;
const int kHatchStripe = 6;

// The area's images: the screen copied into a DIB section (`frames.captured`), the copy
// the picture shown was filtered from (`raw`, to tell whether anything changed and to filter
// it again), and the picture shown (`frames.filtered`).
struct LiveImages {
    HBITMAP section;
    FrameBuffers frames;
    uint8_t* raw;
};

LiveImages images;
const FilterRecord* liveFilter;
bool excludedFromCapture;
int pauseCount;
bool ownModalLoop;    // its menu, the Save As dialog or a box of its own is up
bool sessionLocked;   // the lock screen has the input
bool havePicture;
RECT shownArea;       // the screen area of the picture shown
RECT hatchedPart;     // the part of it the window covers, in picture pixels
SYSTEMTIME takenAt;   // when the picture shown was taken
DWORD lastChangeTick, lastLookTick;
double lookCostMs = 1;  // a look's time, averaged
UINT tickPeriod;        // the timer's period: kLookPeriodMs, or kQuietTickMs while quiet
unsigned framesShown;
UINT framesMessage;

uint32_t Zoom()
{
    return liveViewSettings.zoom;
}

// True when it shows the area under itself: a lens, where Windows keeps it out of copies.
bool ShowsUnderWindow()
{
    return excludedFromCapture && liveViewSettings.mode == kLiveUnderWindow;
}

bool Paused()
{
    return pauseCount > 0 || ownModalLoop || sessionLocked || previewWindow != nullptr ||
           IsPreviewBusy();
}

// The enabled filter named `name`, else the first enabled one, else the identity filter.
const FilterRecord* ChooseFilter(const char* name)
{
    for (int i = 0; i < enabledList.count; ++i)
        if (name[0] != '\0' && std::strcmp(enabledList.entries[i]->name, name) == 0)
            return enabledList.entries[i];
    if (const FilterRecord* named = name[0] != '\0' ? FindFilterByName(name) : nullptr)
        return named;
    return enabledList.count > 0 ? enabledList.entries[0] : &filterTable.records[0];
}

void FreeImages()
{
    FreeScreenImages(images.section, images.frames);
    std::free(images.raw);
    images.raw = nullptr;
}

// Images for an area of `width` x `height`, kept while the size stays. False when there is
// not enough memory; then there are none.
bool HoldImages(int width, int height)
{
    const bool sameSize = images.frames.width == width && images.frames.height == height;
    if (!HoldScreenImages(images.section, images.frames, width, height)) {
        FreeImages();
        return false;
    }
    if (images.raw == nullptr || !sameSize) {
        std::free(images.raw);
        images.raw = static_cast<uint8_t*>(std::malloc(FrameBytes(images.frames)));
    }
    if (images.raw == nullptr) {
        FreeImages();
        return false;
    }
    return true;
}

// The size of the area the client area shows at the zoom: whole pixels that cover it.
SIZE AreaSize()
{
    RECT client{};
    GetClientRect(liveWindow, &client);
    const LONG zoom = static_cast<LONG>(Zoom());
    return {(client.right + zoom - 1) / zoom, (client.bottom + zoom - 1) / zoom};
}

// An area of `size` centred on `centre`, kept within the monitor that holds the centre.
RECT AreaAround(POINT centre, SIZE size)
{
    RECT monitor{};
    if (!GetMonitorArea(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &monitor))
        monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const LONG width = size.cx < monitor.right - monitor.left ? size.cx : monitor.right - monitor.left;
    const LONG height = size.cy < monitor.bottom - monitor.top ? size.cy : monitor.bottom - monitor.top;
    LONG left = centre.x - width / 2, top = centre.y - height / 2;
    left = left < monitor.left ? monitor.left : left > monitor.right - width ? monitor.right - width : left;
    top = top < monitor.top ? monitor.top : top > monitor.bottom - height ? monitor.bottom - height : top;
    return {left, top, left + width, top + height};
}

// The area under the client area, shrunk about its middle by the zoom.
RECT AreaUnderWindow()
{
    RECT client{};
    GetClientRect(liveWindow, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(liveWindow, &middle);
    return AreaAround(middle, AreaSize());
}

POINT Middle(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// Paints the hatch over `part` of the filtered picture (picture pixels, from the top).
void PaintHatch(const RECT& part)
{
    const Picture picture = FilteredPicture(images.frames);
    for (LONG y = part.top; y < part.bottom; ++y) {
        uint8_t* row = PictureRow(picture, y);
        for (LONG x = part.left; x < part.right; ++x) {
            const uint8_t grey = (x + y) / kHatchStripe % 2 ? kHatchDark : kHatchLight;
            std::memset(row + 3 * x, grey, 3);
        }
    }
}

// The picture shown, filtered anew from the raw copy through the filter, and painted.
void ShowPicture()
{
    const FrameBuffers raw = {images.frames.width, images.frames.height, images.frames.stride,
                              images.frames.header, images.raw, images.frames.filtered};
    ApplyFilterToFrame(*liveFilter, raw);
    PaintHatch(hatchedPart);
    InvalidateRect(liveWindow, nullptr, FALSE);
    UpdateWindow(liveWindow);
}

// Copies `area` of the screen; when it differs from the picture shown (or shows another
// area), filters and paints it. `force` paints it even when it does not differ.
void Look(const RECT& area, bool force)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0 || !HoldImages(width, height))
        return;
    const uint32_t start = PreviewClockMicroseconds();
    CopyScreenArea(images.section, area);  // a failed copy shows as no change
    GdiFlush();

    // The part of the area the window covers holds the window's own picture: it is cleared,
    // so that it never counts as a change, and shown as the hatch.
    RECT window{}, covered{};
    GetWindowRect(liveWindow, &window);
    if (!excludedFromCapture && IntersectRect(&covered, &area, &window)) {
        OffsetRect(&covered, -area.left, -area.top);
        const Picture captured = CapturedPicture(images.frames);
        for (LONG y = covered.top; y < covered.bottom; ++y)
            std::memset(PictureRow(captured, y) + 3 * covered.left, 0,
                        3 * static_cast<size_t>(covered.right - covered.left));
    } else {
        SetRectEmpty(&covered);
    }
    const DWORD now = GetTickCount();
    lastLookTick = now;
    lookCostMs = 0.8 * lookCostMs + 0.2 * ((PreviewClockMicroseconds() - start) / 1000.0);
    const bool changed = !havePicture || !EqualRect(&area, &shownArea) ||
                         !EqualRect(&covered, &hatchedPart) ||
                         std::memcmp(images.frames.captured, images.raw, FrameBytes(images.frames)) != 0;
    if (!changed && !force)
        return;
    std::memcpy(images.raw, images.frames.captured, FrameBytes(images.frames));
    shownArea = area;
    hatchedPart = covered;
    havePicture = true;
    lastChangeTick = now;
    GetLocalTime(&takenAt);
    ShowPicture();
}

// How long to wait between looks once nothing changes.
DWORD QuietPeriod()
{
    const double period = lookCostMs / kQuietShare;
    return period < kQuietTickMs ? kQuietTickMs
           : period > kLongestQuietPeriodMs ? kLongestQuietPeriodMs : static_cast<DWORD>(period);
}

bool Quiet(DWORD now)
{
    return havePicture && now - lastChangeTick >= kQuietAfterMs;
}

// The timer at the full rate while the picture changes, at the quiet tick otherwise.
void SetTickPeriod()
{
    const UINT period = Quiet(GetTickCount()) ? kQuietTickMs : kLookPeriodMs;
    if (period != tickPeriod && SetTimer(liveWindow, kLookTimer, period, nullptr))
        tickPeriod = period;
}

void OnLookTimer()
{
    SetTickPeriod();
    if (Paused())
        return;
    // GetCursorPos fails while another desktop has the input (the lock screen, a UAC prompt,
    // Ctrl+Alt+Del): nothing of the user's is to be seen then.
    POINT pointer{};
    if (!GetCursorPos(&pointer))
        return;
    RECT area{};
    if (ShowsUnderWindow()) {
        area = AreaUnderWindow();
    } else {
        // The pointer on the window itself: the user is working with it, and the picture holds.
        RECT window{};
        GetWindowRect(liveWindow, &window);
        if (PtInRect(&window, pointer))
            return;
        area = AreaAround(pointer, AreaSize());
    }
    const DWORD now = GetTickCount();
    if (Quiet(now) && EqualRect(&area, &shownArea) && now - lastLookTick < QuietPeriod())
        return;
    Look(area, false);
    SetTickPeriod();
}

// The same area's middle again at the window's new size or zoom, even while the picture holds.
void LookAgain()
{
    if (!havePicture || Paused())
        return;
    Look(ShowsUnderWindow() ? AreaUnderWindow() : AreaAround(Middle(shownArea), AreaSize()), true);
}

void SetTitle()
{
    char title[128];
    std::snprintf(title, sizeof title, "%s - %s", liveFilter->displayName, productName);
    SetWindowTextA(liveWindow, title);
}

void SetFilter(const FilterRecord* filter)
{
    liveFilter = filter;
    std::snprintf(liveViewSettings.filter, sizeof liveViewSettings.filter, "%s", filter->name);
    SetTitle();
    if (havePicture)
        ShowPicture();
}

// The picture shown, as it is shown at 1:1.
Picture ShownPicture()
{
    return FilteredPicture(images.frames);
}

// Runs `step`, a modal loop of the live view's own, holding the picture meanwhile.
template <typename Step>
void RunModalStep(Step step)
{
    ownModalLoop = true;
    step();
    ownModalLoop = false;
}

void KeepPicture(UINT command)
{
    if (!havePicture)
        return;
    RunModalStep([command] {
        if (command == IDM_LIVE_COPY)
            CopyPicture(liveWindow, ShownPicture());
        else
            SavePicture(liveWindow, ShownPicture(), *liveFilter, takenAt);
    });
}

void OnCommand(UINT command)
{
    if (command >= IDM_LIVE_FILTER && command < IDM_LIVE_FILTER + kMaxFilters) {
        const int index = static_cast<int>(command - IDM_LIVE_FILTER);
        if (index < filterTable.count)
            SetFilter(&filterTable.records[index]);
        return;
    }
    switch (command) {
    case IDM_LIVE_FOLLOW_POINTER:
    case IDM_LIVE_UNDER_WINDOW:
        liveViewSettings.mode = command == IDM_LIVE_UNDER_WINDOW ? kLiveUnderWindow : kLiveFollowPointer;
        LookAgain();
        return;
    case IDM_LIVE_ZOOM_1:
    case IDM_LIVE_ZOOM_2:
    case IDM_LIVE_ZOOM_4:
        liveViewSettings.zoom = command == IDM_LIVE_ZOOM_4 ? 4 : command == IDM_LIVE_ZOOM_2 ? 2 : 1;
        LookAgain();
        return;
    case IDM_LIVE_COPY:
    case IDM_LIVE_SAVE:
        KeepPicture(command);
        return;
    case IDM_LIVE_CLOSE:
        DestroyWindow(liveWindow);
        return;
    }
}

// The menu's text for a display name: "&" doubled, so that it is shown rather than taken for
// the key of the item.
void MenuText(const char* name, char (&text)[96])
{
    size_t used = 0;
    for (const char* c = name; *c != '\0' && used + 2 < sizeof text; ++c) {
        if (*c == '&')
            text[used++] = '&';
        text[used++] = *c;
    }
    text[used] = '\0';
}

// The menu: the enabled filters, the current one checked; the two ways of looking where
// Windows allows both; the zoom; Copy, Save picture and Close.
HMENU MakeMenu()
{
    HMENU menu = LoadResMenu(IDR_LIVE_MENU);
    if (menu == nullptr)
        return nullptr;
    HMENU popup = GetSubMenu(menu, 0);
    if (!excludedFromCapture) {
        // The two modes and the separator after them.
        for (int i = 0; i < 3; ++i)
            DeleteMenu(popup, 0, MF_BYPOSITION);
    }
    UINT position = 0;
    const int count = enabledList.count > 0 ? enabledList.count : 1;
    for (int i = 0; i < count; ++i) {
        const FilterRecord* filter = enabledList.count > 0 ? enabledList.entries[i] : liveFilter;
        char text[96];
        MenuText(filter->displayName, text);
        const UINT index = static_cast<UINT>(filter - filterTable.records);
        InsertMenuA(popup, position++, MF_BYPOSITION | MF_STRING | (filter == liveFilter ? MF_CHECKED : 0),
                    IDM_LIVE_FILTER + index, text);
    }
    InsertMenuA(popup, position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    CheckMenuRadioItem(popup, IDM_LIVE_FOLLOW_POINTER, IDM_LIVE_UNDER_WINDOW,
                       ShowsUnderWindow() ? IDM_LIVE_UNDER_WINDOW : IDM_LIVE_FOLLOW_POINTER,
                       MF_BYCOMMAND);
    CheckMenuRadioItem(popup, IDM_LIVE_ZOOM_1, IDM_LIVE_ZOOM_4,
                       Zoom() == 4 ? IDM_LIVE_ZOOM_4 : Zoom() == 2 ? IDM_LIVE_ZOOM_2 : IDM_LIVE_ZOOM_1,
                       MF_BYCOMMAND);
    return menu;
}

void OnContextMenu(HWND window, LPARAM position)
{
    HMENU menu = MakeMenu();
    if (menu == nullptr)
        return;
    POINT at = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position == -1)  // the menu key: no mouse position
        GetCursorPos(&at);
    UINT command = 0;
    RunModalStep([&] {
        command = static_cast<UINT>(TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                   at.x, at.y, 0, window, nullptr));
    });
    DestroyMenu(menu);
    OnCommand(command);
}

void OnKeyDown(WPARAM key)
{
    const bool control = GetKeyState(VK_CONTROL) < 0;
    if (key == VK_ESCAPE)
        DestroyWindow(liveWindow);
    else if (control && key == 'C')
        KeepPicture(IDM_LIVE_COPY);
    else if (control && key == 'S')
        KeepPicture(IDM_LIVE_SAVE);
}

void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    LONG shownWidth = 0, shownHeight = 0;
    if (havePicture && images.section != nullptr) {
        // Each picture pixel a square of zoom x zoom screen pixels: nearest neighbour.
        const int zoom = static_cast<int>(Zoom());
        shownWidth = images.frames.width * zoom;
        shownHeight = images.frames.height * zoom;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, 0, 0, shownWidth, shownHeight, 0, 0, images.frames.width,
                      images.frames.height, images.frames.filtered,
                      reinterpret_cast<const BITMAPINFO*>(&images.frames.header), DIB_RGB_COLORS,
                      SRCCOPY);
    }
    // Beyond the picture (before the first look, or past a monitor smaller than the window).
    const RECT right = {shownWidth, 0, client.right, client.bottom};
    const RECT below = {0, shownHeight, shownWidth, client.bottom};
    FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    FillRect(dc, &below, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EndPaint(window, &paint);
    ++framesShown;
}

// Keeps where the window is, for the next time it opens.
void OnWindowPosChanged(HWND window)
{
    RECT rect{};
    if (IsIconic(window) || !GetWindowRect(window, &rect))
        return;
    LiveViewSettings& live = liveViewSettings;
    live.placed = true;
    live.x = rect.left;
    live.y = rect.top;
    live.width = rect.right - rect.left;
    live.height = rect.bottom - rect.top;
}

void OnSize()
{
    LookAgain();
    InvalidateRect(liveWindow, nullptr, FALSE);
}

// Moved onto a monitor of another scaling: Windows suggests the same window at that scaling.
void OnDpiChanged(HWND window, const RECT* suggested)
{
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT OnCreate(HWND window)
{
    liveWindow = window;
    // Tried rather than looked up by version: Windows 10 before 2004 and Wine refuse it.
    const auto exclude = FindSystemFunction<SetWindowDisplayAffinityProc>(
        "user32.dll", "SetWindowDisplayAffinity", false);
    excludedFromCapture = exclude != nullptr && exclude(window, kExcludeFromCapture);
    if (const auto notify = FindSystemFunction<WTSRegisterSessionNotificationProc>(
            "wtsapi32.dll", "WTSRegisterSessionNotification", true))
        notify(window, 0);  // NOTIFY_FOR_THIS_SESSION
    framesMessage = RegisterWindowMessageA(kLiveViewFramesMessage);
    SetTimer(window, kLookTimer, kLookPeriodMs, nullptr);
    tickPeriod = kLookPeriodMs;
    return 0;
}

void OnDestroy(HWND window)
{
    KillTimer(window, kLookTimer);
    if (const auto forget = FindSystemFunction<WTSUnRegisterSessionNotificationProc>(
            "wtsapi32.dll", "WTSUnRegisterSessionNotification", false))
        forget(window);
    FreeImages();
    havePicture = false;
    sessionLocked = false;
    liveWindow = nullptr;
}

LRESULT CALLBACK LiveViewProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:            return OnCreate(window);
    case WM_DESTROY:           OnDestroy(window); return 0;
    case WM_PAINT:             OnPaint(window); return 0;
    case WM_ERASEBKGND:        return 1;  // the paint covers every pixel
    case WM_TIMER:             if (wParam == kLookTimer) OnLookTimer(); return 0;
    case WM_SIZE:              OnSize(); return 0;
    case WM_WINDOWPOSCHANGED:  OnWindowPosChanged(window); break;
    case WM_DPICHANGED:        OnDpiChanged(window, reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_CONTEXTMENU:       OnContextMenu(window, lParam); return 0;
    case WM_KEYDOWN:           OnKeyDown(wParam); return 0;
    case WM_COMMAND:           OnCommand(LOWORD(wParam)); return 0;
    case kSessionChange:
        if (wParam == kSessionLock || wParam == kSessionUnlock)
            sessionLocked = wParam == kSessionLock;
        return 0;
    }
    if (msg == framesMessage && msg != 0)
        return static_cast<LRESULT>(framesShown);
    return DefWindowProcA(window, msg, wParam, lParam);
}

// Where the window opens: where it was, when that is still on a monitor; else near the top
// right corner of the primary monitor's work area, at the default size for its scaling.
RECT OpeningRect()
{
    const LiveViewSettings& live = liveViewSettings;
    RECT rect = {live.x, live.y, live.x + live.width, live.y + live.height};
    if (live.placed && MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr)
        return rect;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const UINT dpi = MonitorDpi(PrimaryMonitor());
    rect = {0, 0, ScaleForDpi(kDefaultWidth, dpi), ScaleForDpi(kDefaultHeight, dpi)};
    AdjustWindowRectForDpi(&rect, kStyle, kExStyle, dpi);
    const int margin = ScaleForDpi(kDefaultMargin, dpi);
    OffsetRect(&rect, work.right - margin - rect.right, work.top + margin - rect.top);
    return rect;
}

}  // namespace

ATOM RegisterLiveViewClass()
{
    return RegisterProgramClass(kLiveViewClass, LiveViewProc, true);
}

HWND OpenLiveView(const FilterRecord* filter)
{
    if (liveWindow != nullptr) {
        SetFilter(filter != nullptr ? filter : liveFilter);
        ForceForegroundWindow(liveWindow);
        return liveWindow;
    }
    liveFilter = filter != nullptr ? filter : ChooseFilter(liveViewSettings.filter);
    const RECT rect = OpeningRect();
    HWND window = CreateWindowExA(kExStyle, kLiveViewClass, productName, kStyle, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  exeInstance, nullptr);
    if (window == nullptr)
        return nullptr;
    SetFilter(liveFilter);
    ShowWindow(window, SW_SHOW);
    ForceForegroundWindow(window);
    return window;
}

void CloseLiveView()
{
    if (liveWindow != nullptr)
        DestroyWindow(liveWindow);
}

void PauseLiveView()
{
    ++pauseCount;
}

void ResumeLiveView()
{
    if (pauseCount > 0)
        --pauseCount;
}

LiveViewState GetLiveViewState()
{
    return {shownArea, hatchedPart, framesShown, excludedFromCapture};
}
