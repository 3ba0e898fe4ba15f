// The executable's folder and the OS version class, cached for the whole run.

#include "app/app.h"

#include <cstring>
#include <cwchar>

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

const wchar_t* GetExeDirectory()
{
    static wchar_t directory[MAX_PATH];
    static bool found;
    if (found)
        return directory;
    found = true;
    wchar_t path[MAX_PATH] = L"";
    // A path that fills the buffer was cut: it would name another folder.
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* name = length > 0 && length < MAX_PATH ? std::wcsrchr(path, L'\\') : nullptr;
    if (name != nullptr) {
        name[1] = L'\0';
        std::wcscpy(directory, path);
    }
    return directory;
}

const wchar_t* GetFilterFolder()
{
    static wchar_t folder[MAX_PATH];
    static const wchar_t kFilterFolder[] = L"filter\\";
    const wchar_t* directory = GetExeDirectory();
    // A cut path would name another folder.
    if (folder[0] == L'\0' && directory[0] != L'\0' &&
        std::wcslen(directory) + std::wcslen(kFilterFolder) < MAX_PATH) {
        std::wcscpy(folder, directory);
        std::wcscat(folder, kFilterFolder);
    }
    return folder;
}

int IsWin2000OrLater()
{
    if (osClass == OsUnknown)
        ProbeOsVersion();
    return osClass == OsWin2000 || osClass == OsWinXpOrLater;
}
