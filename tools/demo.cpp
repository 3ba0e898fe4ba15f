// A scripted demonstration for machines without a display (scripts/run.sh runs it on a
// private X server): shows the sample picture full-screen, starts Prismolenteer, opens the
// preview with its hotkey, chooses every enabled filter in turn from the operate panel,
// and saves what the screen shows each time as a PNG file.
//
//   demo.exe <sample.bmp> <folder for the screenshots>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/driver_png.h"
#include "tests/e2e/driver_spy.h"

namespace {

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

bool SaveScreen(const std::string& path)
{
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return e2e::SavePng(path, screen.right, screen.bottom, e2e::ScreenPixels(screen));
}

int Fail(const char* what)
{
    std::fprintf(stderr, "demo: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return Fail("usage: demo.exe <sample.bmp> <folder for the screenshots>");
    const std::string folder = std::string(argv[2]) + "\\";
    CreateDirectoryA(argv[2], nullptr);

    HWND pictureWindow = ShowPicture(argv[1]);
    if (pictureWindow == nullptr)
        return Fail("cannot load the sample picture");
    e2e::Pause(500);
    if (!SaveScreen(folder + "0-screen.png"))
        return Fail("cannot save a screenshot");
    std::printf("%s0-screen.png: the screen as it is\n", folder.c_str());

    e2e::Process program;
    if (!program.Start(e2e::ProgramPath()))
        return Fail("cannot start Prismolenteer.exe");
    if (e2e::WaitForWindow(e2e::kMainFrameClass, program.Id(), 15000) == nullptr ||
        !e2e::WaitUntil([] { return e2e::HotkeyTaken(VK_F11); }, 10000))
        return Fail("Prismolenteer did not start");
    // The splash window closes itself after two seconds.
    e2e::WaitUntil([&] { return e2e::VisibleWindow(e2e::kSplashClass, program.Id()) == nullptr; }, 5000);
    e2e::MessageSpy spy;
    e2e::WaitUntil([&] { return spy.Attach(program.ThreadId()); }, 5000);

    SetForegroundWindow(pictureWindow);
    e2e::PressKey(VK_F11);
    if (!e2e::WaitUntil([&] { return e2e::VisibleWindow(e2e::kPreviewClass, program.Id()) != nullptr &&
                                     e2e::VisibleWindow(e2e::kPanelClass, program.Id()) != nullptr; },
                        10000))
        return Fail("F11 opened no preview");
    HWND list = GetDlgItem(e2e::VisibleWindow(e2e::kPanelClass, program.Id()), 1000);
    const int rows = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));

    for (int row = 0; row < rows; ++row) {
        const LONG paints = spy.PreviewPaints();
        if (row > 0)
            e2e::PressKey(VK_DOWN);  // the panel's list has the keyboard
        e2e::WaitUntil([&] { return row == 0 || spy.PreviewPaints() > paints; }, 5000);
        e2e::Pause(300);
        wchar_t name[128] = L"";
        SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name));
        const std::string file = std::to_string(row + 1) + "-" + FileNamePart(name) + ".png";
        if (!SaveScreen(folder + file))
            return Fail("cannot save a screenshot");
        std::printf("%s%s: through \"%ls\"\n", folder.c_str(), file.c_str(), name);
    }

    e2e::PressKey(VK_ESCAPE);
    e2e::WaitUntil([&] { return e2e::VisibleWindow(e2e::kPreviewClass, program.Id()) == nullptr; }, 5000);
    e2e::ChooseExit(e2e::WaitForWindow(e2e::kMainFrameClass, program.Id(), 1000));
    program.WaitForExit(10000);
    DestroyWindow(pictureWindow);
    return 0;
}
