// Picture files: PNG, BMP and JPEG read into a frame, frames written as compressed PNG with
// text chunks, and every file written through a temporary file beside it, so that a failure
// never leaves a partial file. The Windows Imaging Component does the decoding and encoding;
// it is reached through COM, so the program still starts where it is missing.
#pragma once

#include <cstddef>
#include <cstdint>

#include <windows.h>

#include <objbase.h>

#include "filter/frame_buffers.h"

struct FilterRecord;

enum class ImageStatus {
    Done,
    NoImagingComponent,  // the Windows Imaging Component is not installed
    InputMissing,
    InputUnreadable,     // with the system's reason
    InputUnsupported,    // not a PNG, BMP or JPEG file
    InputDamaged,        // one of those, but it does not decode: truncated or corrupt
    TooLarge,            // not enough memory for the picture
    OutputExists,        // and may not be replaced
    OutputUnwritable,    // with the system's reason
    EncodeFailed,
};

struct ImageResult {
    ImageStatus status;
    DWORD systemError;  // GetLastError's code for the two statuses with a reason; else 0
};

// A PNG text chunk: a Latin-1 keyword and a text in the ANSI code page. The text is stored
// as tEXt when Latin-1 can hold it, otherwise as iTXt in UTF-8.
struct PngText {
    const char* keyword;
    const char* text;
};

// COM for the length of one operation. A thread that has it already keeps it: the call
// only counts up, and the destructor counts down again.
class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() { if (initialized_) CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool initialized_;
};

// True when the Windows Imaging Component can be created.
bool ImagingAvailable();

// Reads a PNG, BMP or JPEG file into frames->captured as a 24-bit bottom-up image, as a
// capture lays it out, and allocates frames->filtered of the same size (alpha is dropped).
// On failure nothing is held. Free both with FreeFrameImages.
ImageResult ReadPictureFile(const char* path, FrameBuffers* frames);
void FreeFrameImages(FrameBuffers* frames);

// `pixels`, laid out as `frame` says, as a PNG in memory with `texts` after its header:
// *bytes is the caller's to free().
ImageResult EncodePng(const FrameBuffers& frame, const uint8_t* pixels, const PngText* texts,
                      int textCount, uint8_t** bytes, size_t* size);

// Writes `bytes` to a temporary file in the folder of `path` and renames it to `path`. An
// existing file is replaced only when `replace` is set. On failure no file is left behind.
ImageResult WriteFileSafely(const char* path, const uint8_t* bytes, size_t size, bool replace);

// EncodePng, then WriteFileSafely.
ImageResult WritePngFile(const char* path, const FrameBuffers& frame, const uint8_t* pixels,
                         const PngText* texts, int textCount, bool replace);

// "Prismolenteer <version>": the Software text of every PNG the program writes.
const char* PngSoftwareText();

// A picture through `filter` as a PNG file, its text chunks naming the program ("Software"),
// the filter ("Filter") and its display name ("Filter display name").
ImageResult WriteFilteredPng(const char* path, const FrameBuffers& frame, const uint8_t* pixels,
                             const FilterRecord& filter, bool replace);

// The user's message for `result` about the file `path`, from the string table, into `text`.
void DescribeImageResult(const ImageResult& result, const char* path, char* text, int size);
