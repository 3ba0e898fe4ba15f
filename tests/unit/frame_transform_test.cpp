// The frame transform over 24-bit bottom-up images with padded rows.

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "tests/support/filter_fixture.h"
#include "tests/support/literal_transform.h"

namespace {

const uint8_t kPadding = 0xA5;  // what the padding holds before the transform

// A frame whose pixels come from a simple generator and whose rows carry padding
// filled with kPadding in both images.
struct TestFrame {
    std::vector<uint8_t> captured, filtered;
    FrameBuffers frames{};

    TestFrame(int width, int height)
    {
        frames.width = width;
        frames.height = height;
        frames.stride = FrameStride(width);
        const size_t size = static_cast<size_t>(frames.stride) * (height > 0 ? height : 0);
        captured.assign(size + 1, kPadding);  // +1: never a zero-sized vector
        filtered.assign(size + 1, kPadding);
        frames.captured = captured.data();
        frames.filtered = filtered.data();
        uint32_t seed = static_cast<uint32_t>(width * 7919 + height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 3 * width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                captured[y * frames.stride + x] = static_cast<uint8_t>(seed >> 24);
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
    EXPECT_NE(ApplyFilterToFrame(filterTable.records[1], frame.frames), 0);
    EXPECT_EQ(frame.filtered[0], 126);
    EXPECT_EQ(frame.filtered[1], 126);
    EXPECT_EQ(frame.filtered[2], 126);
    EXPECT_EQ(frame.filtered[3], kPadding);
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

TEST_F(FrameTransformTest, MatchesTheLiteralRuleAndNeverTouchesPadding)
{
    RegisterBuiltinFilters();
    const int widths[] = {1, 2, 3, 4, 5, 7, 17, 1366};
    const int heights[] = {0, 1, 3};
    for (int f = 0; f < filterTable.count; ++f) {
        for (int width : widths) {
            for (int height : heights) {
                SCOPED_TRACE(testing::Message() << filterTable.records[f].name << " "
                                                << width << "x" << height);
                TestFrame actual(width, height);
                TestFrame expected(width, height);
                ApplyFilterToFrame(filterTable.records[f], actual.frames);
                LiteralTransform(filterTable.records[f], expected.frames);
                ASSERT_EQ(actual.filtered, expected.filtered);
                for (int y = 0; y < height; ++y)
                    for (int x = 3 * width; x < actual.frames.stride; ++x)
                        ASSERT_EQ(actual.filtered[y * actual.frames.stride + x], kPadding);
            }
        }
    }
}

TEST(FrameStride, RoundsThreeBytesPerPixelUpToFour)
{
    EXPECT_EQ(FrameStride(1), 4);
    EXPECT_EQ(FrameStride(4), 12);
    EXPECT_EQ(FrameStride(1024), 3072);
    EXPECT_EQ(FrameStride(1366), 4100);
    EXPECT_EQ(FrameStride(1920), 5760);
}

}  // namespace
