// The preview keeps what it shows, inside the test process over a screen pattern and with
// the program's message loop: the shortcuts from the panel's list, Shift held to compare,
// the right-click menu, the Save As dialog (answered through the program's imports) during
// which the triggers wait, and the one box of a busy clipboard or a missing imaging
// component. Every picture is decoded by the platform and compared with the literal rule.

#include <fstream>
#include <regex>
#include <thread>

#include <windows.h>

#include <commdlg.h>
#include <shlobj.h>

#include "tests/win32/in_process.h"
#include "tests/win32/pictures.h"
#include "tests/win32/screen_pattern.h"

namespace {

// The pixel at (800, 700) of the screen, below the panel and the menu.
DWORD ScreenPixel()
{
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, 800, 700);
    ReleaseDC(nullptr, screen);
    return RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));  // as 0x00RRGGBB
}

// The Save As dialog as the program's import sees it: per call, the name and folder it
// proposed, whether it asks before replacing a file, its owner, and what a hotkey and the
// panel did meanwhile. It answers with `answer`.
std::vector<std::vector<std::string>> asked;
std::string answer;

BOOL WINAPI AnswerSaveDialog(OPENFILENAMEA* request)
{
    asked.push_back({request->lpstrFile, request->lpstrInitialDir,
                     std::string(request->Flags & OFN_OVERWRITEPROMPT ? "asks" : "replaces") +
                         (request->hwndOwner == previewWindow ? ", owned by the preview" : "") +
                         ", hotkey " + std::to_string(OpenPreview(nullptr, PrimaryMonitor())) +
                         ", panel " + std::to_string(IsWindowEnabled(panelWindow))});
    std::strcpy(request->lpstrFile, answer.c_str());
    return TRUE;
}

// The device-independent bitmap on the clipboard once `act` has copied.
template <typename Act>
Picture Copied(Act act)
{
    const DWORD copies = GetClipboardSequenceNumber();
    act();
    EXPECT_TRUE(RunLoopUntil([&] { return GetClipboardSequenceNumber() != copies; }));
    Picture picture;
    OpenClipboard(nullptr);
    HANDLE data = GetClipboardData(CF_DIB);
    if (const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data))) {
        const FrameBuffers shape{header->biWidth, header->biHeight, FrameStride(header->biWidth), {}, nullptr, nullptr};
        if (header->biBitCount == 24 && header->biCompression == BI_RGB)
            picture = FramePicture(shape, reinterpret_cast<const uint8_t*>(header + 1));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return picture;
}

// A right click's menu, and C for its Copy. The click's message comes first: posted
// messages go before input.
void CopyFromMenu()
{
    PostMessageA(previewWindow, WM_CONTEXTMENU, WPARAM(previewWindow), MAKELPARAM(800, 400));
    Press({'C'});
}

// Saves with `keys`; the file written.
Picture Saved(std::initializer_list<WORD> keys, const std::string& path)
{
    answer = path;
    DeleteFileA(path.c_str());  // a failed run may have left it
    Press(keys);
    EXPECT_TRUE(RunLoopUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    return ReadPicture(path);
}

using KeepingThePreview = EmptyFilterTable;

TEST_F(KeepingThePreview, CopiesAndSavesWhatItShowsAndTheTriggersWaitForItsDialog)
{
    ASSERT_TRUE(ReadyThePreview());
    for (const char* name : {"_normal", "_hue_gbr", "_grayscale"})
        EnableFilterByName(name);
    settings = {};  // the panel in the top-left corner
    ScreenPattern pattern;
    ASSERT_EQ(OpenPreview(nullptr, PrimaryMonitor()), 1);
    SendKey(VK_DOWN);
    ASSERT_TRUE(RunLoopUntil([] { return selectedFilterIndex == 1; })) << "the list has not the keyboard";
    const Picture captured = FramePicture(frameBuffers, frameBuffers.captured);
    const Picture filtered = LiterallyFiltered(filterTable.records[2], captured);  // _hue_gbr

    // Ctrl+C from the panel's list; Shift alone shows the capture, and the menu copies it;
    // a second key gives the filter back.
    EXPECT_EQ(Difference(Copied([] { Press({VK_CONTROL, 'C'}); }), filtered), "") << "Ctrl+C";
    SendKey(VK_SHIFT);
    EXPECT_TRUE(RunLoopUntil([&] { return ScreenPixel() == captured.Pixel(800, 700); })) << "Shift held";
    EXPECT_EQ(Difference(Copied(CopyFromMenu), captured), "") << "the menu's Copy, Shift held";
    SendKey('X');
    EXPECT_TRUE(RunLoopUntil([&] { return ScreenPixel() == filtered.Pixel(800, 700); })) << "Shift and X";
    EXPECT_EQ(Difference(Copied(CopyFromMenu), filtered), "") << "the menu's Copy, Shift and X";
    SendKey('X', true);
    SendKey(VK_SHIFT, true);

    // Ctrl+S and Ctrl+Shift+S: the dialog owned by the preview proposes a name in the
    // Pictures folder and then in the folder used last; the hotkey and the panel wait.
    ImportPatch dialog("comdlg32.dll", "GetSaveFileNameA", reinterpret_cast<void*>(AnswerSaveDialog));
    const std::string folder = GetExeDirectory(), stamp = "Prismolenteer \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d ";
    const Picture saved = Saved({VK_CONTROL, 'S'}, folder + "saved picture.png");
    EXPECT_EQ(Difference(saved, filtered), "") << "Ctrl+S";
    EXPECT_EQ(saved.texts, (std::map<std::string, std::string>{{"Filter", "_hue_gbr"},
        {"Filter display name", "hue(RGB=>GBR)"}, {"Software", "Prismolenteer " + std::string(ProgramVersion())}}));
    std::ifstream file(folder + "saved picture.png", std::ios::binary | std::ios::ate);
    EXPECT_LT(size_t(file.tellg()), captured.pixels.size() * 3 / 4) << "not compressed";
    EXPECT_TRUE(RunLoopUntil([] { return IsWindowEnabled(panelWindow) && GetForegroundWindow() == panelWindow; }));
    EXPECT_EQ(Saved({VK_CONTROL, VK_SHIFT, 'S'}, folder + "saved sheet.png").texts.at("Filters"),
              "_normal,_hue_gbr,_grayscale");
    char pictures[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(std::regex_match(asked[0][0], std::regex(stamp + "hue\\(RGB=_GBR\\)\\.png"))) << asked[0][0];
    EXPECT_TRUE(std::regex_match(asked[1][0], std::regex(stamp + "comparison sheet\\.png"))) << asked[1][0];
    EXPECT_EQ(std::make_tuple(asked[0][1], asked[1][1]), std::make_tuple(std::string(pictures), folder));
    for (const auto& call : asked)
        EXPECT_EQ(call[2], "asks, owned by the preview, hotkey 0, panel 0");

    // A clipboard that another program holds: a few tries, then one box. Without the
    // imaging component Save says so at once and Copy still works.
    MessageBoxes boxes;
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr), opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] { OpenClipboard(nullptr); SetEvent(opened); WaitForSingleObject(release, 10000); CloseClipboard(); });
    WaitForSingleObject(opened, 10000);
    Press({VK_CONTROL, 'C'});
    EXPECT_TRUE(RunLoopUntil([&] { return boxes.shown.size() == 1; }));
    SetEvent(release);
    holder.join();
    {
        ImportPatch noImaging("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoImagingComponent));
        Press({VK_CONTROL, 'S'});
        EXPECT_EQ(Difference(Copied([] { Press({VK_CONTROL, 'C'}); }), filtered), "") << "Copy without it";
    }
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "The picture could not be copied: another program is using the clipboard. Try again in a moment.");
    EXPECT_EQ(boxes.shown[1].text, "Pictures cannot be read or saved: the Windows Imaging Component is missing on this computer.");
    EXPECT_EQ(boxes.shown[1].owner, previewWindow);
    EXPECT_EQ(asked.size(), 2u) << "a dialog without the imaging component";
    DestroyWindow(previewWindow);
    for (const char* name : {"saved picture.png", "saved sheet.png"})
        DeleteFileA((folder + name).c_str());
}

}  // namespace
