// The full-screen preview window.
#pragma once

#include <windows.h>

// The preview while it exists, else null. The Option dialog refuses to open meanwhile.
extern HWND previewWindow;
