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

// The folder of the running executable, ending in a backslash; empty when its path does
// not fit in MAX_PATH. Unicode, so that a folder whose name the ANSI code page cannot hold
// (a user's name in another script, in the per-user installation's path) is found. The
// pointer stays valid for the life of the process.
const wchar_t* GetExeDirectory();

// The folder "filter" beside the executable, ending in a backslash, where the filter files
// are; empty when there is no executable folder or the path would not fit in MAX_PATH.
const wchar_t* GetFilterFolder();

// 1 on Windows 2000 or later. Probes again while the class is unknown.
int IsWin2000OrLater();

// A function of a system library looked up at run time, so that the program still starts on
// a Windows that lacks it; null there. `load` loads the library, which must otherwise be
// loaded already.
template <typename Proc>
Proc FindSystemFunction(const char* module, const char* name, bool load)
{
    HMODULE handle = load ? LoadLibraryA(module) : GetModuleHandleA(module);
    if (handle == nullptr)
        return nullptr;
    // Through void (*)(), which any function pointer may be cast to and back from.
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}
