// The per-pixel rule of the frame transform written out literally: three divisions and one
// cube read per pixel. Tests compare the program's transform with it; the benchmark
// measures against it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/filter_table.h"
#include "filter/frame_buffers.h"

inline void LiteralTransform(const FilterRecord& record, const FrameBuffers& frames)
{
    for (int32_t y = 0; y < frames.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(frames.stride);
        for (int32_t x = 0; x < frames.width; ++x) {
            const uint8_t* in = frames.captured + row + 3 * x;  // blue, green, red
            uint8_t* out = frames.filtered + row + 3 * x;
            const ColorRef color = record.colorCube[(3 * in[2] + 25) / 51 * 256 +
                                                    (3 * in[1] + 25) / 51 * 16 +
                                                    (3 * in[0] + 25) / 51];
            const bool identity = record.kind == FilterKind::Identity;
            out[0] = identity ? in[0] : static_cast<uint8_t>(color >> 16);
            out[1] = identity ? in[1] : static_cast<uint8_t>(color >> 8);
            out[2] = identity ? in[2] : static_cast<uint8_t>(color);
        }
    }
}
