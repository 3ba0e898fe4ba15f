// The dialogs from the tray menu against each other and the preview, and what OK and
// Cancel of the Option dialog apply.

#include "tests/e2e/driver.h"

namespace {

using TheDialogs = ProgramTest;

TEST_F(TheDialogs, OptionAndAboutAgainstThePreviewAndWhatOkAndCancelApply)
{
    auto open = [&](WORD trayKey, const char* caption) {  // shown, its controls exist
        HWND dialog = nullptr;
        EXPECT_TRUE((trayKey == 0 || ChooseFromTrayMenu(trayKey)) && WaitUntil([&] {
            return IsWindowVisible(dialog = FindWindowA("#32770", caption));
        })) << "no " << caption;
        return dialog;
    };
    auto close = [](HWND dialog, int button) {
        ClickIn(GetDlgItem(dialog, button));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    };
    Store("NoSplash", 1);
    Start();

    // Option opens once and keeps the hotkey from opening a preview; its Cancel drops what
    // was changed (a changed hotkey would be registered anew, and No splash is saved).
    HWND option = open('O', "Option");
    ASSERT_TRUE(ChooseFromTrayMenu('O'));
    PressKey(VK_F11);
    Pause(1000);
    EXPECT_EQ(FindWindowA("#32770", "Option"), option) << "a second Option dialog";
    EXPECT_EQ(Preview(), nullptr) << "a preview over the Option dialog";
    ClickIn(GetDlgItem(option, IDC_HOTKEY_CTRL));
    ClickIn(GetDlgItem(option, IDC_NO_SPLASH));
    close(option, IDCANCEL);
    EXPECT_TRUE(HotkeyTaken(VK_F11)) << "Cancel registered Ctrl+F11";

    // About opens once; a preview closes it, and Option opens nothing under the preview.
    HWND about = open('A', "About");
    ASSERT_TRUE(ChooseFromTrayMenu('A'));
    Pause(500);
    EXPECT_EQ(FindWindowA("#32770", "About"), about) << "a second About box";
    PressKey(VK_F11);
    EXPECT_TRUE(WaitUntil([&] { return PreviewShown() && !IsWindow(about); })) << "About stayed";
    ASSERT_TRUE(ChooseFromTrayMenu('O'));
    Pause(1000);
    EXPECT_EQ(FindWindowA("#32770", "Option"), nullptr) << "Option during a preview";
    PostMessageA(Preview(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return PreviewGone(); }));

    // OK applies an edited list (protanopia up, hue(RGB=>BRG) out, the first of the Enable
    // filter dialog's list, grayscale, added) and new settings. The new key, F9, is held by
    // another program: registered anew, it fails, and a box says so.
    option = open('O', "Option");
    HWND list = GetDlgItem(option, IDC_FILTER_LIST);
    ClickIn(list, 1);
    ClickIn(GetDlgItem(option, IDC_UP));
    ClickIn(list, 5);
    ClickIn(GetDlgItem(option, IDC_DISABLE));
    ClickIn(GetDlgItem(option, IDC_ENABLE));
    close(open(0, "Enable filter"), IDOK);
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_F9));
    SendMessageA(GetDlgItem(option, IDC_HOTKEY_VKEY), CB_SETCURSEL, 8, 0);
    ClickIn(GetDlgItem(option, IDC_CURSOR_POSITION));
    ClickIn(GetDlgItem(option, IDC_RIGHT_DOWN));
    close(option, IDOK);
    std::vector<HWND> boxes;
    ASSERT_TRUE(WaitUntil([&] { return !(boxes = Boxes()).empty(); })) << "no box";
    EXPECT_EQ(ReadMessageBox(boxes.front()).text, "failed to register HOTKEY.");
    DismissMessageBox(boxes.front());
    EXPECT_FALSE(HotkeyTaken(VK_F11)) << "the old hotkey is still registered";

    // An OK that leaves the hotkey as it was tries it again once it is free.
    UnregisterHotKey(nullptr, 1);
    option = open('O', "Option");
    ClickIn(GetDlgItem(option, IDC_LEFT_DOWN));
    close(option, IDOK);
    EXPECT_TRUE(WaitUntil([] { return HotkeyTaken(VK_F9); })) << "the hotkey was not tried again";
    EXPECT_TRUE(Boxes().empty());

    Exit();
    EXPECT_EQ(StoredSettings(),
              (std::vector<std::string>{
                  "Position=0,0", "NoSplash=1", "EnableHotkeyAction=1", "HotkeyVKey=120",
                  "HotkeyCtrl=0", "HotkeyAlt=0", "EnableMouseAction=1", "MouseActionPosition=1",
                  "EnableFilters=protanopia,_normal,deutanopia,tritanoptia,_hue_gbr,_grayscale"}));
}

}  // namespace
