// Drawing the comparison sheet: each tile's rows filtered one at a time and shrunk into a
// DIB section, the labels drawn over it with GDI text, all on a memory device context, so
// that no display is needed.

#include "app/comparison_sheet.h"

#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "app/image_file.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"

namespace {

// Sizes of every sheet, in pixels.
const int kSheetGap = 8;
const int kSheetLabelHeight = 24;
const int kSheetLabelTextHeight = 16;
// Room left and right of a label's text, and the widest cell a label may ask for: a longer
// name is cut short with an ellipsis rather than widen every cell.
const int kLabelMargin = 6;
const int kMaxLabelWidth = 320;

// `picture` through `filter`, shrunk by `factor` into `place` of `sheet`: each tile pixel
// is the rounded mean of its factor x factor block, the blocks at the right and bottom
// edges cut short by the picture's end. One picture row at a time is filtered into `row`
// (3 * width bytes) and summed into `sums` (3 * place.width).
void ShrinkInto(const Picture& picture, const RowFilter& filter, int factor,
                const SheetRect& place, const Picture& sheet, uint8_t* row, uint32_t* sums)
{
    for (int ty = 0; ty < place.height; ++ty) {
        const int top = ty * factor;
        const int bottom = top + factor < picture.height ? top + factor : picture.height;
        std::memset(sums, 0, 3 * sizeof(uint32_t) * static_cast<size_t>(place.width));
        for (int y = top; y < bottom; ++y) {
            FilterRow(filter, PictureRow(picture, y), row, static_cast<size_t>(picture.width));
            for (int tx = 0, x = 0; tx < place.width; ++tx) {
                const int right = x + factor < picture.width ? x + factor : picture.width;
                for (; x < right; ++x)
                    for (int c = 0; c < 3; ++c)
                        sums[3 * tx + c] += row[3 * x + c];
            }
        }
        uint8_t* out = PictureRow(sheet, place.y + ty) + 3 * static_cast<size_t>(place.x);
        for (int tx = 0; tx < place.width; ++tx) {
            const int left = tx * factor;
            const int right = left + factor < picture.width ? left + factor : picture.width;
            const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
            for (int c = 0; c < 3; ++c)
                out[3 * tx + c] = static_cast<uint8_t>((sums[3 * tx + c] + count / 2) / count);
        }
    }
}

// The GUI font's face (so that the user's script has its glyphs), at the label size.
HFONT CreateLabelFont()
{
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = -kSheetLabelTextHeight;
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirectA(&font);
}

// Selects the label font into `dc` for as long as it lives.
class LabelFont {
public:
    explicit LabelFont(HDC dc)
        : dc_(dc), font_(CreateLabelFont()),
          previous_(SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT))) {}
    ~LabelFont()
    {
        SelectObject(dc_, previous_);
        if (font_ != nullptr)
            DeleteObject(font_);
    }
    LabelFont(const LabelFont&) = delete;
    LabelFont& operator=(const LabelFont&) = delete;

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

void DrawLabels(HDC dc, const SheetLayout& layout, const FilterRecord* const* tiles, int count)
{
    const LabelFont font(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (int i = 0; i < count; ++i) {
        const SheetRect label = SheetTileLabel(layout, i);
        RECT area = {label.x + kLabelMargin, label.y, label.x + label.width - kLabelMargin,
                     label.y + label.height};
        // A display name is text, never a mnemonic: "&" is drawn as it is.
        DrawTextA(dc, tiles[i]->displayName, -1, &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

// The tiles of the sheet, in order: the identity filter (the picture unfiltered) first, then
// each of `filters` but the identity. Returns how many were written to `tiles`, which holds
// room for count + 1.
int ComparisonSheetTiles(const FilterRecord* const* filters, int count,
                         const FilterRecord** tiles)
{
    int tileCount = 0;
    for (int i = 0; i < filterTable.count && tileCount == 0; ++i)
        if (filterTable.records[i].kind == FilterKind::Identity)
            tiles[tileCount++] = &filterTable.records[i];
    for (int i = 0; i < count; ++i)
        if (filters[i]->kind != FilterKind::Identity)
            tiles[tileCount++] = filters[i];
    return tileCount;
}

// Fills `sheet` (white) with the tiles of `source`; false when memory ran out.
bool DrawTiles(const Picture& source, const SheetLayout& layout, const FilterRecord* const* tiles,
               int tileCount, const Picture& sheet)
{
    std::memset(sheet.pixels, 0xFF, PictureBytes(sheet));
    uint8_t* row = static_cast<uint8_t*>(std::malloc(3 * static_cast<size_t>(source.width)));
    uint32_t* sums = static_cast<uint32_t*>(
        std::malloc(3 * sizeof(uint32_t) * static_cast<size_t>(layout.tileWidth)));
    const bool drawn = row != nullptr && sums != nullptr;
    RowFilter filter;
    for (int i = 0; drawn && i < tileCount; ++i) {
        MakeRowFilter(*tiles[i], &filter);
        ShrinkInto(source, filter, layout.factor, SheetTilePicture(layout, i), sheet, row, sums);
    }
    std::free(row);
    std::free(sums);
    return drawn;
}

}  // namespace

SheetRequest ComparisonSheetRequest(int tiles, int pictureWidth, int pictureHeight, int labelWidth)
{
    return {tiles, pictureWidth, pictureHeight, kSheetLabelHeight, kSheetGap, kSheetMaxSize,
            kSheetMaxSize, labelWidth};
}

int SheetLabelWidth(const FilterRecord* const* filters, int count)
{
    const FilterRecord* tiles[kMaxFilters + 1];
    const int tileCount = ComparisonSheetTiles(filters, count, tiles);
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr)
        return kMaxLabelWidth;
    int widest = 0;
    {
        const LabelFont font(dc);
        for (int i = 0; i < tileCount; ++i) {
            SIZE size{};
            if (GetTextExtentPoint32A(dc, tiles[i]->displayName,
                                      static_cast<int>(std::strlen(tiles[i]->displayName)), &size) &&
                size.cx > widest)
                widest = size.cx;
        }
    }
    DeleteDC(dc);
    const int width = widest + 2 * kLabelMargin;
    return width < kMaxLabelWidth ? width : kMaxLabelWidth;
}

ImageResult WriteComparisonSheet(const wchar_t* path, const Picture& source,
                                 const FilterRecord* const* filters, int count, bool replace)
{
    const FilterRecord* tiles[kMaxFilters + 1];
    const int tileCount = ComparisonSheetTiles(filters, count, tiles);
    const SheetLayout layout = LayOutSheet(ComparisonSheetRequest(
        tileCount, source.width, source.height, SheetLabelWidth(filters, count)));
    if (!layout.fits)
        return Result(ImageStatus::TooLarge);

    const DibHeader header = DibHeaderFor(layout.width, layout.height);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    const Picture sheet = {layout.width, layout.height, FrameStride(layout.width),
                           static_cast<uint8_t*>(bits)};
    ImageResult result = Result(ImageStatus::TooLarge);
    if (dc != nullptr && bitmap != nullptr && DrawTiles(source, layout, tiles, tileCount, sheet)) {
        HGDIOBJ previous = SelectObject(dc, bitmap);
        DrawLabels(dc, layout, tiles, tileCount);
        GdiFlush();  // the text must be in the bits before they are read
        SelectObject(dc, previous);

        char names[kMaxFilters * 21 + 1];
        JoinFilterNames(tiles, tileCount, names, sizeof names);
        const PngText texts[] = {{"Software", PngSoftwareText()}, {"Filters", names}};
        result = WritePngFile(path, sheet, nullptr, texts, 2, replace);
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (dc != nullptr)
        DeleteDC(dc);
    return result;
}
