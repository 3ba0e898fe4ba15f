// The temporary file and the rename, and what may be written.

#include "app/safe_file.h"

#include <cstring>
#include <cwchar>

namespace {

const wchar_t kDevicePrefix[] = L"\\\\.\\";  // what Windows makes of NUL, CON, COM1, ...

// `path` made whole, with where its file name starts (null when it ends in a backslash);
// Done or why it cannot be written.
ImageResult FullPath(const wchar_t* path, wchar_t (&full)[MAX_PATH], wchar_t** fileName)
{
    *fileName = nullptr;
    const DWORD length = GetFullPathNameW(path, MAX_PATH, full, fileName);
    if (length == 0)
        return Result(ImageStatus::OutputUnwritable, GetLastError());
    if (length >= MAX_PATH)
        return Result(ImageStatus::OutputUnwritable, ERROR_FILENAME_EXCED_RANGE);
    if (std::wcsncmp(full, kDevicePrefix, 4) == 0)
        return Result(ImageStatus::OutputIsDevice);
    if (*fileName == nullptr)
        return Result(ImageStatus::OutputIsFolder);
    return Result(ImageStatus::Done);
}

// The rule of CheckOutputFile for a whole path.
ImageResult CheckFullPath(const wchar_t* full, bool replace)
{
    const DWORD attributes = GetFileAttributesW(full);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Result(ImageStatus::Done);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Result(ImageStatus::OutputIsFolder);
    return Result(replace ? ImageStatus::Done : ImageStatus::OutputExists);
}

// Writes every piece to `file`; 0 or the system's error.
DWORD WritePieces(HANDLE file, const FilePiece* pieces, int count)
{
    for (int i = 0; i < count; ++i) {
        const char* bytes = static_cast<const char*>(pieces[i].bytes);
        for (size_t left = pieces[i].size; left > 0;) {
            const DWORD step = left < 0x40000000 ? static_cast<DWORD>(left) : 0x40000000;
            DWORD written = 0;
            if (!WriteFile(file, bytes, step, &written, nullptr) || written != step) {
                const DWORD error = GetLastError();
                return error != 0 ? error : ERROR_DISK_FULL;
            }
            bytes += step;
            left -= step;
        }
    }
    return 0;
}

}  // namespace

ImageResult CheckOutputFile(const wchar_t* path, bool replace)
{
    wchar_t full[MAX_PATH];
    wchar_t* fileName = nullptr;
    const ImageResult whole = FullPath(path, full, &fileName);
    return whole.status == ImageStatus::Done ? CheckFullPath(full, replace) : whole;
}

ImageResult WriteFileSafely(const wchar_t* path, const FilePiece* pieces, int count, bool replace)
{
    wchar_t full[MAX_PATH];
    wchar_t* fileName = nullptr;
    ImageResult result = FullPath(path, full, &fileName);
    if (result.status == ImageStatus::Done)
        result = CheckFullPath(full, replace);
    if (result.status != ImageStatus::Done)
        return result;

    wchar_t folder[MAX_PATH];
    const size_t folderLength = static_cast<size_t>(fileName - full);
    std::memcpy(folder, full, folderLength * sizeof *full);
    folder[folderLength] = L'\0';
    wchar_t temporary[MAX_PATH];
    if (GetTempFileNameW(folder, L"plk", 0, temporary) == 0)
        return Result(ImageStatus::OutputUnwritable, GetLastError());

    // GetTempFileNameW made the file; it is opened again to be written.
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = 0;
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
    } else {
        error = WritePieces(file, pieces, count);
        if (!CloseHandle(file) && error == 0)
            error = GetLastError();
    }
    if (error == 0 && !MoveFileExW(temporary, full, replace ? MOVEFILE_REPLACE_EXISTING : 0))
        error = GetLastError();
    if (error == 0)
        return Result(ImageStatus::Done);
    DeleteFileW(temporary);
    // Another program made the file while this one wrote.
    if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
        return Result(ImageStatus::OutputExists);
    return Result(ImageStatus::OutputUnwritable, error);
}
