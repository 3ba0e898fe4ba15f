// Prints how fast a whole screen image is filtered, against a plain memcpy of the same
// bytes and against the literal per-pixel rule. Build it for Windows and run it under Wine
// (scripts/bench.sh), so that it measures the program's own i686 machine code.
//
// Every variant runs on the same random frame with the buffers reused, all variants
// interleaved within each round, and the median of the rounds is reported; ratios are
// taken from medians of the same run.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <windows.h>

#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "tests/support/literal_transform.h"

namespace {

struct Size {
    int width, height;
};

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Frame {
    std::vector<uint8_t> captured, filtered;
    FrameBuffers frames{};

    explicit Frame(Size size)
    {
        frames.width = size.width;
        frames.height = size.height;
        frames.stride = FrameStride(size.width);
        const size_t bytes = static_cast<size_t>(frames.stride) * size.height;
        captured.resize(bytes);
        filtered.resize(bytes);
        uint32_t seed = 0x9E3779B9u;
        for (uint8_t& byte : captured) {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            byte = static_cast<uint8_t>(seed);
        }
        frames.captured = captured.data();
        frames.filtered = filtered.data();
    }
};

struct Variant {
    const char* name;
    void (*run)(Frame& frame);
};

const FilterRecord* normalFilter;
const FilterRecord* grayFilter;

const Variant kVariants[] = {
    {"memcpy", [](Frame& f) { std::memcpy(f.frames.filtered, f.frames.captured, f.captured.size()); }},
    {"literal formula", [](Frame& f) { LiteralTransform(*grayFilter, f.frames); }},
    {"ApplyFilterToFrame _normal", [](Frame& f) { ApplyFilterToFrame(*normalFilter, f.frames); }},
    {"ApplyFilterToFrame _grayscale", [](Frame& f) { ApplyFilterToFrame(*grayFilter, f.frames); }},
};
const int kVariantCount = sizeof kVariants / sizeof kVariants[0];
enum { kMemcpy, kLiteral, kNormal, kGray };

// The transform must give what the literal rule gives, or its speed means nothing.
bool OutputsAgree(Frame& frame)
{
    std::vector<uint8_t> expected;
    for (const FilterRecord* filter : {normalFilter, grayFilter}) {
        LiteralTransform(*filter, frame.frames);
        expected = frame.filtered;
        std::fill(frame.filtered.begin(), frame.filtered.end(), 0);
        ApplyFilterToFrame(*filter, frame.frames);
        if (frame.filtered != expected) {
            std::printf("MISMATCH: ApplyFilterToFrame through %s differs from the literal rule\n",
                        filter->name);
            return false;
        }
    }
    return true;
}

bool Measure(Size size, int rounds)
{
    Frame frame(size);
    if (!OutputsAgree(frame))
        return false;

    std::vector<double> times[kVariantCount];
    for (int round = 0; round < rounds; ++round) {
        for (int v = 0; v < kVariantCount; ++v) {
            const double start = NowMs();
            kVariants[v].run(frame);
            times[v].push_back(NowMs() - start);
        }
    }

    const double megapixels = size.width * static_cast<double>(size.height) / 1e6;
    double median[kVariantCount];
    std::printf("\n%dx%d, %d rounds, median per frame:\n", size.width, size.height, rounds);
    for (int v = 0; v < kVariantCount; ++v) {
        median[v] = Median(times[v]);
        std::printf("  %-32s %8.2f ms %9.0f Mpx/s\n", kVariants[v].name, median[v],
                    megapixels / (median[v] / 1000.0));
    }
    const struct {
        const char* name;
        double ratio;
    } ratios[] = {
        {"literal / ApplyFilterToFrame _grayscale", median[kLiteral] / median[kGray]},
        {"ApplyFilterToFrame _grayscale / memcpy", median[kGray] / median[kMemcpy]},
        {"ApplyFilterToFrame _normal / memcpy", median[kNormal] / median[kMemcpy]},
    };
    for (const auto& ratio : ratios)
        std::printf("  %-42s %6.2fx\n", ratio.name, ratio.ratio);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // --smoke: one small frame, one round; checks that the benchmark still works.
    const bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    int rounds = smoke ? 1 : 31;
    if (argc > 2 && !smoke)
        rounds = std::max(21, std::atoi(argv[2]));

    RegisterBuiltinFilters();
    normalFilter = FindFilterByName("_normal");
    grayFilter = FindFilterByName("_grayscale");

    const Size sizes[] = {{1366, 768}, {1920, 1080}, {3840, 2160}};
    const Size smokeSize = {37, 5};
    bool ok = true;
    if (smoke)
        ok = Measure(smokeSize, rounds);
    else
        for (const Size& size : sizes)
            ok = Measure(size, rounds) && ok;
    std::fflush(stdout);
    return ok ? 0 : 1;
}
