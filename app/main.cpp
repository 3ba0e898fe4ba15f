// The process's spine: one copy at a time, the pieces of the program brought up in a
// fixed order, the message loop, and the orderly end.

#include <windows.h>

#include "filter/filter_folder.h"
#include "filter/filter_table.h"

namespace {

const char kSingleInstanceMutex[] = "singleinstance.mutex.prismolenteer.morvask";

int RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Never owned and never closed: the mutex only marks that a copy is running, and it
    // goes away with the process.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kSingleInstanceMutex);
    if (mutex == nullptr)
        return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);  // another copy runs; leave it alone
        return 0;
    }

    RegisterBuiltinFilters();
    LoadFilterFiles();

    RunMessageLoop();
    return 0;
}
