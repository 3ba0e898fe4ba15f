// The committed icon and splash picture are what tools/make_resource_art draws.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/resource_art.h"

static std::vector<uint8_t> ReadFile(const std::string& name)
{
    std::ifstream in(std::string(PL_SOURCE_DIR) + "/res/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ResourceArt, TheGeneratorReproducesTheCommittedFiles)
{
    EXPECT_TRUE(ReadFile("prismolenteer.ico") == MakeIconFile()) << "res/prismolenteer.ico";
    EXPECT_TRUE(ReadFile("splash.bmp") == MakeSplashBitmapFile()) << "res/splash.bmp";
}
