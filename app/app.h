// Process-wide services of the application shell: the executable's instance and
// directory, the product name, and the OS version class.
#pragma once

#include <windows.h>

// The executable's instance, stored when the windows are initialised. Null before that,
// which makes the resource functions search the executable itself.
extern HINSTANCE exeInstance;

// The product name from the string table: every window title and message-box caption.
extern char productName[512];

// Registers one of the program's window classes: class style 0, no extra bytes, the arrow
// cursor and no background brush (each window paints all of its client area itself), and
// the executable's own icon when `withIcon` is set.
ATOM RegisterProgramClass(const char* className, WNDPROC procedure, bool withIcon);

// The directory of the running executable, always ending in a backslash. The pointer
// stays valid for the life of the process.
const char* GetExeDirectory();

// The folder "filter" beside the executable, ending in a backslash, where the filter files
// are; empty when its path would not fit in MAX_PATH.
const char* GetFilterFolder();

// 1 on Windows 2000 or later. Probes again while the class is unknown.
int IsWin2000OrLater();
