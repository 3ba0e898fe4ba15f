// The per-frame transform: every pixel through the filter's colour cube.

#include "filter/frame_transform.h"

#include <cstddef>
#include <cstring>

#include "filter/filter_table.h"

int ApplyFilterToFrame(const FilterRecord& record, const FrameBuffers& frames)
{
    if (frames.height <= 0 || frames.width <= 0)
        return 1;
    const size_t rowBytes = 3 * static_cast<size_t>(frames.width);
    for (int32_t y = 0; y < frames.height; ++y) {
        const size_t offset = static_cast<size_t>(y) * static_cast<size_t>(frames.stride);
        const uint8_t* in = frames.captured + offset;
        uint8_t* out = frames.filtered + offset;
        if (record.kind == FilterKind::Identity) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        for (size_t x = 0; x < rowBytes; x += 3) {
            const ColorRef color = LookupColor(MakeColorRef(in[x + 2], in[x + 1], in[x]), record);
            out[x] = static_cast<uint8_t>(BlueOf(color));
            out[x + 1] = static_cast<uint8_t>(GreenOf(color));
            out[x + 2] = static_cast<uint8_t>(RedOf(color));
        }
    }
    return 1;
}
