// The main frame inside the test process: the tray icon record it sends, the menu it loads,
// and what its creation and destruction hold and release.

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/message_box.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "tests/win32/box_watcher.h"
#include "tray/main_frame.h"
#include "tray/preview_triggers.h"

namespace {

TEST(TrayIconRecord, IsTheFirst88ByteFormWithTheFixedTip)
{
    exeInstance = GetModuleHandleA(nullptr);
    mainFrameWnd = reinterpret_cast<HWND>(0x1234);
    NOTIFYICONDATAA record;
    std::memset(&record, 0xCC, sizeof record);
    FillTrayIconRecord(&record);

    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.hWnd, mainFrameWnd);
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, 0x8001u);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(record.hIcon, &info)) << "no icon";
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, GetSystemMetrics(SM_CXSMICON)) << "the group's small image";
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr)
        DeleteObject(info.hbmColor);
    EXPECT_STREQ(record.szTip, "Prismolenteer");
    for (size_t i = std::strlen("Prismolenteer"); i < sizeof record.szTip; ++i)
        ASSERT_EQ(record.szTip[i], 0) << "tip byte " << i;
    mainFrameWnd = nullptr;
    exeInstance = nullptr;
}

TEST(TrayMenu, HoldsOptionAboutAndExitBetweenSeparators)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    char popupText[32] = "";
    GetMenuStringA(menu, 0, popupText, sizeof popupText, MF_BYPOSITION);
    EXPECT_STREQ(popupText, "TasktrayClick");

    struct Item {
        const char* text;  // null for a separator
        UINT command;
    };
    const Item items[] = {{"&Option...", 1006}, {nullptr, 0}, {"&About...", 1005},
                          {nullptr, 0},         {"E&xit", 1004}};
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    for (int i = 0; i < 5; ++i) {
        char text[32] = "";
        MENUITEMINFOA info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info));
        if (items[i].text == nullptr) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR) << "item " << i;
        } else {
            EXPECT_STREQ(text, items[i].text) << "item " << i;
            EXPECT_EQ(info.wID, items[i].command) << "item " << i;
        }
    }
    DestroyMenu(menu);
}

class MainFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        exeInstance = GetModuleHandleA(nullptr);
        ASSERT_NE(RegisterMainFrameClass(), 0);
    }
    static void TearDownTestSuite()
    {
        UnregisterClassA(kMainFrameClassName, exeInstance);
        exeInstance = nullptr;
    }
    void SetUp() override
    {
        std::strcpy(productName, "Prismolenteer");
        errorBoxShown = 0;
        settings = {};
        settings.EnableHotkeyAction = 1;
        settings.HotkeyVKey = VK_F9;
        settings.HotkeyCtrl = 1;
        settings.HotkeyAlt = 1;
    }
    void TearDown() override
    {
        if (IsWindow(mainFrameWnd))
            DestroyWindow(mainFrameWnd);
        mainFrameWnd = nullptr;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    static HWND Create()
    {
        return CreateWindowExA(0, kMainFrameClassName, productName, WS_DISABLED, 0, 0, 0, 0,
                               nullptr, nullptr, exeInstance, nullptr);
    }

    // True when this thread could take the combination itself, that is nobody holds it.
    static bool HotkeyIsFree(UINT modifiers, UINT key)
    {
        if (!RegisterHotKey(nullptr, 77, modifiers, key))
            return false;
        UnregisterHotKey(nullptr, 77);
        return true;
    }
};

TEST_F(MainFrame, CreationTakesMenuHotkeyAndTimerAndDestructionGivesThemBack)
{
    HWND frame = Create();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(mainFrameWnd, frame);
    EXPECT_NE(trayMenu, nullptr);
    EXPECT_NE(hotkeyRegistered, 0);
    EXPECT_NE(hotCornerTimerSet, 0);
    EXPECT_NE(taskbarCreatedMsg, 0u);
    EXPECT_EQ(taskbarCreatedMsg, RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_FALSE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9)) << "Ctrl+Alt+F9 is ours";
    EXPECT_TRUE(HotkeyIsFree(0, VK_F9)) << "only the configured modifiers were taken";
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_FALSE(IsWindowEnabled(frame));

    EXPECT_EQ(SendMessageA(frame, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_EQ(SendMessageA(frame, WM_COMMAND, 4321, 0), 0) << "not a command of ours";
    EXPECT_TRUE(IsWindow(frame));

    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_EQ(trayMenu, nullptr);
    EXPECT_EQ(hotkeyRegistered, 0);
    EXPECT_EQ(hotCornerTimerSet, 0);
    EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9));
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainFrame, WithTheHotkeySwitchedOffNothingIsRegistered)
{
    settings.EnableHotkeyAction = 0;
    BoxWatcher watcher;
    HWND frame = Create();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(hotkeyRegistered, 0);
    EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9));
    EXPECT_TRUE(watcher.Seen().empty());
}

}  // namespace
