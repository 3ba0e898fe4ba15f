// The folder scan over <folder>*.plf. Each file is read by ReadFilterFile
// (filter/filter_file.h); a file that fails is skipped and the scan goes on.

#include "filter/filter_folder.h"

#include <cstdio>
#include <cwchar>

#include <windows.h>

#include "filter/filter_file.h"

namespace {

const wchar_t kFilterPattern[] = L"*.plf";

// `first` followed by `second` in `target` of MAX_PATH characters; false when that does not fit.
bool JoinPath(wchar_t (&target)[MAX_PATH], const wchar_t* first, const wchar_t* second)
{
    const size_t firstLength = std::wcslen(first);
    const size_t secondLength = std::wcslen(second);
    if (firstLength + secondLength >= MAX_PATH)
        return false;
    std::wmemcpy(target, first, firstLength);
    std::wmemcpy(target + firstLength, second, secondLength + 1);
    return true;
}

// The file name in the ANSI code page, as filter names are kept; false when a character of
// it has no form there (a look-alike would give the filter another file's name).
bool AnsiFileName(const wchar_t* name, char (&ansi)[MAX_PATH])
{
    BOOL defaulted = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, ansi, MAX_PATH, nullptr,
                               &defaulted) > 0 && !defaulted;
}

}  // namespace

int LoadFilterFiles(const wchar_t* folder)
{
    // Without a folder the pattern would be read in the current one.
    wchar_t pattern[MAX_PATH];
    if (folder[0] == L'\0' || !JoinPath(pattern, folder, kFilterPattern))
        return 0;
    const LCID locale = GetUserDefaultLCID();

    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // A path that does not fit is skipped: cut short, it would name another file.
        wchar_t path[MAX_PATH];
        char name[MAX_PATH];
        if (!JoinPath(path, folder, entry.cFileName) || !AnsiFileName(entry.cFileName, name))
            continue;
        // Text mode, as the reader expects: CR LF arrives as LF.
        std::FILE* file = _wfopen(path, L"r");
        if (file == nullptr)
            continue;
        ReadFilterFile(file, name, locale);
        std::fclose(file);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return 1;
}
