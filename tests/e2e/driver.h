// What the end-to-end scenarios do to the program, the way Windows and a user do it: start
// a copy of it, find its windows, click and type, read the screen and the registry.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace e2e {

// Generous: other builds and tests share the machine's two cores.
const DWORD kWaitMs = 10000;

extern const char kMainFrameClass[];
extern const char kPreviewClass[];
extern const char kPanelClass[];
extern const char kSplashClass[];

// The Windows path under Wine of a Unix path.
std::string WindowsPath(const std::string& unixPath);

// A started process; terminated on destruction if it still runs, so that a failed
// scenario leaves nothing behind for the next.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    bool Start(const std::string& exePath);
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    bool IsRunning() const;
    DWORD Id() const { return info_.dwProcessId; }

private:
    void Close();
    PROCESS_INFORMATION info_{};
};

// A copy of Prismolenteer.exe in a folder of its own, with a filter folder only when asked
// for, so that what it loads is known. Removed on destruction.
class ProgramCopy {
public:
    ProgramCopy();
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    bool Ready() const { return ready_; }
    const std::string& ExePath() const { return exePath_; }
    // Copies the shipped filter files into the copy's filter folder; their Windows paths,
    // sorted by name.
    std::vector<std::string> AddShippedFilters();

private:
    std::string folder_, exePath_;
    std::vector<std::string> copied_;
    bool ready_ = false;
};

// Polls `condition` every 10 ms until it holds or timeoutMs pass, dispatching this
// thread's messages so that the driver's own windows keep painting.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(10);
    }
}
void Pause(DWORD ms);

// Top-level windows of a process of a class (any class when null), in Z order.
std::vector<HWND> WindowsOf(DWORD processId, const char* className, bool visibleOnly);
// The first visible one now, or null.
HWND VisibleWindow(DWORD processId, const char* className);
// The first one, shown or not, waiting up to timeoutMs for it; null when none came.
HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs);
// The visible dialogs of a process that bear the caption.
std::vector<HWND> Dialogs(DWORD processId, const char* caption);
HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs);

// True while some program holds the key as a hotkey without modifiers.
bool HotkeyTaken(UINT virtualKey);

// Where the program's icon shows in the taskbar, found by its colours; false when absent.
bool FindTrayIcon(RECT* where);
// Opens the tray menu as a click on the icon does and chooses an item by its access key.
bool ChooseFromTrayMenu(HWND frame, DWORD processId, WORD key);

// Makes the top-level window of `window` the foreground window, as a user's first click
// on it would. Under Wine a dialog can lose the activation shortly after it was shown and
// a click that has to activate it again is sometimes lost; so clicks activate first.
void MakeForeground(HWND window);
void ClickControl(HWND control);
// The rows of another process's list box; a click on one.
std::vector<std::string> ListRows(HWND list);
void ClickListRow(HWND list, int row);

void PressKey(WORD virtualKey);
void MoveCursor(int x, int y);
void Click(int x, int y, bool rightButton = false);
// Presses the left button at `from`, moves to `to` in small steps and lets go there.
void Drag(POINT from, POINT to);

// A rectangle of the screen the user sees, as COLORREFs row by row from the top.
std::vector<COLORREF> ScreenPixels(const RECT& area);

// Switches the display (Wine's virtual desktop) to another size for the life of the object.
class DisplayMode {
public:
    DisplayMode(int width, int height);
    ~DisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }
    bool Changed() const { return changed_; }

private:
    bool changed_ = false;
};

// The program's values under HKEY_CURRENT_USER: a number or a text as stored, or
// "(missing)" when absent or of another type.
std::string StoredValue(const char* name);
void StoreNumber(const char* name, DWORD value);
void StoreText(const char* name, const char* value);
void DeleteProgramKey();

}  // namespace e2e
