// Keeping what the preview and the live view show: Copy puts a picture on the clipboard,
// Save picture and Save comparison sheet write PNG files chosen in the Save As dialog. The
// dialog and every box are owned by `owner`, the window whose picture it is.
#pragma once

#include <windows.h>

#include "filter/frame_buffers.h"

struct FilterRecord;

// Puts `picture` on the clipboard as a CF_DIB. A clipboard that another program holds open
// is tried a few times before a box says so.
void CopyPicture(HWND owner, const Picture& picture);

// Asks for a file name and writes `picture`, shown through `filter` and taken at `taken`, as
// a PNG naming the filter in its texts.
void SavePicture(HWND owner, const Picture& picture, const FilterRecord& filter,
                 const SYSTEMTIME& taken);

// Asks for a file name and writes the comparison sheet of the preview's last capture
// (preview/capture.h) through the enabled filters.
void SaveComparisonSheet(HWND owner);
