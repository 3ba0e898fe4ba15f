// Picture files byte by byte: the chunks the program adds to a PNG, and what a file's header
// declares (its format, an impossible size, its orientation, its colours) with what the
// program makes of it. Files are built here by hand from their formats' own layouts.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/picture_header.h"
#include "app/png_chunks.h"

namespace {

using Bytes = std::string;

Bytes Big32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
Bytes Big16(uint32_t v) { return {char(v >> 8), char(v)}; }
Bytes Little32(uint32_t v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
Bytes Little16(uint32_t v) { return {char(v), char(v >> 8)}; }

const uint8_t* Data(const Bytes& bytes) { return reinterpret_cast<const uint8_t*>(bytes.data()); }

// A chunk with its CRC as the imaging component would write it.
Bytes Chunk(const char* type, const Bytes& data)
{
    Bytes typed = type + data;
    return Big32(uint32_t(data.size())) + typed + Big32(Crc32(Data(typed), typed.size()));
}

const Bytes kPngSignature("\x89PNG\r\n\x1A\n", 8);

Bytes Png(uint32_t width, uint32_t height, const Bytes& chunks)
{
    return kPngSignature + Chunk("IHDR", Big32(width) + Big32(height) + Bytes("\x08\x02\0\0\0", 5)) +
           chunks + Chunk("IDAT", "x") + Chunk("IEND", "");
}

// A TIFF block whose first directory holds `tags` (tag, type, count, value) in either byte order.
Bytes Tiff(bool little, std::vector<std::vector<uint32_t>> tags)
{
    auto u16 = little ? Little16 : Big16;
    auto u32 = little ? Little32 : Big32;
    Bytes tiff = (little ? Bytes("II*\0", 4) : Bytes("MM\0*", 4)) + u32(8) + u16(uint32_t(tags.size()));
    for (const auto& tag : tags)
        tiff += u16(tag[0]) + u16(tag[1]) + u32(tag[2]) + u16(tag[3]) + Bytes(2, '\0');
    return tiff + u32(0);
}

Bytes JpegSegment(uint8_t marker, const Bytes& data) { return Bytes{'\xFF', char(marker)} + Big16(uint32_t(data.size() + 2)) + data; }

Bytes Jpeg(const Bytes& segments, uint32_t width = 40)
{
    return Bytes("\xFF\xD8", 2) + segments + JpegSegment(0xC0, Bytes("\x08", 1) + Big16(20) + Big16(width) + Bytes("\x03", 1)) +
           Bytes("\xFF\xDA", 2);
}

// An ICC profile whose tags are a white point and then its description `type`.
Bytes ProfileWith(const Bytes& type)
{
    const Bytes whitePoint = Bytes("XYZ \0\0\0\0", 8) + Bytes(12, '\1');
    return Bytes(128, '\0') + Big32(2) + "wtpt" + Big32(156) + Big32(20) + "desc" + Big32(176) +
           Big32(uint32_t(type.size())) + whitePoint + type;
}

// Its description of version 4 ("mluc": `records` records, the first in UTF-16).
Bytes Mluc(const std::string& description, uint32_t records = 1)
{
    Bytes utf16;
    for (char c : description)
        utf16 += Bytes{'\0', c};
    return Bytes("mluc\0\0\0\0", 8) + Big32(records) + Big32(12) + "enUS" + Big32(uint32_t(utf16.size())) +
           Big32(28) + utf16;
}

// A profile described in version 2 ("desc", ASCII) or version 4.
Bytes Profile(const std::string& description, bool version4)
{
    if (version4)
        return ProfileWith(Mluc(description));
    return ProfileWith(Bytes("desc\0\0\0\0", 8) + Big32(uint32_t(description.size() + 1)) + description +
                       Bytes(1, '\0'));
}

Bytes IccSegment(const Bytes& profile, uint8_t part = 1)
{
    return JpegSegment(0xE2, Bytes("ICC_PROFILE\0", 12) + Bytes{char(part), 1} + profile);
}

// A BMP with the oldest info header, of 16-bit sizes.
Bytes CoreBmp(uint16_t width, uint16_t height)
{
    return "BM" + Little32(30) + Little32(0) + Little32(26) + Little32(12) + Little16(width) + Little16(height) +
           Little16(1) + Little16(24) + Bytes(4, '\0');
}

// A BMP file header and an info header of `infoSize` bytes with the colour space `space`
// (V4 and larger) and, when `calibration` is not 0, that byte of the end points and gammas
// (60 to 107) not 0.
Bytes Bmp(int32_t width, int32_t height, uint32_t infoSize = 40, uint32_t space = 0, size_t calibration = 0)
{
    Bytes info = Little32(infoSize) + Little32(uint32_t(width)) + Little32(uint32_t(height)) + Little16(1) + Little16(24);
    info.resize(infoSize, '\0');
    if (infoSize >= 108) {
        info.replace(56, 4, Little32(space));
        if (calibration != 0)
            info[calibration] = 1;
    }
    return "BM" + Little32(uint32_t(14 + info.size())) + Little32(0) + Little32(uint32_t(14 + info.size())) + info;
}

std::string Describe(const PictureHeader& h)
{
    static const char* const kFormats[] = {"unknown", "png", "bmp", "jpeg"};
    static const char* const kColours[] = {"srgb", "gamma", "icc", "primaries"};
    return std::string(kFormats[int(h.format)]) + (h.impossibleSize ? " impossible" : "") + " orientation " +
           std::to_string(h.orientation) + " " + kColours[int(h.colours)] +
           (h.gamma != 0 ? " " + std::to_string(h.gamma) : "");
}

}  // namespace

TEST(PngChunks, TextIsLatin1WhereItCanBeAndUtf8ElseAndEveryChunkCarriesItsCrc)
{
    EXPECT_EQ(Crc32(Data("IEND"), 4), 0xAE426082u);  // the end chunk every PNG closes with
    EXPECT_EQ(Crc32(Data("123456789"), 9), 0xCBF43926u);  // the CRC-32 check value

    // The keyword, its NUL, for iTXt four empty fields, then the text.
    const struct { const char16_t* text; bool itxt; Bytes text8; } cases[] = {
        {u"Prismolenteer 1.2", false, "Prismolenteer 1.2"},
        {u"Deuteranopie (gr\u00FCnblind) \u00FF", false, "Deuteranopie (gr\xFCnblind) \xFF"},
        {u"", false, ""},
        {u"2\u578B \u0100", true, "2\xE5\x9E\x8B \xC4\x80"},
        {u"\U0001F600 \xD800x", true, "\xF0\x9F\x98\x80 \xEF\xBF\xBDx"},
    };
    for (const auto& c : cases) {
        uint8_t chunk[kMaxPngChunkBytes];
        const size_t size = MakeTextChunk("Filter", c.text, chunk);
        const Bytes data = Bytes("Filter\0\0\0\0\0", c.itxt ? 11 : 7) + c.text8;
        EXPECT_EQ(Bytes(reinterpret_cast<char*>(chunk), size), Chunk(c.itxt ? "iTXt" : "tEXt", data))
            << c.text8;
    }

    // A text longer than the limit is cut to it, and still fits the room.
    const std::u16string longText(kMaxPngTextUnits + 5, u'\u65E5');
    uint8_t chunk[kMaxPngChunkBytes];
    EXPECT_EQ(MakeTextChunk("Filters", longText.c_str(), chunk), 12 + 8 + 4 + 3u * kMaxPngTextUnits);

    uint8_t srgb[kSrgbChunksBytes];
    EXPECT_EQ(MakeSrgbChunks(srgb), kSrgbChunksBytes);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(srgb), kSrgbChunksBytes),
              Chunk("sRGB", Bytes(1, '\0')) + Chunk("gAMA", Big32(45455)));
}

TEST(PngChunks, GoAfterTheHeaderChunkOfARealPng)
{
    const Bytes png = Png(2, 1, "");
    EXPECT_EQ(PngHeaderEnd(Data(png), png.size()), 33u);
    for (const Bytes& other : {png.substr(0, 32), "x" + png.substr(1), Bytes(png).replace(12, 4, "IDAT"),
                               Bytes(png).replace(8, 4, Big32(14))})
        EXPECT_EQ(PngHeaderEnd(Data(other), other.size()), 0u) << other.substr(8, 8);
}

TEST(PictureHeader, TellsTheFormatAnImpossibleSizeTheOrientationAndTheColours)
{
    const Bytes exif6 = Tiff(true, {{0x0100, 3, 1, 40}, {0x0112, 3, 1, 6}});
    const uint32_t sRgbValues[8] = {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
    Bytes sRgbPrimaries;
    for (const uint32_t value : sRgbValues)
        sRgbPrimaries += Big32(value);
    const Bytes adobePrimaries = Big32(31270) + Big32(32900) + Big32(64000) + Big32(33000) + Big32(21000) +
                                 Big32(71000) + Big32(15000) + Big32(6000);
    const struct { Bytes file; const char* want; } cases[] = {
        {Png(40, 20, ""), "png orientation 1 srgb"},
        {Png(0, 20, ""), "png impossible orientation 1 srgb"},
        {Png(40, 0, ""), "png impossible orientation 1 srgb"},
        {Png(40, 0x80000000, ""), "png impossible orientation 1 srgb"},
        {Png(0x80000000, 20, ""), "png impossible orientation 1 srgb"},
        {Png(0x7FFFFFFF, 0x7FFFFFFF, ""), "png orientation 1 srgb"},  // huge, but a size
        {Png(40, 20, Chunk("gAMA", Big32(100000))), "png orientation 1 gamma 100000"},
        {Png(40, 20, Chunk("gAMA", Big32(45455))), "png orientation 1 srgb"},
        {Png(40, 20, Chunk("gAMA", Big32(44455))), "png orientation 1 srgb"},
        {Png(40, 20, Chunk("gAMA", Big32(44454))), "png orientation 1 gamma 44454"},
        {Png(40, 20, Chunk("gAMA", Big32(100000)) + Chunk("sRGB", Bytes(1, '\0'))), "png orientation 1 srgb"},
        // Chunks it does not know are passed over; none after the end is read.
        {Png(40, 20, Chunk("tEXt", Bytes("a\0b", 3)) + Chunk("gAMA", Big32(100000))), "png orientation 1 gamma 100000"},
        {Png(40, 20, "") + Chunk("gAMA", Big32(100000)), "png orientation 1 srgb"},
        {Png(40, 20, Chunk("iCCP", Bytes("Display P3\0\0x", 13))), "png orientation 1 icc"},
        {Png(40, 20, Chunk("iCCP", Bytes("sRGB IEC61966-2.1\0\0x", 20)) + Chunk("gAMA", Big32(100000))),
         "png orientation 1 srgb"},
        {Png(40, 20, Chunk("cHRM", adobePrimaries)), "png orientation 1 primaries"},
        // Each value within 1000 of sRGB's is sRGB's.
        {Png(40, 20, Chunk("cHRM", sRgbPrimaries) + Chunk("gAMA", Big32(100000))), "png orientation 1 gamma 100000"},
        {Png(40, 20, Chunk("eXIf", exif6)), "png orientation 6 srgb"},
        {Png(40, 20, Chunk("eXIf", exif6)).substr(0, 60), "png orientation 1 srgb"},  // cut inside it
        // The entry may end where the block ends; a directory beyond it says nothing.
        {Png(40, 20, Chunk("eXIf", Tiff(false, {{0x0112, 3, 1, 3}}).substr(0, 22))), "png orientation 3 srgb"},
        {Png(40, 20, Chunk("eXIf", Tiff(false, {{0x0112, 3, 1, 3}}).substr(0, 21))), "png orientation 1 srgb"},
        {Png(40, 20, Chunk("eXIf", Bytes("MM\0*\0\0\0\x30", 8) + Bytes(8, '\0'))), "png orientation 1 srgb"},
        {Png(40, 20, Chunk("eXIf", Bytes("MM\0*\0\0\0", 7))), "png orientation 1 srgb"},  // shorter than its header

        {Jpeg(""), "jpeg orientation 1 srgb"},
        {Jpeg("", 0), "jpeg impossible orientation 1 srgb"},
        {Jpeg(JpegSegment(0xE1, Bytes("Exif\0\0", 6) + exif6)), "jpeg orientation 6 srgb"},
        {Jpeg(JpegSegment(0xE1, Bytes("Exif\0\0", 6) + Tiff(false, {{0x0112, 3, 1, 8}}))), "jpeg orientation 8 srgb"},
        {Jpeg(JpegSegment(0xE1, Bytes("Exif\0\0", 6) + Tiff(true, {{0x0112, 3, 1, 9}}))), "jpeg orientation 1 srgb"},
        {Jpeg(JpegSegment(0xE1, Bytes("Exif\0\0", 6) + Tiff(true, {{0x0112, 4, 1, 3}}))), "jpeg orientation 1 srgb"},
        {Jpeg(Bytes("\xFF\xFF", 2) + JpegSegment(0xE1, Bytes("Exif\0\0", 6) + Tiff(true, {{0x0112, 3, 1, 3}}))),
         "jpeg orientation 3 srgb"},
        {Jpeg(JpegSegment(0xEF, "") + JpegSegment(0xE1, Bytes("Exif\0\0", 6) + Tiff(true, {{0x0112, 3, 1, 3}}))),
         "jpeg orientation 3 srgb"},  // after an empty segment
        // A directory whose entry lies past its segment's end is not read there.
        {Jpeg(JpegSegment(0xE1, Bytes("Exif\0\0", 6) + Tiff(true, {{0x0112, 3, 1, 6}}).substr(0, 10)) +
              Tiff(true, {{0x0112, 3, 1, 6}}).substr(10, 12)), "jpeg orientation 1 srgb"},
        {Jpeg(IccSegment(Profile("sRGB IEC61966-2.1", false))), "jpeg orientation 1 srgb"},
        {Jpeg(IccSegment(Profile("sRGB built-in", true))), "jpeg orientation 1 srgb"},
        {Jpeg(IccSegment(Profile("Display P3", true))), "jpeg orientation 1 icc"},
        {Jpeg(IccSegment(Profile("Adobe RGB (1998)", false))), "jpeg orientation 1 icc"},
        {Jpeg(IccSegment(Profile("sRGB", false), 2)), "jpeg orientation 1 icc"},  // its first part is missing
        {Jpeg(IccSegment(Profile("sRGB IEC61966-2.1", false).substr(0, 150))), "jpeg orientation 1 icc"},
        {Jpeg(IccSegment(Bytes(100, 's'))), "jpeg orientation 1 icc"},  // too short for a profile
        // A description of exactly its header and "sRGB"; one of version 4 with no record.
        {Jpeg(IccSegment(ProfileWith(Bytes("desc\0\0\0\0\0\0\0\4sRGB", 16)))), "jpeg orientation 1 srgb"},
        {Jpeg(IccSegment(ProfileWith(Mluc("sRGB", 0)))), "jpeg orientation 1 icc"},
        // A tag table that ends with the profile, the description its second tag, whose data
        // lies inside the header.
        {Jpeg(IccSegment(Bytes(16, '\0') + "desc" + Bytes(8, '\0') + "sRGB" + Bytes(96, '\0') + Big32(2) + "wtpt" +
                         Big32(0) + Big32(0) + "desc" + Big32(16) + Big32(16))),
         "jpeg orientation 1 srgb"},

        {CoreBmp(40, 20), "bmp orientation 1 srgb"},
        {CoreBmp(0, 20), "bmp impossible orientation 1 srgb"},
        {CoreBmp(40, 0), "bmp impossible orientation 1 srgb"},
        {Bmp(40, 20), "bmp orientation 1 srgb"},
        {Bmp(40, -20), "bmp orientation 1 srgb"},  // stored top-down
        {Bmp(-5, INT32_MIN), "bmp impossible orientation 1 srgb"},
        {Bmp(40, INT32_MIN), "bmp impossible orientation 1 srgb"},
        {Bmp(0, 20), "bmp impossible orientation 1 srgb"},
        {Bmp(40, 0), "bmp impossible orientation 1 srgb"},
        {Bmp(40, 20, 124, 0x73524742), "bmp orientation 1 srgb"},
        {Bmp(40, 20, 124, 0x73524742, 68), "bmp orientation 1 srgb"},  // end points beside sRGB say nothing
        {Bmp(0, 20, 16) + Bytes(40, '\0'), "bmp orientation 1 srgb"},  // a header of a size it does not know: left to the decoder
        {Bmp(40, 20, 108, 0x57696E20), "bmp orientation 1 srgb"},
        {Bmp(40, 20, 124, 0x4D424544), "bmp orientation 1 icc"},
        {Bmp(40, 20, 124, 0x4C494E4B), "bmp orientation 1 icc"},
        {Bmp(40, 20, 108, 0), "bmp orientation 1 srgb"},  // calibrated, but with nothing in it
        {Bmp(40, 20, 108, 0, 60), "bmp orientation 1 primaries"},  // the first red end point
        {Bmp(40, 20, 108, 0, 107), "bmp orientation 1 primaries"},  // the last byte of blue's gamma
        {Bmp(40, 20, 124, 0, 108), "bmp orientation 1 srgb"},  // the rendering intent after them

        {"GIF89a", "unknown orientation 1 srgb"},
        {"", "unknown orientation 1 srgb"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Describe(ReadPictureHeader(Data(c.file), c.file.size())), c.want)
            << "case " << &c - cases;
        // However it is cut short, a file is read within its bytes (the sanitizers watch).
        for (size_t size = 0; size < c.file.size(); size += 7)
            ReadPictureHeader(Data(Bytes(c.file.substr(0, size))), size);
    }
    // Each of the eight values within 1000 of sRGB's, either way, is sRGB's; 1001 is not.
    for (size_t i = 0; i < 8; ++i)
        for (const int offset : {-1000, 1000, -1001, 1001}) {
            const Bytes moved = Bytes(sRgbPrimaries).replace(4 * i, 4, Big32(sRgbValues[i] + offset));
            const Bytes file = Png(40, 20, Chunk("cHRM", moved));
            EXPECT_EQ(Describe(ReadPictureHeader(Data(file), file.size())),
                      std::abs(offset) <= 1000 ? "png orientation 1 srgb" : "png orientation 1 primaries")
                << "value " << i << " moved by " << offset;
        }
}

TEST(PictureHeader, EachOrientationStandsThePictureUpright)
{
    // A 3 x 2 picture, its stored pixels numbered in reading order:  0 1 2
    //                                                                3 4 5
    // and each orientation's upright picture read out in reading order, as EXIF draws them.
    const struct { int orientation; int width, height; const char* upright; } cases[] = {
        {1, 3, 2, "012345"}, {2, 3, 2, "210543"}, {3, 3, 2, "543210"}, {4, 3, 2, "345012"},
        {5, 2, 3, "031425"}, {6, 2, 3, "304152"}, {7, 2, 3, "524130"}, {8, 2, 3, "251403"},
        {0, 3, 2, "012345"},
    };
    for (const auto& c : cases) {
        int32_t width = 0, height = 0;
        UprightSize(c.orientation, 3, 2, &width, &height);
        std::string upright(6, '?');
        for (int32_t y = 0; y < 2; ++y)
            for (int32_t x = 0; x < 3; ++x) {
                int32_t ux = -1, uy = -1;
                UprightPosition(c.orientation, 3, 2, x, y, &ux, &uy);
                if (ux >= 0 && ux < width && uy >= 0 && uy < height)
                    upright[size_t(uy * width + ux)] = char('0' + y * 3 + x);
            }
        EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height) + " " + upright,
                  std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.upright)
            << "orientation " << c.orientation;
    }
}

TEST(PictureHeader, ADeclaredGammaBecomesSrgbLevels)
{
    // Worked with sRGB's own curve: the level to light by the file's gamma, light to sRGB.
    const struct { uint32_t gamma; uint8_t want[6]; } cases[] = {
        {100000, {0, 13, 137, 188, 229, 255}},  // linear light
        {55556, {0, 0, 81, 146, 210, 255}},     // 1 / 1.8
        {200000, {0, 71, 188, 219, 242, 255}},  // 1 / 0.5
    };
    for (const auto& c : cases) {
        uint8_t levels[256];
        MakeSrgbLevels(c.gamma, levels);
        const int at[6] = {0, 1, 64, 128, 200, 255};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(int(levels[at[i]]), int(c.want[i])) << "gamma " << c.gamma << ", level " << at[i];
        for (int level = 1; level < 256; ++level)
            EXPECT_GE(levels[level], levels[level - 1]) << "gamma " << c.gamma << ", level " << level;
    }
}
