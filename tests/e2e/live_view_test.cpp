// The live view as a user meets it: from the tray menu and from the preview's menu, closed by
// Esc and by the tray menu again, and where it was and what it showed kept at Exit.

#include "tests/e2e/driver.h"

namespace {

const char kLiveViewClass[] = "liveview.wndclass.prismolenteer.morvask";

std::string Title(HWND window)
{
    char title[128] = "";
    GetWindowTextA(window, title, sizeof title);
    return title;
}

using LiveViewScenario = ProgramTest;

TEST_F(LiveViewScenario, OpensFromTheTrayAndFromThePreviewClosesByEscOrTheTrayAndIsKept)
{
    Store("NoSplash", 1);
    Start();
    HWND live = nullptr;
    const auto opened = [&] { return (live = VisibleWindow(Id(), kLiveViewClass)) != nullptr; };

    // The tray's Live view: the first enabled filter; Esc closes it.
    ASSERT_TRUE(ChooseFromTrayMenu('L')) << "no tray menu";
    ASSERT_TRUE(WaitUntil(opened)) << "no live view from the tray";
    EXPECT_EQ(Title(live), "normal - Prismolenteer");
    EXPECT_TRUE(GetWindowLongA(live, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == live; }));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(live); })) << "Esc";

    // The tray item opens it, and closes it again.
    ASSERT_TRUE(ChooseFromTrayMenu('L'));
    ASSERT_TRUE(WaitUntil(opened));
    ASSERT_TRUE(ChooseFromTrayMenu('L'));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(live); })) << "the tray item again";

    // The preview's menu: the preview closes, and the live view takes its filter.
    PressKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "no preview";
    PressKey(VK_DOWN);  // the panel's list has the keyboard: the second filter
    HWND list = GetDlgItem(Panel(), kPanelListId);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 1; }));
    Click({700, 600}, true);
    ASSERT_TRUE(WaitUntil([&] { return TrayMenu() != nullptr; })) << "no menu on the preview";
    PressKey('V');
    EXPECT_TRUE(WaitUntil([&] { return PreviewGone(); })) << "the preview stayed";
    ASSERT_TRUE(WaitUntil(opened)) << "no live view from the preview";
    EXPECT_EQ(Title(live), "Protanopia (no red cones) - Prismolenteer");

    // It ends with the program, which keeps where it was and what it showed.
    RECT placed{};
    GetWindowRect(live, &placed);
    Exit();
    EXPECT_EQ(StoredValue("LiveViewPosition") + " " + StoredValue("LiveViewSize") + " " + StoredValue("LiveViewFilter") +
                  " " + StoredValue("LiveViewZoom") + " " + StoredValue("LiveViewMode"),
              std::to_string(placed.left) + "," + std::to_string(placed.top) + " " +
                  std::to_string(placed.right - placed.left) + "," + std::to_string(placed.bottom - placed.top) +
                  " protanopia 1 0");
}

}  // namespace
