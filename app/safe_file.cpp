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

}  // namespace

ImageResult CheckOutputFile(const wchar_t* path, bool replace)
{
    wchar_t full[MAX_PATH];
    wchar_t* fileName = nullptr;
    const ImageResult whole = FullPath(path, full, &fileName);
    return whole.status == ImageStatus::Done ? CheckFullPath(full, replace) : whole;
}

ImageResult CreatePendingFile(const wchar_t* path, bool replace, PendingFile* file)
{
    file->handle = INVALID_HANDLE_VALUE;
    file->replace = replace;
    wchar_t* fileName = nullptr;
    ImageResult result = FullPath(path, file->full, &fileName);
    if (result.status == ImageStatus::Done)
        result = CheckFullPath(file->full, replace);
    if (result.status != ImageStatus::Done)
        return result;

    wchar_t folder[MAX_PATH];
    const size_t folderLength = static_cast<size_t>(fileName - file->full);
    std::wmemcpy(folder, file->full, folderLength);
    folder[folderLength] = L'\0';
    if (GetTempFileNameW(folder, L"plk", 0, file->temporary) == 0)
        return Result(ImageStatus::OutputUnwritable, GetLastError());
    // GetTempFileNameW made the file; it is opened again to be written.
    file->handle = CreateFileW(file->temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file->handle != INVALID_HANDLE_VALUE)
        return Result(ImageStatus::Done);
    const DWORD error = GetLastError();
    DeleteFileW(file->temporary);
    return Result(ImageStatus::OutputUnwritable, error);
}

ImageResult FinishPendingFile(PendingFile* file, DWORD error)
{
    if (!CloseHandle(file->handle) && error == 0)
        error = GetLastError();
    file->handle = INVALID_HANDLE_VALUE;
    if (error == 0 &&
        !MoveFileExW(file->temporary, file->full, file->replace ? MOVEFILE_REPLACE_EXISTING : 0))
        error = GetLastError();
    if (error == 0)
        return Result(ImageStatus::Done);
    DeleteFileW(file->temporary);
    // Another program made the file while this one wrote.
    if (!file->replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
        return Result(ImageStatus::OutputExists);
    return Result(ImageStatus::OutputUnwritable, error);
}
