// The operate panel beside the preview.

#include "preview/operate_panel.h"

HWND panelWindow;
