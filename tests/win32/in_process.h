// What the tests inside a Wine process share: the program's headers, and a stand-in for the
// message boxes that the code under test shows.
#pragma once

#include <algorithm>

#include "app/app.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "dialogs/splash_window.h"
#include "preview/capture.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/filter_fixture.h"
#include "tests/support/literal_transform.h"
#include "tests/support/message_boxes.h"
#include "tests/win32/import_patch.h"
#include "tray/main_frame.h"
#include "tray/preview_triggers.h"
#include "tray/program_windows.h"

inline HMONITOR PrimaryMonitor()
{
    return MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

// For dialogs made from a template only to be looked at.
inline INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Stands in for MessageBoxA while it lives, no error box shown yet: records each box and
// answers with its first button, after running `whileShown` as if through the box's loop.
// Like a real box under Wine, it leaves its owner enabled, even one disabled before.
class MessageBoxes {
public:
    explicit MessageBoxes(void (*whileShown)() = nullptr)
    {
        shown.clear();
        whileShown_ = whileShown;
        errorBoxShown = 0;
    }

    static inline std::vector<ShownBox> shown;  // hasIcon: asked for one

private:
    static int WINAPI Show(HWND owner, const char* text, const char* title, UINT type)
    {
        shown.push_back({nullptr, owner, title ? title : "(none)", text, bool(type & MB_ICONMASK)});
        if (whileShown_ != nullptr)
            whileShown_();
        EnableWindow(owner, TRUE);
        return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }

    static inline void (*whileShown_)();
    ImportPatch patch_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(Show)};
};
