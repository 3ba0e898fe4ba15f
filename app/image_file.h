// Picture files: PNG, BMP and JPEG read into a picture, turned upright and into sRGB as far
// as the file asks and the program can; pictures written as compressed PNG that say they
// are sRGB, with text chunks. The Windows Imaging Component does the decoding and encoding;
// it is reached through COM, so the program still starts where it is missing.
#pragma once

#include <cstddef>
#include <cstdint>

#include <windows.h>

#include <objbase.h>

#include "app/file_result.h"
#include "filter/frame_buffers.h"

struct FilterRecord;
struct RowFilter;

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

// What reading a picture left as it was: colours it declares that the program does not
// convert, so that they are taken as sRGB.
enum class ColourNote {
    None,
    IccProfileKept,  // an ICC profile other than sRGB's
    PrimariesKept,   // primaries other than sRGB's
};

// Reads a PNG, BMP or JPEG file into `picture`, alpha dropped: stood upright as its EXIF
// orientation says, and a declared gamma turned into sRGB; `note` says what was left
// unconverted. On failure nothing is held. FreePicture frees it.
ImageResult ReadPictureFile(const wchar_t* path, Picture* picture, ColourNote* note);
void FreePicture(Picture* picture);

// Writes `picture` as a PNG file with `texts` and the sRGB chunks after its header, each
// row through `filter` on its way when it is given. The file is written as it is encoded,
// to a temporary file that is renamed into place (app/safe_file.h).
ImageResult WritePngFile(const wchar_t* path, const Picture& picture, const RowFilter* filter,
                         const PngText* texts, int textCount, bool replace);

// "Prismolenteer <version>": the Software text of every PNG the program writes.
const char* PngSoftwareText();

// Whether a picture is written as it is or through the filter that its texts name.
enum class PngPixels { AsTheyAre, ThroughTheFilter };

// A picture through `filter` as a PNG file, its text chunks naming the program ("Software"),
// the filter ("Filter") and its display name ("Filter display name").
ImageResult WriteFilteredPng(const wchar_t* path, const Picture& picture, const FilterRecord& filter,
                             PngPixels pixels, bool replace);
