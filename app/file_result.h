// What reading or writing a picture file came to, and the message that tells the user.
#pragma once

#include <windows.h>

enum class ImageStatus {
    Done,
    NoImagingComponent,  // the Windows Imaging Component is not installed
    InputMissing,
    InputUnreadable,     // with the system's reason
    InputUnsupported,    // not a PNG, BMP or JPEG file
    InputDamaged,        // one of those, but it does not decode or gives a size no picture has
    TooLarge,            // not enough memory for the picture
    OutputExists,        // and may not be replaced
    OutputIsFolder,      // a folder, or a path that ends in a backslash
    OutputIsDevice,      // NUL, CON, COM1 and their kin
    OutputUnwritable,    // with the system's reason
    EncodeFailed,
};

struct ImageResult {
    ImageStatus status;
    DWORD systemError;  // GetLastError's code for the two statuses with a reason; else 0
};

inline ImageResult Result(ImageStatus status, DWORD systemError = 0)
{
    return {status, systemError};
}

// The user's message for `result` about the file `path`, from the string table, into
// `text` (`size` characters).
void DescribeImageResult(const ImageResult& result, const wchar_t* path, wchar_t* text, int size);
