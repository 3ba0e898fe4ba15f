// Every message box the running program shows goes through these two routines: owned by
// the main frame, captioned with the product name, at most 511 characters.
#pragma once

#include <windows.h>

// 1 once a box with the error icon has been shown; from then on further error boxes with
// only an OK button are dropped, so that one fault does not bury the user in boxes.
extern int errorBoxShown;

// MessageBoxA with a printf-style text. Returns MessageBoxA's result, or 0 when the box was
// dropped by the rule above.
int ShowMessageF(UINT type, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

// The same, with the format taken from the string table (language module first).
int ShowMessageId(UINT type, UINT stringId, ...);
