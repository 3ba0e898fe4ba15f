// Every message box the running program shows goes through these routines: captioned with
// the product name, at most 511 characters, owned by the window the caller hands over.
#pragma once

#include <windows.h>

// 1 once a box with the error icon has been shown; from then on further error boxes with
// only an OK button are dropped, so that one fault does not bury the user in boxes.
extern int errorBoxShown;

// MessageBoxA with a printf-style text, owned by `owner` (null for none). Returns
// MessageBoxA's result, or 0 when the box was dropped by the rule above. An owner that is
// disabled, as the hidden main frame always is, stays disabled afterwards.
int ShowMessageF(HWND owner, UINT type, const char* format, ...)
    __attribute__((format(gnu_printf, 3, 4)));

// The same with a text of the string table (language module first), shown as it stands:
// a translator's "%s" or "%n" is text, never a format.
int ShowMessageId(HWND owner, UINT type, UINT stringId);

// The same for a text already made, in UTF-16: a message that names a file, whose name the
// ANSI code page may not hold.
int ShowMessageW(HWND owner, UINT type, const wchar_t* text);

// A box without owner and with the system's default caption, past the rule above: for the
// failures that come before the product name is known or where no window can own the box.
void ShowPlainMessage(const char* text, UINT type);
