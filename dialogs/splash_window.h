// The splash window: the product's picture, centred on the screen for two seconds at
// start-up. It lives on by itself; nobody keeps its handle.
#pragma once

#include <windows.h>

// Class atom, 0 on failure.
ATOM RegisterSplashClass();

// Shows the splash window. Null when it could not be made.
HWND CreateSplashWindow();
