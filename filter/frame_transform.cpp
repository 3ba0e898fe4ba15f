// The per-frame transform: every pixel of the captured image through the filter's colour
// cube into the filtered image, row by row, padding untouched. The SIMD kernels live in
// frame_transform_x86.cpp; this file owns the dispatch, the cube in output byte order and
// the portable kernel that also finishes their rows.

#include "filter/frame_transform.h"

#include <cstring>

#include "filter/filter_table.h"
#include "filter/frame_transform_kernels.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "pixels are moved as little-endian 32-bit words");

namespace {

// The preview's filter, made again from the record on every call: 4096 cells cost next to
// nothing against a frame, and a re-filter must not allocate.
RowFilter frameFilter;

// Each channel's share of the cube index, red * 256 + green * 16 + blue, by channel value,
// so that a pixel's index is three table reads and two additions.
struct IndexParts {
    uint16_t blue[256], green[256], red[256];
};

constexpr IndexParts MakeIndexParts()
{
    IndexParts parts{};
    for (unsigned value = 0; value < 256; ++value) {
        const int level = ColorLevel(value);
        parts.blue[value] = static_cast<uint16_t>(level);
        parts.green[value] = static_cast<uint16_t>(level * 16);
        parts.red[value] = static_cast<uint16_t>(level * 256);
    }
    return parts;
}

constexpr IndexParts kIndexParts = MakeIndexParts();

inline uint32_t LoadWord(const uint8_t* bytes)
{
    uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

inline void StoreWord(uint8_t* bytes, uint32_t word)
{
    std::memcpy(bytes, &word, sizeof word);
}

}  // namespace

void FillOutputCube(const ColorCube& cube, OutputCube& output)
{
    // Built from the three channels, so a cube cell's top byte can never reach a pixel.
    for (int i = 0; i < kColorCubeSize; ++i)
        output[i] = BlueOf(cube[i]) | GreenOf(cube[i]) << 8 | RedOf(cube[i]) << 16;
}

void FilterPixelsPortable(const uint32_t* __restrict cube, const uint8_t* __restrict in,
                          uint8_t* __restrict out, size_t pixels)
{
    const IndexParts& parts = kIndexParts;
    size_t x = 0;
    // Four pixels are three whole words each way. A cell's zero top byte is where the
    // next pixel's first byte goes.
    for (; x + 4 <= pixels; x += 4, in += 12, out += 12) {
        const uint32_t w0 = LoadWord(in), w1 = LoadWord(in + 4), w2 = LoadWord(in + 8);
        const uint32_t c0 = cube[parts.blue[w0 & 0xFF] + parts.green[(w0 >> 8) & 0xFF] +
                                 parts.red[(w0 >> 16) & 0xFF]];
        const uint32_t c1 = cube[parts.blue[w0 >> 24] + parts.green[w1 & 0xFF] +
                                 parts.red[(w1 >> 8) & 0xFF]];
        const uint32_t c2 = cube[parts.blue[(w1 >> 16) & 0xFF] + parts.green[w1 >> 24] +
                                 parts.red[w2 & 0xFF]];
        const uint32_t c3 = cube[parts.blue[(w2 >> 8) & 0xFF] + parts.green[(w2 >> 16) & 0xFF] +
                                 parts.red[w2 >> 24]];
        StoreWord(out, c0 | c1 << 24);
        StoreWord(out + 4, c1 >> 8 | c2 << 16);
        StoreWord(out + 8, c2 >> 16 | c3 << 8);
    }
    for (; x < pixels; ++x, in += 3, out += 3) {
        const uint32_t cell = cube[parts.blue[in[0]] + parts.green[in[1]] + parts.red[in[2]]];
        out[0] = static_cast<uint8_t>(cell);
        out[1] = static_cast<uint8_t>(cell >> 8);
        out[2] = static_cast<uint8_t>(cell >> 16);
    }
}

PixelKernel* ChooseFrameKernel()
{
#if defined(PL_HAVE_X86_KERNELS)
    return CpuHasSsse3() ? FilterPixelsSsse3 : FilterPixelsSse2;
#else
    return FilterPixelsPortable;
#endif
}

void MakeRowFilterWith(PixelKernel* kernel, const FilterRecord& record, RowFilter* filter)
{
    filter->identity = record.kind == FilterKind::Identity;
    filter->kernel = kernel;
    if (!filter->identity)
        FillOutputCube(record.colorCube, filter->cube);
}

void MakeRowFilter(const FilterRecord& record, RowFilter* filter)
{
    MakeRowFilterWith(ChooseFrameKernel(), record, filter);
}

void FilterRow(const RowFilter& filter, const uint8_t* in, uint8_t* out, size_t pixels)
{
    if (filter.identity)
        std::memcpy(out, in, 3 * pixels);
    else
        filter.kernel(filter.cube, in, out, pixels);
}

void ApplyFilterToFrameWith(PixelKernel* kernel, const FilterRecord& record,
                            const FrameBuffers& frames)
{
    if (frames.height <= 0 || frames.width <= 0)
        return;
    // Rows without padding follow each other directly and are taken as one long row, which
    // spares the kernels a short tail per row.
    size_t rowPixels = static_cast<size_t>(frames.width);
    size_t rows = static_cast<size_t>(frames.height);
    const size_t stride = static_cast<size_t>(frames.stride);
    if (stride == 3 * rowPixels) {
        rowPixels *= rows;
        rows = 1;
    }
    MakeRowFilterWith(kernel, record, &frameFilter);
    for (size_t y = 0; y < rows; ++y)
        FilterRow(frameFilter, frames.captured + y * stride, frames.filtered + y * stride,
                  rowPixels);
}

void ApplyFilterToFrame(const FilterRecord& record, const FrameBuffers& frames)
{
    ApplyFilterToFrameWith(ChooseFrameKernel(), record, frames);
}
