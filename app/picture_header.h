// What a picture file says about itself besides its pixels, read from its bytes before the
// imaging component decodes it: which format it is, whether its header gives a size no
// picture can have, how it is to be turned to stand upright (EXIF orientation), and which
// colour space its pixels are in. And what the program does with the last two: where each
// pixel goes, and the sRGB levels of pixels of a declared gamma. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

enum class PictureFormat { Unknown, Png, Bmp, Jpeg };

// The colour space a picture declares. Pixels of an sRGB picture, or of one that declares
// nothing, are taken as they are.
enum class DeclaredColours {
    Srgb,        // sRGB, or nothing declared
    Gamma,       // a transfer function alone (PNG's gAMA): the program converts it
    IccProfile,  // an ICC profile other than sRGB's: not converted
    Primaries,   // primaries other than sRGB's (PNG's cHRM, a calibrated BMP): not converted
};

struct PictureHeader {
    PictureFormat format;
    bool impossibleSize;      // a width or height of zero or below, or beyond 2^31 - 1
    int orientation;          // EXIF's 1 to 8; 1, upright, when the file gives none
    DeclaredColours colours;
    uint32_t gamma;           // with Gamma: the file's gamma in units of 1 / 100000
};

PictureHeader ReadPictureHeader(const uint8_t* bytes, size_t size);

// The size of a picture of `width` x `height` stored pixels once it stands upright:
// orientations 5 to 8 turn it a quarter.
void UprightSize(int orientation, int32_t width, int32_t height, int32_t* uprightWidth,
                 int32_t* uprightHeight);

// Where the stored pixel (x, y) of a `width` x `height` picture goes once it stands upright,
// counted from the top left as the stored one.
void UprightPosition(int orientation, int32_t width, int32_t height, int32_t x, int32_t y,
                     int32_t* uprightX, int32_t* uprightY);

// The sRGB level of each level of a picture whose gAMA chunk says `gamma` (units of
// 1 / 100000): the level decoded to light by the file's gamma, then encoded as sRGB does.
void MakeSrgbLevels(uint32_t gamma, uint8_t (&levels)[256]);
