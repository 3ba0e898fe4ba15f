// The screen capture: one picture of a monitor and its filtered copy.
#pragma once

#include <windows.h>

#include "filter/frame_buffers.h"

// Both images of the last capture. They stay allocated after the preview closes, for the
// next capture of the same size.
extern FrameBuffers frameBuffers;

// The local time of the last capture: saved pictures are named after it.
extern SYSTEMTIME captureTime;

// Captures `area` of the screen (a monitor, in screen pixels), layered windows included,
// into frameBuffers.captured. Zero when the two images could not be allocated; then no
// image is held and the user has been told in a box owned by `boxOwner`.
int CaptureScreen(HWND boxOwner, const RECT& area);

// Makes both images ready for a capture of `area`'s size ahead of time, their memory
// touched once, so that the first preview pays nothing for them. Nothing is reported: a
// capture that still lacks memory says so itself.
void PrepareCaptureImages(const RECT& area);

// Frees both images: when the screen's size changed, and at the end.
void ReleaseCaptureImages();

// The images for copies of the screen, as the preview and the live view keep them: the
// captured image of `frames` is the pixels of `section`, a DIB section, which the screen is
// copied into directly (GDI converts the screen's pixels once, on the way in); the filtered
// one is plain memory. Keeps the images held when they have this size, else makes new ones.
// False when there is not enough memory; then none are held.
bool HoldScreenImages(HBITMAP& section, FrameBuffers& frames, int width, int height);
void FreeScreenImages(HBITMAP& section, FrameBuffers& frames);

// Copies `area` of the screen into `section`, layered windows included. False when GDI
// refused; GetLastError tells why.
bool CopyScreenArea(HBITMAP section, const RECT& area);
