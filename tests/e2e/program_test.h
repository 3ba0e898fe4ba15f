// The one fixture of the end-to-end scenarios: a copy of the program started over a fresh
// registry key, ended through its tray menu with exit code 0, and no key left behind.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        e2e::DeleteProgramKey();
        ASSERT_TRUE(copy_.Ready());
    }

    void TearDown() override
    {
        if (program_.IsRunning())
            Exit();
        e2e::DeleteProgramKey();
    }

    // Starts the copy and waits for its main frame, and for its hotkey unless another
    // program holds that.
    HWND Start(bool waitForHotkey = true)
    {
        EXPECT_TRUE(program_.Start(copy_.ExePath()));
        frame_ = e2e::WaitForWindow(program_.Id(), e2e::kMainFrameClass, e2e::kWaitMs);
        EXPECT_NE(frame_, nullptr) << "no main frame";
        // The frame is listed while its creation, which registers the hotkey, still runs.
        if (waitForHotkey) {
            EXPECT_TRUE(e2e::WaitUntil([] { return e2e::HotkeyTaken(VK_F11); }, e2e::kWaitMs));
        }
        return frame_;
    }

    // Chooses Exit from the tray menu and expects the program to end with code 0.
    void Exit()
    {
        EXPECT_TRUE(e2e::ChooseFromTrayMenu(frame_, program_.Id(), 'X')) << "no tray menu";
        DWORD exitCode = 12345;
        ASSERT_TRUE(program_.WaitForExit(e2e::kWaitMs, &exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    // The nine stored values as "name=value".
    static std::vector<std::string> StoredSettings()
    {
        std::vector<std::string> lines;
        for (const char* name : {"Position", "NoSplash", "EnableHotkeyAction", "HotkeyVKey",
                                 "HotkeyCtrl", "HotkeyAlt", "EnableMouseAction",
                                 "MouseActionPosition", "EnableFilters"})
            lines.push_back(std::string(name) + "=" + e2e::StoredValue(name));
        return lines;
    }

    // Chooses a tray menu item by its access key and waits for the dialog it opens.
    HWND OpenFromTrayMenu(WORD key, const char* caption)
    {
        if (!e2e::ChooseFromTrayMenu(frame_, program_.Id(), key))
            return nullptr;
        return e2e::WaitForDialog(program_.Id(), caption, e2e::kWaitMs);
    }

    // Clicks a button of a dialog (OK, Cancel) and waits for the dialog to go.
    static void CloseDialog(HWND dialog, int button)
    {
        e2e::ClickControl(GetDlgItem(dialog, button));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }, e2e::kWaitMs));
    }

    HWND Preview() const { return e2e::VisibleWindow(program_.Id(), e2e::kPreviewClass); }
    HWND Panel() const { return e2e::VisibleWindow(program_.Id(), e2e::kPanelClass); }
    bool PreviewShown() const { return Preview() != nullptr && Panel() != nullptr; }
    bool PreviewGone() const { return Preview() == nullptr && Panel() == nullptr; }

    e2e::ProgramCopy copy_;
    e2e::Process program_;
    HWND frame_ = nullptr;
};
