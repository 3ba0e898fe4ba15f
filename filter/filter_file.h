// Filter files: one text file makes one custom filter, or gives a built-in filter a new
// display name. Portable: no windows.h; the folder scan is in filter/filter_folder.h.
#pragma once

#include <cstdint>
#include <cstdio>

// MAX_PATH: the room for a path or a file name, terminator included.
const int kMaxPath = 260;

// Reads the filter file at `path` for a user of the given locale identifier and hands its
// filter to AddFilter. Non-zero when the file began with the header line and its filter
// was handed on (whatever AddFilter answered); zero when the file could not be opened,
// lacked the header, was named with a reserved name or lacked colours, or its path does
// not fit in kMaxPath bytes.
int LoadFilterFile(const char* path, uint32_t locale);

// The same for a file that is already open for reading as text; `path` gives the filter
// its name. Reads from the current position and leaves the file open.
int ReadFilterFile(std::FILE* file, const char* path, uint32_t locale);

// The file name in `path` without its folder and without everything from its first dot
// (C:\x\a.b.plf gives a).
void GetFileBaseName(const char* path, char (&baseName)[kMaxPath]);
