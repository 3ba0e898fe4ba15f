// The end-to-end driver's means of acting on the program.

#include "tests/e2e/driver.h"

#include <algorithm>

namespace e2e {

const char kMainFrameClass[] = "mainframe.wndclass.prismolenteer.morvask";
const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";
const char kPanelClass[] = "operatepanel.wndclass.prismolenteer.morvask";
const char kSplashClass[] = "splash.wndclass.prismolenteer.morvask";

namespace {

const char kProgramKey[] = "Software\\morvask\\Prismolenteer";

void SendKey(WORD virtualKey, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A mouse input at an absolute screen position, as a real mouse reports it.
void SendMouse(DWORD flags, int x, int y)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

}  // namespace

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;  // Wine maps the Unix root to drive Z:
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool Process::Start(const std::string& exePath)
{
    Close();
    std::string commandLine = "\"" + exePath + "\"";
    const std::string folder = exePath.substr(0, exePath.rfind('\\') + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info_) != 0;
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    return info_.hProcess != nullptr &&
           WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(info_.hProcess, exitCode);
}

bool Process::IsRunning() const
{
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Close()
{
    if (IsRunning()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    if (info_.hProcess != nullptr) {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    info_ = {};
}

Process::~Process()
{
    Close();
}

ProgramCopy::ProgramCopy()
{
    const std::string program = WindowsPath(PL_PROGRAM_UNIX_PATH);
    folder_ = program.substr(0, program.rfind('\\') + 1) + "e2e-copy\\";
    exePath_ = folder_ + "Prismolenteer.exe";
    CreateDirectoryA(folder_.c_str(), nullptr);
    CreateDirectoryA((folder_ + "filter").c_str(), nullptr);
    ready_ = CopyFileA(program.c_str(), exePath_.c_str(), FALSE) != 0;
}

std::vector<std::string> ProgramCopy::AddShippedFilters()
{
    const std::string shipped = WindowsPath(PL_FILTER_DATA_UNIX_DIR) + "\\";
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((shipped + "*.plf").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        files.push_back(shipped + found.cFileName);
        copied_.push_back(folder_ + "filter\\" + found.cFileName);
        CopyFileA(files.back().c_str(), copied_.back().c_str(), FALSE);
    }
    FindClose(search);
    std::sort(files.begin(), files.end());
    return files;
}

ProgramCopy::~ProgramCopy()
{
    for (const std::string& file : copied_)
        DeleteFileA(file.c_str());
    RemoveDirectoryA((folder_ + "filter").c_str());
    DeleteFileA(exePath_.c_str());
    RemoveDirectoryA(folder_.c_str());
}

void Pause(DWORD ms)
{
    WaitUntil([] { return false; }, ms);
}

namespace {

struct WindowQuery {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    WindowQuery& query = *reinterpret_cast<WindowQuery*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner == query.processId && (!query.visibleOnly || IsWindowVisible(window)) &&
        (query.className == nullptr || lstrcmpA(name, query.className) == 0))
        query.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> WindowsOf(DWORD processId, const char* className, bool visibleOnly)
{
    WindowQuery query{processId, className, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND VisibleWindow(DWORD processId, const char* className)
{
    const std::vector<HWND> found = WindowsOf(processId, className, true);
    return found.empty() ? nullptr : found.front();
}

HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs)
{
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = WindowsOf(processId, className, false)).empty(); },
              timeoutMs);
    return found.empty() ? nullptr : found.front();
}

std::vector<HWND> Dialogs(DWORD processId, const char* caption)
{
    std::vector<HWND> found;
    for (HWND window : WindowsOf(processId, "#32770", true)) {
        char title[256] = "";
        GetWindowTextA(window, title, sizeof title);
        if (lstrcmpA(title, caption) == 0)
            found.push_back(window);
    }
    return found;
}

HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs)
{
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = Dialogs(processId, caption)).empty(); }, timeoutMs);
    return found.empty() ? nullptr : found.front();
}

bool HotkeyTaken(UINT virtualKey)
{
    if (!RegisterHotKey(nullptr, 0xBFFF, 0, virtualKey))
        return true;
    UnregisterHotKey(nullptr, 0xBFFF);
    return false;
}

bool FindTrayIcon(RECT* where)
{
    // The icon's spectrum holds pure red and yellow, its prism a navy rim: colours nothing
    // else in Wine's taskbar has.
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    RECT area;
    if (tray == nullptr || !IsWindowVisible(tray) || !GetWindowRect(tray, &area))
        return false;
    const std::vector<COLORREF> pixels = ScreenPixels(area);
    const LONG width = area.right - area.left;
    int red = 0, yellow = 0, navy = 0;
    RECT found{area.right, area.bottom, area.left, area.top};
    for (size_t i = 0; i < pixels.size(); ++i) {
        red += pixels[i] == RGB(255, 0, 0);
        yellow += pixels[i] == RGB(255, 255, 0);
        navy += pixels[i] == RGB(0, 0, 128);
        if (pixels[i] != RGB(255, 0, 0) && pixels[i] != RGB(255, 255, 0) &&
            pixels[i] != RGB(0, 0, 128))
            continue;
        const LONG x = area.left + static_cast<LONG>(i) % width;
        const LONG y = area.top + static_cast<LONG>(i) / width;
        found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
                 std::max(found.bottom, y + 1)};
    }
    if (where != nullptr)
        *where = found;
    return red >= 2 && yellow >= 2 && navy >= 8;
}

bool ChooseFromTrayMenu(HWND frame, DWORD processId, WORD key)
{
    PostMessageA(frame, WM_APP + 1, 1, WM_RBUTTONUP);  // the icon's callback message
    HWND menu = nullptr;
    if (!WaitUntil([&] { return (menu = VisibleWindow(processId, "#32768")) != nullptr; },
                   kWaitMs))
        return false;
    PressKey(key);
    // The next command must not find this menu still closing.
    return WaitUntil([&] { return !IsWindowVisible(menu); }, kWaitMs);
}

void MakeForeground(HWND window)
{
    HWND root = GetAncestor(window, GA_ROOT);
    WaitUntil(
        [&] {
            if (GetForegroundWindow() == root)
                return true;
            SetForegroundWindow(root);
            Sleep(20);
            return false;
        },
        2000);
}

void ClickControl(HWND control)
{
    MakeForeground(control);
    RECT area{};
    GetWindowRect(control, &area);
    Click((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

std::vector<std::string> ListRows(HWND list)
{
    std::vector<std::string> rows;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        // Across processes the A message copies UTF-16 bytes under Wine; the W one is right.
        wchar_t text[256] = L"";
        if (SendMessageW(list, LB_GETTEXTLEN, row, 0) < 256)
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        char narrow[256] = "";
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        rows.push_back(narrow);
    }
    return rows;
}

void ClickListRow(HWND list, int row)
{
    MakeForeground(list);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list, &centre);
    Click(centre.x, centre.y);
}

void PressKey(WORD virtualKey)
{
    SendKey(virtualKey, 0);
    SendKey(virtualKey, KEYEVENTF_KEYUP);
}

void MoveCursor(int x, int y)
{
    // Under load the position read back right after a move can still be the old one.
    WaitUntil(
        [&] {
            SetCursorPos(x, y);
            Sleep(5);
            POINT now{};
            GetCursorPos(&now);
            return now.x == x && now.y == y;
        },
        2000);
}

void Click(int x, int y, bool rightButton)
{
    MoveCursor(x, y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    // Under Wine a press sent at once after the cursor moved was now and then lost (about
    // one click in sixty on a dialog's check box); a short pause after the move ends that.
    Sleep(50);
    SendInput(2, inputs, sizeof inputs[0]);
}

void Drag(POINT from, POINT to)
{
    MoveCursor(from.x, from.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from.x, from.y);
    Pause(50);
    for (int step = 1; step <= 10; ++step) {
        SendMouse(0, from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10);
        Pause(20);
    }
    SendMouse(MOUSEEVENTF_LEFTUP, to.x, to.y);
    Pause(50);
}

std::vector<COLORREF> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> bits(static_cast<size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, bits.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (DWORD xrgb : bits)
        pixels.push_back(RGB(xrgb >> 16 & 0xFF, xrgb >> 8 & 0xFF, xrgb & 0xFF));
    return pixels;
}

DisplayMode::DisplayMode(int width, int height)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    changed_ = ChangeDisplaySettingsA(&mode, 0) == DISP_CHANGE_SUCCESSFUL &&
               GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

std::string StoredValue(const char* name)
{
    char buffer[1024];
    DWORD type = 0, size = sizeof buffer - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_ANY, &type, buffer, &size) !=
        ERROR_SUCCESS)
        return "(missing)";
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD*>(buffer));
    buffer[size] = '\0';
    return type == REG_SZ ? buffer : "(missing)";
}

void StoreNumber(const char* name, DWORD value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kProgramKey, name, REG_DWORD, &value, sizeof value);
}

void StoreText(const char* name, const char* value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, kProgramKey, name, REG_SZ, value,
                    static_cast<DWORD>(lstrlenA(value) + 1));
}

void DeleteProgramKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
}

}  // namespace e2e
