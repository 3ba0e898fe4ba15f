// Reading a picture file's header, chunk by chunk (PNG), marker by marker (JPEG) or field by
// field (BMP), every read checked against the file's end, so that a damaged or hostile file
// can only come out as "nothing declared".

#include "app/picture_header.h"

#include <cmath>
#include <cstring>

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// sRGB's white point and primaries as PNG's cHRM chunk writes them (units of 1 / 100000):
// white x, y, red x, y, green x, y, blue x, y. A chunk within kChromaticitySlack of each is
// sRGB's.
const uint32_t kSrgbChromaticities[8] = {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
const uint32_t kChromaticitySlack = 1000;
// A gAMA this close to sRGB's 1 / 2.2 is taken for sRGB.
const uint32_t kSrgbGamma = 45455;
const uint32_t kGammaSlack = 1000;

// The four-byte tags of a BMP's colour space field.
const uint32_t kBmpSrgb = 0x73524742;           // "sRGB"
const uint32_t kBmpWindowsColours = 0x57696E20; // "Win "
const uint32_t kBmpEmbeddedProfile = 0x4D424544;
const uint32_t kBmpLinkedProfile = 0x4C494E4B;

uint32_t Big16(const uint8_t* p) { return uint32_t{p[0]} << 8 | p[1]; }
uint32_t Big32(const uint8_t* p) { return Big16(p) << 16 | Big16(p + 2); }
uint32_t Little16(const uint8_t* p) { return uint32_t{p[1]} << 8 | p[0]; }
uint32_t Little32(const uint8_t* p) { return Little16(p + 2) << 16 | Little16(p); }

uint32_t Distance(uint32_t a, uint32_t b) { return a > b ? a - b : b - a; }

// True when `text` (`size` bytes) begins with "sRGB", as the names and descriptions of
// sRGB's profiles do ("sRGB IEC61966-2.1", "sRGB built-in").
bool NamesSrgb(const uint8_t* text, size_t size)
{
    return size >= 4 && std::memcmp(text, "sRGB", 4) == 0;
}

// The orientation in an EXIF block: a TIFF header, then the first directory, whose tag
// 0x0112 holds one SHORT from 1 to 8.
int ExifOrientation(const uint8_t* tiff, size_t size)
{
    if (size < 8)
        return 1;
    const bool little = std::memcmp(tiff, "II*\0", 4) == 0;
    if (!little && std::memcmp(tiff, "MM\0*", 4) != 0)
        return 1;
    auto u16 = [&](size_t at) { return little ? Little16(tiff + at) : Big16(tiff + at); };
    auto u32 = [&](size_t at) { return little ? Little32(tiff + at) : Big32(tiff + at); };
    const uint32_t directory = u32(4);
    if (directory > size || size - directory < 2)
        return 1;
    const uint32_t entries = u16(directory);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + 12 * size_t{i};
        if (size - directory < 2 + 12 * size_t{i} + 12)
            return 1;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3 && u32(entry + 4) == 1) {
            const uint32_t value = u16(entry + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

// True when the ICC profile (or its first part, as a JPEG's first APP2 segment holds it)
// describes itself as sRGB: its "desc" tag, of the version 2 type "desc" (ASCII) or the
// version 4 type "mluc" (UTF-16, big-endian, the first record).
bool ProfileIsSrgb(const uint8_t* profile, size_t size)
{
    if (size < 132)
        return false;
    const uint32_t tags = Big32(profile + 128);
    for (uint32_t i = 0; i < tags && 132 + 12 * size_t{i} + 12 <= size; ++i) {
        const uint8_t* tag = profile + 132 + 12 * size_t{i};
        const uint32_t offset = Big32(tag + 4), length = Big32(tag + 8);
        if (std::memcmp(tag, "desc", 4) != 0 || offset > size || size - offset < length)
            continue;
        const uint8_t* type = profile + offset;
        if (length >= 16 && std::memcmp(type, "desc", 4) == 0)
            return NamesSrgb(type + 12, length - 12);
        if (length >= 28 && std::memcmp(type, "mluc", 4) == 0 && Big32(type + 8) >= 1) {
            const uint32_t textLength = Big32(type + 20), textOffset = Big32(type + 24);
            if (textOffset > length || length - textOffset < textLength || textLength < 8)
                return false;
            const uint8_t* text = type + textOffset;
            uint8_t ascii[4];
            for (int c = 0; c < 4; ++c)
                ascii[c] = text[2 * c] == 0 ? text[2 * c + 1] : 0;
            return NamesSrgb(ascii, 4);
        }
    }
    return false;
}

void ReadPng(const uint8_t* bytes, size_t size, PictureHeader* header)
{
    bool srgb = false, profile = false, srgbProfile = false, otherPrimaries = false;
    size_t at = sizeof kPngSignature;
    for (bool first = true; size - at >= 12; first = false) {
        const uint32_t length = Big32(bytes + at);
        const uint8_t* type = bytes + at + 4;
        const uint8_t* data = bytes + at + 8;
        if (length > size - at - 12)
            break;
        if (first) {
            // IHDR, whose width and height must be 1 to 2^31 - 1.
            if (std::memcmp(type, "IHDR", 4) != 0 || length < 8)
                break;
            const uint32_t width = Big32(data), height = Big32(data + 4);
            header->impossibleSize = width == 0 || height == 0 || width > 0x7FFFFFFF ||
                                     height > 0x7FFFFFFF;
        } else if (std::memcmp(type, "sRGB", 4) == 0) {
            srgb = true;
        } else if (std::memcmp(type, "iCCP", 4) == 0) {
            profile = true;
            srgbProfile = NamesSrgb(data, length);
        } else if (std::memcmp(type, "gAMA", 4) == 0 && length == 4) {
            header->gamma = Big32(data);
        } else if (std::memcmp(type, "cHRM", 4) == 0 && length == 32) {
            for (int i = 0; i < 8; ++i)
                otherPrimaries = otherPrimaries ||
                                 Distance(Big32(data + 4 * i), kSrgbChromaticities[i]) >
                                     kChromaticitySlack;
        } else if (std::memcmp(type, "eXIf", 4) == 0) {
            header->orientation = ExifOrientation(data, length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            break;
        }
        at += 12 + size_t{length};
    }
    // sRGB wins over everything else, and a profile over gAMA and cHRM, as in PNG itself.
    if (srgb || (profile && srgbProfile))
        header->colours = DeclaredColours::Srgb;
    else if (profile)
        header->colours = DeclaredColours::IccProfile;
    else if (otherPrimaries)
        header->colours = DeclaredColours::Primaries;
    else if (header->gamma != 0 && Distance(header->gamma, kSrgbGamma) > kGammaSlack)
        header->colours = DeclaredColours::Gamma;
    if (header->colours != DeclaredColours::Gamma)
        header->gamma = 0;
}

void ReadJpeg(const uint8_t* bytes, size_t size, PictureHeader* header)
{
    bool profile = false, srgbProfile = false;
    size_t at = 2;  // after the start-of-image marker
    while (size - at >= 4 && bytes[at] == 0xFF) {
        const uint8_t marker = bytes[at + 1];
        if (marker == 0xFF) {  // a fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)  // the pixels begin, or the file ends
            break;
        const uint32_t length = Big16(bytes + at + 2);
        if (length < 2 || length > size - at - 2)
            break;
        const uint8_t* data = bytes + at + 4;
        const size_t dataSize = length - 2;
        if (marker == 0xE1 && dataSize >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) {
            header->orientation = ExifOrientation(data + 6, dataSize - 6);
        } else if (marker == 0xE2 && dataSize >= 14 && std::memcmp(data, "ICC_PROFILE\0", 12) == 0) {
            // The profile may span several segments, numbered from 1; its tags are in the first.
            profile = true;
            if (data[12] == 1)
                srgbProfile = ProfileIsSrgb(data + 14, dataSize - 14);
        } else if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC && dataSize >= 5) {
            // A frame header: precision, height, width. A height of 0 is given later.
            header->impossibleSize = Big16(data + 3) == 0;
        }
        at += 2 + size_t{length};
    }
    if (profile && !srgbProfile)
        header->colours = DeclaredColours::IccProfile;
}

void ReadBmp(const uint8_t* bytes, size_t size, PictureHeader* header)
{
    if (size < 14 + 16)
        return;
    const uint32_t infoSize = Little32(bytes + 14);
    if (infoSize == 12) {  // the oldest header: unsigned 16-bit sizes
        header->impossibleSize = Little16(bytes + 18) == 0 || Little16(bytes + 20) == 0;
        return;
    }
    if (infoSize < 40 || size < 14 + 40)
        return;
    const int32_t width = static_cast<int32_t>(Little32(bytes + 18));
    const int32_t height = static_cast<int32_t>(Little32(bytes + 22));
    // A negative height is a picture stored top-down, but INT32_MIN has no size.
    header->impossibleSize = width <= 0 || height == 0 || height == INT32_MIN;
    if (infoSize < 108 || size < 14 + 108)
        return;
    const uint32_t space = Little32(bytes + 14 + 56);
    if (space == kBmpEmbeddedProfile || space == kBmpLinkedProfile) {
        header->colours = DeclaredColours::IccProfile;
    } else if (space != kBmpSrgb && space != kBmpWindowsColours) {
        // Calibrated: end points and gammas, which many writers leave all zero, saying nothing.
        for (size_t i = 14 + 60; i < 14 + 108; ++i)
            if (bytes[i] != 0)
                header->colours = DeclaredColours::Primaries;
    }
}

}  // namespace

PictureHeader ReadPictureHeader(const uint8_t* bytes, size_t size)
{
    PictureHeader header = {PictureFormat::Unknown, false, 1, DeclaredColours::Srgb, 0};
    if (size >= sizeof kPngSignature && std::memcmp(bytes, kPngSignature, sizeof kPngSignature) == 0) {
        header.format = PictureFormat::Png;
        ReadPng(bytes, size, &header);
    } else if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        header.format = PictureFormat::Jpeg;
        ReadJpeg(bytes, size, &header);
    } else if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        header.format = PictureFormat::Bmp;
        ReadBmp(bytes, size, &header);
    }
    return header;
}

void UprightSize(int orientation, int32_t width, int32_t height, int32_t* uprightWidth,
                 int32_t* uprightHeight)
{
    const bool turned = orientation >= 5 && orientation <= 8;
    *uprightWidth = turned ? height : width;
    *uprightHeight = turned ? width : height;
}

void UprightPosition(int orientation, int32_t width, int32_t height, int32_t x, int32_t y,
                     int32_t* uprightX, int32_t* uprightY)
{
    const int32_t right = width - 1 - x, bottom = height - 1 - y;
    switch (orientation) {
    case 2:  *uprightX = right;  *uprightY = y;      return;  // mirrored left to right
    case 3:  *uprightX = right;  *uprightY = bottom; return;  // turned half round
    case 4:  *uprightX = x;      *uprightY = bottom; return;  // mirrored top to bottom
    case 5:  *uprightX = y;      *uprightY = x;      return;  // mirrored along the diagonal
    case 6:  *uprightX = bottom; *uprightY = x;      return;  // turned a quarter clockwise
    case 7:  *uprightX = bottom; *uprightY = right;  return;  // mirrored along the other diagonal
    case 8:  *uprightX = y;      *uprightY = right;  return;  // turned a quarter anticlockwise
    default: *uprightX = x;      *uprightY = y;      return;
    }
}

void MakeSrgbLevels(uint32_t gamma, uint8_t (&levels)[256])
{
    for (int level = 0; level < 256; ++level) {
        // The file's levels are light to the power of its gamma.
        const double light = gamma == 0 ? level / 255.0 : std::pow(level / 255.0, 100000.0 / gamma);
        const double encoded =
            light <= 0.0031308 ? 12.92 * light : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
        const long rounded = std::lround(encoded * 255);
        levels[level] = static_cast<uint8_t>(rounded < 0 ? 0 : rounded > 255 ? 255 : rounded);
    }
}
