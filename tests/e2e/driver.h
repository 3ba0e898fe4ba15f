// The end-to-end driver, which acts on the program as Windows and a user do, and the
// scenarios' one fixture.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "preview/operate_panel.h"
#include "res/resource.h"
#include "tests/support/message_boxes.h"
#include "tests/support/screen_pixels.h"
#include "tray/main_frame.h"

const DWORD kWaitMs = 10000;  // generous: other builds and tests share the two cores
const char kProgramKey[] = "Software\\morvask\\Prismolenteer";
const char kMainFrameClass[] = "mainframe.wndclass.prismolenteer.morvask";
const char kSplashClass[] = "splash.wndclass.prismolenteer.morvask";
const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";
const char kPanelClass[] = "operatepanel.wndclass.prismolenteer.morvask";

// Polls every 10 ms until `condition` holds or the time is up, dispatching this thread's
// messages so that the driver's own windows keep painting.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kWaitMs)
{
    for (const DWORD start = GetTickCount();; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        const bool met = condition();
        if (met || GetTickCount() - start >= timeoutMs)
            return met;
    }
}

inline void Pause(DWORD ms) { WaitUntil([] { return false; }, ms); }

inline std::string WindowsPath(std::string unixPath)
{
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return "Z:" + unixPath;  // Wine maps the Unix root to drive Z:
}

// A text of the ANSI code page in UTF-16.
inline std::wstring Widen(const std::string& ansi)
{
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()))));
    return wide;
}

// Starts a program; its handles are left to the end of the test process.
inline PROCESS_INFORMATION StartProgram(const std::wstring& exePath, const std::wstring& arguments = L"")
{
    PROCESS_INFORMATION process{};
    STARTUPINFOW startup{sizeof startup};
    std::wstring commandLine = L'"' + exePath + L"\" " + arguments;
    CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                   &startup, &process);
    return process;
}

inline PROCESS_INFORMATION StartProgram(const std::string& exePath, const std::string& arguments = "")
{
    return StartProgram(Widen(exePath), Widen(arguments));
}

inline bool Ended(const PROCESS_INFORMATION& process, DWORD timeoutMs, DWORD* exitCode)
{
    return WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process.hProcess, exitCode);
}

// The process's first visible top-level window of the class, or null.
inline HWND VisibleWindow(DWORD processId, const char* className)
{
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, className, nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// True while some program holds the key as a hotkey without modifiers.
inline bool HotkeyTaken(UINT key)
{
    return !RegisterHotKey(nullptr, 9, 0, key) || !UnregisterHotKey(nullptr, 9);
}

inline void PressKey(WORD virtualKey)
{
    for (DWORD flags : {0ul, static_cast<DWORD>(KEYEVENTF_KEYUP)}) {
        INPUT input{INPUT_KEYBOARD};
        input.ki = {virtualKey, static_cast<WORD>(MapVirtualKeyA(virtualKey, 0)), flags};
        SendInput(1, &input, sizeof input);
    }
}

// Mouse input at a point of the screen, as a real mouse reports it: the position travels
// with a press (a press alone, at the cursor, was now and then lost under Wine).
inline void SendMouse(DWORD flags, POINT at)
{
    INPUT input{INPUT_MOUSE};
    input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
                MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0,
                flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE};
    SendInput(1, &input, sizeof input);
}

inline void MoveCursor(POINT to)
{
    // Under load the position read back right after a move can still be the old one.
    POINT now{};
    WaitUntil([&] { return SetCursorPos(to.x, to.y) && (Sleep(5), GetCursorPos(&now)) &&
                           now.x == to.x && now.y == to.y; }, 2000);
}

inline void Click(POINT at, bool rightButton = false)
{
    MoveCursor(at);
    Sleep(50);  // a press sent at once after the move was now and then lost under Wine
    SendMouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, at);
    SendMouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, at);
}

// Presses the left button at `from`, moves to `to` in steps, and lets go there.
inline void Drag(POINT from, POINT to)
{
    MoveCursor(from);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from);
    for (int step = 1; step <= 10; ++step, Pause(20))
        SendMouse(0, {from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
    SendMouse(MOUSEEVENTF_LEFTUP, to);
    Pause(50);
}

// Clicks the middle of a window, or of a row when it is a list box, once its top-level
// window is active, as after a user's first click. Under Wine an activation can arrive late
// and move the focus under a click (a button then loses its press): it must hold.
inline void ClickIn(HWND window, int listRow = -1)
{
    HWND root = GetAncestor(window, GA_ROOT);
    DWORD since = 0;
    WaitUntil([&] {
        GUITHREADINFO info{sizeof info};
        GetGUIThreadInfo(GetWindowThreadProcessId(root, nullptr), &info);
        if (GetForegroundWindow() != root || info.hwndActive != root)
            since = 0, SetForegroundWindow(root);
        else if (since == 0)
            since = GetTickCount();
        return since != 0 && GetTickCount() - since >= 200;
    });
    RECT part{};
    if (listRow < 0)
        GetClientRect(window, &part);
    else
        SendMessageA(window, LB_GETITEMRECT, listRow, reinterpret_cast<LPARAM>(&part));
    POINT middle{(part.left + part.right) / 2, (part.top + part.bottom) / 2};
    ClientToScreen(window, &middle);
    Click(middle);
}

// A point of the program's icon in the taskbar, found by colours nothing else there has:
// the spectrum's pure red and the prism's navy rim.
inline bool FindTrayIcon(POINT* where = nullptr)
{
    RECT bar{};
    if (!GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &bar))
        return false;
    const std::vector<COLORREF> pixels = ScreenPixels(bar);
    const auto red = std::find(pixels.begin(), pixels.end(), RGB(255, 0, 0));
    if (red == pixels.end() || std::count(pixels.begin(), pixels.end(), RGB(0, 0, 128)) < 8)
        return false;
    const LONG i = static_cast<LONG>(red - pixels.begin()), width = bar.right - bar.left;
    if (where != nullptr)
        *where = {bar.left + i % width, bar.top + i / width};
    return true;
}

// A value of the program's key (or another of the user's) as stored, or "(missing)".
inline std::string StoredValue(const char* name, const char* key = kProgramKey)
{
    char value[1024] = "";
    DWORD type = 0, size = sizeof value - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &type, value, &size))
        return "(missing)";
    return type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(value)) : value;
}

inline void Store(const char* name, DWORD value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kProgramKey, name, REG_DWORD, &value, sizeof value);
}

inline void Store(const char* name, const char* text)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kProgramKey, name, REG_SZ, text, lstrlenA(text) + 1);
}

// A fresh copy of the program with the shipped filter files beside it, started over an
// empty registry key and ended through the tray menu with exit code 0.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
        CopyProgram(L"e2e-copy");
    }

    // Copies the program and the shipped filter files into the folder `name` beside the
    // program, where Start starts it.
    void CopyProgram(const std::wstring& name)
    {
        const std::wstring program = Widen(WindowsPath(PL_PROGRAM_UNIX_PATH));
        const std::wstring shipped = Widen(WindowsPath(PL_FILTER_DATA_UNIX_DIR)) + L"\\";
        folder_ = program.substr(0, program.rfind(L'\\')) + L"\\" + name + L"\\";
        exePath_ = folder_ + L"Prismolenteer.exe";
        filterFolder_ = folder_ + L"filter\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW(filterFolder_.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(program.c_str(), exePath_.c_str(), FALSE));
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((shipped + L"*.plf").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            ASSERT_TRUE(CopyFileW((shipped + found.cFileName).c_str(),
                                  (filterFolder_ + found.cFileName).c_str(), FALSE));
        FindClose(search);
    }

    void TearDown() override
    {
        DWORD exitCode = 0;
        if (program_.hProcess != nullptr && !Ended(program_, 0, &exitCode))
            Exit();
        TerminateProcess(program_.hProcess, 99);  // if it would not end
        RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
        ChangeDisplaySettingsA(nullptr, 0);  // back to the desktop's size, if a scenario changed it
    }

    // Starts the copy and waits for its hidden main frame and (registered after the frame
    // is listed) its hotkey, unless another program holds it. The hotkey is looked at only
    // once start-up is over: a look registers it for a moment, and could take it from under
    // the program's own registration.
    void Start(bool waitForHotkey = true)
    {
        program_ = StartProgram(exePath_);
        EXPECT_TRUE(WaitUntil([&] { return (frame_ = FindWindowA(kMainFrameClass, nullptr)); }));
        WaitForInputIdle(program_.hProcess, 30000);
        EXPECT_TRUE(!waitForHotkey || WaitUntil([] { return HotkeyTaken(VK_F11); }));
    }

    // Opens the tray menu as a click on the icon does and chooses an item by its key.
    bool ChooseFromTrayMenu(WORD key)
    {
        HWND menu = nullptr;
        PostMessageA(frame_, WM_TASKTRAY, ID_TRAY_ICON, WM_RBUTTONUP);
        if (!WaitUntil([&] { return (menu = TrayMenu()); }))
            return false;
        PressKey(key);
        return WaitUntil([&] { return !IsWindowVisible(menu); });  // gone before what follows
    }

    void Exit()
    {
        DWORD exitCode = 12345;
        EXPECT_TRUE(ChooseFromTrayMenu('X')) << "no tray menu";
        ASSERT_TRUE(Ended(program_, kWaitMs, &exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    static std::vector<std::string> StoredSettings()
    {
        std::vector<std::string> lines;
        for (const char* name : {"Position", "NoSplash", "EnableHotkeyAction", "HotkeyVKey",
                                 "HotkeyCtrl", "HotkeyAlt", "EnableMouseAction",
                                 "MouseActionPosition", "EnableFilters"})
            lines.push_back(std::string(name) + "=" + StoredValue(name));
        return lines;
    }

    HWND Preview() const { return VisibleWindow(Id(), kPreviewClass); }
    HWND Panel() const { return VisibleWindow(Id(), kPanelClass); }
    HWND TrayMenu() const { return VisibleWindow(Id(), "#32768"); }
    bool PreviewShown() const { return Preview() != nullptr && Panel() != nullptr; }
    bool PreviewGone() const { return Preview() == nullptr && Panel() == nullptr; }
    std::vector<HWND> Boxes() const { return MessageBoxesOf(Id()); }
    DWORD Id() const { return program_.dwProcessId; }

    std::wstring folder_, filterFolder_, exePath_;
    PROCESS_INFORMATION program_{};
    HWND frame_ = nullptr;
};
