// The message spy's side inside the program's process.

#include "tests/e2e/spy/message_spy.h"

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

}  // namespace

extern "C" LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (MessageSpyCounters* spy = Counters()) {
            InterlockedIncrement(&spy->retrieved[msg->message & 0xFFFF]);
            if (msg->message == WM_PAINT && IsPreview(msg->hwnd))
                InterlockedIncrement(&spy->previewPaints);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
