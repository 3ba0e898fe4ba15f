// The preview's Copy and Save commands. Save proposes a name from the moment of the
// capture and what the picture shows, in the folder used last in this run or else the
// user's Pictures folder; the Save As dialog asks before a file is replaced.

#include "preview/keep_picture.h"

#include <cstring>

#include <commdlg.h>
#include <shlobj.h>

#include "app/comparison_sheet.h"
#include "app/image_file.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "filter/ansi_text.h"
#include "filter/filter_table.h"
#include "preview/capture.h"
#include "preview/picture_name.h"
#include "res/resource.h"

namespace {

// Another program may hold the clipboard for a moment (clipboard viewers and managers
// read every change): a few short tries before giving up.
const int kClipboardTries = 10;
const DWORD kClipboardPauseMs = 30;

// The folder of the last file saved in this run, with its final backslash; empty before.
char lastSaveFolder[MAX_PATH];

bool OpenClipboardPatiently(HWND owner)
{
    for (int attempt = 0; attempt < kClipboardTries; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(kClipboardPauseMs);
    }
    return false;
}

// The image as a packed DIB in movable global memory, rows padded with zeros (the frame's
// own padding is never read). Null when there is not enough memory.
HGLOBAL MakePackedDib(const uint8_t* pixels)
{
    const FrameBuffers& frames = frameBuffers;
    const size_t rowBytes = 3 * static_cast<size_t>(frames.width);
    const size_t imageBytes = FrameBytes(frames);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + imageBytes);
    uint8_t* block = memory != nullptr ? static_cast<uint8_t*>(GlobalLock(memory)) : nullptr;
    if (block == nullptr) {
        if (memory != nullptr)
            GlobalFree(memory);
        return nullptr;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, &frames.header, sizeof header);
    header.biSizeImage = static_cast<DWORD>(imageBytes);
    std::memcpy(block, &header, sizeof header);
    uint8_t* row = block + sizeof header;
    for (int32_t y = 0; y < frames.height; ++y, row += frames.stride) {
        std::memcpy(row, pixels + static_cast<size_t>(y) * frames.stride, rowBytes);
        std::memset(row + rowBytes, 0, frames.stride - rowBytes);
    }
    GlobalUnlock(memory);
    return memory;
}

void ReportImageResult(HWND owner, const ImageResult& result, const char* path)
{
    if (result.status == ImageStatus::Done)
        return;
    char text[512];
    DescribeImageResult(result, path, text, sizeof text);
    ShowMessageF(owner, MB_OK | MB_ICONWARNING, "%s", text);
}

// "description\0*.png\0\0" for the dialog's type list.
void MakePngTypeList(char* list, size_t size)
{
    static const char kPattern[] = "*.png";
    char description[256] = "";
    LoadResString(IDS_PNG_FILE_TYPE, description, sizeof description);
    const size_t length = std::strlen(description);
    if (length + sizeof kPattern + 2 > size)
        return;
    std::memcpy(list, description, length + 1);
    std::memcpy(list + length + 1, kPattern, sizeof kPattern);
    list[length + 1 + sizeof kPattern] = '\0';
}

// Runs the Save As dialog with a name proposed for `label`. False when the user cancelled
// or the pictures cannot be written at all (then a box has said so).
bool AskSavePath(HWND owner, const char* label, char (&path)[MAX_PATH])
{
    if (!ImagingAvailable()) {
        ReportImageResult(owner, {ImageStatus::NoImagingComponent, 0}, "");
        return false;
    }
    const PictureTime time = {captureTime.wYear, captureTime.wMonth, captureTime.wDay,
                              captureTime.wHour, captureTime.wMinute, captureTime.wSecond};
    ProposePictureName(time, label, path, sizeof path);
    char folder[MAX_PATH] = "";
    if (lastSaveFolder[0] != '\0')
        std::memcpy(folder, lastSaveFolder, sizeof folder);
    else if (FAILED(SHGetFolderPathA(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, folder)))
        folder[0] = '\0';  // the dialog's own choice
    char types[300] = "";
    MakePngTypeList(types, sizeof types);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = types;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = folder[0] != '\0' ? folder : nullptr;
    dialog.lpstrDefExt = "png";
    // NOCHANGEDIR: the program's current folder stays where it was.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog))
        return false;
    const size_t folderLength = static_cast<size_t>(FileNameInPath(path) - path);
    std::memcpy(lastSaveFolder, path, folderLength);
    lastSaveFolder[folderLength] = '\0';
    return true;
}

}  // namespace

void CopyPicture(HWND owner, const uint8_t* pixels)
{
    HGLOBAL dib = MakePackedDib(pixels);
    if (dib == nullptr) {
        ShowMessageId(owner, MB_OK | MB_ICONWARNING, IDS_COPY_NO_MEMORY);
        return;
    }
    if (!OpenClipboardPatiently(owner)) {
        GlobalFree(dib);
        ShowMessageId(owner, MB_OK | MB_ICONWARNING, IDS_COPY_CLIPBOARD_BUSY);
        return;
    }
    EmptyClipboard();
    // From here on the clipboard owns the memory.
    const bool placed = SetClipboardData(CF_DIB, dib) != nullptr;
    CloseClipboard();
    if (!placed) {
        GlobalFree(dib);
        ShowMessageId(owner, MB_OK | MB_ICONWARNING, IDS_COPY_NO_MEMORY);
    }
}

void SavePicture(HWND owner, const FilterRecord& filter)
{
    char path[MAX_PATH];
    if (!AskSavePath(owner, filter.displayName, path))
        return;
    // The dialog has asked before a file is replaced.
    ReportImageResult(owner,
                      WriteFilteredPng(path, frameBuffers, frameBuffers.filtered, filter, true),
                      path);
}

void SaveComparisonSheet(HWND owner)
{
    char label[128] = "";
    LoadResString(IDS_SHEET_FILE_LABEL, label, sizeof label);
    char path[MAX_PATH];
    if (!AskSavePath(owner, label, path))
        return;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));  // every filter, at full size
    const ImageResult result = WriteComparisonSheet(path, frameBuffers, enabledList.entries,
                                                    enabledList.count, true);
    SetCursor(previous);
    ReportImageResult(owner, result, path);
}
