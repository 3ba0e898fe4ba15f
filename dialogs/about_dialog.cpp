// The About box. Its modal loop also runs the messages of the program's other windows, so
// the box can be asked to close from there.

#include "dialogs/about_dialog.h"

#include "app/modal_owner.h"
#include "app/resource_module.h"
#include "res/resource.h"

namespace {

int aboutOpen;
// The dialog from its WM_INITDIALOG until its closing command; otherwise null.
HWND aboutWindow;

// Only the whole wParam counts: OK and Cancel with notification code 0, as the OK button,
// Enter, Esc, the close box and CloseAboutDialog send them.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        aboutWindow = dialog;
        return TRUE;  // the focus goes to the first tab stop, OK
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            aboutWindow = nullptr;
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

int ShowAboutDialog(HWND owner)
{
    if (aboutOpen)
        return 2;
    aboutOpen = 1;
    // From the language module when one is loaded; the icon comes from the same module.
    const INT_PTR result = RunModalKeepingOwnerDisabled(owner, [owner] {
        return DialogBoxParamA(GetResourceInstance(), MAKEINTRESOURCEA(IDD_ABOUT), owner,
                               AboutDialogProc, 0);
    });
    aboutOpen = 0;
    aboutWindow = nullptr;  // also when the box ended without its closing command
    return static_cast<int>(result);
}

void CloseAboutDialog()
{
    if (aboutWindow == nullptr)
        return;
    PostMessageA(aboutWindow, WM_COMMAND, IDOK,
                 reinterpret_cast<LPARAM>(GetDlgItem(aboutWindow, IDOK)));
}
