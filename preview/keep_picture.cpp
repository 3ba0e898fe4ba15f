// Copy and Save for the preview and the live view. Save proposes a name from the moment the
// picture was taken and what it shows, in the folder used last in this run or else the
// user's Pictures folder; the Save As dialog asks before a file is replaced.

#include "preview/keep_picture.h"

#include <cstring>
#include <cwchar>

#include <commdlg.h>
#include <shlobj.h>

#include "app/comparison_sheet.h"
#include "app/image_file.h"
#include "app/message_box.h"
#include "app/resource_module.h"
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
wchar_t lastSaveFolder[MAX_PATH];

bool OpenClipboardPatiently(HWND owner)
{
    for (int attempt = 0; attempt < kClipboardTries; ++attempt) {
        if (OpenClipboard(owner))
            return true;
        Sleep(kClipboardPauseMs);
    }
    return false;
}

// The picture as a packed DIB in movable global memory, rows padded with zeros (the
// picture's own padding is never read). Null when there is not enough memory.
HGLOBAL MakePackedDib(const Picture& picture)
{
    const size_t rowBytes = 3 * static_cast<size_t>(picture.width);
    const size_t imageBytes = PictureBytes(picture);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + imageBytes);
    uint8_t* block = memory != nullptr ? static_cast<uint8_t*>(GlobalLock(memory)) : nullptr;
    if (block == nullptr) {
        if (memory != nullptr)
            GlobalFree(memory);
        return nullptr;
    }
    DibHeader header = DibHeaderFor(picture.width, picture.height);
    header.biSizeImage = static_cast<uint32_t>(imageBytes);
    std::memcpy(block, &header, sizeof header);
    uint8_t* row = block + sizeof header;
    for (int32_t y = 0; y < picture.height; ++y, row += picture.stride) {
        std::memcpy(row, picture.pixels + static_cast<size_t>(y) * picture.stride, rowBytes);
        std::memset(row + rowBytes, 0, static_cast<size_t>(picture.stride) - rowBytes);
    }
    GlobalUnlock(memory);
    return memory;
}

void ReportImageResult(HWND owner, const ImageResult& result, const wchar_t* path)
{
    if (result.status == ImageStatus::Done)
        return;
    wchar_t text[512];
    DescribeImageResult(result, path, text, 512);
    ShowMessageW(owner, MB_OK | MB_ICONWARNING, text);
}

// "description\0*.png\0\0" for the dialog's type list.
void MakePngTypeList(wchar_t* list, size_t size)
{
    static const wchar_t kPattern[] = L"*.png";
    const size_t patternLength = sizeof kPattern / sizeof kPattern[0];
    wchar_t description[256] = L"";
    LoadResStringW(IDS_PNG_FILE_TYPE, description, 256);
    const size_t length = std::wcslen(description);
    if (length + patternLength + 2 > size)
        return;
    std::wmemcpy(list, description, length + 1);
    std::wmemcpy(list + length + 1, kPattern, patternLength);
    list[length + 1 + patternLength] = L'\0';
}

// Runs the Save As dialog with a name proposed for `label` and the moment `taken`. False
// when the user cancelled or the pictures cannot be written at all (then a box has said
// so). The dialog and every call after it take the path in UTF-16: the name the user
// confirms is the file written.
bool AskSavePath(HWND owner, const char* label, const SYSTEMTIME& taken, wchar_t (&path)[MAX_PATH])
{
    if (!ImagingAvailable()) {
        ReportImageResult(owner, {ImageStatus::NoImagingComponent, 0}, L"");
        return false;
    }
    const PictureTime time = {taken.wYear, taken.wMonth, taken.wDay,
                              taken.wHour, taken.wMinute, taken.wSecond};
    char proposed[MAX_PATH];
    ProposePictureName(time, label, proposed, sizeof proposed);
    if (MultiByteToWideChar(CP_ACP, 0, proposed, -1, path, MAX_PATH) == 0)
        path[0] = L'\0';
    wchar_t folder[MAX_PATH] = L"";
    if (lastSaveFolder[0] != L'\0')
        std::wmemcpy(folder, lastSaveFolder, MAX_PATH);
    else if (FAILED(SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, folder)))
        folder[0] = L'\0';  // the dialog's own choice
    wchar_t types[300] = L"";
    MakePngTypeList(types, 300);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = types;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = folder[0] != L'\0' ? folder : nullptr;
    dialog.lpstrDefExt = L"png";
    // NOCHANGEDIR: the program's current folder stays where it was.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog))
        return false;
    std::wmemcpy(lastSaveFolder, path, dialog.nFileOffset);
    lastSaveFolder[dialog.nFileOffset] = L'\0';
    return true;
}

}  // namespace

void CopyPicture(HWND owner, const Picture& picture)
{
    HGLOBAL dib = MakePackedDib(picture);
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

void SavePicture(HWND owner, const Picture& picture, const FilterRecord& filter,
                 const SYSTEMTIME& taken)
{
    wchar_t path[MAX_PATH];
    if (!AskSavePath(owner, filter.displayName, taken, path))
        return;
    // The dialog has asked before a file is replaced.
    ReportImageResult(owner, WriteFilteredPng(path, picture, filter, PngPixels::AsTheyAre, true),
                      path);
}

void SaveComparisonSheet(HWND owner)
{
    char label[128] = "";
    LoadResString(IDS_SHEET_FILE_LABEL, label, sizeof label);
    wchar_t path[MAX_PATH];
    if (!AskSavePath(owner, label, captureTime, path))
        return;
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));  // every filter, at full size
    const ImageResult result = WriteComparisonSheet(path, CapturedPicture(frameBuffers),
                                                    enabledList.entries, enabledList.count, true);
    SetCursor(previous);
    ReportImageResult(owner, result, path);
}
