// A hook DLL that the end-to-end driver installs into the program's GUI thread to count
// the messages that thread takes from its queue, as Windows hands them over. The counts
// live in a named shared mapping that both processes open.
#pragma once

#include <windows.h>

#define MESSAGE_SPY_MAPPING "prismolenteer.e2e.messagespy"

struct MessageSpyCounters {
    // Messages taken from the queue (GetMessage or PeekMessage with PM_REMOVE), by id.
    volatile LONG retrieved[0x10000];
    // WM_PAINT taken for windows of the preview's class.
    volatile LONG previewPaints;
};

// The WH_GETMESSAGE hook procedure, exported by message_spy.dll as "GetMessageHook".
extern "C" __declspec(dllexport) LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam,
                                                                 LPARAM lParam);
