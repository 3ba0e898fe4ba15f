// The comparison sheet: one picture unfiltered and through several filters, side by side in
// a grid of labelled tiles, drawn with GDI and written as a PNG. The preview makes it from
// its capture, the command-line converter from a picture file.
#pragma once

#include "app/image_file.h"
#include "app/sheet_layout.h"
#include "filter/frame_buffers.h"

struct FilterRecord;

// A sheet fits in kSheetMaxSize pixels each way.
const int kSheetMaxSize = 4096;

// What LayOutSheet is asked for a sheet of `tiles` pictures of this size.
SheetRequest ComparisonSheetRequest(int tiles, int pictureWidth, int pictureHeight);

// Draws the sheet of `source.captured` through `filters` and writes it to `path` (replacing
// a file only when `replace` is set), with text chunks naming the program and the filters.
ImageResult WriteComparisonSheet(const char* path, const FrameBuffers& source,
                                 const FilterRecord* const* filters, int count, bool replace);
