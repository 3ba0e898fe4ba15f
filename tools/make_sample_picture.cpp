// Writes the demonstration's sample picture: make_sample_picture <path of sample.bmp>.

#include <cstdio>

#include "tools/sample_picture.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_picture <output.bmp>\n");
        return 2;
    }
    const std::vector<uint8_t> bmp = MakeSamplePictureBmp();
    FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(bmp.data(), 1, bmp.size(), file) != bmp.size()) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::fclose(file);
    return 0;
}
