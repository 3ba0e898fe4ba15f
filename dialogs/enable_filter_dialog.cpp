// The Enable filter dialog, a list of the available filters by display name.

#include "dialogs/enable_filter_dialog.h"

#include "app/resource_module.h"
#include "dialogs/option_lists.h"
#include "res/resource.h"

namespace {

// The dialog's result: the chosen row plus one, so that neither DialogBoxParamA's failures
// (0 and -1) nor Cancel can be taken for a row.
const INT_PTR kNoRowChosen = 0;

BOOL InitEnableFilterDialog(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_AVAILABLE_LIST);
    for (int i = 0; i < availableList.count; ++i)
        SendMessageA(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(availableList.entries[i]->displayName));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    return TRUE;
}

void TakeSelectedFilter(HWND dialog)
{
    const LRESULT row = SendDlgItemMessageA(dialog, IDC_AVAILABLE_LIST, LB_GETCURSEL, 0, 0);
    EndDialog(dialog, row == LB_ERR ? kNoRowChosen : row + 1);
}

// Only the whole wParam counts: OK and Cancel with notification code 0, as a click, Enter,
// Esc and the close box send them. A double click in the list does nothing.
INT_PTR CALLBACK EnableFilterDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        return InitEnableFilterDialog(dialog);
    case WM_COMMAND:
        if (wParam == IDOK) {
            TakeSelectedFilter(dialog);
            return TRUE;
        }
        if (wParam == IDCANCEL) {
            EndDialog(dialog, kNoRowChosen);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int ShowEnableFilterDialog(HWND owner)
{
    if (availableList.count == 0)
        return -1;
    const INT_PTR result = DialogBoxParamA(GetResourceInstance(),
                                           MAKEINTRESOURCEA(IDD_ENABLE_FILTER), owner,
                                           EnableFilterDialogProc, 0);
    return result > kNoRowChosen ? static_cast<int>(result - 1) : -1;
}
