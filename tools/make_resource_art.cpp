// Writes the icon and the splash picture into the folder given as the only argument
// (res/ of the source tree): make_resource_art res

#include <cstdio>
#include <string>
#include <vector>

#include "tools/resource_art.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <res folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    if (!WriteFile(folder + "prismolenteer.ico", MakeIconFile()) ||
        !WriteFile(folder + "splash.bmp", MakeSplashBitmapFile())) {
        std::perror("make_resource_art");
        return 1;
    }
    return 0;
}
