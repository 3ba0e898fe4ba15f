// What the tests inside a Wine process share: the program's headers, and a stand-in for the
// message boxes that the code under test shows.
#pragma once

#include <algorithm>

#include "app/app.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "dialogs/about_dialog.h"
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

// Takes the place of MessageBoxA in this executable's imports while it lives, from a state
// where no error box was shown yet: records each box the program asks for and answers at
// once with the first button, after running `whileShown` as if it came in through the
// box's loop. As a real box does under Wine, it leaves its owner enabled, even one that was
// disabled before.
class MessageBoxes {
public:
    explicit MessageBoxes(void (*whileShown)() = nullptr)
    {
        EXPECT_TRUE(patch_.Applied());
        shown.clear();
        whileShown_ = whileShown;
        errorBoxShown = 0;
    }

    static inline std::vector<ShownBox> shown;  // hasIcon: asked for one

private:
    static int WINAPI Show(HWND owner, const char* text, const char* caption, UINT type)
    {
        shown.push_back({nullptr, owner, caption ? caption : "(default)", text, (type & MB_ICONMASK) != 0});
        if (whileShown_ != nullptr)
            whileShown_();
        EnableWindow(owner, TRUE);
        return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }

    static inline void (*whileShown_)();
    ImportPatch patch_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(Show)};
};
