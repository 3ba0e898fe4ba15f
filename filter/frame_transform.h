// Filtering a whole captured image through one filter. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "filter/color_cube.h"
#include "filter/frame_buffers.h"

struct FilterRecord;

// Writes frames.filtered from frames.captured through `record`: `height` rows of `width`
// pixels at `stride` bytes per row, padding left untouched. The identity filter copies
// the pixels; every other filter replaces each pixel by its cube cell.
void ApplyFilterToFrame(const FilterRecord& record, const FrameBuffers& frames);

// One filter made ready for rows taken one at a time, as a picture is filtered while it is
// written or shrunk into a sheet's tile: whether it copies, its cube in the pixels' own
// byte order and the pixel kernel of this CPU. Making one allocates nothing.
struct RowFilter {
    bool identity;
    void (*kernel)(const uint32_t* cube, const uint8_t* in, uint8_t* out, size_t pixels);
    alignas(64) uint32_t cube[kColorCubeSize];
};

void MakeRowFilter(const FilterRecord& record, RowFilter* filter);

// `pixels` three-byte pixels from `in` to `out` through `filter`; the two must not overlap.
void FilterRow(const RowFilter& filter, const uint8_t* in, uint8_t* out, size_t pixels);
