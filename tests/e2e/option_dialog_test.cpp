// The Option and Enable filter dialogs driven as a user drives them, from the tray menu to
// what the registry holds after Exit; and what the hotkey registration does after OK.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/driver.h"
#include "tests/e2e/running_program.h"
#include "tests/support/message_boxes.h"

namespace {

enum ControlId {
    kHotkey = 2000, kCtrl, kAlt, kKey, kCursor, kLeftUp, kLeftDown, kRightUp, kRightDown,
    kNoSplash, kFilterList, kUp, kDown, kEnable, kDisable,
};

std::string OnOff(bool on)
{
    return on ? "on" : "off";
}

std::string Join(const std::vector<std::string>& rows)
{
    std::string text;
    for (const std::string& row : rows)
        text += (text.empty() ? "" : "|") + row;
    return text;
}

// The filter part of the Option dialog in one line: the rows, the selected row, which of
// the four buttons can be used, and the focused control by its text.
std::string FilterPart(HWND dialog)
{
    HWND list = GetDlgItem(dialog, kFilterList);
    char focus[64] = "(none)";
    if (HWND focused = e2e::FocusOf(dialog))
        GetWindowTextA(focused, focus, sizeof focus);
    return "[" + Join(e2e::ListRows(list)) + "] row " +
           std::to_string(SendMessageA(list, LB_GETCURSEL, 0, 0)) +
           " up " + OnOff(IsWindowEnabled(GetDlgItem(dialog, kUp))) +
           " down " + OnOff(IsWindowEnabled(GetDlgItem(dialog, kDown))) +
           " disable " + OnOff(IsWindowEnabled(GetDlgItem(dialog, kDisable))) +
           " enable " + OnOff(IsWindowEnabled(GetDlgItem(dialog, kEnable))) + " focus " + focus;
}

// The rest of the Option dialog: each check box and whether the controls it governs can be
// used, the key shown, and the checked corner.
std::string SettingsPart(HWND dialog)
{
    auto checked = [&](int id) { return OnOff(IsDlgButtonChecked(dialog, id) == BST_CHECKED); };
    auto usable = [&](int id) { return OnOff(IsWindowEnabled(GetDlgItem(dialog, id))); };
    HWND keys = GetDlgItem(dialog, kKey);
    wchar_t key[16] = L"?";
    SendMessageW(keys, CB_GETLBTEXT, SendMessageW(keys, CB_GETCURSEL, 0, 0),
                 reinterpret_cast<LPARAM>(key));
    std::string corner = "none";
    for (int id = kLeftUp; id <= kRightDown; ++id) {
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED) {
            char text[32] = "";
            GetWindowTextA(GetDlgItem(dialog, id), text, sizeof text);
            corner = text;
        }
    }
    return "hotkey " + checked(kHotkey) + " ctrl " + checked(kCtrl) + " alt " + checked(kAlt) +
           " key " + std::string(key, key + lstrlenW(key)) + " usable " + usable(kCtrl) +
           usable(kAlt) + usable(kKey) + " | cursor " + checked(kCursor) + " corner " + corner +
           " usable " + usable(kLeftUp) + usable(kLeftDown) + usable(kRightUp) +
           usable(kRightDown) + " | no splash " + checked(kNoSplash);
}

// Waits for the dialog to show `expected`, then compares, so a failure prints both.
void ExpectShows(std::string (*part)(HWND), HWND dialog, const std::string& expected)
{
    e2e::WaitUntil([&] { return part(dialog) == expected; }, 5000);
    EXPECT_EQ(part(dialog), expected);
}

void ChooseKey(HWND dialog, int index)
{
    SendMessageA(GetDlgItem(dialog, kKey), CB_SETCURSEL, index, 0);
}

// Clicks the check boxes and radio buttons in order and chooses key `keyIndex` (-1: none).
void ChangeSettings(HWND dialog, const std::vector<int>& clicks, int keyIndex)
{
    for (int id : clicks)
        e2e::ClickControl(GetDlgItem(dialog, id));
    if (keyIndex >= 0)
        ChooseKey(dialog, keyIndex);
}

// True when nobody holds the key: this process could take it.
bool HotkeyIsFree(UINT key)
{
    if (!RegisterHotKey(nullptr, 9, 0, key))
        return false;
    UnregisterHotKey(nullptr, 9);
    return true;
}

using OptionDialog = RunningProgram;

TEST_F(OptionDialog, EditsTheFiltersAndSettingsThatOkAppliesAndExitSaves)
{
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);
    HWND dialog = Open(frame, 'O', "Option");
    ASSERT_NE(dialog, nullptr) << "the tray menu's Option opened no dialog";
    EXPECT_EQ(e2e::ListRows(GetDlgItem(dialog, kKey)),
              (std::vector<std::string>{"VK_F1", "VK_F2", "VK_F3", "VK_F4", "VK_F5", "VK_F6",
                                        "VK_F7", "VK_F8", "VK_F9", "VK_F10", "VK_F11", "VK_F12"}));
    ExpectShows(SettingsPart, dialog,
                "hotkey on ctrl off alt off key VK_F11 usable ononon | cursor off corner left up "
                "usable offoffoffoff | no splash off");

    // One user's session with the filter list, each step with what the dialog then shows.
    // The rows are the built-in filters' display names: the copy has no filter files.
    struct Step {
        const char* action;
        int control;  // clicked; a negative number -n clicks row n - 1 of the list
        const char* shows;  // "focus " and nothing: the list, which has no text
    };
    const Step steps[] = {
        {"opened", 0,
         "[normal|hue(RGB=>GBR)|hue(RGB=>BRG)] row 0 up off down on disable off enable on "
         "focus &HOTKEY"},
        {"middle row", -2,
         "[normal|hue(RGB=>GBR)|hue(RGB=>BRG)] row 1 up on down on disable on enable on focus "},
        {"last row", -3,
         "[normal|hue(RGB=>GBR)|hue(RGB=>BRG)] row 2 up on down off disable on enable on focus "},
        {"up", kUp,
         "[normal|hue(RGB=>BRG)|hue(RGB=>GBR)] row 1 up on down on disable on enable on focus &Up"},
        {"up to the top", kUp,
         "[hue(RGB=>BRG)|normal|hue(RGB=>GBR)] row 0 up off down on disable on enable on "
         "focus &Down"},
        {"last row again", -3,
         "[hue(RGB=>BRG)|normal|hue(RGB=>GBR)] row 2 up on down off disable on enable on focus "},
        {"disable the last", kDisable,
         "[hue(RGB=>BRG)|normal] row 1 up on down off disable off enable on focus &Enable..."},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.action);
        if (step.control < 0)
            e2e::ClickListRow(GetDlgItem(dialog, kFilterList), -step.control - 1);
        else if (step.control > 0)
            e2e::ClickControl(GetDlgItem(dialog, step.control));
        ExpectShows(FilterPart, dialog, step.shows);
    }

    // The disabled filter went to the end of the Enable filter dialog's list; the one
    // chosen there goes to the end of the Option list, the selection staying on its row.
    e2e::ClickControl(GetDlgItem(dialog, kEnable));
    HWND enable = e2e::WaitForDialog(program_.Id(), "Enable filter", kWaitMs);
    ASSERT_NE(enable, nullptr);
    HWND available = GetDlgItem(enable, 2020);
    EXPECT_EQ(Join(e2e::ListRows(available)), "grayscale|hue(RGB=>GBR)");
    EXPECT_EQ(SendMessageA(available, LB_GETCURSEL, 0, 0), 0);
    e2e::ClickListRow(available, 1);
    Close(enable, IDOK);
    ExpectShows(FilterPart, dialog,
                "[hue(RGB=>BRG)|normal|hue(RGB=>GBR)] row 1 up on down on disable off enable on "
                "focus &Enable...");

    // Taking the last available filter greys "&Enable..." and passes the focus on.
    e2e::ClickControl(GetDlgItem(dialog, kEnable));
    enable = e2e::WaitForDialog(program_.Id(), "Enable filter", kWaitMs);
    ASSERT_NE(enable, nullptr);
    EXPECT_EQ(Join(e2e::ListRows(GetDlgItem(enable, 2020))), "grayscale");
    e2e::MakeForeground(enable);
    e2e::PressKey(VK_RETURN);
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(enable); }, kWaitMs));
    ExpectShows(FilterPart, dialog,
                "[hue(RGB=>BRG)|normal|hue(RGB=>GBR)|grayscale] row 1 up on down on disable off "
                "enable off focus No &Splash screen");

    ChangeSettings(dialog, {kCtrl, kAlt, kCursor, kRightDown, kNoSplash}, 8);
    ExpectShows(SettingsPart, dialog,
                "hotkey on ctrl on alt on key VK_F9 usable ononon | cursor on corner right down "
                "usable onononon | no splash on");
    Close(dialog, IDOK);
    EXPECT_FALSE(IsWindowEnabled(frame)) << "the main frame must stay disabled";

    EXPECT_EQ(ExitAndReadSettings(frame),
              (std::vector<std::string>{
                  "Position=0,0", "EnableFilters=_hue_brg,_normal,_hue_gbr,_grayscale",
                  "NoSplash=1", "EnableHotkeyAction=1", "HotkeyVKey=120", "HotkeyCtrl=1",
                  "HotkeyAlt=1", "EnableMouseAction=1", "MouseActionPosition=3"}));
}

TEST_F(OptionDialog, CancelAppliesNothingAndAnEmptiedListIsSavedEmpty)
{
    // Without the identity filter every entry can be disabled.
    e2e::WriteRegistryString(e2e::kProgramKey, "EnableFilters", "_hue_gbr");
    e2e::WriteRegistryDword(e2e::kProgramKey, "HotkeyAlt", 1);
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);
    HWND dialog = Open(frame, 'O', "Option");
    ASSERT_NE(dialog, nullptr);
    const std::string filters =
        "[hue(RGB=>GBR)] row 0 up off down off disable on enable on focus &HOTKEY";
    const std::string others =
        "hotkey on ctrl off alt on key VK_F11 usable ononon | cursor off corner left up usable "
        "offoffoffoff | no splash off";
    ExpectShows(FilterPart, dialog, filters);
    ExpectShows(SettingsPart, dialog, others);

    e2e::ClickControl(GetDlgItem(dialog, kDisable));
    ExpectShows(FilterPart, dialog,
                "[] row -1 up off down off disable off enable on focus &Enable...");
    ChangeSettings(dialog, {kCtrl, kHotkey, kCursor, kRightUp, kNoSplash}, 0);
    ExpectShows(SettingsPart, dialog,
                "hotkey off ctrl on alt on key VK_F1 usable offoffoff | cursor on corner right up "
                "usable onononon | no splash on");
    Close(dialog, IDCANCEL);

    dialog = Open(frame, 'O', "Option");
    ASSERT_NE(dialog, nullptr);
    ExpectShows(FilterPart, dialog, filters);
    ExpectShows(SettingsPart, dialog, others);
    e2e::ClickControl(GetDlgItem(dialog, kDisable));
    ExpectShows(FilterPart, dialog,
                "[] row -1 up off down off disable off enable on focus &Enable...");
    Close(dialog, IDOK);

    EXPECT_EQ(ExitAndReadSettings(frame),
              (std::vector<std::string>{"Position=0,0", "EnableFilters=", "NoSplash=0",
                                        "EnableHotkeyAction=1", "HotkeyVKey=122", "HotkeyCtrl=0",
                                        "HotkeyAlt=1", "EnableMouseAction=0",
                                        "MouseActionPosition=0"}));
}

TEST_F(OptionDialog, OkRegistersTheHotkeyAnewOnlyWhenItsSettingsChanged)
{
    e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 1);
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(e2e::WaitUntil([] { return !HotkeyIsFree(VK_F11); }, kWaitMs))
        << "the program did not take F11 at start";

    // Each run of the dialog: the controls clicked, the key chosen (-1: as it was), and
    // which function keys the program holds afterwards.
    struct Run {
        const char* action;
        std::vector<int> clicks;
        int keyIndex;
        bool holdsF10, holdsF11;
    };
    const Run runs[] = {
        {"hotkey switched off", {kHotkey}, -1, false, false},
        {"switched on again", {kHotkey}, -1, false, true},
        {"only the corner", {kCursor, kLeftDown}, -1, false, true},
        {"another key", {}, 9, true, false},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.action);
        HWND dialog = Open(frame, 'O', "Option");
        ASSERT_NE(dialog, nullptr);
        ChangeSettings(dialog, run.clicks, run.keyIndex);
        Close(dialog, IDOK);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !HotkeyIsFree(VK_F10) == run.holdsF10 &&
                                                !HotkeyIsFree(VK_F11) == run.holdsF11; },
                                   5000));
        EXPECT_EQ(!HotkeyIsFree(VK_F10), run.holdsF10);
        EXPECT_EQ(!HotkeyIsFree(VK_F11), run.holdsF11);
    }

    // F9 belongs to another program: choosing it unregisters F10, then says so.
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, 0, VK_F9));
    HWND dialog = Open(frame, 'O', "Option");
    ASSERT_NE(dialog, nullptr);
    ChooseKey(dialog, 8);
    Close(dialog, IDOK);
    std::vector<HWND> boxes;
    ASSERT_TRUE(e2e::WaitUntil([&] { return !(boxes = MessageBoxesOf(program_.Id())).empty(); },
                               kWaitMs));
    const ShownBox box = ReadMessageBox(boxes.front());
    EXPECT_EQ(box.text, "failed to register HOTKEY.");
    EXPECT_EQ(box.caption, "Prismolenteer");
    EXPECT_FALSE(box.hasIcon);
    DismissMessageBox(boxes.front());
    EXPECT_TRUE(HotkeyIsFree(VK_F10));
    UnregisterHotKey(nullptr, 1);

    // An OK that leaves the hotkey as it was does not retry the failed registration.
    dialog = Open(frame, 'O', "Option");
    ASSERT_NE(dialog, nullptr);
    e2e::ClickControl(GetDlgItem(dialog, kRightUp));
    Close(dialog, IDOK);
    Sleep(500);
    EXPECT_TRUE(MessageBoxesOf(program_.Id()).empty());
    EXPECT_TRUE(HotkeyIsFree(VK_F9));

    EXPECT_EQ(ExitAndReadSettings(frame),
              (std::vector<std::string>{"Position=0,0", "EnableFilters=_normal,_hue_gbr,_hue_brg",
                                        "NoSplash=1", "EnableHotkeyAction=1", "HotkeyVKey=120",
                                        "HotkeyCtrl=0", "HotkeyAlt=0", "EnableMouseAction=1",
                                        "MouseActionPosition=2"}));
}

TEST_F(OptionDialog, OpensOnlyOnceAndExitWhileItIsOpenEndsTheProgram)
{
    e2e::WriteRegistryDword(e2e::kProgramKey, "NoSplash", 1);
    HWND frame = Start();
    ASSERT_NE(frame, nullptr);
    HWND dialog = Open(frame, 'O', "Option");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(e2e::ChooseFromTrayMenu(frame, program_.Id(), 'O'));
    Sleep(500);
    EXPECT_EQ(e2e::CountDialogs(program_.Id(), "Option"), 1);
    EXPECT_TRUE(IsWindow(dialog));

    // Exit from the tray menu while the dialog runs: the dialog goes with the main frame,
    // the program ends normally and saves what it had, not the dialog's edits.
    e2e::ClickControl(GetDlgItem(dialog, kNoSplash));
    ASSERT_TRUE(e2e::ChooseFromTrayMenu(frame, program_.Id(), 'X'));
    DWORD exitCode = 12345;
    ASSERT_TRUE(program_.WaitForExit(kWaitMs, &exitCode));
    EXPECT_EQ(exitCode, 0u);
    DWORD noSplash = 12345;
    EXPECT_TRUE(e2e::ReadRegistryDword(e2e::kProgramKey, "NoSplash", &noSplash));
    EXPECT_EQ(noSplash, 1u);
}

}  // namespace
