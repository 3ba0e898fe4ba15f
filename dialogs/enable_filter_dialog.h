// The Enable filter dialog: picks one of the filters that the Option dialog's list lacks.
#pragma once

#include <windows.h>

// Runs the Enable filter dialog modally, owned by `owner` (the Option dialog). The row of
// the available list chosen by OK; -1 when none was chosen, the dialog could not be made, or
// at once when no filter is available.
int ShowEnableFilterDialog(HWND owner);
