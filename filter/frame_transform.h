// Filtering a whole captured image through one filter. Portable: no windows.h.
#pragma once

#include "filter/frame_buffers.h"

struct FilterRecord;

// Writes frames.filtered from frames.captured through `record`: `height` rows of `width`
// pixels at `stride` bytes per row, padding left untouched. The identity filter copies
// the pixels; every other filter replaces each pixel by its cube cell.
void ApplyFilterToFrame(const FilterRecord& record, const FrameBuffers& frames);
