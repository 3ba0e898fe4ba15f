// The two triggers of the preview (the hotkey and the hot corner) and the tray menu's
// Option command.
#pragma once

#include <windows.h>

// Opens the preview, or brings its panel forward. 1 when a preview exists afterwards.
int OpenPreview();

// One tick of the main frame's timer.
int OnHotCornerTimer(UINT_PTR timerId);

// The Option dialog, then the hotkey registered anew when its settings changed.
int RunOptionCommand();
