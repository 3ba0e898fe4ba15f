// The preview keeps what it shows, inside the test process over a screen pattern and with
// the program's message loop: Copy by its keys, by Shift held and by the right-click menu;
// Save and the sheet through the Save As dialog (answered through the program's imports),
// during which the triggers wait, to any file name; and the one box of a busy clipboard or
// a missing imaging component. Every picture is decoded by the platform and compared with
// the literal rule.

#include <filesystem>
#include <functional>
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

// The Save As dialog as the program's import sees it: the name and the folder it proposed,
// whether it asks before replacing a file, its owner, and what a hotkey and the panel did
// meanwhile. It answers with `answer`.
struct Asked {
    std::wstring name, folder, how;
};
std::vector<Asked> asked;
std::wstring answer;

BOOL WINAPI AnswerSaveDialog(OPENFILENAMEW* request)
{
    asked.push_back({request->lpstrFile, request->lpstrInitialDir,
                     std::wstring(request->Flags & OFN_OVERWRITEPROMPT ? L"asks" : L"replaces") +
                         (request->hwndOwner == previewWindow ? L", owned by the preview" : L"") +
                         L", hotkey " + std::to_wstring(OpenPreview(nullptr, PrimaryMonitor())) +
                         L", panel " + std::to_wstring(IsWindowEnabled(panelWindow))});
    lstrcpynW(request->lpstrFile, answer.c_str(), int(request->nMaxFile));
    request->nFileOffset = WORD(answer.rfind(L'\\') + 1);
    return TRUE;
}

// A right click's menu, and C for its Copy. The click's message comes first: posted
// messages go before input.
void CopyFromMenu()
{
    PostMessageA(previewWindow, WM_CONTEXTMENU, WPARAM(previewWindow), MAKELPARAM(800, 400));
    Press({'C'});
}

// The preview over a screen pattern with three filters, the second chosen from the panel's
// list; the capture, and the capture through the second filter by the literal rule.
class KeepingThePreview : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        ASSERT_TRUE(ReadyThePreview());
        for (const char* name : {"_normal", "_hue_gbr", "_grayscale"})
            EnableFilterByName(name);
        settings = Settings{};  // the panel in the top-left corner
        ASSERT_EQ(OpenPreview(nullptr, PrimaryMonitor()), 1);
        SendKey(VK_DOWN);
        ASSERT_TRUE(RunLoopUntil([] { return selectedFilterIndex == 1; })) << "the list has not the keyboard";
        captured_ = FramePicture(frameBuffers, frameBuffers.captured);
        filtered_ = LiterallyFiltered(filterTable.records[2], captured_);  // _hue_gbr
    }
    void TearDown() override
    {
        DestroyWindow(previewWindow);
        EmptyFilterTable::TearDown();
    }

    // The device-independent bitmap on the clipboard once `act` has copied.
    static TestPicture Copied(const std::function<void()>& act)
    {
        const DWORD copies = GetClipboardSequenceNumber();
        act();
        EXPECT_TRUE(RunLoopUntil([&] { return GetClipboardSequenceNumber() != copies; }));
        TestPicture picture;
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

    ScreenPattern pattern_;
    TestPicture captured_, filtered_;
};

TEST_F(KeepingThePreview, CopiesWhatItShowsByItsKeysByShiftAndByItsMenu)
{
    // Each step in turn: Shift alone shows the capture until a second key gives the filter back.
    const struct { const char* how; std::function<void()> before; std::function<void()> copy; bool capture; } rows[] = {
        {"Ctrl+C from the panel's list", [] {}, [] { Press({VK_CONTROL, 'C'}); }, false},
        {"the menu's Copy, Shift held", [] { SendKey(VK_SHIFT); }, CopyFromMenu, true},
        {"the menu's Copy, Shift and X", [] { SendKey('X'); }, CopyFromMenu, false},
    };
    for (const auto& row : rows) {
        row.before();
        const TestPicture& shown = row.capture ? captured_ : filtered_;
        EXPECT_TRUE(RunLoopUntil([&] { return ScreenPixel() == shown.Pixel(800, 700); })) << row.how;
        EXPECT_EQ(Difference(Copied(row.copy), shown), "") << row.how;
    }
    SendKey('X', true);
    SendKey(VK_SHIFT, true);
}

TEST_F(KeepingThePreview, SavesToTheNameTheDialogConfirmsAndTheTriggersWaitForIt)
{
    // The dialog, owned by the preview, proposes a name in the Pictures folder and then in
    // the folder used last; the hotkey and the panel wait; and the file written is the one
    // the dialog confirmed, whatever its name.
    ImportPatch dialog("comdlg32.dll", "GetSaveFileNameW", reinterpret_cast<void*>(AnswerSaveDialog));
    asked.clear();
    const std::wstring folder = GetExeDirectory(), stamp = L"Prismolenteer \\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.\\d\\d ";
    wchar_t pictures[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, pictures);
    const struct { std::initializer_list<WORD> keys; std::wstring file, proposed, folder, filters; } rows[] = {
        {{VK_CONTROL, 'S'}, L"saved \u0100 \u65E5\u672C.png", L"hue\\(RGB=_GBR\\)\\.png", pictures, L""},
        {{VK_CONTROL, VK_SHIFT, 'S'}, L"saved sheet.png", L"comparison sheet\\.png", folder, L"_normal,_hue_gbr,_grayscale"},
    };
    for (const auto& row : rows) {
        const std::wstring path = folder + row.file;
        answer = path;
        DeleteFileW(path.c_str());  // a failed run may have left it
        Press(row.keys);
        ASSERT_TRUE(RunLoopUntil([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
        const TestPicture saved = ReadPicture(path);
        if (row.filters.empty()) {
            EXPECT_EQ(Difference(saved, filtered_), "") << "Ctrl+S";
            EXPECT_EQ(saved.texts, (std::map<std::string, std::string>{{"Filter", "_hue_gbr"},
                {"Filter display name", "hue(RGB=>GBR)"}, {"Software", "Prismolenteer " + std::string(ProgramVersion())}}));
            EXPECT_LT(std::filesystem::file_size(path), captured_.pixels.size() * 3 / 4) << "not compressed";
        } else {
            EXPECT_EQ(std::wstring(saved.texts.at("Filters").begin(), saved.texts.at("Filters").end()), row.filters);
        }
        const Asked& call = asked.back();
        EXPECT_TRUE(std::regex_match(call.name, std::wregex(stamp + row.proposed))) << std::filesystem::path(call.name);
        EXPECT_EQ(call.folder, row.folder);
        EXPECT_EQ(call.how, L"asks, owned by the preview, hotkey 0, panel 0");
        EXPECT_TRUE(RunLoopUntil([] { return IsWindowEnabled(panelWindow) && GetForegroundWindow() == panelWindow; }));
        DeleteFileW(path.c_str());
    }
    EXPECT_EQ(asked.size(), 2u);
}

TEST_F(KeepingThePreview, ABusyClipboardOrAMissingImagingComponentIsToldOnce)
{
    // A clipboard that another program holds: a few tries, then one box. Without the
    // imaging component Save says so at once, and Copy still works.
    ImportPatch dialog("comdlg32.dll", "GetSaveFileNameW", reinterpret_cast<void*>(AnswerSaveDialog));
    asked.clear();
    const struct { const char* trouble; std::function<void()> act; std::string box; } rows[] = {
        {"a held clipboard",
         [] {
             HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr), opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
             std::thread holder([&] { OpenClipboard(nullptr); SetEvent(opened); WaitForSingleObject(release, 10000); CloseClipboard(); });
             WaitForSingleObject(opened, 10000);
             Press({VK_CONTROL, 'C'});
             RunLoopUntil([] { return MessageBoxes::shown.size() == 1; });
             SetEvent(release);
             holder.join();
         },
         "The picture could not be copied: another program is using the clipboard. Try again in a moment."},
        {"no imaging component",
         [this] {
             ImportPatch noImaging("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoImagingComponent));
             Press({VK_CONTROL, 'S'});
             EXPECT_EQ(Difference(Copied([] { Press({VK_CONTROL, 'C'}); }), filtered_), "") << "Copy without it";
         },
         "Pictures cannot be read or saved: the Windows Imaging Component is missing on this computer."},
    };
    for (const auto& row : rows) {
        MessageBoxes boxes;
        row.act();
        EXPECT_TRUE(RunLoopUntil([&] { return boxes.shown.size() == 1; })) << row.trouble;
        ASSERT_EQ(boxes.shown.size(), 1u) << row.trouble;
        EXPECT_EQ(boxes.shown[0].text, row.box);
        EXPECT_EQ(boxes.shown[0].owner, previewWindow);
    }
    EXPECT_TRUE(asked.empty()) << "a dialog without the imaging component";
}

}  // namespace
