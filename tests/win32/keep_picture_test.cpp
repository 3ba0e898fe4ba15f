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

#include "preview/comparison_sheet.h"
#include "tests/support/filter_fixture.h"
#include "tests/win32/in_process.h"
#include "tests/win32/pictures.h"
#include "tests/win32/screen_pattern.h"

namespace {

// The program's message loop (app/main.cpp) until `done` holds; false after 10 seconds.
template <typename Done>
bool RunLoopUntil(Done done)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(5)) {
        if (GetTickCount() - start > 10000)
            return false;
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            if (!TakePanelKeyboardMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    }
    return true;
}

void SendKey(WORD key, bool up = false)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki = {key, WORD(MapVirtualKeyA(key, 0)), DWORD(up ? KEYEVENTF_KEYUP : 0), 0, 0};
    SendInput(1, &input, sizeof input);
}

// Presses the keys in order and lets go of them in reverse.
void Press(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        SendKey(key);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        SendKey(*key, true);
}

void RightClick(int x, int y)
{
    for (DWORD button : {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi = {MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
                    MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0,
                    button | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
        SendInput(1, &input, sizeof input);
    }
}

Picture ClipboardPicture()
{
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

// Row 700 of the screen, below the panel and the menu, and the same row of a picture.
std::vector<DWORD> ScreenRow()
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    std::vector<COLORREF> row(width);
    HDC screen = GetDC(nullptr);
    for (int x = 0; x < width; ++x)
        row[x] = GetPixel(screen, x, 700);
    ReleaseDC(nullptr, screen);
    for (COLORREF& pixel : row)
        pixel = RGB(GetBValue(pixel), GetGValue(pixel), GetRValue(pixel));  // as 0x00RRGGBB
    return row;
}

std::vector<DWORD> Row(const Picture& picture)
{
    return {picture.pixels.begin() + 700 * picture.width, picture.pixels.begin() + 701 * picture.width};
}

// The Save As dialog as the program's import sees it: what it was asked, what happened
// meanwhile, and the file it answers (none: Cancel).
struct {
    std::vector<std::string> proposed, folders;
    DWORD flags = 0;
    HWND owner = nullptr;
    int previewOpenedMeanwhile = -1;
    BOOL panelEnabledMeanwhile = TRUE;
    std::string answer;
} saveDialog;

BOOL WINAPI AnswerSaveDialog(OPENFILENAMEA* request)
{
    saveDialog.proposed.push_back(request->lpstrFile);
    saveDialog.folders.push_back(request->lpstrInitialDir ? request->lpstrInitialDir : "(none)");
    saveDialog.flags = request->Flags;
    saveDialog.owner = request->hwndOwner;
    saveDialog.previewOpenedMeanwhile = OpenPreview(nullptr, PrimaryMonitor());  // the hotkey
    saveDialog.panelEnabledMeanwhile = IsWindowEnabled(panelWindow);
    std::strcpy(request->lpstrFile, saveDialog.answer.c_str());
    return TRUE;
}

HRESULT WINAPI NoSuchClass(REFCLSID, IUnknown*, DWORD, REFIID, void** object)
{
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using KeepingThePreview = EmptyFilterTable;

TEST_F(KeepingThePreview, CopiesAndSavesWhatItShowsAndTheTriggersWaitForItsDialog)
{
    exeInstance = GetModuleHandleA(nullptr);
    RegisterBuiltinFilters();
    for (const char* name : {"_normal", "_hue_gbr", "_grayscale"})
        EnableFilterByName(name);
    ASSERT_TRUE(RegisterPreviewClass() && RegisterPanelClass());
    settings = {};  // the panel in the top-left corner
    const std::string folder = GetExeDirectory() + std::string("keep-saved\\");
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"picture.png", "sheet.png"})  // a failed run may have left them
        DeleteFileA((folder + name).c_str());
    ScreenPattern pattern;
    ASSERT_EQ(OpenPreview(nullptr, PrimaryMonitor()), 1);
    SendKey(VK_DOWN);
    ASSERT_TRUE(RunLoopUntil([] { return selectedFilterIndex == 1; })) << "the list has not the keyboard";
    const Picture captured = FramePicture(frameBuffers, frameBuffers.captured);
    const Picture filtered = LiterallyFiltered(filterTable.records[2], captured);  // _hue_gbr

    // Ctrl+C from the panel's list; Shift alone shows the capture, the menu copies it; a
    // second key gives the filter back.
    DWORD copies = GetClipboardSequenceNumber();
    Press({VK_CONTROL, 'C'});
    ASSERT_TRUE(RunLoopUntil([&] { return GetClipboardSequenceNumber() != copies; }));
    EXPECT_EQ(Difference(ClipboardPicture(), filtered), "") << "Ctrl+C";
    SendKey(VK_SHIFT);
    EXPECT_TRUE(RunLoopUntil([&] { return ScreenRow() == Row(captured); })) << "Shift held";
    copies = GetClipboardSequenceNumber();
    RightClick(800, 400);
    Press({'C'});
    ASSERT_TRUE(RunLoopUntil([&] { return GetClipboardSequenceNumber() != copies; }));
    EXPECT_EQ(Difference(ClipboardPicture(), captured), "") << "the menu's Copy with Shift held";
    SendKey('X');
    EXPECT_TRUE(RunLoopUntil([&] { return ScreenRow() == Row(filtered); })) << "Shift and X";
    SendKey('X', true);
    SendKey(VK_SHIFT, true);

    // Ctrl+S and Ctrl+Shift+S: the dialog owned by the preview proposes a name in the
    // Pictures folder and then in the folder used last; the hotkey and the panel wait.
    ImportPatch dialog("comdlg32.dll", "GetSaveFileNameA", reinterpret_cast<void*>(AnswerSaveDialog));
    saveDialog.answer = folder + "picture.png";
    Press({VK_CONTROL, 'S'});
    ASSERT_TRUE(RunLoopUntil([&] { return Exists(saveDialog.answer); }));
    ASSERT_EQ(saveDialog.proposed.size(), 1u);
    const std::string stamp = "Prismolenteer \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d ";
    EXPECT_TRUE(std::regex_match(saveDialog.proposed[0], std::regex(stamp + "hue\\(RGB=_GBR\\)\\.png")))
        << saveDialog.proposed[0];
    char pictures[MAX_PATH] = "(none)";
    SHGetFolderPathA(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures);
    EXPECT_EQ(saveDialog.folders[0], pictures);
    EXPECT_EQ(saveDialog.owner, previewWindow);
    EXPECT_TRUE(saveDialog.flags & OFN_OVERWRITEPROMPT);
    EXPECT_EQ(std::make_tuple(saveDialog.previewOpenedMeanwhile, saveDialog.panelEnabledMeanwhile), std::make_tuple(0, FALSE));
    EXPECT_TRUE(RunLoopUntil([] { return IsWindowEnabled(panelWindow) && GetForegroundWindow() == panelWindow; }));
    const Picture saved = ReadPicture(saveDialog.answer);
    EXPECT_EQ(Difference(saved, filtered), "") << "Ctrl+S";
    EXPECT_EQ(saved.texts, (std::map<std::string, std::string>{{"Filter", "_hue_gbr"},
        {"Filter display name", "hue(RGB=>GBR)"}, {"Software", "Prismolenteer " + std::string(ProgramVersion())}}));
    std::ifstream file(saveDialog.answer, std::ios::binary | std::ios::ate);
    EXPECT_LT(size_t(file.tellg()), captured.pixels.size() * 3 / 4) << "not compressed";

    saveDialog.answer = folder + "sheet.png";
    Press({VK_CONTROL, VK_SHIFT, 'S'});
    ASSERT_TRUE(RunLoopUntil([&] { return Exists(saveDialog.answer); }));
    ASSERT_EQ(saveDialog.proposed.size(), 2u);
    EXPECT_TRUE(std::regex_match(saveDialog.proposed[1], std::regex(stamp + "comparison sheet\\.png")));
    EXPECT_EQ(saveDialog.folders[1], folder);
    const Picture sheet = ReadPicture(saveDialog.answer);
    EXPECT_EQ(sheet.texts.at("Filters"), "_normal,_hue_gbr,_grayscale");
    const SheetLayout layout = LayOutSheet(ComparisonSheetRequest(3, captured.width, captured.height));
    const SheetRect tile = SheetTilePicture(layout, 1);
    ASSERT_EQ(std::make_tuple(sheet.width, sheet.height, layout.factor), std::make_tuple(UINT(layout.width), UINT(layout.height), 1));
    for (int y = 0; y < tile.height; y += 97)
        EXPECT_EQ(sheet.Pixel(tile.x + y, tile.y + y), filtered.Pixel(y, y)) << y;

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
        ImportPatch noImaging("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoSuchClass));
        copies = GetClipboardSequenceNumber();
        Press({VK_CONTROL, 'S'});
        Press({VK_CONTROL, 'C'});
        EXPECT_TRUE(RunLoopUntil([&] { return GetClipboardSequenceNumber() != copies; }));
    }
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "The picture could not be copied: another program is using the clipboard. Try again in a moment.");
    EXPECT_EQ(boxes.shown[1].text, "Pictures cannot be read or saved: the Windows Imaging Component is missing on this computer.");
    EXPECT_EQ(boxes.shown[1].owner, previewWindow);
    EXPECT_EQ(saveDialog.proposed.size(), 2u) << "no dialog without the imaging component";
    DestroyWindow(previewWindow);
    DeleteFileA((folder + "picture.png").c_str());
    DeleteFileA((folder + "sheet.png").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
