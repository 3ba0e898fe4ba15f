// Prints how fast a whole screen image is filtered, against a plain memcpy of the same
// bytes and against the literal per-pixel rule, and whether the transform meets its
// goals. Build it for Windows and run it under Wine (scripts/bench.sh), so that it
// measures the program's own machine code, of the 32-bit or the 64-bit build.
//
// Every variant runs on the same random frame with the buffers reused, all variants
// interleaved within each round, each from cold caches, and the median of the rounds is
// reported; ratios are taken from medians of the same run. Each kernel is also run on
// purpose, so the SSE2 baseline is measured on a CPU that would choose SSSE3.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <windows.h>

#include "bench/bench_timing.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "filter/frame_transform_kernels.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/literal_transform.h"

namespace {

struct Size {
    int width, height;
};

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

const FilterRecord* normalFilter;
const FilterRecord* grayFilter;

enum VariantId { kMemcpy, kLiteral, kNormal, kGray, kPortable, kSse2, kSsse3, kVariantCount };

struct Variant {
    const char* name;
    void (*run)(Frame& frame);
    bool available;
    const FilterRecord** filter;  // what it must agree with the literal rule on
};

Variant variants[kVariantCount] = {
    {"memcpy",
     [](Frame& f) { std::memcpy(f.frames.filtered, f.frames.captured, f.captured.size()); }, true,
     nullptr},
    {"literal formula", [](Frame& f) { LiteralTransform(*grayFilter, f.frames); }, true, nullptr},
    {"ApplyFilterToFrame _normal", [](Frame& f) { ApplyFilterToFrame(*normalFilter, f.frames); },
     true, &normalFilter},
    {"ApplyFilterToFrame _grayscale", [](Frame& f) { ApplyFilterToFrame(*grayFilter, f.frames); },
     true, &grayFilter},
    {"  portable kernel, forced",
     [](Frame& f) { ApplyFilterToFrameWith(FilterPixelsPortable, *grayFilter, f.frames); }, true,
     &grayFilter},
    {"  SSE2 kernel, forced",
     [](Frame& f) { ApplyFilterToFrameWith(FilterPixelsSse2, *grayFilter, f.frames); }, true,
     &grayFilter},
    {"  SSSE3 kernel, forced",
     [](Frame& f) { ApplyFilterToFrameWith(FilterPixelsSsse3, *grayFilter, f.frames); }, false,
     &grayFilter},
};

// The largest cache of this machine in bytes, as Windows reports it; 0 when it does not.
size_t LargestCacheBytes()
{
    DWORD bytes = 0;
    GetLogicalProcessorInformation(nullptr, &bytes);
    std::vector<SYSTEM_LOGICAL_PROCESSOR_INFORMATION> entries(
        bytes / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION));
    size_t largest = 0;
    if (!entries.empty() && GetLogicalProcessorInformation(entries.data(), &bytes))
        for (const SYSTEM_LOGICAL_PROCESSOR_INFORMATION& entry : entries)
            if (entry.Relationship == RelationCache)
                largest = std::max<size_t>(largest, entry.Cache.Size);
    return largest;
}

// Reads a block twice the size of this machine's largest cache (and at least 64 MB), so
// that the next timed run finds none of the frame in any cache and no dirty lines left by
// the run before, as a re-filter after a click in the panel would. Without it a variant
// gains or loses by what ran before it: a copy right after a copy took up to a third less
// time than one right after a transform. Server processors have caches of 100 MB and more.
volatile unsigned evictionSum;  // keeps the reads from being optimized away

void EvictCaches()
{
    static std::vector<uint8_t> block(std::max<size_t>(64 << 20, 2 * LargestCacheBytes()), 1);
    unsigned sum = 0;
    for (size_t i = 0; i < block.size(); i += 64)
        sum += block[i];
    evictionSum = sum;
}

// A variant must give what the literal rule gives, or its speed means nothing.
bool OutputsAgree(Frame& frame)
{
    for (const Variant& variant : variants) {
        if (!variant.available || variant.filter == nullptr)
            continue;
        LiteralTransform(**variant.filter, frame.frames);
        const std::vector<uint8_t> expected = frame.filtered;
        std::fill(frame.filtered.begin(), frame.filtered.end(), 0);
        variant.run(frame);
        if (frame.filtered != expected) {
            std::printf("MISMATCH: %s differs from the literal rule\n", variant.name);
            return false;
        }
    }
    return true;
}

// Allocations made while re-filtering, which must be none.
long RefilterAllocations(Frame& frame)
{
    const long before = AllocationCount();
    for (const FilterRecord* filter : {grayFilter, normalFilter, grayFilter})
        ApplyFilterToFrame(*filter, frame.frames);
    return AllocationCount() - before;
}

void PrintGoal(const char* what, double got, const char* goal, bool met)
{
    std::printf("  %-42s %6.2f   goal %-8s %s\n", what, got, goal, met ? "met" : "NOT MET");
}

bool Measure(Size size, int rounds, bool withGoals)
{
    Frame frame(size);
    if (!OutputsAgree(frame))
        return false;

    std::vector<double> times[kVariantCount];
    for (int round = 0; round < rounds; ++round) {
        for (int v = 0; v < kVariantCount; ++v) {
            if (!variants[v].available)
                continue;
            EvictCaches();
            const double start = NowMs();
            variants[v].run(frame);
            times[v].push_back(NowMs() - start);
        }
    }

    const double megapixels = size.width * static_cast<double>(size.height) / 1e6;
    double median[kVariantCount] = {};
    std::printf("\n%dx%d, %d rounds, median per frame:\n", size.width, size.height, rounds);
    for (int v = 0; v < kVariantCount; ++v) {
        if (!variants[v].available)
            continue;
        median[v] = Median(times[v]);
        std::printf("  %-32s %8.2f ms %9.0f Mpx/s\n", variants[v].name, median[v],
                    megapixels / (median[v] / 1000.0));
    }
    if (!withGoals)
        return true;

    const double speedUp = median[kLiteral] / median[kGray];
    const double toMemcpy = median[kGray] / median[kMemcpy];
    const double sse2SpeedUp = median[kLiteral] / median[kSse2];
    const double copyToMemcpy = median[kNormal] / median[kMemcpy];
    const long allocations = RefilterAllocations(frame);
    std::printf("Goals:\n");
    PrintGoal("literal / ApplyFilterToFrame _grayscale", speedUp, ">= 3.0", speedUp >= 3.0);
    PrintGoal("ApplyFilterToFrame _grayscale / memcpy", toMemcpy, "<= 3.0", toMemcpy <= 3.0);
    PrintGoal("literal / SSE2 kernel", sse2SpeedUp, ">= 2.7", sse2SpeedUp >= 2.7);
    PrintGoal("ApplyFilterToFrame _normal / memcpy", copyToMemcpy, "<= 1.1", copyToMemcpy <= 1.1);
    PrintGoal("allocations in three re-filters", static_cast<double>(allocations), "0",
              allocations == 0);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // --smoke: one small frame, one round; checks that the benchmark still works.
    const bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    int rounds = smoke ? 1 : 31;
    if (argc > 1 && !smoke)
        rounds = std::max(21, std::atoi(argv[1]));

    RegisterBuiltinFilters();
    normalFilter = FindFilterByName("_normal");
    grayFilter = FindFilterByName("_grayscale");
    variants[kSsse3].available = CpuHasSsse3() != 0;
    std::printf("The %d-bit build. ApplyFilterToFrame uses the %s kernel on this CPU; ",
                static_cast<int>(8 * sizeof(void*)),
                ChooseFrameKernel() == FilterPixelsSsse3 ? "SSSE3" : "SSE2");
    if (const size_t cache = LargestCacheBytes())
        std::printf("the largest cache holds %u KB.\n", static_cast<unsigned>(cache / 1024));
    else
        std::printf("the machine tells no cache size, so 64 MB are read between runs.\n");

    const Size sizes[] = {{1366, 768}, {1920, 1080}, {3840, 2160}};
    bool ok = true;
    if (smoke)
        ok = Measure({37, 5}, rounds, false);
    else
        for (const Size& size : sizes)
            ok = Measure(size, rounds, size.width == 3840) && ok;
    std::fflush(stdout);
    return ok ? 0 : 1;
}
