// The full-screen preview window.

#include "preview/preview_window.h"

HWND previewWindow;
