// The file name the Save As dialog proposes for a picture of the preview. Portable: no
// windows.h.
#pragma once

#include <cstddef>

// A local date and time, as the capture took it.
struct PictureTime {
    int year, month, day, hour, minute, second;
};

// "Prismolenteer YYYY-MM-DD HH.MM.SS <label>.png" into `name` (`size` bytes, at least 40),
// the label cut by whole characters when the whole would not fit. Characters a file name
// cannot hold (\ / : * ? " < > | and control characters) become '_'; the label is text of
// the ANSI code page, stepped through by characters, so a trail byte is never taken for one.
void ProposePictureName(const PictureTime& time, const char* label, char* name, size_t size);
