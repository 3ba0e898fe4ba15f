// The language module and the string loading that falls back to the executable string by
// string.

#include "app/resource_module.h"

#include <cstdio>
#include <cstdlib>

#include "app/app.h"

HINSTANCE resourceModule;

namespace {

const char kResourceModuleName[] = "PLRes.dll";

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
bool ReadFixedVersion(const char* path, VS_FIXEDFILEINFO* fixed)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return false;
    void* block = std::malloc(size);
    if (block == nullptr)
        return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    const bool found = GetFileVersionInfoA(path, 0, size, block) &&
                       VerQueryValueA(block, "\\", reinterpret_cast<void**>(&info), &infoSize) &&
                       info != nullptr && infoSize >= sizeof(VS_FIXEDFILEINFO);
    if (found)
        *fixed = *info;
    std::free(block);
    return found;
}

const DWORD kNoProductVersion = 0xFFFFFFFF;

// dwProductVersionMS of the file's version record (major << 16 | minor), or
// kNoProductVersion when the file has no readable version record.
DWORD ReadProductVersion(const char* path)
{
    VS_FIXEDFILEINFO fixed;
    return ReadFixedVersion(path, &fixed) ? fixed.dwProductVersionMS : kNoProductVersion;
}

}  // namespace

const char* ProgramVersion()
{
    static char version[32];
    if (version[0] == '\0') {
        char path[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        path[MAX_PATH - 1] = '\0';
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
    char path[MAX_PATH];
    const int length = std::snprintf(path, sizeof path, "%s%d\\%s", GetExeDirectory(),
                                     static_cast<int>(GetUserDefaultLCID()), kResourceModuleName);
    // A cut path could name another file: a path that does not fit finds no module.
    if (length < 0 || length >= static_cast<int>(sizeof path))
        return nullptr;

    // The version is read from the file before anything of it is mapped.
    char exePath[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    exePath[MAX_PATH - 1] = '\0';
    if (ReadProductVersion(path) != ReadProductVersion(exePath))
        return nullptr;

    // A language module is resources only: mapped as data, its entry point never runs and
    // none of its imports are loaded. Windows before Vista lack the image-resource flag and
    // refuse the call with it.
    HINSTANCE module = LoadLibraryExA(path, nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr)
        module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
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
