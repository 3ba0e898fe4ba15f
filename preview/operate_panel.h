// The operate panel beside the preview.
#pragma once

#include <windows.h>

// The panel while it exists, else null. The message loop gives it dialog-style keys.
extern HWND panelWindow;
