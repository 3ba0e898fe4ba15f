// The end-to-end driver's means of acting on the program.

#include "tests/e2e/driver.h"

#include <algorithm>

namespace e2e {

const char kProgramKey[] = "Software\\morvask\\Prismolenteer";
const char kMainFrameClass[] = "mainframe.wndclass.prismolenteer.morvask";
const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";
const char kPanelClass[] = "operatepanel.wndclass.prismolenteer.morvask";
const char kSplashClass[] = "splash.wndclass.prismolenteer.morvask";

std::string WindowsPath(const std::string& unixPath)
{
    // Wine maps the Unix root to drive Z:.
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

Process::~Process()
{
    Kill();
    if (info_.hProcess != nullptr)
        CloseHandle(info_.hProcess);
    if (info_.hThread != nullptr)
        CloseHandle(info_.hThread);
}

ProgramCopy::ProgramCopy(const char* languageModule)
{
    const std::string program = ProgramPath();
    folder_ = program.substr(0, program.rfind('\\') + 1) + "e2e-copy\\";
    exePath_ = folder_ + "Prismolenteer.exe";
    moduleFolder_ = folder_ + std::to_string(GetUserDefaultLCID()) + "\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    ready_ = CopyFileA(program.c_str(), exePath_.c_str(), FALSE) != 0;
    if (ready_ && languageModule != nullptr) {
        const std::string module = WindowsPath(std::string(PL_LANGUAGE_MODULES_UNIX_DIR) + "/" +
                                               languageModule + "/PLRes.dll");
        CreateDirectoryA(moduleFolder_.c_str(), nullptr);
        ready_ = CopyFileA(module.c_str(), (moduleFolder_ + "PLRes.dll").c_str(), FALSE) != 0;
    }
}

bool ProgramCopy::AddFile(const std::string& relativePath, const std::string& bytes)
{
    const size_t separator = relativePath.rfind('\\');
    if (separator != std::string::npos) {
        const std::string subFolder = folder_ + relativePath.substr(0, separator);
        if (CreateDirectoryA(subFolder.c_str(), nullptr))
            addedFolders_.push_back(subFolder);
    }
    const std::string path = folder_ + relativePath;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    addedFiles_.push_back(path);
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

ProgramCopy::~ProgramCopy()
{
    for (const std::string& file : addedFiles_)
        DeleteFileA(file.c_str());
    for (const std::string& folder : addedFolders_)
        RemoveDirectoryA(folder.c_str());
    DeleteFileA((moduleFolder_ + "PLRes.dll").c_str());
    RemoveDirectoryA(moduleFolder_.c_str());
    DeleteFileA(exePath_.c_str());
    RemoveDirectoryA(folder_.c_str());
}

void ChooseExit(HWND mainFrame)
{
    PostMessageA(mainFrame, WM_COMMAND, kExitCommand, 0);
}

HWND VisibleMenu(DWORD processId, DWORD timeoutMs)
{
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            menu = VisibleWindow("#32768", processId);
            return menu != nullptr;
        },
        timeoutMs);
    return menu;
}

bool ChooseFromTrayMenu(HWND mainFrame, DWORD processId, WORD key)
{
    PostMessageA(mainFrame, kTrayMessage, 1, WM_RBUTTONUP);
    HWND menu = VisibleMenu(processId, 5000);
    if (menu == nullptr)
        return false;
    PressKey(key);
    // The next command must not find this menu still closing.
    WaitUntil([&] { return !IsWindowVisible(menu); }, 5000);
    return true;
}

bool FindTrayIcon(RECT* where)
{
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    RECT area;
    if (tray == nullptr || !IsWindowVisible(tray) || !GetWindowRect(tray, &area))
        return false;
    const std::vector<COLORREF> pixels = ScreenPixels(area);
    const int width = area.right - area.left;
    int red = 0, yellow = 0, navy = 0;
    RECT found{area.right, area.bottom, area.left, area.top};
    for (size_t i = 0; i < pixels.size(); ++i) {
        const COLORREF pixel = pixels[i];
        if (pixel == RGB(255, 0, 0))
            ++red;
        else if (pixel == RGB(255, 255, 0))
            ++yellow;
        else if (pixel == RGB(0, 0, 128))
            ++navy;
        else
            continue;
        const LONG x = area.left + static_cast<LONG>(i % width);
        const LONG y = area.top + static_cast<LONG>(i / width);
        found.left = std::min(found.left, x);
        found.top = std::min(found.top, y);
        found.right = std::max(found.right, x + 1);
        found.bottom = std::max(found.bottom, y + 1);
    }
    if (red < 2 || yellow < 2 || navy < 8)
        return false;
    if (where != nullptr)
        *where = found;
    return true;
}

bool Process::Start(const std::string& exePath)
{
    std::string folder = exePath.substr(0, exePath.rfind('\\') + 1);
    std::string commandLine = "\"" + exePath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    return CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info_) != 0;
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode != nullptr)
        GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

bool Process::IsRunning() const
{
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void Process::Kill()
{
    if (IsRunning()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
}

namespace {

struct WindowQuery {
    DWORD processId;
    bool visibleOnly;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    WindowQuery& query = *reinterpret_cast<WindowQuery*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (query.processId != 0 && owner != query.processId)
        return TRUE;
    if (query.visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (query.className != nullptr) {
        char name[256] = "";
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpA(name, query.className) != 0)
            return TRUE;
    }
    query.found.push_back(window);
    return TRUE;
}

void SendKey(WORD virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, bool visibleOnly)
{
    WindowQuery query{processId, visibleOnly, nullptr, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForWindow(const char* className, DWORD processId, DWORD timeoutMs)
{
    HWND result = nullptr;
    WaitUntil(
        [&] {
            WindowQuery query{processId, false, className, {}};
            EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
            result = query.found.empty() ? nullptr : query.found.front();
            return result != nullptr;
        },
        timeoutMs);
    return result;
}

HWND VisibleWindow(const char* className, DWORD processId)
{
    WindowQuery query{processId, true, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.found.empty() ? nullptr : query.found.front();
}

bool HotkeyTaken(UINT virtualKey)
{
    if (!RegisterHotKey(nullptr, 0xBFFF, 0, virtualKey))
        return true;
    UnregisterHotKey(nullptr, 0xBFFF);
    return false;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Pause(DWORD ms)
{
    WaitUntil([] { return false; }, ms);
}

namespace {

std::vector<HWND> Dialogs(DWORD processId, const char* caption)
{
    std::vector<HWND> found;
    for (HWND window : TopLevelWindows(processId, true)) {
        char name[16] = "", title[256] = "";
        GetClassNameA(window, name, sizeof name);
        GetWindowTextA(window, title, sizeof title);
        if (lstrcmpA(name, "#32770") == 0 && lstrcmpA(title, caption) == 0)
            found.push_back(window);
    }
    return found;
}

}  // namespace

HWND WaitForDialog(DWORD processId, const char* caption, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> found = Dialogs(processId, caption);
            dialog = found.empty() ? nullptr : found.front();
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

int CountDialogs(DWORD processId, const char* caption)
{
    return static_cast<int>(Dialogs(processId, caption).size());
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

std::vector<std::string> ListRows(HWND list)
{
    char className[16] = "";
    GetClassNameA(list, className, sizeof className);
    const bool combo = lstrcmpiA(className, "ComboBox") == 0;
    std::vector<std::string> rows;
    const LRESULT count = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        // The A call returns UTF-16 bytes across processes under Wine; the W call is right.
        wchar_t text[256] = L"";
        if (SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, row, 0) >= 256)
            continue;
        SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
        char narrow[256] = "";
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        rows.push_back(narrow);
    }
    return rows;
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

void ClickListRow(HWND list, int row)
{
    MakeForeground(list);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(list, &centre);
    Click(centre.x, centre.y);
}

void ClickControl(HWND control)
{
    MakeForeground(control);
    RECT area{};
    GetWindowRect(control, &area);
    Click((area.left + area.right) / 2, (area.top + area.bottom) / 2);
}

void PressKey(WORD virtualKey)
{
    PressKeyWithModifiers(virtualKey, false, false);
}

void PressKeyWithModifiers(WORD virtualKey, bool ctrl, bool alt)
{
    if (ctrl)
        SendKey(VK_CONTROL, false);
    if (alt)
        SendKey(VK_MENU, false);
    SendKey(virtualKey, false);
    SendKey(virtualKey, true);
    if (alt)
        SendKey(VK_MENU, true);
    if (ctrl)
        SendKey(VK_CONTROL, true);
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

namespace {

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

void Drag(POINT from, POINT to)
{
    MoveCursor(from.x, from.y);
    SendMouse(MOUSEEVENTF_LEFTDOWN, from.x, from.y);
    Pause(50);
    const int steps = 10;
    for (int step = 1; step <= steps; ++step) {
        SendMouse(0, from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps);
        Pause(20);
    }
    SendMouse(MOUSEEVENTF_LEFTUP, to.x, to.y);
    Pause(50);
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

std::vector<COLORREF> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    std::vector<COLORREF> pixels;
    if (width <= 0 || height <= 0)
        return pixels;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down, to match the order we return
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<DWORD> bits(static_cast<size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, bits.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    pixels.reserve(bits.size());
    for (DWORD bgrx : bits)  // 32-bit DIB pixels are 0x00RRGGBB
        pixels.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
    return pixels;
}

DisplayMode::DisplayMode(int width, int height, int bitsPerPixel)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmBitsPerPel = bitsPerPixel;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | (bitsPerPixel != 0 ? DM_BITSPERPEL : 0);
    changed_ = ChangeDisplaySettingsA(&mode, 0) == DISP_CHANGE_SUCCESSFUL &&
               GetSystemMetrics(SM_CXSCREEN) == width && GetSystemMetrics(SM_CYSCREEN) == height;
}

DisplayMode::~DisplayMode()
{
    ChangeDisplaySettingsA(nullptr, 0);  // back to the mode in the registry
}

bool ReadRegistryDword(const char* subKey, const char* name, DWORD* value)
{
    DWORD type = 0, size = sizeof *value;
    return RegGetValueA(HKEY_CURRENT_USER, subKey, name, RRF_RT_ANY, &type, value, &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

bool ReadRegistryString(const char* subKey, const char* name, std::string* value)
{
    char buffer[4096];
    DWORD type = 0, size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, subKey, name, RRF_RT_ANY, &type, buffer, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    *value = buffer;
    return true;
}

void WriteRegistryDword(const char* subKey, const char* name, DWORD value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, subKey, name, REG_DWORD, &value, sizeof value);
}

void WriteRegistryString(const char* subKey, const char* name, const char* value)
{
    RegSetKeyValueA(HKEY_CURRENT_USER, subKey, name, REG_SZ, value,
                    static_cast<DWORD>(lstrlenA(value) + 1));
}

void DeleteRegistryKey(const char* subKey)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, subKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, subKey);
}

}  // namespace e2e
