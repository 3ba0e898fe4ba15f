// Keeping what the preview shows: Copy puts it on the clipboard, Save picture and Save
// comparison sheet write PNG files chosen in the Save As dialog. Each works on the last
// capture (preview/capture.h); the dialog and every box are owned by `owner`, the preview.
#pragma once

#include <cstdint>

#include <windows.h>

struct FilterRecord;

// Puts `pixels` (the filtered or the captured image) on the clipboard as a CF_DIB. A
// clipboard that another program holds open is tried a few times before a box says so.
void CopyPicture(HWND owner, const uint8_t* pixels);

// Asks for a file name and writes the filtered image as PNG, naming `filter` in its texts.
void SavePicture(HWND owner, const FilterRecord& filter);

// Asks for a file name and writes the comparison sheet of the capture through the enabled
// filters.
void SaveComparisonSheet(HWND owner);
