// Each kernel of the frame transform, forced whatever this CPU would choose, against the literal
// rule on all 2^24 colours and at every row end; also built to run the i686 kernels under Wine.

#include <vector>

#include <gtest/gtest.h>

#include "filter/frame_transform.h"
#include "filter/frame_transform_kernels.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/literal_transform.h"

// The SSSE3 kernel runs whatever the CPU: one without SSSE3 fails rather than skip it.
const struct { const char* name; PixelKernel* run; } kKernels[] = {
    {"portable", FilterPixelsPortable},
#if defined(PL_HAVE_X86_KERNELS)
    {"SSE2", FilterPixelsSse2},
    {"SSSE3", FilterPixelsSsse3},
#endif
};

// 4096 different cells, each with a top byte that must never reach a pixel.
static FilterRecord DistinctCells(FilterKind kind)
{
    FilterRecord record{};
    record.kind = kind;
    for (uint32_t i = 0; i < kColorCubeSize; ++i)
        record.colorCube[i] = 0xC3000000u | ((i * 2654435761u) & 0x00FFF000u) | i;
    return record;
}

// Blocks that end after the top row's last pixel, so AddressSanitizer faults on any step past.
struct TestFrame {
    std::vector<uint8_t> captured, filtered;
    FrameBuffers frames;

    TestFrame(int width, int height)
        : frames{width, height, FrameStride(width), {}, nullptr, nullptr}
    {
        const bool empty = width <= 0 || height <= 0;
        captured.assign(empty ? 0 : frames.stride * (height - 1) + 3 * width, 0xA5);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3 * width; ++x)
                captured[y * frames.stride + x] = static_cast<uint8_t>((x * 7919 + y) * 37);
        filtered = captured;
        frames.captured = captured.data();
        frames.filtered = filtered.data();
    }
};

TEST(FrameKernels, EveryColourMatchesTheLiteralRule)
{
    // A quarter million colours at a time in one unpadded frame, which runs as one long row;
    // colour n is the pixel with the bytes n, n >> 8, n >> 16.
    const FilterRecord filter = DistinctCells(FilterKind::Custom);
    TestFrame frame(4096, 64), literal(4096, 64);
    for (uint32_t first = 0; first < (1u << 24); first += 4096 * 64) {
        for (uint32_t i = 0, colour = first; i < frame.captured.size(); ++colour)
            for (int shift = 0; shift < 24; shift += 8)
                frame.captured[i++] = static_cast<uint8_t>(colour >> shift);
        literal.frames.captured = frame.captured.data();
        LiteralTransform(filter, literal.frames);
        for (const auto& kernel : kKernels) {
            ApplyFilterToFrameWith(kernel.run, filter, frame.frames);
            if (frame.filtered == literal.filtered)
                continue;
            size_t at = 0;
            while (frame.filtered[at] == literal.filtered[at])
                ++at;
            FAIL() << kernel.name << ": colour 0x" << std::hex << first + at / 3 << ", byte "
                   << at % 3 << std::dec << " is " << int(frame.filtered[at]) << ", not "
                   << int(literal.filtered[at]);
        }
    }
}

TEST(FrameKernels, RowEndsAndPaddingAreExact)
{
    // Every remainder of the 4- and 16-pixel steps, a 1366-pixel screen (rows of 4100 bytes, two
    // of them padding), sizes of 0 and below. The identity filter copies rows instead.
    EXPECT_EQ(FrameStride(1366), 4100);
    std::vector<int> widths = {-1, 1366, 1367, 3840};
    for (int width = 0; width <= 50; ++width)
        widths.push_back(width);
    for (const FilterKind kind : {FilterKind::Custom, FilterKind::Identity})
        for (const auto& kernel : kKernels)
            for (const int width : widths)
                for (int height = -1; height <= 3; ++height) {
                    TestFrame actual(width, height), expected(width, height);
                    ApplyFilterToFrameWith(kernel.run, DistinctCells(kind), actual.frames);
                    LiteralTransform(DistinctCells(kind), expected.frames);
                    ASSERT_EQ(actual.filtered, expected.filtered)
                        << kernel.name << ", kind " << int(kind) << ", " << width << "x" << height;
                }
}

TEST(FrameKernels, RefilteringAllocatesNothing)
{
    TestFrame frame(1366, 8);
    const FilterRecord custom = DistinctCells(FilterKind::Custom);
    const FilterRecord identity = DistinctCells(FilterKind::Identity);
    const long before = AllocationCount();
    ApplyFilterToFrame(custom, frame.frames);
    ApplyFilterToFrame(identity, frame.frames);
    EXPECT_EQ(AllocationCount() - before, 0);
}
