// The program living in the tray, driven from outside as Windows and a user drive it:
// its hidden main frame, the icon and its menu, Exit, the settings it leaves in the
// registry, the end of the session, a shell restart, a taken hotkey, a language module.

#include <string>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/support/message_boxes.h"

namespace {

const DWORD kStartTimeoutMs = 15000;

// Each test starts with no registry key and leaves none behind.
class TrayProgram : public ::testing::Test {
protected:
    void SetUp() override { e2e::DeleteRegistryKey(e2e::kProgramKey); }
    void TearDown() override { e2e::DeleteRegistryKey(e2e::kProgramKey); }

    // Starts the copy and waits for its main frame.
    HWND Start(e2e::ProgramCopy& copy, e2e::Process& process)
    {
        EXPECT_TRUE(copy.Ready());
        EXPECT_TRUE(process.Start(copy.ExePath()));
        return e2e::WaitForWindow(e2e::kMainFrameClass, process.Id(), kStartTimeoutMs);
    }

    static void ExpectExitCodeZero(e2e::Process& process)
    {
        DWORD exitCode = 12345;
        ASSERT_TRUE(process.WaitForExit(10000, &exitCode)) << "the program did not end";
        EXPECT_EQ(exitCode, 0u);
    }

    static std::string Text(const char* name)
    {
        std::string value = "(missing)";
        e2e::ReadRegistryString(e2e::kProgramKey, name, &value);
        return value;
    }

    static std::string Number(const char* name)
    {
        DWORD value = 0;
        return e2e::ReadRegistryDword(e2e::kProgramKey, name, &value) ? std::to_string(value)
                                                                       : "(missing)";
    }

    // The nine values, as "name=value" lines in the order they are saved.
    static std::vector<std::string> StoredSettings()
    {
        std::vector<std::string> lines = {"Position=" + Text("Position")};
        for (const char* name : {"NoSplash", "EnableHotkeyAction", "HotkeyVKey", "HotkeyCtrl",
                                 "HotkeyAlt", "EnableMouseAction", "MouseActionPosition"})
            lines.push_back(std::string(name) + "=" + Number(name));
        lines.push_back("EnableFilters=" + Text("EnableFilters"));
        return lines;
    }

    static const std::vector<std::string>& DefaultSettings()
    {
        static const std::vector<std::string> defaults = {
            "Position=0,0",       "NoSplash=0",          "EnableHotkeyAction=1",
            "HotkeyVKey=122",     "HotkeyCtrl=0",        "HotkeyAlt=0",
            "EnableMouseAction=0", "MouseActionPosition=0",
            "EnableFilters=_normal,_hue_gbr,_hue_brg",  // no filter files beside the copy
        };
        return defaults;
    }
};

TEST_F(TrayProgram, LivesHiddenInTheTrayAndExitsFromItsMenuSavingTheDefaults)
{
    e2e::ProgramCopy copy;
    e2e::Process program;
    HWND frame = Start(copy, program);
    ASSERT_NE(frame, nullptr) << "no main frame";
    char title[64] = "";
    GetWindowTextA(frame, title, sizeof title);
    EXPECT_STREQ(title, "Prismolenteer");
    EXPECT_FALSE(IsWindowEnabled(frame));

    RECT icon;
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FindTrayIcon(&icon); }, 10000))
        << "the icon does not show in the notification area";
    const int x = (icon.left + icon.right) / 2, y = (icon.top + icon.bottom) / 2;

    // Either button opens the menu; Esc closes it and the program runs on.
    e2e::Click(x, y, false);
    HWND menu = e2e::VisibleMenu(program.Id(), 5000);
    ASSERT_NE(menu, nullptr) << "a left click opened no menu";
    e2e::PressKey(VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    EXPECT_FALSE(program.WaitForExit(300));

    e2e::Click(x, y, true);
    ASSERT_NE(e2e::VisibleMenu(program.Id(), 5000), nullptr) << "a right click opened no menu";
    e2e::PressKey('X');  // E&xit
    ExpectExitCodeZero(program);

    EXPECT_FALSE(IsWindowVisible(frame) && IsWindow(frame));
    EXPECT_TRUE(e2e::WaitUntil([] { return !e2e::FindTrayIcon(nullptr); }, 5000))
        << "the icon stayed in the tray";
    EXPECT_EQ(StoredSettings(), DefaultSettings());
}

TEST_F(TrayProgram, OnlyButtonReleasesOverTheIconOpenTheMenu)
{
    e2e::ProgramCopy copy;
    e2e::Process program;
    HWND frame = Start(copy, program);
    ASSERT_NE(frame, nullptr);
    for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK,
                       WM_RBUTTONDBLCLK, WM_MBUTTONUP})
        PostMessageA(frame, e2e::kTrayMessage, 1, mouse);
    EXPECT_EQ(e2e::VisibleMenu(program.Id(), 800), nullptr)
        << "a notification other than a release";

    PostMessageA(frame, e2e::kTrayMessage, 1, WM_RBUTTONUP);
    ASSERT_NE(e2e::VisibleMenu(program.Id(), 5000), nullptr);
    e2e::PressKey(VK_ESCAPE);
    PostMessageA(frame, e2e::kTrayMessage, 1, WM_LBUTTONUP);
    ASSERT_NE(e2e::VisibleMenu(program.Id(), 5000), nullptr);
    e2e::PressKey(VK_ESCAPE);

    e2e::ChooseExit(frame);
    ExpectExitCodeZero(program);
}

TEST_F(TrayProgram, OddStoredValuesAreNormalisedWhenSavedAgain)
{
    struct Run {
        const char* position;
        std::string savedPosition;
    };
    const Run runs[] = {{"10, 20", "10,20"}, {"10 ,20", "0,0"}, {"4294967306,1", "0,0"}};
    for (const Run& run : runs) {
        e2e::DeleteRegistryKey(e2e::kProgramKey);
        e2e::WriteRegistryString(e2e::kProgramKey, "Position", run.position);
        e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 2);
        e2e::WriteRegistryString(e2e::kProgramKey, "EnableHotkeyAction", "0");
        e2e::WriteRegistryDword(e2e::kProgramKey, "HotkeyVKey", 124);
        e2e::WriteRegistryDword(e2e::kProgramKey, "HotkeyCtrl", 2);
        e2e::WriteRegistryDword(e2e::kProgramKey, "HotkeyAlt", 1);
        e2e::WriteRegistryDword(e2e::kProgramKey, "EnableMouseAction", 0xFFFFFFFF);
        e2e::WriteRegistryDword(e2e::kProgramKey, "MouseActionPosition", 4);
        e2e::WriteRegistryString(e2e::kProgramKey, "EnableFilters",
                                 " _hue_brg ,, _HUE_BRG, _normal");

        e2e::ProgramCopy copy;
        e2e::Process program;
        HWND frame = Start(copy, program);
        ASSERT_NE(frame, nullptr) << run.position;
        e2e::ChooseExit(frame);
        ExpectExitCodeZero(program);

        const std::vector<std::string> expected = {
            "Position=" + run.savedPosition, "NoSplash=0", "EnableHotkeyAction=1",
            "HotkeyVKey=122", "HotkeyCtrl=0", "HotkeyAlt=1", "EnableMouseAction=0",
            "MouseActionPosition=0", "EnableFilters=_hue_brg,_normal"};
        EXPECT_EQ(StoredSettings(), expected) << "stored Position \"" << run.position << '"';
    }
}

TEST_F(TrayProgram, TheEndOfTheSessionSavesTheSettingsAndTheProgramRunsOn)
{
    e2e::ProgramCopy copy;
    e2e::Process program;
    HWND frame = Start(copy, program);
    ASSERT_NE(frame, nullptr);

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                    &answer));
    EXPECT_EQ(answer, 1u) << "the program must never veto the end of the session";
    EXPECT_EQ(Text("Position"), "(missing)") << "nothing is written before the session ends";

    // A cancelled end (wParam FALSE) saves all the same.
    ASSERT_TRUE(SendMessageTimeoutA(frame, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, 5000,
                                    &answer));
    EXPECT_EQ(StoredSettings(), DefaultSettings());
    EXPECT_FALSE(program.WaitForExit(500)) << "the program ended with the session message";
    EXPECT_TRUE(IsWindow(frame));

    e2e::DeleteRegistryKey(e2e::kProgramKey);
    e2e::ChooseExit(frame);
    ExpectExitCodeZero(program);
    EXPECT_EQ(StoredSettings(), DefaultSettings()) << "saved again at exit";
}

TEST_F(TrayProgram, AShellRestartBringsTheIconBack)
{
    e2e::ProgramCopy copy;
    e2e::Process program;
    HWND frame = Start(copy, program);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([] { return e2e::FindTrayIcon(nullptr); }, 10000));

    // A restarted shell has lost every icon; here the icon is taken away by hand.
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = frame;
    record.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_TRUE(e2e::WaitUntil([] { return !e2e::FindTrayIcon(nullptr); }, 5000));

    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, &ignored);
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::FindTrayIcon(nullptr); }, 5000))
        << "the icon did not come back after \"TaskbarCreated\"";

    e2e::ChooseExit(frame);
    ExpectExitCodeZero(program);
}

// Another program holds F11 while ours starts with the default hotkey.
class TakenHotkey : public TrayProgram {
protected:
    void SetUp() override
    {
        TrayProgram::SetUp();
        ASSERT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_F11)) << "F11 is already taken";
    }
    void TearDown() override
    {
        UnregisterHotKey(nullptr, 1);
        TrayProgram::TearDown();
    }

    // Waits for the program's first box, reads it and presses its button. Then makes sure
    // no second box follows.
    static ShownBox TheOnlyBox(e2e::Process& program)
    {
        ShownBox shown;
        std::vector<HWND> boxes;
        EXPECT_TRUE(e2e::WaitUntil(
            [&] { return !(boxes = MessageBoxesOf(program.Id())).empty(); }, kStartTimeoutMs))
            << "no box";
        if (boxes.empty())
            return shown;
        shown = ReadMessageBox(boxes.front());
        DismissMessageBox(boxes.front());
        EXPECT_TRUE(e2e::WaitUntil([&] { return MessageBoxesOf(program.Id()).empty(); }, 5000));
        Sleep(1000);
        EXPECT_TRUE(MessageBoxesOf(program.Id()).empty()) << "a second box";
        return shown;
    }
};

TEST_F(TakenHotkey, IsReportedOnceAndTheProgramRunsOn)
{
    e2e::ProgramCopy copy;
    e2e::Process program;
    ASSERT_TRUE(program.Start(copy.ExePath()));
    const ShownBox box = TheOnlyBox(program);
    EXPECT_EQ(box.text, "failed to register HOTKEY.");
    EXPECT_EQ(box.caption, "Prismolenteer");
    EXPECT_FALSE(box.hasIcon);

    HWND frame = e2e::WaitForWindow(e2e::kMainFrameClass, program.Id(), kStartTimeoutMs);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(box.owner, frame);
    EXPECT_FALSE(IsWindowEnabled(frame));
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::FindTrayIcon(nullptr); }, 10000));
    PostMessageA(frame, e2e::kTrayMessage, 1, WM_RBUTTONUP);
    EXPECT_NE(e2e::VisibleMenu(program.Id(), 5000), nullptr) << "the menu works without the hotkey";
    e2e::PressKey(VK_ESCAPE);

    e2e::ChooseExit(frame);
    ExpectExitCodeZero(program);
}

TEST_F(TakenHotkey, ALanguageModuleNamesTheProductOnlyWhenItsVersionMatches)
{
    struct Case {
        const char* module;
        const char* productName;  // the main frame's title and the box's caption
        const char* text;
    };
    const Case cases[] = {
        {"matching", "Prismolenteer Module", "module: HOTKEY taken."},  // 0.0.3.7
        {"newer", "Prismolenteer", "failed to register HOTKEY."},      // 1.0.0.0
    };
    for (const Case& c : cases) {
        e2e::ProgramCopy copy(c.module);
        e2e::Process program;
        ASSERT_TRUE(program.Start(copy.ExePath()));
        const ShownBox box = TheOnlyBox(program);
        EXPECT_EQ(box.caption, c.productName) << c.module;
        EXPECT_EQ(box.text, c.text) << c.module;

        HWND frame = e2e::WaitForWindow(e2e::kMainFrameClass, program.Id(), kStartTimeoutMs);
        ASSERT_NE(frame, nullptr) << c.module;
        char title[64] = "";
        GetWindowTextA(frame, title, sizeof title);
        EXPECT_STREQ(title, c.productName) << c.module;
        e2e::ChooseExit(frame);
        ExpectExitCodeZero(program);
    }
}

}  // namespace
