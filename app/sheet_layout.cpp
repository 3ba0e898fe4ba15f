// The comparison sheet's grid: gap, cell, gap, ..., cell, gap across and down, each cell
// its shrunk picture over its label band.

#include "app/sheet_layout.h"

#include <cstdint>

namespace {

// The smallest whole factor that shrinks `size` to at most `room` pixels (rounded up), or 0
// when there is no room at all. ceil(size / k) <= room exactly when k >= size / room.
int FactorToFit(int size, int64_t room)
{
    if (room < 1)
        return 0;
    return static_cast<int>((size + room - 1) / room);
}

// The sheet with `columns` columns, or one whose `fits` is false.
SheetLayout LayOutGrid(const SheetRequest& request, int columns)
{
    SheetLayout layout{};
    layout.columns = columns;
    layout.rows = (request.tiles + columns - 1) / columns;
    layout.labelHeight = request.labelHeight;
    layout.gap = request.gap;
    // What one tile may take across and down, gaps and label band taken off.
    const int64_t roomAcross = (int64_t{request.maxWidth} - request.gap) / columns - request.gap;
    if (roomAcross < request.minCellWidth)
        return layout;
    const int64_t roomDown = (int64_t{request.maxHeight} - request.gap) / layout.rows -
                             request.gap - request.labelHeight;
    const int across = FactorToFit(request.pictureWidth, roomAcross);
    const int down = FactorToFit(request.pictureHeight, roomDown);
    if (across == 0 || down == 0)
        return layout;
    layout.factor = across > down ? across : down;
    layout.tileWidth = (request.pictureWidth + layout.factor - 1) / layout.factor;
    layout.tileHeight = (request.pictureHeight + layout.factor - 1) / layout.factor;
    layout.cellWidth =
        layout.tileWidth > request.minCellWidth ? layout.tileWidth : request.minCellWidth;
    layout.width = request.gap + columns * (layout.cellWidth + request.gap);
    layout.height =
        request.gap + layout.rows * (layout.tileHeight + request.labelHeight + request.gap);
    layout.fits = true;
    return layout;
}

// True when sheet `a` is nearer to a square than `b`: its long side over its short side is
// smaller, compared without division.
bool MoreSquare(const SheetLayout& a, const SheetLayout& b)
{
    auto longSide = [](const SheetLayout& s) { return int64_t{s.width > s.height ? s.width : s.height}; };
    auto shortSide = [](const SheetLayout& s) { return int64_t{s.width > s.height ? s.height : s.width}; };
    return longSide(a) * shortSide(b) < longSide(b) * shortSide(a);
}

// The cell of tile `index`: its picture and its label band.
SheetRect TileCell(const SheetLayout& layout, int index)
{
    const int column = index % layout.columns, row = index / layout.columns;
    return {layout.gap + column * (layout.cellWidth + layout.gap),
            layout.gap + row * (layout.tileHeight + layout.labelHeight + layout.gap),
            layout.cellWidth, layout.tileHeight + layout.labelHeight};
}

}  // namespace

SheetLayout LayOutSheet(const SheetRequest& request)
{
    SheetLayout best{};
    if (request.tiles < 1 || request.pictureWidth < 1 || request.pictureHeight < 1)
        return best;
    for (int columns = 1; columns <= request.tiles; ++columns) {
        const SheetLayout grid = LayOutGrid(request, columns);
        if (!grid.fits)
            continue;
        if (!best.fits || grid.factor < best.factor ||
            (grid.factor == best.factor && MoreSquare(grid, best)))
            best = grid;
    }
    return best;
}

SheetRect SheetTilePicture(const SheetLayout& layout, int index)
{
    const SheetRect cell = TileCell(layout, index);
    return {cell.x + (cell.width - layout.tileWidth) / 2, cell.y, layout.tileWidth,
            layout.tileHeight};
}

SheetRect SheetTileLabel(const SheetLayout& layout, int index)
{
    const SheetRect cell = TileCell(layout, index);
    return {cell.x, cell.y + layout.tileHeight, cell.width, layout.labelHeight};
}
