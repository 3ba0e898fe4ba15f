// The hidden main frame window: the tray icon, its menu and commands, the global hotkey,
// the hot-corner timer and the end of the Windows session.

#include "tray/main_frame.h"

#include <cstring>

#include "app/app.h"
#include "app/dpi.h"
#include "app/resource_module.h"
#include "app/timeline.h"
#include "preview/capture.h"
#include "preview/live_view.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/preview_triggers.h"

HWND mainFrameWnd;
HMENU trayMenu;
int hotCornerTimerSet;

namespace {

const char kMainFrameClassName[] = "mainframe.wndclass.prismolenteer.morvask";

// The shell's "TaskbarCreated" broadcast.
UINT taskbarCreatedMsg;

// The latency benchmark's question: when did a step of the last preview end?
UINT previewTimelineMsg;

// The first form of NOTIFYICONDATAA, which every shell since Windows 95 accepts: 88 bytes
// in a 32-bit program, 104 in a 64-bit one, whose handles are 8 bytes and 8-byte aligned.
const DWORD kTrayIconRecordSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104),
              "the first form of the tray icon record");

// Not the product name of the string table: the tip stays the same whatever the language
// module says.
const char kTrayTip[] = "Prismolenteer";

// What names the tray icon to the shell: the record zeroed, with its size, window and
// identifier. All that removing the icon needs.
void FillTrayIconKey(NOTIFYICONDATAA* record, HWND hwnd)
{
    std::memset(record, 0, sizeof *record);
    record->cbSize = kTrayIconRecordSize;
    record->hWnd = hwnd;
    record->uID = ID_TRAY_ICON;
}

// The 88-byte tray icon record that AddTrayIcon sends.
void FillTrayIconRecord(NOTIFYICONDATAA* record)
{
    FillTrayIconKey(record, mainFrameWnd);
    record->uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record->uCallbackMessage = WM_TASKTRAY;
    // Always the executable's icon, never the language module's. The small image of the
    // group: LoadIconA would give the large one, which the tray shrinks into a blur. Shared,
    // so loading it anew for every add costs nothing.
    record->hIcon = static_cast<HICON>(LoadImageA(exeInstance, MAKEINTRESOURCEA(IDI_MAIN),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    std::memcpy(record->szTip, kTrayTip, sizeof kTrayTip);
}

// Adds the tray icon (again, after a shell restart). Failures are not reported: the icon
// comes back with the next "TaskbarCreated".
void AddTrayIcon()
{
    NOTIFYICONDATAA record;
    FillTrayIconRecord(&record);
    Shell_NotifyIconA(NIM_ADD, &record);
}

LRESULT OnCreate(HWND hwnd)
{
    mainFrameWnd = hwnd;  // first: the boxes below are owned by it
    AddTrayIcon();
    taskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");
    previewTimelineMsg = RegisterWindowMessageA(kPreviewTimelineMessage);
    trayMenu = LoadMenuA(GetResourceInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (settings.EnableHotkeyAction)
        RegisterPreviewHotkey(hwnd);
    // The timer runs whether or not the hot corner is on; each tick reads the setting.
    hotCornerTimerSet = SetTimer(hwnd, IDT_HOTCORNER, kHotCornerPeriodMs, nullptr) != 0;
    PostMessageA(hwnd, WM_PREPARE_PREVIEW, 0, 0);
    return 0;
}

void OnDestroy(HWND hwnd)
{
    NOTIFYICONDATAA record;
    FillTrayIconKey(&record, hwnd);
    Shell_NotifyIconA(NIM_DELETE, &record);

    if (hotCornerTimerSet) {
        KillTimer(hwnd, IDT_HOTCORNER);
        hotCornerTimerSet = 0;
    }
    if (trayMenu != nullptr) {
        DestroyMenu(trayMenu);
        trayMenu = nullptr;
    }
    UnregisterPreviewHotkey(hwnd);
    CloseLiveView();
    ReleaseCaptureImages();
    PostQuitMessage(0);
}

void OnTimer(HWND hwnd, UINT_PTR timerId)
{
    if (timerId == IDT_HOTCORNER)
        OnHotCornerTick(hwnd);
}

// The images of the first preview, ready before it is asked for. Only for the primary
// monitor: the hotkey may ask for another, which then gets its images at once.
void OnPreparePreview()
{
    RECT primary;
    if (previewWindow == nullptr && GetMonitorArea(PrimaryMonitor(), &primary))
        PrepareCaptureImages(primary);
}

// The images kept for the next preview no longer fit the screen: they are made again at its
// new size. An open preview keeps its picture, at its size, until it closes.
void OnDisplayChange(HWND hwnd)
{
    if (previewWindow != nullptr)
        return;
    ReleaseCaptureImages();
    PostMessageA(hwnd, WM_PREPARE_PREVIEW, 0, 0);
}

void ShowTrayMenu(HWND hwnd)
{
    if (trayMenu == nullptr)
        return;
    CheckMenuItem(trayMenu, IDM_LIVE_VIEW, MF_BYCOMMAND | (liveWindow != nullptr ? MF_CHECKED : MF_UNCHECKED));
    // The owner must be the foreground window, or the menu stays open when the user
    // clicks elsewhere.
    SetForegroundWindow(hwnd);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(GetSubMenu(trayMenu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                   cursor.x, cursor.y, 0, mainFrameWnd, nullptr);
    // Without a message after the menu, a tray menu may close at once the next time it
    // opens, or not close at all (KB135788).
    PostMessageA(hwnd, WM_NULL, 0, 0);
}

void OnTrayNotify(HWND hwnd, UINT mouseMessage)
{
    if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_RBUTTONUP)
        ShowTrayMenu(hwnd);
}

// True when the command was one of the tray menu's.
bool OnCommand(HWND hwnd, WORD command)
{
    switch (command) {
    case IDM_EXIT:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return true;
    case IDM_ABOUT:
        RunAboutCommand(hwnd);
        return true;
    case IDM_OPTION:
        RunOptionCommand(hwnd);
        return true;
    case IDM_LIVE_VIEW:
        RunLiveViewCommand();
        return true;
    }
    return false;
}

LRESULT CALLBACK MainFrameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:           return OnCreate(hwnd);
    case WM_DESTROY:          OnDestroy(hwnd); return 0;
    case WM_SETFOCUS:         return 0;  // never shown, it has no keys to take
    case WM_CLOSE:            DestroyWindow(hwnd); return 0;
    case WM_QUERYENDSESSION:  return TRUE;  // never veto the end of the session
    // Saved whatever wParam says: if the end is cancelled, we simply save again at exit.
    case WM_ENDSESSION:       SaveSettings(); return 0;
    case WM_IME_SETCONTEXT:   return 0;  // nothing to type into: no input method window
    case WM_TIMER:            OnTimer(hwnd, wParam); return 0;
    case WM_DISPLAYCHANGE:    OnDisplayChange(hwnd); return 0;
    case WM_PREPARE_PREVIEW:  OnPreparePreview(); return 0;
    case WM_OPEN_LIVE_VIEW:   OpenLiveViewFromPreview(wParam); return 0;
    case WM_HOTKEY:           OnHotkey(hwnd); return 0;
    case WM_TASKTRAY:         OnTrayNotify(hwnd, static_cast<UINT>(lParam)); return 0;
    case WM_COMMAND:
        if (OnCommand(hwnd, LOWORD(wParam)))
            return 0;
        break;
    }
    if (msg == previewTimelineMsg && msg != 0)
        return PreviewStepTime(static_cast<unsigned>(wParam));
    if (msg == taskbarCreatedMsg && msg != 0) {
        // Explorer has been restarted, so the tray icon will have been lost.
        AddTrayIcon();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

ATOM RegisterMainFrameClass()
{
    return RegisterProgramClass(kMainFrameClassName, MainFrameProc, true);
}

HWND CreateMainFrame()
{
    // Never shown: it exists for the tray icon, the hotkey, the timer and as owner. Its
    // creation handler sets mainFrameWnd.
    return CreateWindowExA(0, kMainFrameClassName, productName, WS_DISABLED, 0, 0, 0, 0, nullptr,
                           nullptr, exeInstance, nullptr);
}
