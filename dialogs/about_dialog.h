// The About box: the product's name, version and purpose.
#pragma once

#include <windows.h>

// Runs the About box modally, owned by `owner`. 2 at once when it is already open;
// otherwise DialogBoxParamA's result, 1 after every normal closing.
int ShowAboutDialog(HWND owner);

// Asks a running About box to close, as a click on its OK button does. It closes when its
// own modal loop takes the message, after this call has returned. Nothing happens when no
// About box runs.
void CloseAboutDialog();
