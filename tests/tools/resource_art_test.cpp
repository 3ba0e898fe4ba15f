// The committed icon and splash picture are what the generator draws, and have the form
// the program and Windows expect of them.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/resource_art.h"

namespace {

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(file)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(file);
    }
    return bytes;
}

unsigned U16(const std::vector<uint8_t>& b, size_t at)
{
    return b.at(at) | b.at(at + 1) << 8;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16;
}

TEST(ResourceArt, GeneratorReproducesTheCommittedFiles)
{
    const std::string res = std::string(PL_SOURCE_DIR) + "/res/";
    EXPECT_TRUE(ReadFile(res + "prismolenteer.ico") == MakeIconFile())
        << "res/prismolenteer.ico differs from what tools/make_resource_art draws";
    EXPECT_TRUE(ReadFile(res + "splash.bmp") == MakeSplashBitmapFile())
        << "res/splash.bmp differs from what tools/make_resource_art draws";
}

TEST(ResourceArt, IconHoldsA32And16PixelImageOf16Colours)
{
    const std::vector<uint8_t> icon = MakeIconFile();
    ASSERT_EQ(U16(icon, 0), 0u);
    ASSERT_EQ(U16(icon, 2), 1u);  // icon, not cursor
    ASSERT_EQ(U16(icon, 4), 2u);  // two images
    const unsigned sizes[2] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const size_t entry = 6 + 16 * i;
        const unsigned size = sizes[i];
        EXPECT_EQ(icon.at(entry), size);
        EXPECT_EQ(icon.at(entry + 1), size);
        EXPECT_EQ(icon.at(entry + 2), 16u) << "colours";
        const uint32_t bytes = U32(icon, entry + 8), offset = U32(icon, entry + 12);
        ASSERT_LE(offset + bytes, icon.size());
        // BITMAPINFOHEADER: height doubled for the AND mask, 4 bits per pixel.
        EXPECT_EQ(U32(icon, offset), 40u);
        EXPECT_EQ(U32(icon, offset + 4), size);
        EXPECT_EQ(U32(icon, offset + 8), 2 * size);
        EXPECT_EQ(U16(icon, offset + 14), 4u);
        // header, 16-entry palette, 4-bit rows, 1-bit mask rows padded to 4 bytes
        EXPECT_EQ(bytes, 40 + 64 + size * size / 2 + 4 * size);
    }
}

TEST(ResourceArt, SplashIs100By40With8BitsAndA256ColourPalette)
{
    const std::vector<uint8_t> bmp = MakeSplashBitmapFile();
    ASSERT_EQ(bmp.at(0), 'B');
    ASSERT_EQ(bmp.at(1), 'M');
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    EXPECT_EQ(U32(bmp, 10), 14u + 40u + 1024u);  // pixels follow the 256-entry palette
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(U32(bmp, 18), 100u);
    EXPECT_EQ(U32(bmp, 22), 40u);  // positive: bottom-up
    EXPECT_EQ(U16(bmp, 28), 8u);
    EXPECT_EQ(U32(bmp, 30), 0u);  // BI_RGB
    EXPECT_EQ(U32(bmp, 46), 256u);
    EXPECT_EQ(bmp.size(), 14u + 40u + 1024u + 100u * 40u);
}

}  // namespace
