// The Option dialog. It edits working copies of the filter lists and shows the settings in
// its controls; only OK writes them back, into memory. The registry is written at exit.

#include "dialogs/option_dialog.h"

#include <cstdio>

#include "app/modal_owner.h"
#include "app/resource_module.h"
#include "dialogs/enable_filter_dialog.h"
#include "dialogs/option_lists.h"
#include "res/resource.h"
#include "settings/settings.h"

namespace {

const int kFunctionKeyCount = 12;  // VK_F1 to VK_F12
const int kCornerCount = 4;        // "left up", "left down", "right up", "right down"

// True from just before the dialog is made until it has closed.
bool optionDialogOpen;

struct ControlOfRule {
    OptionControl control;
    int id;
};
const ControlOfRule kRuleControls[] = {
    {OptionControl::Up, IDC_UP},
    {OptionControl::Down, IDC_DOWN},
    {OptionControl::Disable, IDC_DISABLE},
    {OptionControl::Enable, IDC_ENABLE},
    {OptionControl::NoSplash, IDC_NO_SPLASH},
};

int ControlId(OptionControl control)
{
    for (const ControlOfRule& entry : kRuleControls)
        if (entry.control == control)
            return entry.id;
    return 0;
}

// Which of the list's four buttons has the focus; Other for any other window.
OptionControl FocusedListButton(HWND dialog)
{
    HWND focus = GetFocus();
    for (const ControlOfRule& entry : kRuleControls)
        if (entry.control != OptionControl::NoSplash && focus != nullptr &&
            focus == GetDlgItem(dialog, entry.id))
            return entry.control;
    return OptionControl::Other;
}

// Only BST_CHECKED counts; an indeterminate state does not.
uint32_t IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void SetChecked(HWND dialog, int id, uint32_t flag)
{
    CheckDlgButton(dialog, id, flag ? BST_CHECKED : BST_UNCHECKED);
}

void EnableControl(HWND dialog, int id, bool enable)
{
    EnableWindow(GetDlgItem(dialog, id), enable);
}

// -1 when no row is selected.
int SelectedRow(HWND dialog)
{
    const LRESULT row = SendDlgItemMessageA(dialog, IDC_FILTER_LIST, LB_GETCURSEL, 0, 0);
    return row == LB_ERR ? -1 : static_cast<int>(row);
}

void SelectRow(HWND dialog, int row)
{
    SendDlgItemMessageA(dialog, IDC_FILTER_LIST, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void FillFilterList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_FILTER_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < workingList.count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(workingList.entries[i]->displayName));
}

// The control rules: what may be used now, and the focus moved off a button before it is
// greyed. With `refill` the list is filled anew from the working list first, keeping the
// selected row where it can.
void UpdateOptionControls(HWND dialog, bool refill)
{
    const bool hotkeyOn = IsChecked(dialog, IDC_HOTKEY);
    EnableControl(dialog, IDC_HOTKEY_VKEY, hotkeyOn);
    EnableControl(dialog, IDC_HOTKEY_CTRL, hotkeyOn);
    EnableControl(dialog, IDC_HOTKEY_ALT, hotkeyOn);
    const bool cornerOn = IsChecked(dialog, IDC_CURSOR_POSITION);
    for (int i = 0; i < kCornerCount; ++i)
        EnableControl(dialog, IDC_LEFT_UP + i, cornerOn);

    if (refill) {
        const int rowBefore = SelectedRow(dialog);
        FillFilterList(dialog);
        SelectRow(dialog, RowAfterRefill(rowBefore, workingList.count));
    }

    const OptionControl focused = FocusedListButton(dialog);
    const ListButtonStates states = DecideListButtons(SelectedRow(dialog), focused);
    // Greying the focused window would leave the dialog without focus, so the new focus is
    // chosen before and given after.
    EnableControl(dialog, IDC_UP, states.upEnabled);
    EnableControl(dialog, IDC_DOWN, states.downEnabled);
    EnableControl(dialog, IDC_DISABLE, states.disableEnabled);
    EnableControl(dialog, IDC_ENABLE, states.enableEnabled);
    if (focused != OptionControl::Other) {
        // WM_NEXTDLGCTL rather than SetFocus: it also moves the default button's border.
        SendMessageA(dialog, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(dialog, ControlId(states.focus))), TRUE);
    }
}

BOOL InitOptionDialog(HWND dialog)
{
    BuildOptionLists();

    // Entry i stands for VK_F1 + i. The key names are the program's own, not resources.
    HWND keys = GetDlgItem(dialog, IDC_HOTKEY_VKEY);
    for (int i = 0; i < kFunctionKeyCount; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "VK_F%d", i + 1);
        SendMessageA(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }

    SetChecked(dialog, IDC_HOTKEY, settings.EnableHotkeyAction);
    SendMessageA(keys, CB_SETCURSEL, settings.HotkeyVKey - kVkF1, 0);
    SetChecked(dialog, IDC_HOTKEY_CTRL, settings.HotkeyCtrl);
    SetChecked(dialog, IDC_HOTKEY_ALT, settings.HotkeyAlt);
    SetChecked(dialog, IDC_CURSOR_POSITION, settings.EnableMouseAction);
    CheckRadioButton(dialog, IDC_LEFT_UP, IDC_RIGHT_DOWN,
                     IDC_LEFT_UP + static_cast<int>(settings.MouseActionPosition));
    SetChecked(dialog, IDC_NO_SPLASH, settings.NoSplash);

    FillFilterList(dialog);
    SelectRow(dialog, 0);
    UpdateOptionControls(dialog, false);
    return TRUE;  // the focus goes to the first tab stop, "&HOTKEY"
}

// Every control is read, greyed or not: the key, the modifiers and the corner keep what
// they show even while their check box is off.
void ApplyOptionDialog(HWND dialog)
{
    ApplyWorkingList();

    settings.EnableHotkeyAction = IsChecked(dialog, IDC_HOTKEY);
    // The drop-down list always has a selection; should a template lack it, the key stays
    // a function key rather than becoming 111.
    const LRESULT key = SendDlgItemMessageA(dialog, IDC_HOTKEY_VKEY, CB_GETCURSEL, 0, 0);
    if (key >= 0 && key < kFunctionKeyCount)
        settings.HotkeyVKey = kVkF1 + static_cast<uint32_t>(key);
    settings.HotkeyCtrl = IsChecked(dialog, IDC_HOTKEY_CTRL);
    settings.HotkeyAlt = IsChecked(dialog, IDC_HOTKEY_ALT);
    settings.EnableMouseAction = IsChecked(dialog, IDC_CURSOR_POSITION);

    settings.MouseActionPosition = 0;  // also when no corner is checked
    for (int i = 0; i < kCornerCount; ++i) {
        if (IsChecked(dialog, IDC_LEFT_UP + i)) {
            settings.MouseActionPosition = static_cast<uint32_t>(i);
            break;
        }
    }

    settings.NoSplash = IsChecked(dialog, IDC_NO_SPLASH);
}

void MoveEntryUp(HWND dialog)
{
    const int row = SelectedRow(dialog);
    if (row <= 0 || !SwapWorkingEntries(row - 1))
        return;
    SelectRow(dialog, row - 1);
    UpdateOptionControls(dialog, true);
}

void MoveEntryDown(HWND dialog)
{
    const int row = SelectedRow(dialog);
    if (row < 0 || !SwapWorkingEntries(row))
        return;
    SelectRow(dialog, row + 1);
    UpdateOptionControls(dialog, true);
}

// The list keeps its selected row number, so the selection does not follow the new entry
// at the end.
void OnEnableCommand(HWND dialog)
{
    if (EnableEntry(ShowEnableFilterDialog(dialog)))
        UpdateOptionControls(dialog, true);
}

// The same row number then shows the next filter, or the new last one. The identity filter
// is never disabled, even by a command that did not come from its greyed button.
void OnDisableCommand(HWND dialog)
{
    const int row = SelectedRow(dialog);
    if (row < 0 || row >= workingList.count ||
        workingList.entries[row]->kind == FilterKind::Identity)
        return;
    DisableEntry(row);
    UpdateOptionControls(dialog, true);
}

// Notifications of the list's buttons other than a click do nothing.
void OnListButton(HWND dialog, int id, int code)
{
    if (code != BN_CLICKED)
        return;
    switch (id) {
    case IDC_UP:      MoveEntryUp(dialog); break;
    case IDC_DOWN:    MoveEntryDown(dialog); break;
    case IDC_ENABLE:  OnEnableCommand(dialog); break;
    case IDC_DISABLE: OnDisableCommand(dialog); break;
    }
}

BOOL OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK:
        ApplyOptionDialog(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:  // also Esc and the close box
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_HOTKEY:
    case IDC_CURSOR_POSITION:
        UpdateOptionControls(dialog, false);
        return TRUE;
    case IDC_FILTER_LIST:
        if (code == LBN_SELCHANGE)
            UpdateOptionControls(dialog, false);
        return TRUE;
    case IDC_UP:
    case IDC_DOWN:
    case IDC_ENABLE:
    case IDC_DISABLE:
        OnListButton(dialog, id, code);
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK OptionDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: return InitOptionDialog(dialog);
    case WM_COMMAND:    return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

}  // namespace

int ShowOptionDialog(HWND owner)
{
    if (optionDialogOpen)
        return IDCANCEL;
    optionDialogOpen = true;
    // From the language module when one is loaded; a module must keep the control IDs.
    const INT_PTR result = RunModalKeepingOwnerDisabled(owner, [owner] {
        return DialogBoxParamA(GetResourceInstance(), MAKEINTRESOURCEA(IDD_OPTION), owner,
                               OptionDialogProc, 0);
    });
    optionDialogOpen = false;
    return static_cast<int>(result);
}

int IsOptionDialogOpen()
{
    return optionDialogOpen;
}
