// Reads and dismisses every message box this process shows, from a second thread, so that
// a test on the GUI thread never stays stuck in a box's modal loop.
#pragma once

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "tests/support/message_boxes.h"

class BoxWatcher {
public:
    // Each box is read at once and dismissed `dismissAfterMs` after it appeared, which
    // leaves its modal loop running for a while when a test needs that.
    explicit BoxWatcher(DWORD dismissAfterMs = 0)
        : dismissAfterMs_(dismissAfterMs), thread_([this] { Run(); }) {}
    ~BoxWatcher()
    {
        stop_ = true;
        thread_.join();
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    std::vector<ShownBox> Seen()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return seen_;
    }

private:
    void Run()
    {
        std::set<HWND> dismissed;
        while (!stop_) {
            for (HWND box : MessageBoxesOf(GetCurrentProcessId())) {
                if (!dismissed.insert(box).second)
                    continue;
                ShownBox shown = ReadMessageBox(box);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    seen_.push_back(shown);
                }
                Sleep(dismissAfterMs_);
                DismissMessageBox(box);
            }
            Sleep(10);
        }
    }

    const DWORD dismissAfterMs_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<ShownBox> seen_;
    std::thread thread_;
};
