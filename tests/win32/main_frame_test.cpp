// The hidden main frame inside the test process: what its creation takes (the tray icon,
// the menu, the hotkey and the timer) and what its destruction gives back.

#include "tests/win32/in_process.h"

// What the frame asks of the shell: the message and the first, 88-byte form of the record.
static std::vector<std::pair<DWORD, std::string>> trayCalls;

static BOOL WINAPI RecordTrayCall(DWORD message, NOTIFYICONDATAA* record)
{
    trayCalls.push_back({message, std::string(reinterpret_cast<char*>(record), 88)});
    return TRUE;
}

// True when nobody holds the combination, so that this thread can take it itself.
static bool HotkeyIsFree(UINT modifiers, UINT key)
{
    const bool free = RegisterHotKey(nullptr, 77, modifiers, key);
    UnregisterHotKey(nullptr, 77);
    return free;
}

TEST(MainFrame, CreationTakesTrayIconMenuHotkeyAndTimerAndDestructionGivesThemBack)
{
    ImportPatch patch("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordTrayCall));
    ASSERT_TRUE(patch.Applied());
    exeInstance = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterMainFrameClass(), 0);
    for (const bool hotkeyOn : {true, false}) {
        settings = {0, 0, 0, hotkeyOn, 1, 1, VK_F9, 0, 0};  // Ctrl+Alt+F9
        trayCalls.clear();
        MessageBoxes boxes;
        HWND frame = CreateMainFrame();
        const HMENU menu = trayMenu;
        EXPECT_TRUE(IsMenu(menu));
        EXPECT_NE(hotCornerTimerSet, 0);
        EXPECT_EQ(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9), !hotkeyOn);
        EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL, VK_F9)) << "only the chosen modifiers are taken";
        SendMessageA(frame, RegisterWindowMessageA("TaskbarCreated"), 0, 0);  // a new shell
        SendMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_FALSE(IsMenu(menu));
        EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9));
        EXPECT_EQ(hotkeyRegistered | hotCornerTimerSet, 0);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_TRUE(boxes.shown.empty());

        // Added twice with the executable's small icon and a fixed tip; deleted by its key.
        NOTIFYICONDATAA icon{};
        icon.cbSize = 88;
        icon.hWnd = frame;
        icon.uID = 1;
        const std::string key(reinterpret_cast<char*>(&icon), 88);
        icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        icon.uCallbackMessage = WM_TASKTRAY;
        icon.hIcon = static_cast<HICON>(LoadImageA(exeInstance, MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON,
            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        std::strcpy(icon.szTip, "Prismolenteer");
        const std::string added(reinterpret_cast<char*>(&icon), 88);
        EXPECT_EQ(trayCalls, (decltype(trayCalls){{NIM_ADD, added}, {NIM_ADD, added}, {NIM_DELETE, key}}));
    }
}
