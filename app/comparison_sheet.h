// The comparison sheet: one picture unfiltered and through several filters, side by side in
// a grid of labelled tiles, drawn with GDI and written as a PNG. The preview makes it from
// its capture, the command-line converter from a picture file.
#pragma once

#include "app/file_result.h"
#include "app/sheet_layout.h"
#include "filter/frame_buffers.h"

struct FilterRecord;

// A sheet fits in kSheetMaxSize pixels each way.
const int kSheetMaxSize = 4096;

// What LayOutSheet is asked for a sheet of `tiles` pictures of this size whose labels need
// cells `labelWidth` pixels wide.
SheetRequest ComparisonSheetRequest(int tiles, int pictureWidth, int pictureHeight, int labelWidth);

// The width in pixels that the widest display name of `filters` (the identity filter's
// among them) needs on a sheet, at most a fixed limit beyond which a name is cut short.
int SheetLabelWidth(const FilterRecord* const* filters, int count);

// Draws the sheet of `source` through `filters` and writes it to `path` (replacing a file
// only when `replace` is set), with text chunks naming the program and the filters. It
// holds the sheet and a row of the picture besides the picture itself.
ImageResult WriteComparisonSheet(const wchar_t* path, const Picture& source,
                                 const FilterRecord* const* filters, int count, bool replace);
