// Prints how long the converter takes for a 3840x2160 PNG, step by step, through the same
// functions prismolenteer-cli runs: decoding the file, filtering the frame, encoding the PNG
// (with its text chunks) and writing it through a temporary file. Build it for Windows and
// run it under Wine (scripts/bench.sh), so that it measures the program's own machine code and
// the imaging component the platform brings.
//
// The picture looks like a desktop rather than noise, so that the PNG compresses about as a
// screenshot does: windows with lines of "text" over a grainy wallpaper, some photos.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/bench_timing.h"
#include "app/app.h"
#include "app/image_file.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"

namespace {

uint32_t seed = 0x9E3779B9u;
uint32_t Random()
{
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
}

void Fill(const FrameBuffers& frame, int left, int top, int width, int height, uint32_t color)
{
    for (int y = std::max(top, 0); y < std::min(top + height, frame.height); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, frame.width); ++x) {
            uint8_t* pixel = frame.captured + size_t(frame.height - 1 - y) * frame.stride + 3 * x;
            pixel[0] = uint8_t(color);
            pixel[1] = uint8_t(color >> 8);
            pixel[2] = uint8_t(color >> 16);
        }
}

// A desktop: a photo-like wallpaper (a gradient with grain), then windows with a title bar,
// lines of text and, in every other one, a photo.
void PaintDesktop(const FrameBuffers& frame)
{
    const int w = frame.width, h = frame.height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Fill(frame, x, y, 1, 1, (uint32_t(0x20 + y * 0x40 / h) << 8 | 0x60) + (Random() & 0x070707));
    for (int window = 0; window < 24; ++window) {
        const int width = w / 10 + int(Random() % uint32_t(w / 3)), height = h / 8 + int(Random() % uint32_t(h / 3));
        const int left = int(Random() % uint32_t(w - w / 10)), top = int(Random() % uint32_t(h - h / 10));
        Fill(frame, left, top, width, height, 0xF4F4F4);
        Fill(frame, left, top, width, 30, Random() & 0x7F7FFF);
        for (int line = top + 50; line + 14 < top + height; line += 22)
            for (int x = left + 16; x < left + width - 60;) {
                const int word = 12 + int(Random() % 70);
                Fill(frame, x, line, word, 12, Random() % 5 == 0 ? 0x1060C0 : 0x202020);
                x += word + 9;
            }
        if (window % 2 == 0)
            for (int y = top + 40; y < std::min(top + height, h); ++y)
                for (int x = left + width / 2; x < std::min(left + width, w); ++x)
                    Fill(frame, x, y, 1, 1, (Random() & 0x0F0F0F) + uint32_t((x / 3 + y / 2) & 0xC0) * 0x010101);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // --smoke: a small picture, one round; checks that the benchmark still works.
    const bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    const int rounds = smoke ? 1 : argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;
    const int width = smoke ? 320 : 3840, height = smoke ? 200 : 2160;

    RegisterBuiltinFilters();
    const FilterRecord& filter = *FindFilterByName("_grayscale");  // a cube like any filter file's
    FrameBuffers source{width, height, FrameStride(width), {}, nullptr, nullptr};
    std::vector<uint8_t> pixels(size_t(source.stride) * height);
    source.captured = pixels.data();
    PaintDesktop(source);
    const std::string input = std::string(GetExeDirectory()) + "bench-in.png";
    const std::string output = std::string(GetExeDirectory()) + "bench-out.png";
    if (WritePngFile(input.c_str(), source, source.captured, nullptr, 0, true).status != ImageStatus::Done) {
        std::printf("The input picture could not be written.\n");
        return 1;
    }

    std::vector<double> decode, apply, encode, write;
    size_t pngBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        FrameBuffers frames{};
        double start = NowMs();
        if (ReadPictureFile(input.c_str(), &frames).status != ImageStatus::Done) {
            std::printf("The input picture could not be read.\n");
            return 1;
        }
        decode.push_back(NowMs() - start);
        start = NowMs();
        ApplyFilterToFrame(filter, frames);
        apply.push_back(NowMs() - start);
        uint8_t* bytes = nullptr;
        const PngText texts[] = {{"Software", PngSoftwareText()}, {"Filter", filter.name}};
        start = NowMs();
        const ImageResult encoded = EncodePng(frames, frames.filtered, texts, 2, &bytes, &pngBytes);
        encode.push_back(NowMs() - start);
        start = NowMs();
        const ImageResult written = WriteFileSafely(output.c_str(), bytes, pngBytes, true);
        write.push_back(NowMs() - start);
        std::free(bytes);
        FreeFrameImages(&frames);
        if (encoded.status != ImageStatus::Done || written.status != ImageStatus::Done) {
            std::printf("The output picture could not be written.\n");
            return 1;
        }
    }
    DeleteFileA(input.c_str());
    DeleteFileA(output.c_str());

    const double total = Median(decode) + Median(apply) + Median(encode) + Median(write);
    std::printf("\nA %dx%d PNG through the converter, %d rounds, median per step:\n", width, height, rounds);
    const struct { const char* step; double ms; } steps[] = {
        {"decode (read the file, WIC, pack to 24 bits)", Median(decode)},
        {"filter (ApplyFilterToFrame _grayscale)", Median(apply)},
        {"encode (WIC PNG, text chunks)", Median(encode)},
        {"write (temporary file, rename)", Median(write)},
    };
    for (const auto& step : steps)
        std::printf("  %-46s %9.2f ms %5.1f %%\n", step.step, step.ms, 100.0 * step.ms / total);
    std::printf("  %-46s %9.2f ms\n", "total", total);
    std::printf("The PNG holds %.2f MB against %.2f MB of pixels.\n", pngBytes / 1e6,
                3.0 * width * height / 1e6);
    std::fflush(stdout);
    return 0;
}
