// The executable directory and the OS version class, cached for the whole run.

#include "app/app.h"

#include <cstdio>
#include <cstring>

#include "filter/ansi_text.h"
#include "res/resource.h"

HINSTANCE exeInstance;
char productName[512];

namespace {

enum OsClass {
    OsUnknown = 0,       // not probed yet, or no class found
    OsWin9x = 1,
    OsNt4 = 2,
    OsWin2000 = 3,
    OsWinXpOrLater = 4,
};

char exeDirectory[MAX_PATH];
OsClass osClass = OsUnknown;

// Classifies the running system. Non-zero when a class was found.
int ProbeOsVersion()
{
    osClass = OsUnknown;
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;  // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return 0;
#pragma GCC diagnostic pop

    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        osClass = OsWin9x;
    } else if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (info.dwMajorVersion < 5)
            osClass = OsNt4;
        else if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0)
            osClass = OsWin2000;
        else
            osClass = OsWinXpOrLater;
    }
    return osClass != OsUnknown;
}

}  // namespace

ATOM RegisterProgramClass(const char* className, WNDPROC procedure, bool withIcon)
{
    WNDCLASSEXA windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;  // 48
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = exeInstance;
    if (withIcon)
        windowClass.hIcon = LoadIconA(exeInstance, MAKEINTRESOURCEA(IDI_MAIN));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass);
}

const char* GetExeDirectory()
{
    if (exeDirectory[0] != '\0')
        return exeDirectory;

    char path[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA(nullptr), path, MAX_PATH);
    path[MAX_PATH - 1] = '\0';

    path[FileNameInPath(path) - path] = '\0';
    std::strcpy(exeDirectory, path);
    return exeDirectory;
}

const char* GetFilterFolder()
{
    static char folder[MAX_PATH];
    // A cut path would name another folder.
    const int length = std::snprintf(folder, sizeof folder, "%sfilter\\", GetExeDirectory());
    if (length < 0 || length >= static_cast<int>(sizeof folder))
        folder[0] = '\0';
    return folder;
}

int IsWin2000OrLater()
{
    if (osClass == OsUnknown)
        ProbeOsVersion();
    return osClass == OsWin2000 || osClass == OsWinXpOrLater;
}
