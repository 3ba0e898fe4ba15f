// Where the tiles of a comparison sheet go: one picture shown unfiltered and through each
// filter, every tile shrunk by one whole factor and labelled underneath. A tile's cell is
// at least as wide as its labels need, so that a small picture, centred in its cell, still
// carries readable labels. Pure arithmetic, kept apart from the drawing so that it can be
// checked on its own. No windows.h.
#pragma once

// Every size in pixels.
struct SheetRequest {
    int tiles;                        // pictures on the sheet, at least 1
    int pictureWidth, pictureHeight;  // the picture every tile shows, before shrinking
    int labelHeight;                  // the band under each tile that holds its label
    int gap;                          // around and between the tiles
    int maxWidth, maxHeight;          // the sheet must not be larger
    int minCellWidth;                 // the width every label needs
};

struct SheetRect {
    int x, y, width, height;  // from the sheet's top-left corner
};

struct SheetLayout {
    bool fits;                  // false: no grid and factor keep the sheet within the limit
    int columns, rows;
    int factor;                 // each tile is the picture shrunk by this whole factor
    int tileWidth, tileHeight;  // the picture part of a tile: the picture's size / factor,
                                // rounded up
    int cellWidth;              // a tile's column: its picture's width, or the labels'
    int labelHeight, gap;       // as requested
    int width, height;          // the whole sheet
};

// The sheet for `request`: the smallest factor with which some grid stays within the
// limit (the largest, most readable tiles), and among the grids that reach it the most
// nearly square sheet; of two equally square ones, the one with fewer columns. Tiles fill
// the grid row by row.
SheetLayout LayOutSheet(const SheetRequest& request);

// Where tile `index` shows its picture, in the middle of its cell, and its label right
// under it, across the cell.
SheetRect SheetTilePicture(const SheetLayout& layout, int index);
SheetRect SheetTileLabel(const SheetLayout& layout, int index);
