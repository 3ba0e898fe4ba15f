// The language module and the string loading that falls back to the executable string by
// string.

#include "app/resource_module.h"

#include <cstdio>
#include <cwchar>
#include <cstdlib>

#include "app/app.h"

HINSTANCE resourceModule;

namespace {

const wchar_t kResourceModuleName[] = L"PLRes.dll";

// What `load` finds in the language module, or else in the executable. A resource the
// module lacks, or holds empty, is taken from the executable one by one.
template <typename Load>
auto LoadFromModuleOrExecutable(Load load) -> decltype(load(exeInstance))
{
    if (resourceModule != nullptr)
        if (auto found = load(resourceModule))
            return found;
    return load(exeInstance);
}

// The fixed part of the file's version record, and the code page of its first translation
// (the code page its texts were written for; 0 when it names none). False when the file has
// no version record.
bool ReadFixedVersion(const wchar_t* path, VS_FIXEDFILEINFO* fixed, UINT* codePage = nullptr)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return false;
    void* block = std::malloc(size);
    if (block == nullptr)
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    const bool found = GetFileVersionInfoW(path, 0, size, block) &&
                       VerQueryValueW(block, L"\\", reinterpret_cast<void**>(&info), &infoSize) &&
                       info != nullptr && infoSize >= sizeof(VS_FIXEDFILEINFO);
    if (found)
        *fixed = *info;
    if (codePage != nullptr) {
        WORD* translation = nullptr;  // language, code page
        UINT translationSize = 0;
        *codePage = 0;
        if (found && VerQueryValueW(block, L"\\VarFileInfo\\Translation",
                                    reinterpret_cast<void**>(&translation), &translationSize) &&
            translation != nullptr && translationSize >= 2 * sizeof(WORD))
            *codePage = translation[1];
    }
    std::free(block);
    return found;
}

const DWORD kNoProductVersion = 0xFFFFFFFF;

// dwProductVersionMS of the file's version record (major << 16 | minor), or
// kNoProductVersion when the file has no readable version record.
DWORD ReadProductVersion(const wchar_t* path)
{
    VS_FIXEDFILEINFO fixed;
    return ReadFixedVersion(path, &fixed) ? fixed.dwProductVersionMS : kNoProductVersion;
}

// The running executable's path; empty when it does not fit.
void GetExePath(wchar_t (&path)[MAX_PATH])
{
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        path[0] = L'\0';
}

// <exe dir><locale>\PLRes.dll mapped as resources only, when its product version's major and
// minor numbers are `programVersion`'s and its texts are written for the system's ANSI code
// page: the program loads them through that code page, which could not hold those of
// another (German on a Japanese system would show "?"). UTF-8, which Windows 10 offers as
// the ANSI code page, holds every text. Null otherwise.
HINSTANCE LoadModuleOf(LCID locale, DWORD programVersion)
{
    const wchar_t* directory = GetExeDirectory();
    wchar_t path[MAX_PATH];
    const int length = std::swprintf(path, MAX_PATH, L"%ls%d\\%ls", directory,
                                     static_cast<int>(locale), kResourceModuleName);
    // A cut path could name another file: a path that does not fit finds no module, and
    // without the executable's folder the path would be read from the current one.
    if (directory[0] == L'\0' || length < 0 || length >= MAX_PATH)
        return nullptr;

    // The version is read from the file before anything of it is mapped.
    VS_FIXEDFILEINFO fixed;
    UINT codePage = 0;
    const DWORD version = ReadFixedVersion(path, &fixed, &codePage) ? fixed.dwProductVersionMS
                                                                    : kNoProductVersion;
    if (version != programVersion || (codePage != GetACP() && GetACP() != CP_UTF8))
        return nullptr;

    // A language module is resources only: mapped as data, its entry point never runs and
    // none of its imports are loaded. Windows before Vista lack the image-resource flag and
    // refuse the call with it.
    HINSTANCE module = LoadLibraryExW(path, nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr)
        module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

}  // namespace

const char* ProgramVersion()
{
    static char version[32];
    if (version[0] == '\0') {
        wchar_t path[MAX_PATH];
        GetExePath(path);
        VS_FIXEDFILEINFO fixed{};
        ReadFixedVersion(path, &fixed);
        std::snprintf(version, sizeof version, "%lu.%lu.%lu.%lu", fixed.dwProductVersionMS >> 16,
                      fixed.dwProductVersionMS & 0xFFFF, fixed.dwProductVersionLS >> 16,
                      fixed.dwProductVersionLS & 0xFFFF);
    }
    return version;
}

HINSTANCE LoadResourceModule()
{
    wchar_t exePath[MAX_PATH];
    GetExePath(exePath);
    const DWORD programVersion = ReadProductVersion(exePath);

    // The user's own region first, then the language's default one: German (Austria), 3079,
    // finds 1031\, Spanish (Argentina), 11274, finds 1034\. Else none: English.
    const LCID locale = GetUserDefaultLCID();
    const LCID language = MAKELCID(MAKELANGID(PRIMARYLANGID(LANGIDFROMLCID(locale)), SUBLANG_DEFAULT),
                                   SORT_DEFAULT);
    HINSTANCE module = LoadModuleOf(locale, programVersion);
    if (module == nullptr && language != locale)
        module = LoadModuleOf(language, programVersion);
    return module;
}

HINSTANCE GetResourceInstance()
{
    return resourceModule != nullptr ? resourceModule : exeInstance;
}

int LoadResString(UINT id, char* buffer, int bufferSize)
{
    if (buffer == nullptr)
        return 0;
    if (bufferSize > 0)
        buffer[0] = '\0';
    // LoadStringA gives 0 both for a missing and for an empty string; either way the
    // executable's own text stands in.
    const bool found = LoadFromModuleOrExecutable([&](HINSTANCE module) {
        return LoadStringA(module, id, buffer, bufferSize) > 0;
    });
    if (!found && bufferSize > 0)
        buffer[0] = '\0';
    return found ? 1 : 0;
}

int LoadResStringW(UINT id, wchar_t* buffer, int bufferSize)
{
    if (buffer == nullptr)
        return 0;
    if (bufferSize > 0)
        buffer[0] = L'\0';
    const bool found = LoadFromModuleOrExecutable([&](HINSTANCE module) {
        return LoadStringW(module, id, buffer, bufferSize) > 0;
    });
    if (!found && bufferSize > 0)
        buffer[0] = L'\0';
    return found ? 1 : 0;
}

HBITMAP LoadResBitmap(UINT id)
{
    return LoadFromModuleOrExecutable([id](HINSTANCE module) {
        return static_cast<HBITMAP>(
            LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    });
}

HMENU LoadResMenu(UINT id)
{
    return LoadFromModuleOrExecutable([id](HINSTANCE module) {
        return LoadMenuA(module, MAKEINTRESOURCEA(id));
    });
}
