// The message spy's side inside the program's process.

#include "tests/e2e/spy/message_spy.h"

#include <psapi.h>


namespace {

MessageSpyCounters* counters;

MessageSpyCounters* Counters()
{
    if (counters == nullptr) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, MESSAGE_SPY_MAPPING);
        if (mapping != nullptr)
            counters = static_cast<MessageSpyCounters*>(
                MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(MessageSpyCounters)));
    }
    return counters;
}

bool IsPreview(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "previewwnd.wndclass.prismolenteer.morvask") == 0;
}

DWORD CountKernelHandles()
{
    DWORD count = 0;
    HANDLE self = GetCurrentProcess();
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(self, reinterpret_cast<HANDLE>(value), self, &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            CloseHandle(copy);
            ++count;
        }
    }
    return count;
}

void TakeFigures(volatile ProcessFigures& figures)
{
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    figures.workingSetKb = static_cast<DWORD>(memory.WorkingSetSize / 1024);
    figures.kernelHandles = CountKernelHandles();
    InterlockedIncrement(&figures.sequence);
}

}  // namespace

extern "C" LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (MessageSpyCounters* spy = Counters()) {
            InterlockedIncrement(&spy->retrieved[msg->message & 0xFFFF]);
            if (msg->message == WM_PAINT && IsPreview(msg->hwnd))
                InterlockedIncrement(&spy->previewPaints);
            if (msg->message == MESSAGE_SPY_MEASURE)
                TakeFigures(spy->figures);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
