// The Enable filter dialog: picks one of the filters that the Option dialog's list lacks.
#pragma once

#include <windows.h>

// The available-list row chosen by the last OK; read only after a result of 1.
extern int chosenAvailableIndex;

// Runs the Enable filter dialog modally, owned by `owner` (the Option dialog). 1 when a
// filter was chosen (its row is in chosenAvailableIndex); 2 when none was, or at once when
// no filter is available; DialogBoxParamA's failure value when the dialog could not be made.
int ShowEnableFilterDialog(HWND owner);

INT_PTR CALLBACK EnableFilterDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
