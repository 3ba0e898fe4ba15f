// Drawing the comparison sheet: each tile filtered from the one picture into a scratch image
// and shrunk into a DIB section, the labels drawn over it with GDI text, all on a memory
// device context, so that no display is needed.

#include "app/comparison_sheet.h"

#include <cstdlib>
#include <cstring>

#include <windows.h>

#include "filter/filter_table.h"
#include "filter/frame_transform.h"

namespace {

// Sizes of every sheet, in pixels.
const int kSheetGap = 8;
const int kSheetLabelHeight = 24;
const int kSheetLabelTextHeight = 16;

// `pixels` of `picture` shrunk by `factor` into `place` of `sheet` (both bottom-up): each
// tile pixel is the rounded mean of its factor x factor block, the blocks at the right and
// bottom edges cut short by the picture's end.
void ShrinkInto(const FrameBuffers& picture, const uint8_t* pixels, int factor,
                const SheetRect& place, const FrameBuffers& sheet)
{
    for (int ty = 0; ty < place.height; ++ty) {
        const int top = ty * factor;
        const int bottom = top + factor < picture.height ? top + factor : picture.height;
        uint8_t* out = sheet.captured +
                       static_cast<size_t>(sheet.height - 1 - (place.y + ty)) * sheet.stride +
                       3 * static_cast<size_t>(place.x);
        for (int tx = 0; tx < place.width; ++tx, out += 3) {
            const int left = tx * factor;
            const int right = left + factor < picture.width ? left + factor : picture.width;
            uint32_t sum[3] = {0, 0, 0};
            for (int y = top; y < bottom; ++y) {
                const uint8_t* in = pixels +
                                    static_cast<size_t>(picture.height - 1 - y) * picture.stride +
                                    3 * static_cast<size_t>(left);
                for (int x = left; x < right; ++x, in += 3) {
                    sum[0] += in[0];
                    sum[1] += in[1];
                    sum[2] += in[2];
                }
            }
            const uint32_t count = static_cast<uint32_t>((bottom - top) * (right - left));
            for (int c = 0; c < 3; ++c)
                out[c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
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

void DrawLabels(HDC dc, const SheetLayout& layout, const FilterRecord* const* tiles, int count)
{
    HFONT font = CreateLabelFont();
    HGDIOBJ previousFont = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    for (int i = 0; i < count; ++i) {
        const SheetRect label = SheetTileLabel(layout, i);
        RECT area = {label.x, label.y, label.x + label.width, label.y + label.height};
        // A display name is text, never a mnemonic: "&" is drawn as it is.
        DrawTextA(dc, tiles[i]->displayName, -1, &area,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SelectObject(dc, previousFont);
    if (font != nullptr)
        DeleteObject(font);
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

}  // namespace

SheetRequest ComparisonSheetRequest(int tiles, int pictureWidth, int pictureHeight)
{
    return {tiles, pictureWidth, pictureHeight, kSheetLabelHeight, kSheetGap, kSheetMaxSize,
            kSheetMaxSize};
}

ImageResult WriteComparisonSheet(const char* path, const FrameBuffers& source,
                                 const FilterRecord* const* filters, int count, bool replace)
{
    const FilterRecord* tiles[kMaxFilters + 1];
    const int tileCount = ComparisonSheetTiles(filters, count, tiles);
    const SheetLayout layout =
        LayOutSheet(ComparisonSheetRequest(tileCount, source.width, source.height));
    if (!layout.fits)
        return {ImageStatus::TooLarge, 0};

    FrameBuffers sheet{};
    SetFrameSize(sheet, layout.width, layout.height);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&sheet.header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    FrameBuffers work = source;  // the tiles are filtered here, never into the source's images
    work.filtered = static_cast<uint8_t*>(std::malloc(FrameBytes(source)));
    ImageResult result = {ImageStatus::TooLarge, 0};
    if (dc != nullptr && bitmap != nullptr && work.filtered != nullptr) {
        sheet.captured = static_cast<uint8_t*>(bits);
        std::memset(sheet.captured, 0xFF, FrameBytes(sheet));
        for (int i = 0; i < tileCount; ++i) {
            const bool identity = tiles[i]->kind == FilterKind::Identity;
            if (!identity)
                ApplyFilterToFrame(*tiles[i], work);
            ShrinkInto(source, identity ? source.captured : work.filtered, layout.factor,
                       SheetTilePicture(layout, i), sheet);
        }
        HGDIOBJ previous = SelectObject(dc, bitmap);
        DrawLabels(dc, layout, tiles, tileCount);
        GdiFlush();  // the text must be in the bits before they are read
        SelectObject(dc, previous);

        char names[kMaxFilters * 21 + 1];
        JoinFilterNames(tiles, tileCount, names, sizeof names);
        const PngText texts[] = {{"Software", PngSoftwareText()}, {"Filters", names}};
        result = WritePngFile(path, sheet, sheet.captured, texts, 2, replace);
    }
    std::free(work.filtered);
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (dc != nullptr)
        DeleteDC(dc);
    return result;
}
