// A hook DLL that the end-to-end driver installs into the program's GUI thread to count
// the messages that thread takes from its queue, as Windows hands them over. The counts
// live in a named shared mapping that both processes open.
#pragma once

#include <windows.h>

#define MESSAGE_SPY_MAPPING "prismolenteer.e2e.messagespy"

// Posted to the program's thread to have the spy take the process figures below.
#define MESSAGE_SPY_MEASURE (WM_APP + 0x3F0)

// What the process uses, taken inside it: Wine answers these questions only for the calling
// process, and some not at all (GetGuiResources is always 0).
struct ProcessFigures {
    LONG sequence;           // taken figures so far
    DWORD workingSetKb;      // GetProcessMemoryInfo (its PrivateUsage is always 0 under Wine)
    DWORD kernelHandles;     // handle values that DuplicateHandle accepts
};

struct MessageSpyCounters {
    // Messages taken from the queue (GetMessage or PeekMessage with PM_REMOVE), by id.
    volatile LONG retrieved[0x10000];
    // WM_PAINT taken for windows of the preview's class.
    volatile LONG previewPaints;
    volatile ProcessFigures figures;
};

// The WH_GETMESSAGE hook procedure, exported by message_spy.dll as "GetMessageHook".
extern "C" __declspec(dllexport) LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam,
                                                                 LPARAM lParam);
