// Start-up and the tray: the splash, the icon and its menu, the end of the session, a
// shell restart, a second start, Exit and what it saves; stored values the program
// normalises, and a hotkey another program holds.

#include <string>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include "tests/e2e/program_test.h"
#include "tests/support/message_boxes.h"

namespace {

using StartUpAndTray = ProgramTest;

// What a copy with no filter files saves over an empty key.
const std::vector<std::string> kDefaults = {
    "Position=0,0",         "NoSplash=0",          "EnableHotkeyAction=1",
    "HotkeyVKey=122",       "HotkeyCtrl=0",        "HotkeyAlt=0",
    "EnableMouseAction=0",  "MouseActionPosition=0",
    "EnableFilters=_normal,_hue_gbr,_hue_brg"};

TEST_F(StartUpAndTray, FromTheSplashThroughTheTrayToExit)
{
    const DWORD started = GetTickCount();
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);

    // The splash is created after the main frame and shown centred for two seconds.
    HWND splash = e2e::WaitForWindow(program_.Id(), e2e::kSplashClass, e2e::kWaitMs);
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(splash) != FALSE; }, e2e::kWaitMs))
        << "no splash shown";
    RECT window{};
    GetWindowRect(splash, &window);
    EXPECT_NEAR(window.left + window.right, GetSystemMetrics(SM_CXSCREEN), 1) << "not centred";
    EXPECT_NEAR(window.top + window.bottom, GetSystemMetrics(SM_CYSCREEN), 1) << "not centred";
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(splash); }, e2e::kWaitMs)) << "it stayed";
    EXPECT_GE(GetTickCount() - started, 2000u) << "it went before two seconds";

    // The icon's menu opens on a button's release, not before.
    RECT icon{};
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FindTrayIcon(&icon); }, e2e::kWaitMs))
        << "no icon in the tray";
    auto menu = [&] { return e2e::VisibleWindow(program_.Id(), "#32768"); };
    for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK})
        PostMessageA(frame, WM_APP + 1, 1, mouse);
    e2e::Pause(500);
    EXPECT_EQ(menu(), nullptr) << "a menu before a button was let go";
    for (bool rightButton : {false, true}) {
        e2e::Click((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2, rightButton);
        EXPECT_TRUE(e2e::WaitUntil([&] { return menu() != nullptr; }, e2e::kWaitMs))
            << (rightButton ? "right" : "left") << " click: no menu";
        e2e::PressKey(VK_ESCAPE);
        EXPECT_TRUE(e2e::WaitUntil([&] { return menu() == nullptr; }, e2e::kWaitMs));
    }

    // The end of the session is never vetoed; it saves, even when cancelled, and the
    // program runs on.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(frame, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG,
                                    e2e::kWaitMs, &answer));
    EXPECT_EQ(answer, 1u);
    EXPECT_EQ(e2e::StoredValue("Position"), "(missing)") << "saved before the session ended";
    ASSERT_TRUE(SendMessageTimeoutA(frame, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG,
                                    e2e::kWaitMs, &answer));
    EXPECT_EQ(StoredSettings(), kDefaults);
    EXPECT_TRUE(program_.IsRunning());

    // A restarted shell has lost every icon; "TaskbarCreated" brings this one back.
    NOTIFYICONDATAA record{};
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = frame;
    record.uID = 1;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_TRUE(e2e::WaitUntil([] { return !e2e::FindTrayIcon(nullptr); }, e2e::kWaitMs));
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, e2e::kWaitMs, &answer);
    EXPECT_TRUE(e2e::WaitUntil([] { return e2e::FindTrayIcon(nullptr); }, e2e::kWaitMs))
        << "the icon did not come back";

    // A second start ends at once with code 0 and shows nothing; the first runs on.
    e2e::Process second;
    ASSERT_TRUE(second.Start(copy_.ExePath()));
    DWORD exitCode = 12345;
    bool showedWindow = false;
    EXPECT_TRUE(e2e::WaitUntil(
        [&] {
            showedWindow |= !e2e::WindowsOf(second.Id(), nullptr, true).empty();
            return second.WaitForExit(0, &exitCode);
        },
        e2e::kWaitMs))
        << "the second copy runs";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(showedWindow);
    EXPECT_TRUE(program_.IsRunning());
    EXPECT_TRUE(e2e::HotkeyTaken(VK_F11)) << "the first copy lost its hotkey";

    // Exit saves all nine values again and takes the icon away.
    e2e::DeleteProgramKey();
    Exit();
    EXPECT_EQ(StoredSettings(), kDefaults);
    EXPECT_TRUE(e2e::WaitUntil([] { return !e2e::FindTrayIcon(nullptr); }, e2e::kWaitMs))
        << "the icon stayed in the tray";
}

TEST_F(StartUpAndTray, OddStoredValuesAreNormalisedAndATakenHotkeyIsReportedOnce)
{
    e2e::StoreText("Position", "10, 20");
    e2e::StoreNumber("NoSplash", 2);
    e2e::StoreText("EnableHotkeyAction", "0");  // not a number
    e2e::StoreNumber("HotkeyVKey", 124);        // F13
    e2e::StoreNumber("HotkeyCtrl", 2);
    e2e::StoreNumber("HotkeyAlt", 1);
    e2e::StoreNumber("EnableMouseAction", 0xFFFFFFFF);
    e2e::StoreNumber("MouseActionPosition", 4);
    e2e::StoreText("EnableFilters", " _hue_brg ,, _HUE_BRG, _normal");
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_ALT, VK_F11)) << "Alt+F11 is already taken";

    HWND frame = Start(false);
    ASSERT_NE(frame, nullptr);
    std::vector<HWND> boxes;
    ASSERT_TRUE(e2e::WaitUntil([&] { return !(boxes = MessageBoxesOf(program_.Id())).empty(); },
                               e2e::kWaitMs))
        << "no box";
    const ShownBox box = ReadMessageBox(boxes.front());
    EXPECT_EQ(box.text, "failed to register HOTKEY.");
    EXPECT_EQ(box.caption, "Prismolenteer");
    EXPECT_EQ(box.owner, frame);
    EXPECT_FALSE(box.hasIcon);
    DismissMessageBox(boxes.front());
    EXPECT_TRUE(e2e::WaitUntil([&] { return MessageBoxesOf(program_.Id()).empty(); },
                               e2e::kWaitMs));
    e2e::Pause(1000);
    EXPECT_TRUE(MessageBoxesOf(program_.Id()).empty()) << "a second box";

    Exit();  // through the tray menu: the program ran on without its hotkey
    UnregisterHotKey(nullptr, 1);
    EXPECT_EQ(StoredSettings(),
              (std::vector<std::string>{
                  "Position=10,20", "NoSplash=0", "EnableHotkeyAction=1", "HotkeyVKey=122",
                  "HotkeyCtrl=0", "HotkeyAlt=1", "EnableMouseAction=0", "MouseActionPosition=0",
                  "EnableFilters=_hue_brg,_normal"}));
}

}  // namespace
