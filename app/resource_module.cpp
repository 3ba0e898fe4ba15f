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

// The fixed part of the file's version record. False when it has none.
bool ReadFixedVersion(const wchar_t* path, VS_FIXEDFILEINFO* fixed)
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
    const wchar_t* directory = GetExeDirectory();
    wchar_t path[MAX_PATH];
    const int length = std::swprintf(path, MAX_PATH, L"%ls%d\\%ls", directory,
                                     static_cast<int>(GetUserDefaultLCID()), kResourceModuleName);
    // A cut path could name another file: a path that does not fit finds no module, and
    // without the executable's folder the path would be read from the current one.
    if (directory[0] == L'\0' || length < 0 || length >= MAX_PATH)
        return nullptr;

    // The version is read from the file before anything of it is mapped.
    wchar_t exePath[MAX_PATH];
    GetExePath(exePath);
    if (ReadProductVersion(path) != ReadProductVersion(exePath))
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
