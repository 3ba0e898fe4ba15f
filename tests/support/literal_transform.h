// The per-pixel rule of the frame transform written out literally: three divisions and
// one cube read per pixel. Tests compare the program's transform with it, and the
// benchmark measures against it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/filter_table.h"
#include "filter/frame_buffers.h"

inline void LiteralTransform(const FilterRecord& record, const FrameBuffers& frames)
{
    for (int32_t y = 0; y < frames.height; ++y) {
        const size_t offset = static_cast<size_t>(y) * static_cast<size_t>(frames.stride);
        const uint8_t* in = frames.captured + offset;
        uint8_t* out = frames.filtered + offset;
        for (int32_t x = 0; x < frames.width; ++x) {
            const uint8_t* pixel = in + 3 * x;
            if (record.kind == FilterKind::Identity) {
                out[3 * x] = pixel[0];
                out[3 * x + 1] = pixel[1];
                out[3 * x + 2] = pixel[2];
                continue;
            }
            const unsigned blue = pixel[0], green = pixel[1], red = pixel[2];
            const ColorRef color = record.colorCube[((3 * red + 25) / 51) * 256 +
                                                    ((3 * green + 25) / 51) * 16 +
                                                    (3 * blue + 25) / 51];
            out[3 * x] = static_cast<uint8_t>(color >> 16);
            out[3 * x + 1] = static_cast<uint8_t>(color >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(color);
        }
    }
}
