// Installing the message spy into the program's GUI thread.

#include "tests/e2e/driver_spy.h"

#include <string>

namespace e2e {

MessageSpy::~MessageSpy()
{
    if (hook_ != nullptr)
        UnhookWindowsHookEx(hook_);
    if (counters_ != nullptr)
        UnmapViewOfFile(const_cast<MessageSpyCounters*>(counters_));
    if (mapping_ != nullptr)
        CloseHandle(mapping_);
    if (module_ != nullptr)
        FreeLibrary(module_);
}

bool MessageSpy::Attach(DWORD threadId)
{
    if (mapping_ == nullptr)
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(MessageSpyCounters), MESSAGE_SPY_MAPPING);
    if (mapping_ == nullptr)
        return false;
    if (counters_ == nullptr)
        counters_ = static_cast<MessageSpyCounters*>(
            MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(MessageSpyCounters)));
    if (module_ == nullptr)
        module_ = LoadLibraryA(WindowsPath(PL_MESSAGE_SPY_UNIX_PATH).c_str());
    if (counters_ == nullptr || module_ == nullptr)
        return false;
    // Through void (*)(): GetProcAddress's FARPROC has another signature.
    auto hookProc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "GetMessageHook")));
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, hookProc, module_, threadId);
    threadId_ = threadId;
    return hook_ != nullptr;
}

LONG MessageSpy::Retrieved(UINT message) const
{
    return counters_ != nullptr ? counters_->retrieved[message & 0xFFFF] : -1;
}

ProcessFigures MessageSpy::Measure()
{
    ProcessFigures figures{};
    if (counters_ == nullptr)
        return figures;
    const LONG before = counters_->figures.sequence;
    PostThreadMessageA(threadId_, MESSAGE_SPY_MEASURE, 0, 0);
    if (WaitUntil([&] { return counters_->figures.sequence != before; }, 10000)) {
        figures.sequence = counters_->figures.sequence;
        figures.workingSetKb = counters_->figures.workingSetKb;
        figures.kernelHandles = counters_->figures.kernelHandles;
    }
    return figures;
}

LONG MessageSpy::PreviewPaints() const
{
    return counters_ != nullptr ? counters_->previewPaints : -1;
}

}  // namespace e2e
