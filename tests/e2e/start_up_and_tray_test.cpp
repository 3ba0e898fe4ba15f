// Start-up and the tray: the splash, the icon and its menu, the end of the session, a
// shell restart, a second start, Exit; odd stored values, and a hotkey already taken.

#include "tests/e2e/driver.h"

namespace {

using StartUpAndTray = ProgramTest;

TEST_F(StartUpAndTray, FromTheSplashThroughTheTrayToExit)
{
    const DWORD started = GetTickCount();
    Start();
    HWND splash = nullptr;  // created after the main frame, shown centred for two seconds
    RECT window{};
    ASSERT_TRUE(WaitUntil([&] { return (splash = VisibleWindow(Id(), kSplashClass)); }));
    GetWindowRect(splash, &window);
    EXPECT_TRUE(std::abs(window.left + window.right - GetSystemMetrics(SM_CXSCREEN)) <= 1 &&
                std::abs(window.top + window.bottom - GetSystemMetrics(SM_CYSCREEN)) <= 1);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(splash); })) << "the splash stayed";
    EXPECT_GE(GetTickCount() - started, 2000u) << "the splash went before two seconds";

    // The icon's menu opens when a button is let go, not before.
    POINT icon{};
    ASSERT_TRUE(WaitUntil([&] { return FindTrayIcon(&icon); })) << "no icon in the tray";
    for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDBLCLK})
        PostMessageA(frame_, WM_TASKTRAY, ID_TRAY_ICON, mouse);
    Pause(500);
    EXPECT_EQ(TrayMenu(), nullptr) << "a menu before a button was let go";
    for (bool rightButton : {false, true}) {
        Click(icon, rightButton);
        EXPECT_TRUE(WaitUntil([&] { return TrayMenu() != nullptr; })) << "no menu " << rightButton;
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return TrayMenu() == nullptr; }));
    }

    // The end of the session is never vetoed and saves, even cancelled; the program runs on.
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(frame_, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &answer);
    EXPECT_EQ(answer, 1u);
    EXPECT_EQ(StoredValue("Position"), "(missing)") << "saved before the session ended";
    SendMessageTimeoutA(frame_, WM_ENDSESSION, FALSE, 0, SMTO_ABORTIFHUNG, kWaitMs, &answer);
    const std::vector<std::string> defaults = {
        "Position=0,0", "NoSplash=0", "EnableHotkeyAction=1", "HotkeyVKey=122", "HotkeyCtrl=0",
        "HotkeyAlt=0", "EnableMouseAction=0", "MouseActionPosition=0",
        "EnableFilters=_normal,protanopia,deutanopia,tritanoptia,_hue_gbr,_hue_brg"};
    EXPECT_EQ(StoredSettings(), defaults);
    DWORD exitCode = 12345;
    EXPECT_FALSE(Ended(program_, 0, &exitCode)) << "the session's end ended the program";

    // A restarted shell has lost every icon; "TaskbarCreated" brings this one back.
    NOTIFYICONDATAA record{NOTIFYICONDATAA_V1_SIZE, frame_, ID_TRAY_ICON};
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    ASSERT_TRUE(WaitUntil([] { return !FindTrayIcon(); }));
    SendMessageTimeoutA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, kWaitMs, &answer);
    EXPECT_TRUE(WaitUntil([] { return FindTrayIcon(); })) << "the icon did not come back";

    // A second start ends at once with code 0; the first runs on.
    const PROCESS_INFORMATION second = StartProgram(exePath_);
    EXPECT_TRUE(Ended(second, kWaitMs, &exitCode)) << "the second copy runs on";
    TerminateProcess(second.hProcess, 99);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(!Ended(program_, 0, &exitCode) && HotkeyTaken(VK_F11)) << "the first was hurt";

    // Exit saves all nine values again and takes the icon away.
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    Exit();
    EXPECT_EQ(StoredSettings(), defaults);
    EXPECT_TRUE(WaitUntil([] { return !FindTrayIcon(); })) << "the icon stayed";
}

TEST_F(StartUpAndTray, OddStoredValuesAreNormalisedAndATakenHotkeyIsReportedOnce)
{
    Store("Position", "10, 20");
    Store("NoSplash", 2);
    Store("EnableHotkeyAction", "0");  // not a number
    Store("HotkeyVKey", 124);        // F13
    Store("HotkeyCtrl", 2);
    Store("HotkeyAlt", 1);
    Store("EnableMouseAction", 0xFFFFFFFF);
    Store("MouseActionPosition", 4);
    Store("EnableFilters", " _hue_brg ,, _HUE_BRG, PROTANOPIA");
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_ALT, VK_F11)) << "Alt+F11 is already taken";

    Start(false);
    std::vector<HWND> boxes;
    ASSERT_TRUE(WaitUntil([&] { return !(boxes = Boxes()).empty(); })) << "no box";
    const ShownBox box = ReadMessageBox(boxes.front());
    EXPECT_EQ(box.caption + ": " + box.text, "Prismolenteer: failed to register HOTKEY.");
    EXPECT_TRUE(box.owner == frame_ && !box.hasIcon) << "owner " << box.owner;
    DismissMessageBox(boxes.front());
    EXPECT_TRUE(WaitUntil([&] { return Boxes().empty(); }));
    Pause(1000);
    EXPECT_TRUE(Boxes().empty()) << "a second box";

    Exit();  // through the tray menu: the program ran on without its hotkey
    EXPECT_EQ(StoredSettings(),
              (std::vector<std::string>{
                  "Position=10,20", "NoSplash=0", "EnableHotkeyAction=1", "HotkeyVKey=122",
                  "HotkeyCtrl=0", "HotkeyAlt=1", "EnableMouseAction=0", "MouseActionPosition=0",
                  "EnableFilters=_hue_brg,protanopia"}));
}

TEST_F(StartUpAndTray, FromAFolderTheCodePageCannotNameItFindsItsFiltersAndItsLanguage)
{
    // The per-user installation lives under the user's folder, whose name may be in a script
    // the ANSI code page lacks; the German texts stand in the folder of this user's locale.
    CopyProgram(L"e2e-\u0141ukasz \u7530\u4E2D");
    const std::wstring built = Widen(WindowsPath(PL_PROGRAM_UNIX_PATH));
    const std::wstring language = folder_ + std::to_wstring(GetUserDefaultLCID());
    CreateDirectoryW(language.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((built.substr(0, built.rfind(L'\\')) + L"\\1031\\PLRes.dll").c_str(),
                          (language + L"\\PLRes.dll").c_str(), FALSE));
    Store("NoSplash", 1);
    Start();
    PressKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "no preview";
    wchar_t close[64] = L"";
    GetDlgItemTextW(Panel(), kPanelCloseId, close, 64);
    EXPECT_EQ(std::wstring(close), L"&Schlie\u00DFen") << "not the language module's text";
    EXPECT_EQ(SendMessageA(GetDlgItem(Panel(), kPanelListId), LB_GETCOUNT, 0, 0), 6) << "not the shipped filters";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return PreviewGone(); }));
    DWORD exitCode = 12345;
    PostMessageA(frame_, WM_COMMAND, IDM_EXIT, 0);  // the tray menu is German
    EXPECT_TRUE(Ended(program_, kWaitMs, &exitCode) && exitCode == 0);
}

}  // namespace
