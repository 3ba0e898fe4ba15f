// The live view: a topmost window that keeps showing an area of the screen through one
// filter while the user works, each pixel exactly as the preview's cube shows it. Where
// Windows can keep the window out of screen copies it may show the area under itself, a
// lens; elsewhere it shows the area around the mouse pointer, 1:1 or zoomed, and draws the
// part of that area it covers itself as a neutral hatch.
#pragma once

#include <windows.h>

struct FilterRecord;

// Posted by the preview to its owner when the user asks for the live view from its menu:
// wParam is the index in the filter table of the filter to carry over.
const UINT WM_OPEN_LIVE_VIEW = WM_APP + 5;

// The live window, or null. Set when it has been made, cleared as it is destroyed.
extern HWND liveWindow;

ATOM RegisterLiveViewClass();

// Opens the live view through `filter`, or when null through the filter it showed last
// (else the first enabled one), where it was last, at the zoom and in the mode it had.
// An open live view only changes its filter. Null when the window could not be made.
HWND OpenLiveView(const FilterRecord* filter);

void CloseLiveView();

// While a dialog of the program is open the live view stops looking at the screen and holds
// its picture. Counted: it looks again once every pause has been resumed. It also holds
// while the preview is open, while its own menu or dialog is, while the session is locked
// and while the pointer is over it (when it follows the pointer).
void PauseLiveView();
void ResumeLiveView();

// What the live view shows, for the tests: the area of the screen in its picture, the part
// of that area drawn as the hatch (picture pixels; empty when none), how many pictures it
// has shown, and whether Windows keeps it out of screen copies.
struct LiveViewState {
    RECT area;
    RECT hatched;
    unsigned framesShown;
    bool excludedFromCapture;
};
LiveViewState GetLiveViewState();

// The message the live window answers with the number of pictures it has shown, for the
// benchmark in another process (RegisterWindowMessage).
extern const char kLiveViewFramesMessage[];
