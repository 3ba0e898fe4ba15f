// A scripted demonstration for machines without a display (scripts/run.sh runs it on a
// private X server): shows the sample picture full-screen, starts Prismolenteer, opens the
// preview with its hotkey, chooses every enabled filter in turn from the operate panel,
// and saves what the screen shows each time as a PNG file; then opens the live view from
// the preview's menu through deuteranopia, points at the sample's dot plate and saves the
// screen with the live window beside the picture.
//
//   demo.exe <Prismolenteer.exe> <sample.bmp> <folder for the screenshots>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include <windows.h>

#include "app/image_file.h"
#include "preview/operate_panel.h"
#include "res/resource.h"

namespace {

const char kMainFrameClass[] = "mainframe.wndclass.prismolenteer.morvask";
const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";
const char kPanelClass[] = "operatepanel.wndclass.prismolenteer.morvask";
const char kSplashClass[] = "splash.wndclass.prismolenteer.morvask";
const char kLiveViewClass[] = "liveview.wndclass.prismolenteer.morvask";

HBITMAP picture;

// The picture, as large as it fits, on black.
LRESULT CALLBACK PictureProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcA(window, msg, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    BITMAP size{};
    GetObjectA(picture, sizeof size, &size);
    const int scale = std::max(1, std::min<int>(client.right / size.bmWidth, client.bottom / size.bmHeight));
    const int width = size.bmWidth * scale, height = size.bmHeight * scale;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, picture);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, (client.right - width) / 2, (client.bottom - height) / 2, width, height, memory,
               0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    EndPaint(window, &paint);
    return 0;
}

HWND ShowPicture(const char* path)
{
    picture = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    if (picture == nullptr)
        return nullptr;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PictureProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "demo.picture";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "demo.picture", "Sample picture", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(window);
    return window;
}

// Waits up to timeoutMs for `condition`, keeping the picture window painted meanwhile.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs)
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
        Sleep(20);
    }
}

void Pause(DWORD ms)
{
    WaitFor([] { return false; }, ms);
}

HWND VisibleWindow(const char* className)
{
    HWND window = FindWindowA(className, nullptr);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

void PressKey(WORD key)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// The screen as the user sees it, as a PNG file.
bool SaveScreen(const std::string& path)
{
    FrameBuffers frame{};
    SetFrameSize(frame, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    std::vector<uint8_t> pixels(FrameBytes(frame));
    frame.filtered = pixels.data();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, frame.width, frame.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, frame.width, frame.height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    GetDIBits(memory, bitmap, 0, frame.height, pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&frame.header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const std::wstring widePath(path.begin(), path.end());  // the paths of the demonstration are ASCII
    return WritePngFile(widePath.c_str(), FilteredPicture(frame), nullptr, nullptr, 0, true).status ==
           ImageStatus::Done;
}

// A file name from a display name: lower-case letters and digits, runs of anything else
// as one hyphen.
std::string FileNamePart(const std::wstring& text)
{
    std::string part;
    for (wchar_t c : text) {
        if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9'))
            part += static_cast<char>(c);
        else if (c >= L'A' && c <= L'Z')
            part += static_cast<char>(c - L'A' + 'a');
        else if (!part.empty() && part.back() != '-')
            part += '-';
    }
    while (!part.empty() && part.back() == '-')
        part.pop_back();
    return part.empty() ? "filter" : part;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "demo: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Fail("usage: demo.exe <Prismolenteer.exe> <sample.bmp> <folder for the screenshots>");
    const std::string folder = std::string(argv[3]) + "\\";
    CreateDirectoryA(argv[3], nullptr);

    HWND pictureWindow = ShowPicture(argv[2]);
    if (pictureWindow == nullptr)
        return Fail("cannot load the sample picture");
    Pause(500);
    if (!SaveScreen(folder + "0-screen.png"))
        return Fail("cannot save a screenshot");
    std::printf("%s0-screen.png: the screen as it is\n", folder.c_str());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program{};
    if (!CreateProcessA(argv[1], nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &program))
        return Fail("cannot start Prismolenteer.exe");
    HWND mainFrame = nullptr;
    if (!WaitFor([&] { return (mainFrame = FindWindowA(kMainFrameClass, nullptr)) != nullptr; }, 15000))
        return Fail("Prismolenteer did not start");
    // The splash window closes itself after two seconds.
    WaitFor([] { return VisibleWindow(kSplashClass) != nullptr; }, 3000);
    WaitFor([] { return VisibleWindow(kSplashClass) == nullptr; }, 5000);

    SetForegroundWindow(pictureWindow);
    PressKey(VK_F11);
    HWND panel = nullptr;
    if (!WaitFor([&] { return VisibleWindow(kPreviewClass) != nullptr &&
                              (panel = VisibleWindow(kPanelClass)) != nullptr; }, 10000))
        return Fail("F11 opened no preview");
    HWND list = GetDlgItem(panel, kPanelListId);
    const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));

    for (int row = 0; row < rows; ++row) {
        if (row > 0)
            PressKey(VK_DOWN);  // the panel's list has the keyboard
        WaitFor([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == row; }, 5000);
        Pause(500);  // the filtered picture is painted once the selection has changed
        wchar_t name[128] = L"";
        SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name));
        const std::string file = std::to_string(row + 1) + "-" + FileNamePart(name) + ".png";
        if (!SaveScreen(folder + file))
            return Fail("cannot save a screenshot");
        std::printf("%s%s: through \"%ls\"\n", folder.c_str(), file.c_str(), name);
    }

    PressKey(VK_ESCAPE);
    WaitFor([] { return VisibleWindow(kPreviewClass) == nullptr; }, 5000);

    // The live view, from the preview's menu through deuteranopia, over the dot plate (its
    // middle at (480, 185) of the 640 x 400 sample, in the middle of the screen), the live
    // window moved below the area it shows.
    Pause(500);
    PressKey(VK_F11);
    if (!WaitFor([&] { return (panel = VisibleWindow(kPanelClass)) != nullptr; }, 10000))
        return Fail("F11 opened no preview again");
    list = GetDlgItem(panel, kPanelListId);
    for (int row = 0; row < rows; ++row) {
        wchar_t name[128] = L"";
        SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name));
        if (std::wcsncmp(name, L"Deuteranopia", 12) == 0)
            for (int down = 0; down < row; ++down)
                PressKey(VK_DOWN);
    }
    Pause(500);
    PostMessageA(VisibleWindow(kPreviewClass), WM_CONTEXTMENU, 0, MAKELPARAM(600, 600));
    if (!WaitFor([] { return VisibleWindow("#32768") != nullptr; }, 5000))
        return Fail("the preview's menu did not open");
    PressKey('V');
    HWND live = nullptr;
    if (!WaitFor([&] { return (live = VisibleWindow(kLiveViewClass)) != nullptr; }, 10000))
        return Fail("no live view");
    SetWindowPos(live, nullptr, 40, 490, 400, 260, SWP_NOZORDER);
    const POINT plate = {(GetSystemMetrics(SM_CXSCREEN) - 640) / 2 + 480, (GetSystemMetrics(SM_CYSCREEN) - 400) / 2 + 185};
    SetCursorPos(plate.x, plate.y);
    Pause(1500);
    const std::string file = std::to_string(rows + 1) + "-live-view.png";
    if (!SaveScreen(folder + file))
        return Fail("cannot save a screenshot");
    std::printf("%s%s: the live view through deuteranopia beside the picture\n", folder.c_str(), file.c_str());
    PostMessageA(mainFrame, WM_COMMAND, IDM_EXIT, 0);
    WaitForSingleObject(program.hProcess, 10000);
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
    DestroyWindow(pictureWindow);
    return 0;
}
