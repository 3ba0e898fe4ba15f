// The splash window: the product's picture, centred on the screen for two seconds at
// start-up. It lives on by itself; nobody keeps its handle.
#pragma once

#include <windows.h>

extern const char kSplashClassName[];

// The picture, a DIB section owned by the splash window: loaded by its creation, deleted by
// its destruction, null otherwise.
extern HBITMAP splashBitmap;
// The picture's size on the screen in pixels, scaled to the DPI of the primary monitor,
// taken during the window's creation.
extern int splashWidth;
extern int splashHeight;

// Class atom, 0 on failure.
ATOM RegisterSplashClass();

// Shows the splash window. Null when it could not be made.
HWND CreateSplashWindow();

// 1 with the bitmap's size in pixels stored through the two outputs; 0, with them
// untouched, when GDI cannot describe the bitmap.
int GetBitmapSize(HBITMAP bitmap, int* width, int* height);

LRESULT CALLBACK SplashWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
