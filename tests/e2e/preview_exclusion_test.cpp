// The dialogs and the preview exclude each other: Option opens nothing while a preview is
// shown, the hotkey opens nothing while the Option dialog is open, and the hotkey closes an
// open About box as it opens the preview.

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/running_program.h"

namespace {

using DialogsAndPreview = RunningProgram;

// Waits for the preview to end after a WM_CLOSE, as Esc and the panel's Close send it.
void ClosePreview(HWND preview)
{
    PostMessageA(preview, WM_CLOSE, 0, 0);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(preview); }, kWaitMs));
}

TEST_F(DialogsAndPreview, ExcludeEachOther)
{
    e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 1);
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(e2e::WaitUntil(
        [] {
            if (!RegisterHotKey(nullptr, 9, 0, VK_F11))
                return true;
            UnregisterHotKey(nullptr, 9);
            return false;
        },
        kWaitMs))
        << "the program did not take F11";

    e2e::PressKey(VK_F11);
    HWND preview = e2e::WaitForWindow(e2e::kPreviewClass, program_.Id(), 5000);
    if (preview == nullptr) {
        ExitAndReadSettings(frame);
        GTEST_SKIP() << "F11 opened no preview: this build has no preview window";
    }
    ASSERT_TRUE(e2e::ChooseFromTrayMenu(frame, program_.Id(), 'O'));
    Sleep(1000);
    EXPECT_EQ(e2e::CountDialogs(program_.Id(), "Option"), 0) << "Option during a preview";
    ClosePreview(preview);

    HWND option = Open(frame, 'O', "Option");
    ASSERT_NE(option, nullptr);
    e2e::PressKey(VK_F11);
    EXPECT_EQ(e2e::WaitForWindow(e2e::kPreviewClass, program_.Id(), 1000), nullptr)
        << "the hotkey opened a preview while the Option dialog was open";
    Close(option, IDCANCEL);

    HWND about = Open(frame, 'A', "About");
    ASSERT_NE(about, nullptr);
    e2e::PressKey(VK_F11);
    preview = e2e::WaitForWindow(e2e::kPreviewClass, program_.Id(), kWaitMs);
    EXPECT_NE(preview, nullptr) << "the hotkey opened no preview while the About box was open";
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about); }, kWaitMs))
        << "the About box stayed open under the preview";
    if (preview != nullptr)
        ClosePreview(preview);
    ExitAndReadSettings(frame);
}

}  // namespace
