// A fixture for end-to-end tests that run one copy of the program through its tray menu
// and dialogs, starting from an empty registry key and leaving none behind.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

const DWORD kWaitMs = 10000;

class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override { e2e::DeleteRegistryKey(e2e::kProgramKey); }
    void TearDown() override { e2e::DeleteRegistryKey(e2e::kProgramKey); }

    // Starts the program and waits for its main frame and, unless NoSplash is set, for the
    // splash to come and go: it would cover the middle of the screen, where dialogs open.
    HWND Start()
    {
        EXPECT_TRUE(copy_.Ready());
        EXPECT_TRUE(program_.Start(copy_.ExePath()));
        HWND frame = e2e::WaitForWindow(e2e::kMainFrameClass, program_.Id(), kWaitMs);
        DWORD noSplash = 0;
        e2e::ReadRegistryDword(e2e::kProgramKey, "NoSplash", &noSplash);
        if (noSplash != 1) {
            HWND splash = e2e::WaitForWindow(e2e::kSplashClass, program_.Id(), kWaitMs);
            e2e::WaitUntil([&] { return !IsWindow(splash); }, kWaitMs);
        }
        return frame;
    }

    // Chooses a tray menu command by its access key and waits for the dialog it opens.
    HWND Open(HWND frame, WORD key, const char* caption)
    {
        if (!e2e::ChooseFromTrayMenu(frame, program_.Id(), key))
            return nullptr;
        return e2e::WaitForDialog(program_.Id(), caption, kWaitMs);
    }

    // Clicks a button of the dialog (OK, Cancel) and waits for the dialog to go.
    static void Close(HWND dialog, int button)
    {
        e2e::ClickControl(GetDlgItem(dialog, button));
        EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }, kWaitMs));
    }

    // Chooses Exit and returns the nine stored values as "name=value" lines.
    std::vector<std::string> ExitAndReadSettings(HWND frame)
    {
        e2e::ChooseExit(frame);
        DWORD exitCode = 12345;
        EXPECT_TRUE(program_.WaitForExit(kWaitMs, &exitCode));
        EXPECT_EQ(exitCode, 0u);
        std::vector<std::string> lines;
        for (const char* name : {"Position", "EnableFilters"}) {
            std::string text = "(missing)";
            e2e::ReadRegistryString(e2e::kProgramKey, name, &text);
            lines.push_back(std::string(name) + "=" + text);
        }
        for (const char* name : {"NoSplash", "EnableHotkeyAction", "HotkeyVKey", "HotkeyCtrl",
                                 "HotkeyAlt", "EnableMouseAction", "MouseActionPosition"}) {
            DWORD value = 0;
            lines.push_back(std::string(name) + "=" +
                            (e2e::ReadRegistryDword(e2e::kProgramKey, name, &value)
                                 ? std::to_string(value)
                                 : "(missing)"));
        }
        return lines;
    }

    e2e::ProgramCopy copy_;
    e2e::Process program_;
};
