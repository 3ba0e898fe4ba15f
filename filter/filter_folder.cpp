// The folder scan over <folder>*.plf. Each file is read by LoadFilterFile
// (filter/filter_file.h); a file that fails is skipped and the scan goes on.

#include "filter/filter_folder.h"

#include <cstring>

#include <windows.h>

#include "filter/filter_file.h"

namespace {

const char kFilterPattern[] = "*.plf";

// `first` followed by `second` in `target` of MAX_PATH bytes; false when that does not fit.
bool JoinPath(char (&target)[MAX_PATH], const char* first, const char* second)
{
    const size_t firstLength = std::strlen(first);
    const size_t secondLength = std::strlen(second);
    if (firstLength + secondLength >= MAX_PATH)
        return false;
    std::memcpy(target, first, firstLength);
    std::memcpy(target + firstLength, second, secondLength + 1);
    return true;
}

}  // namespace

int LoadFilterFiles(const char* folder)
{
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, folder, kFilterPattern))
        return 0;
    const LCID locale = GetUserDefaultLCID();

    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // A path that does not fit is skipped: cut short, it would name another file.
        char path[MAX_PATH];
        if (JoinPath(path, folder, entry.cFileName))
            LoadFilterFile(path, locale);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return 1;
}
