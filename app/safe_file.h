// Writing a file so that nothing is ever left half-written: the bytes go to a temporary
// file beside it, which is then renamed over it. And the one rule for whether a path may be
// written at all, which callers also ask before any long work.
#pragma once

#include "app/file_result.h"

// Done when `path` names a file that may be written: not a folder, not a device, and not
// an existing file unless `replace` is set.
ImageResult CheckOutputFile(const wchar_t* path, bool replace);

// A file being written in the folder of its final place.
struct PendingFile {
    HANDLE handle;
    bool replace;
    wchar_t temporary[MAX_PATH];
    wchar_t full[MAX_PATH];
};

// Makes the temporary file for `path`, under CheckOutputFile's rule, open for writing.
ImageResult CreatePendingFile(const wchar_t* path, bool replace, PendingFile* file);

// Closes the file; when `error` (what went wrong while writing it) is 0, renames it to its
// place, else, or when that fails, removes it, so that no file is left behind.
ImageResult FinishPendingFile(PendingFile* file, DWORD error);
