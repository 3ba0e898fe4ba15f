// The Prismolenteer.exe a benchmark starts, watches and ends, and the message pumping
// while it waits for it.
#pragma once

#include <string>
#include <utility>

#include <windows.h>

#include <psapi.h>

#include "res/resource.h"

// Dispatches the messages of the benchmark's own windows for `ms`.
inline void PumpFor(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(2);
    } while (GetTickCount() - start < ms);
}

// Pumps until `condition` holds; false after `timeoutMs`.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount(); !condition(); PumpFor(1))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

struct BenchProgram {
    PROCESS_INFORMATION process{};
    HWND frame = nullptr;

    // Starts the program at `path` in its own folder and waits until its main frame is made
    // and it waits for input. The first program of a fresh Wine session may take a while.
    bool Launch(const std::string& path)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        const std::string folder = path.substr(0, path.rfind('\\'));
        if (!CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &process))
            return false;
        if (!WaitFor([&] {
                return (frame = FindWindowA("mainframe.wndclass.prismolenteer.morvask", nullptr)) != nullptr;
            }, 60000))
            return false;
        WaitForInputIdle(process.hProcess, 60000);
        return true;
    }

    // Exits it through its tray menu's command, or ends it when it does not exit.
    void Exit()
    {
        PostMessageA(frame, WM_COMMAND, IDM_EXIT, 0);
        if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }

    // The working set and the private bytes, in KB. Wine counts no handles or GDI objects
    // of another process.
    std::pair<unsigned, unsigned> Memory() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters);
        return {unsigned(counters.WorkingSetSize / 1024), unsigned(counters.PagefileUsage / 1024)};
    }
};
