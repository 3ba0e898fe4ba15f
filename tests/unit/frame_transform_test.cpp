// The frame transform over 24-bit bottom-up images with padded rows. Every pixel kernel,
// each one run on purpose whatever this CPU would choose, must give exactly what the
// literal per-pixel rule gives, touch nothing outside the pixels and allocate nothing.

#include <cstring>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>
#if defined(__SSE2__)
#include <cpuid.h>
#endif

#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "filter/frame_transform_kernels.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/filter_fixture.h"
#include "tests/support/literal_transform.h"

namespace {

const uint8_t kUntouched = 0xA5;  // what the bytes outside the pixels hold

// Two images whose pixels come from a simple generator, with `stride` bytes a row; the
// blocks end right after the last pixel of the top row, so under AddressSanitizer any step
// past the last pixel faults. Everything else that is not a pixel holds kUntouched.
struct TestFrame {
    std::vector<uint8_t> captured, filtered;
    FrameBuffers frames{};

    TestFrame(int width, int height)
    {
        frames.width = width;
        frames.height = height;
        frames.stride = FrameStride(width);
        const size_t bytes =
            height > 0 ? static_cast<size_t>(frames.stride) * (height - 1) + 3 * width : 0;
        captured.assign(bytes, kUntouched);
        filtered.assign(bytes, kUntouched);
        frames.captured = captured.data();
        frames.filtered = filtered.data();
        uint32_t seed = static_cast<uint32_t>(width * 7919 + height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3 * width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                captured[static_cast<size_t>(y) * frames.stride + x] =
                    static_cast<uint8_t>(seed >> 24);
            }
    }

    uint8_t* Pixel(std::vector<uint8_t>& image, int x, int y)
    {
        return image.data() + y * frames.stride + 3 * x;
    }
};

using FrameTransformTest = EmptyFilterTable;

TEST_F(FrameTransformTest, WorkedPixelThroughGrayscale)
{
    RegisterBuiltinFilters();
    TestFrame frame(1, 1);
    const uint8_t pixel[3] = {50, 100, 200};  // blue, green, red
    std::memcpy(frame.captured.data(), pixel, 3);
    ApplyFilterToFrame(filterTable.records[1], frame.frames);
    EXPECT_EQ(frame.filtered[0], 126);
    EXPECT_EQ(frame.filtered[1], 126);
    EXPECT_EQ(frame.filtered[2], 126);
}

TEST_F(FrameTransformTest, IdentityCopiesEveryChannelValue)
{
    RegisterBuiltinFilters();
    TestFrame frame(256, 1);
    for (int v = 0; v < 256; ++v) {
        frame.Pixel(frame.captured, v, 0)[0] = static_cast<uint8_t>(v);
        frame.Pixel(frame.captured, v, 0)[1] = static_cast<uint8_t>(255 - v);
        frame.Pixel(frame.captured, v, 0)[2] = static_cast<uint8_t>(v * 7);
    }
    ApplyFilterToFrame(filterTable.records[0], frame.frames);
    EXPECT_EQ(0, std::memcmp(frame.captured.data(), frame.filtered.data(), 3 * 256));
}

TEST_F(FrameTransformTest, CustomIdentityCubeIsNotBypassed)
{
    // A custom filter with the identity's control colours quantizes to multiples of 17.
    std::vector<ColorRef> identity(kControlCubeSize);
    for (int i = 0; i < kControlCubeSize; ++i)
        identity[i] = MakeColorRef(51 * (i / 36), 51 * (i / 6 % 6), 51 * (i % 6));
    ASSERT_NE(AddFilter("ident", "Identity copy", FilterKind::Custom, identity.data()), 0);
    TestFrame frame(1, 1);
    const uint8_t pixel[3] = {8, 9, 200};  // blue, green, red
    std::memcpy(frame.captured.data(), pixel, 3);
    ApplyFilterToFrame(filterTable.records[0], frame.frames);
    EXPECT_EQ(frame.filtered[0], 0);
    EXPECT_EQ(frame.filtered[1], 17);
    EXPECT_EQ(frame.filtered[2], 204);
}

TEST_F(FrameTransformTest, HueRotationsMoveRed)
{
    RegisterBuiltinFilters();
    TestFrame frame(1, 1);
    const uint8_t red[3] = {0, 0, 255};
    std::memcpy(frame.captured.data(), red, 3);

    ApplyFilterToFrame(filterTable.records[2], frame.frames);  // _hue_gbr: red -> blue
    EXPECT_EQ(std::vector<uint8_t>(frame.filtered.begin(), frame.filtered.begin() + 3),
              (std::vector<uint8_t>{255, 0, 0}));
    ApplyFilterToFrame(filterTable.records[3], frame.frames);  // _hue_brg: red -> green
    EXPECT_EQ(std::vector<uint8_t>(frame.filtered.begin(), frame.filtered.begin() + 3),
              (std::vector<uint8_t>{0, 255, 0}));
}

TEST(FrameStride, RoundsThreeBytesPerPixelUpToFour)
{
    EXPECT_EQ(FrameStride(1), 4);
    EXPECT_EQ(FrameStride(4), 12);
    EXPECT_EQ(FrameStride(1024), 3072);
    EXPECT_EQ(FrameStride(1366), 4100);
    EXPECT_EQ(FrameStride(1920), 5760);
}

// Each kernel on its own, and the one ApplyFilterToFrame picks.
struct Kernel {
    const char* name;
    PixelKernel* run;    // null: whatever ApplyFilterToFrame chooses
    bool (*available)();
};

// Names the kernel in failure messages and test names instead of dumping its bytes.
void PrintTo(const Kernel& kernel, std::ostream* out)
{
    *out << kernel.name;
}

bool Always()
{
    return true;
}

const Kernel kKernels[] = {
    {"Chosen", nullptr, Always},
    {"Portable", FilterPixelsPortable, Always},
#if defined(PL_HAVE_X86_KERNELS)
    {"Sse2", FilterPixelsSse2, Always},
    {"Ssse3", FilterPixelsSsse3, [] { return CpuHasSsse3() != 0; }},
#endif
};

// A record whose 4096 cells are all different, so a pixel sent to any wrong cell shows,
// and whose cells carry a non-zero top byte, which must never reach a pixel.
FilterRecord DistinctCellFilter()
{
    FilterRecord record{};
    std::strcpy(record.name, "distinct");
    record.kind = FilterKind::Custom;
    for (uint32_t i = 0; i < kColorCubeSize; ++i)
        record.colorCube[i] = 0xC3000000u | ((i * 2654435761u) & 0x00FFF000u) | i;
    return record;
}

class FrameKernelTest : public testing::TestWithParam<Kernel> {
protected:
    void SetUp() override
    {
        if (!GetParam().available())
            GTEST_SKIP() << "this CPU lacks " << GetParam().name;
    }

    void Apply(const FilterRecord& record, const FrameBuffers& frames)
    {
        if (GetParam().run)
            ApplyFilterToFrameWith(GetParam().run, record, frames);
        else
            ApplyFilterToFrame(record, frames);
    }
};

TEST_P(FrameKernelTest, EveryColourMatchesTheLiteralRule)
{
    // All 2^24 colours, a quarter million at a time; colour n is the pixel with the bytes
    // n, n >> 8, n >> 16. No padding, so the frame runs as one long row.
    const FilterRecord filter = DistinctCellFilter();
    const int width = 4096, height = 64, pixels = width * height;
    std::vector<uint8_t> captured(3 * pixels), filtered(3 * pixels), expected(3 * pixels);
    FrameBuffers frames{width, height, FrameStride(width), {}, captured.data(), filtered.data()};
    FrameBuffers literal = frames;
    literal.filtered = expected.data();
    for (uint32_t first = 0; first < (1u << 24); first += pixels) {
        for (int i = 0; i < pixels; ++i) {
            const uint32_t colour = first + i;
            captured[3 * i] = static_cast<uint8_t>(colour);
            captured[3 * i + 1] = static_cast<uint8_t>(colour >> 8);
            captured[3 * i + 2] = static_cast<uint8_t>(colour >> 16);
        }
        Apply(filter, frames);
        LiteralTransform(filter, literal);
        if (filtered != expected) {
            size_t at = 0;
            while (filtered[at] == expected[at])
                ++at;
            FAIL() << "colour 0x" << std::hex << first + at / 3 << ": byte " << std::dec
                   << at % 3 << " is " << int(filtered[at]) << ", expected " << int(expected[at]);
        }
    }
}

TEST_P(FrameKernelTest, RowEndsAndPaddingAreExact)
{
    // Widths around the 4- and 16-pixel steps (every remainder), a 1366-pixel screen (two
    // bytes of padding), and heights 0 to 3; the last row ends the allocation. The identity
    // filter copies rows instead and must keep to the pixels just the same.
    FilterRecord identity = DistinctCellFilter();
    identity.kind = FilterKind::Identity;
    std::vector<int> widths = {1366, 1367, 3840};
    for (int width = 1; width <= 50; ++width)
        widths.push_back(width);
    for (const FilterRecord& filter : {DistinctCellFilter(), identity}) {
        for (int width : widths) {
            for (int height = 0; height <= 3; ++height) {
                SCOPED_TRACE(testing::Message() << "kind " << int(filter.kind) << ", " << width
                                                << "x" << height);
                TestFrame actual(width, height), expected(width, height);
                Apply(filter, actual.frames);
                LiteralTransform(filter, expected.frames);
                // The literal rule writes only pixels, so equal images mean equal pixels
                // and untouched padding.
                ASSERT_EQ(actual.filtered, expected.filtered);
            }
        }
    }
}

TEST_P(FrameKernelTest, RefilteringAllocatesNothing)
{
    FilterRecord identity = DistinctCellFilter();
    identity.kind = FilterKind::Identity;
    const FilterRecord filter = DistinctCellFilter();
    TestFrame frame(1366, 8);
    const long before = AllocationCount();
    Apply(filter, frame.frames);
    Apply(identity, frame.frames);
    Apply(filter, frame.frames);
    EXPECT_EQ(AllocationCount() - before, 0);
}

TEST(FrameTransform, EmptyFramesWriteNothing)
{
    const FilterRecord filter = DistinctCellFilter();
    const struct {
        int width, height;
    } empties[] = {{0, 0}, {5, 0}, {0, 5}, {5, -1}, {-1, 5}};
    uint8_t captured[64], filtered[64];
    std::memset(captured, 1, sizeof captured);
    for (const auto& empty : empties) {
        std::memset(filtered, kUntouched, sizeof filtered);
        FrameBuffers frames{empty.width, empty.height, 16, {}, captured, filtered};
        ApplyFilterToFrame(filter, frames);
        for (uint8_t byte : filtered)
            ASSERT_EQ(byte, kUntouched) << empty.width << "x" << empty.height;
    }
}

TEST(FrameTransform, ChoosesTheKernelTheCpuReports)
{
#if defined(PL_HAVE_X86_KERNELS)
    unsigned eax, ebx, ecx = 0, edx;
    ASSERT_NE(__get_cpuid(1, &eax, &ebx, &ecx, &edx), 0);
    const bool ssse3 = (ecx & bit_SSSE3) != 0;
    EXPECT_EQ(ChooseFrameKernel(), ssse3 ? FilterPixelsSsse3 : FilterPixelsSse2)
        << "CPUID says " << (ssse3 ? "SSSE3" : "no SSSE3");
#else
    EXPECT_EQ(ChooseFrameKernel(), FilterPixelsPortable);
#endif
}

// Test names end in the kernel's name (see PrintTo).
INSTANTIATE_TEST_SUITE_P(, FrameKernelTest, testing::ValuesIn(kKernels));

}  // namespace
