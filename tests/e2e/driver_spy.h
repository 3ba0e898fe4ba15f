// Counting the messages the program's GUI thread takes from its queue, through the
// message_spy.dll hook.
#pragma once

#include <windows.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/spy/message_spy.h"

namespace e2e {

class MessageSpy {
public:
    MessageSpy() = default;
    ~MessageSpy();
    MessageSpy(const MessageSpy&) = delete;
    MessageSpy& operator=(const MessageSpy&) = delete;

    // Hooks the thread (of another process). The hook runs inside that process the next
    // time the thread takes a message.
    bool Attach(DWORD threadId);

    LONG Retrieved(UINT message) const;
    LONG PreviewPaints() const;

    // Has the spy take the program's figures, and waits for them. All zero on failure.
    ProcessFigures Measure();

private:
    HMODULE module_ = nullptr;
    HANDLE mapping_ = nullptr;
    HHOOK hook_ = nullptr;
    DWORD threadId_ = 0;
    const volatile MessageSpyCounters* counters_ = nullptr;
};

}  // namespace e2e
