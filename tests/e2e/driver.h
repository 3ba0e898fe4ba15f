// What the end-to-end tests do to the program, the way Windows and a user do it:
// start it, find its windows by class, send it messages and keystrokes, click, read the
// screen and the registry, and wait for it to end.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace e2e {

// The Windows path under Wine of a Unix path.
std::string WindowsPath(const std::string& unixPath);

// The Prismolenteer.exe under test, in the build tree.
inline std::string ProgramPath()
{
    return WindowsPath(PL_PROGRAM_UNIX_PATH);
}

// A started process. Terminated on destruction if it is still running, so that a failed
// test leaves nothing behind for the next one.
class Process {
public:
    Process() = default;
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const std::string& exePath);
    // True when the process ended within the time; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool IsRunning() const;
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    DWORD ThreadId() const { return info_.dwThreadId; }  // the program's GUI thread
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
};

// A folder of its own under the build tree holding a copy of Prismolenteer.exe and, when
// named, one of the test language modules in <folder><user's LCID>\PLRes.dll. Nothing else
// lies beside the copy (no filter folder), so what it loads is known. Removed on
// destruction.
class ProgramCopy {
public:
    explicit ProgramCopy(const char* languageModule = nullptr);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    bool Ready() const { return ready_; }
    const std::string& ExePath() const { return exePath_; }

    // Writes a file beside the copy, for instance "filter\\mine.plf" (at most one folder
    // deep); removed with the copy.
    bool AddFile(const std::string& relativePath, const std::string& bytes);

private:
    std::string folder_, moduleFolder_, exePath_;
    std::vector<std::string> addedFiles_, addedFolders_;
    bool ready_ = false;
};

// The program's window classes.
extern const char kMainFrameClass[];  // the hidden main frame
extern const char kPreviewClass[];
extern const char kPanelClass[];
extern const char kSplashClass[];
const UINT kTrayMessage = WM_APP + 1;
const WPARAM kExitCommand = 1004;

// Ends the program as the tray menu's Exit does.
void ChooseExit(HWND mainFrame);

// The process's popup menu (class "#32768") once it shows, or null after timeoutMs.
HWND VisibleMenu(DWORD processId, DWORD timeoutMs);

// Opens the tray menu as a click on the icon does and chooses the item with the access key
// `key` ('O' Option, 'A' About, 'X' Exit). False when no menu showed.
bool ChooseFromTrayMenu(HWND mainFrame, DWORD processId, WORD key);

// Where the program's icon shows in the notification area, found by its colours (the
// spectrum's red and yellow, the prism's navy rim). False when it is not there.
bool FindTrayIcon(RECT* where);

// Top-level windows of a process (visible ones only when asked), in Z order.
std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly);

// A top-level window of the given class owned by the process (any process when 0),
// waiting up to timeoutMs for it to appear. Null when none appeared.
HWND WaitForWindow(const char* className, DWORD processId, DWORD timeoutMs);

// A visible top-level window of the given class owned by the process, now; null if none.
HWND VisibleWindow(const char* className, DWORD processId);

// Dispatches the messages waiting for the calling thread, so that windows the driver
// made itself (a test pattern, say) keep painting while it waits.
void PumpMessages();

// Polls `condition` every 10 ms until it holds or timeoutMs pass, pumping messages.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(10);
    }
}

// Waits the given time, pumping messages.
void Pause(DWORD ms);

// True while some program holds the hotkey `virtualKey` without modifiers (this process
// could not register it).
bool HotkeyTaken(UINT virtualKey);

// A visible dialog of the process with the given caption, waiting up to timeoutMs for it.
HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs);
// How many visible dialogs of the process bear the caption.
int CountDialogs(DWORD processId, const char* caption);

// The window with the keyboard focus in the thread that owns `window`, any process.
HWND FocusOf(HWND window);

// Makes the top-level window of `window` the foreground window, as a user's first click on
// it would. Under Wine a dialog can lose the activation shortly after it was shown, and a
// click that has to activate it again is sometimes lost; so the clicks below, and tests
// before they type, activate the window first.
void MakeForeground(HWND window);

// The rows of a list box or a combo box's list, of any process; a click on a list box row.
std::vector<std::string> ListRows(HWND list);
void ClickListRow(HWND list, int row);
// A click in the middle of a control.
void ClickControl(HWND control);

// Keyboard and mouse input through SendInput, as a user's.
void PressKey(WORD virtualKey);
void PressKeyWithModifiers(WORD virtualKey, bool ctrl, bool alt);
void MoveCursor(int x, int y);  // retries until GetCursorPos agrees
void Click(int x, int y, bool rightButton = false);
// Presses the left button at `from`, moves to `to` in small steps, and lets go there.
void Drag(POINT from, POINT to);

// Pixels of the screen the user sees.
COLORREF ScreenPixel(int x, int y);
// A rectangle of screen pixels as COLORREFs, row by row from the top.
std::vector<COLORREF> ScreenPixels(const RECT& area);

// Switches the display (Wine's virtual desktop) to another mode for the life of the object:
// a size, and a colour depth when `bitsPerPixel` is not 0.
class DisplayMode {
public:
    DisplayMode(int width, int height, int bitsPerPixel = 0);
    ~DisplayMode();
    DisplayMode(const DisplayMode&) = delete;
    DisplayMode& operator=(const DisplayMode&) = delete;
    bool Changed() const { return changed_; }

private:
    bool changed_ = false;
};

// The program's registry key under HKEY_CURRENT_USER.
extern const char kProgramKey[];
bool ReadRegistryDword(const char* subKey, const char* name, DWORD* value);
bool ReadRegistryString(const char* subKey, const char* name, std::string* value);
void WriteRegistryDword(const char* subKey, const char* name, DWORD value);
void WriteRegistryString(const char* subKey, const char* name, const char* value);
void DeleteRegistryKey(const char* subKey);

}  // namespace e2e
