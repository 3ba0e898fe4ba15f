// The comparison sheet: one picture unfiltered and through several filters, side by side in
// a grid of labelled tiles, drawn with GDI and written as a PNG. The preview makes it from
// its capture, the command-line converter from a picture file.
#pragma once

#include "app/image_file.h"
#include "app/sheet_layout.h"
#include "filter/frame_buffers.h"

struct FilterRecord;

// Sizes of every sheet, in pixels: the sheet fits in kSheetMaxSize each way.
const int kSheetMaxSize = 4096;
const int kSheetGap = 8;
const int kSheetLabelHeight = 24;
const int kSheetLabelTextHeight = 16;

// What LayOutSheet is asked for a sheet of `tiles` pictures of this size.
SheetRequest ComparisonSheetRequest(int tiles, int pictureWidth, int pictureHeight);

// The tiles of the sheet, in order: the identity filter (the picture unfiltered) first, then
// each of `filters` but the identity. Returns how many were written to `tiles`, which holds
// room for count + 1.
int ComparisonSheetTiles(const FilterRecord* const* filters, int count,
                         const FilterRecord** tiles);

// Draws the sheet of `source.captured` through `filters` and writes it to `path` (replacing
// a file only when `replace` is set), with text chunks naming the program and the filters.
ImageResult WriteComparisonSheet(const char* path, const FrameBuffers& source,
                                 const FilterRecord* const* filters, int count, bool replace);
