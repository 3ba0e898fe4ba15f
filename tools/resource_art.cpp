// Draws the icon and the splash picture. Shapes are convex polygons tested with integer
// edge functions in sixteenths of a pixel, so the same source always gives the same bytes.

#include "tools/resource_art.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// --- Geometry, in sixteenths of a pixel --------------------------------------------------

struct Point {
    int x, y;
};

Point Px(int x, int y)
{
    return {16 * x, 16 * y};
}

long long EdgeSide(Point a, Point b, Point p)
{
    return static_cast<long long>(b.x - a.x) * (p.y - a.y) -
           static_cast<long long>(b.y - a.y) * (p.x - a.x);
}

// A point on an edge counts as inside, whichever way the polygon winds.
bool InsideConvex(const Point* corners, int count, Point p)
{
    bool anyNegative = false, anyPositive = false;
    for (int i = 0; i < count; ++i) {
        const long long side = EdgeSide(corners[i], corners[(i + 1) % count], p);
        anyNegative = anyNegative || side < 0;
        anyPositive = anyPositive || side > 0;
    }
    return !(anyNegative && anyPositive);
}

// A straight beam of light from `from` to `to`, `halfWidth` sixteenths either side.
bool InsideBeam(Point from, Point to, int halfWidth, Point p)
{
    const Point corners[4] = {{from.x, from.y - halfWidth}, {to.x, to.y - halfWidth},
                              {to.x, to.y + halfWidth}, {from.x, from.y + halfWidth}};
    return InsideConvex(corners, 4, p);
}

// The spectrum leaves the prism at `origin` and fans out to the right, its edges reaching
// `top` and `bottom` at the same x. Returns the band (0 at the top) or -1 outside.
int FanBand(Point origin, Point top, Point bottom, int bands, Point p)
{
    if (p.x <= origin.x)
        return -1;
    const long long run = top.x - origin.x;
    const long long dx = p.x - origin.x;
    const long long above = static_cast<long long>(p.y - origin.y) * run - (top.y - origin.y) * dx;
    const long long span = static_cast<long long>(bottom.y - top.y) * dx;
    if (above < 0 || above >= span)
        return -1;
    return static_cast<int>(above * bands / span);
}

// --- Little-endian writing ---------------------------------------------------------------

void Put16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

struct Rgb {
    int r, g, b;
};

bool operator==(Rgb a, Rgb b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

void PutBitmapInfoHeader(std::vector<uint8_t>& out, int width, int height, int bitCount,
                         uint32_t imageSize, uint32_t colorsUsed)
{
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bitCount));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colorsUsed);
    Put32(out, 0);
}

void PutPalette(std::vector<uint8_t>& out, const Rgb* colors, int count)
{
    for (int i = 0; i < count; ++i) {
        out.push_back(static_cast<uint8_t>(colors[i].b));
        out.push_back(static_cast<uint8_t>(colors[i].g));
        out.push_back(static_cast<uint8_t>(colors[i].r));
        out.push_back(0);
    }
}

int RowBytes(int width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// --- The icon ----------------------------------------------------------------------------

// The standard 16-colour palette, so that the icon looks the same in any colour depth.
enum : uint8_t {
    kBlack, kMaroon, kGreen, kOlive, kNavy, kPurple, kTeal, kSilver,
    kGray, kRed, kLime, kYellow, kBlue, kFuchsia, kAqua, kWhite,
    kClear = 0xFF,  // transparent: set in the AND mask
};

const Rgb kVgaPalette[16] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

// Where the pieces of the prism motif lie, in pixels of one icon size.
struct PrismLayout {
    int size;
    Point apex, baseLeft, baseRight;  // the prism
    Point source, entry, exit;        // the white beam: in through the left face, out at exit
    Point fanTop, fanBottom;          // where the spectrum's edges meet the right border
    int beamHalfWidth;                // in sixteenths
    std::vector<uint8_t> bands;       // spectrum colours, from the top
};

const PrismLayout& LargeIconLayout()
{
    static const PrismLayout layout = {
        32, Px(13, 3), Px(1, 28), Px(25, 28),
        {0, 16 * 18}, {16 * 7, 16 * 16}, {16 * 18 + 8, 16 * 13},
        Px(32, 10), Px(32, 29), 14,
        {kRed, kYellow, kLime, kAqua, kBlue, kFuchsia},
    };
    return layout;
}

const PrismLayout& SmallIconLayout()
{
    static const PrismLayout layout = {
        16, Px(6, 1), Px(0, 14), Px(12, 14),
        {0, 16 * 9}, {16 * 3, 16 * 8}, {16 * 9, 16 * 6 + 8},
        Px(16, 4), Px(16, 15), 8,
        {kRed, kYellow, kLime, kBlue},
    };
    return layout;
}

int ScaleSixteenths(int value, int size, int baseSize)
{
    return (2 * value * size + baseSize) / (2 * baseSize);  // rounded to the nearest
}

// The motif of `base` drawn for another size, for the icon sizes of display scaling:
// 20 and 24 pixels from the small layout, 40, 48 and 64 from the large one.
PrismLayout ScaledLayout(const PrismLayout& base, int size)
{
    PrismLayout layout = base;
    layout.size = size;
    for (Point* point : {&layout.apex, &layout.baseLeft, &layout.baseRight, &layout.source,
                         &layout.entry, &layout.exit, &layout.fanTop, &layout.fanBottom}) {
        point->x = ScaleSixteenths(point->x, size, base.size);
        point->y = ScaleSixteenths(point->y, size, base.size);
    }
    layout.beamHalfWidth = ScaleSixteenths(base.beamHalfWidth, size, base.size);
    return layout;
}

std::vector<uint8_t> DrawIconPixels(const PrismLayout& layout)
{
    const int size = layout.size;
    const Point prism[3] = {layout.apex, layout.baseLeft, layout.baseRight};
    std::vector<uint8_t> inPrism(size * size, 0);
    std::vector<uint8_t> pixels(size * size, kClear);

    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Point centre = {16 * x + 8, 16 * y + 8};
            uint8_t& pixel = pixels[y * size + x];
            if (InsideConvex(prism, 3, centre)) {
                inPrism[y * size + x] = 1;
                pixel = InsideBeam(layout.entry, layout.exit, layout.beamHalfWidth, centre)
                            ? kWhite
                            : kSilver;
                continue;
            }
            const int band = FanBand(layout.exit, layout.fanTop, layout.fanBottom,
                                     static_cast<int>(layout.bands.size()), centre);
            if (band >= 0)
                pixel = layout.bands[band];
            if (centre.x < layout.entry.x &&
                InsideBeam(layout.source, layout.entry, layout.beamHalfWidth, centre))
                pixel = kWhite;
        }
    }

    // The prism's rim: a dark outline where glass meets anything else, and a white glint
    // one pixel inside the left face.
    auto glass = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < size && y < size && inPrism[y * size + x] != 0;
    };
    std::vector<uint8_t> drawn = pixels;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (!glass(x, y))
                continue;
            if (!glass(x - 1, y) || !glass(x + 1, y) || !glass(x, y - 1) || !glass(x, y + 1))
                drawn[y * size + x] = kNavy;
            else if (!glass(x - 2, y) && glass(x + 2, y) && pixels[y * size + x] == kSilver)
                drawn[y * size + x] = kWhite;
            else if (pixels[y * size + x] == kSilver && !glass(x + 2, y))
                drawn[y * size + x] = kGray;
        }
    }
    // The beam outside the glass gets grey edges, so that it shows on light taskbars too.
    auto outsideBeam = [&](int x, int y) {
        return y >= 0 && y < size && !glass(x, y) && pixels[y * size + x] == kWhite;
    };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (drawn[y * size + x] == kClear && (outsideBeam(x, y - 1) || outsideBeam(x, y + 1)))
                drawn[y * size + x] = kGray;
    return drawn;
}

void PutIconImage(std::vector<uint8_t>& out, const std::vector<uint8_t>& pixels, int size)
{
    const int colorRow = RowBytes(size, 4), maskRow = RowBytes(size, 1);
    PutBitmapInfoHeader(out, size, 2 * size, 4, (colorRow + maskRow) * size, 16);
    PutPalette(out, kVgaPalette, 16);
    for (int y = size - 1; y >= 0; --y) {  // bottom-up
        std::vector<uint8_t> row(colorRow, 0);
        for (int x = 0; x < size; ++x) {
            const uint8_t index = pixels[y * size + x] == kClear ? 0 : pixels[y * size + x];
            row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskRow, 0);
        for (int x = 0; x < size; ++x)
            if (pixels[y * size + x] == kClear)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

// --- The splash picture ------------------------------------------------------------------

const int kSplashWidth = 100, kSplashHeight = 40;

// A hand-made pixel font for the product name: nine rows, '#' is ink.
struct Glyph {
    char letter;
    const char* rows[9];
};

const Glyph kGlyphs[] = {
    {'P', {"####.", "#...#", "#...#", "#...#", "####.", "#....", "#....", "#....", "#...."}},
    {'r', {"....", "....", "....", "#.##", "##..", "#...", "#...", "#...", "#..."}},
    {'i', {".", "#", ".", "#", "#", "#", "#", "#", "#"}},
    {'s', {"....", "....", "....", ".###", "#...", ".##.", "...#", "...#", "###."}},
    {'m', {".......", ".......", ".......", "###.##.", "#..#..#", "#..#..#", "#..#..#",
           "#..#..#", "#..#..#"}},
    {'o', {".....", ".....", ".....", ".###.", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'l', {"#", "#", "#", "#", "#", "#", "#", "#", "#"}},
    {'e', {".....", ".....", ".....", ".###.", "#...#", "#####", "#....", "#...#", ".###."}},
    {'n', {".....", ".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#", "#...#"}},
    {'t', {"...", ".#.", ".#.", "###", ".#.", ".#.", ".#.", ".#.", "..#"}},
};

const Glyph* FindGlyph(char letter)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.letter == letter)
            return &glyph;
    return nullptr;
}

int GlyphWidth(const Glyph& glyph)
{
    return static_cast<int>(std::strlen(glyph.rows[0]));
}

// Marks the ink of `text`, its top-left corner at (left, top), with one pixel between letters.
void StampText(const char* text, int left, int top, std::vector<uint8_t>& ink)
{
    for (const char* c = text; *c != '\0'; ++c) {
        const Glyph* glyph = FindGlyph(*c);
        if (glyph == nullptr)
            continue;
        const int width = GlyphWidth(*glyph);
        for (int row = 0; row < 9; ++row)
            for (int column = 0; column < width; ++column)
                if (glyph->rows[row][column] == '#')
                    ink[(top + row) * kSplashWidth + left + column] = 1;
        left += width + 1;
    }
}

int TextWidth(const char* text)
{
    int width = -1;
    for (const char* c = text; *c != '\0'; ++c)
        if (const Glyph* glyph = FindGlyph(*c))
            width += GlyphWidth(*glyph) + 1;
    return width;
}

Rgb Mix(Rgb under, Rgb over, int overPercent)
{
    return {(under.r * (100 - overPercent) + over.r * overPercent) / 100,
            (under.g * (100 - overPercent) + over.g * overPercent) / 100,
            (under.b * (100 - overPercent) + over.b * overPercent) / 100};
}

Rgb Background(int subY)
{
    // From midnight blue at the top to near black at the bottom.
    const Rgb top = {34, 42, 86}, bottom = {10, 12, 30};
    const int percent = subY * 100 / (16 * kSplashHeight);
    return Mix(top, bottom, percent);
}

const Rgb kSpectrum[6] = {{255, 48, 48},  {255, 150, 32}, {255, 232, 48},
                          {64, 210, 80},  {48, 128, 255}, {156, 80, 236}};

// The colour of one sample point of the splash scene (no text).
Rgb SplashSample(Point p)
{
    const Point apex = Px(50, 2), baseLeft = {16 * 37 + 8, 16 * 24}, baseRight = {16 * 62 + 8, 16 * 24};
    const Point prism[3] = {apex, baseLeft, baseRight};
    const Point source = Px(0, 19), entry = {16 * 44, 16 * 13}, exit = {16 * 55 + 8, 16 * 11};
    const Point fanTop = Px(100, 5), fanBottom = Px(100, 25);

    Rgb color = Background(p.y);
    if (InsideConvex(prism, 3, p)) {
        color = Mix(color, {200, 220, 255}, 28);
        if (InsideBeam(entry, exit, 10, p))
            color = Mix(color, {255, 255, 255}, 70);
        // A brighter rim, about a pixel wide, along every face.
        const Point inner[3] = {{apex.x, apex.y + 32},
                                {baseLeft.x + 28, baseLeft.y - 16},
                                {baseRight.x - 28, baseRight.y - 16}};
        if (!InsideConvex(inner, 3, p))
            color = Mix(color, {220, 236, 255}, 75);
        return color;
    }
    const int band = FanBand(exit, fanTop, fanBottom, 6, p);
    if (band >= 0)
        color = Mix(color, kSpectrum[band], 88);
    if (p.x < entry.x && InsideBeam(source, entry, 10, p))
        color = {250, 250, 255};
    return color;
}

std::vector<Rgb> DrawSplash()
{
    std::vector<Rgb> image(kSplashWidth * kSplashHeight);
    // 4x4 samples per pixel smooth the slanted edges.
    for (int y = 0; y < kSplashHeight; ++y) {
        for (int x = 0; x < kSplashWidth; ++x) {
            int r = 0, g = 0, b = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const Rgb sample = SplashSample({16 * x + 2 + 4 * sx, 16 * y + 2 + 4 * sy});
                    r += sample.r;
                    g += sample.g;
                    b += sample.b;
                }
            }
            image[y * kSplashWidth + x] = {r / 16, g / 16, b / 16};
        }
    }

    const char kName[] = "Prismolenteer";
    std::vector<uint8_t> ink(kSplashWidth * kSplashHeight, 0);
    StampText(kName, (kSplashWidth - TextWidth(kName)) / 2, 28, ink);
    for (int y = kSplashHeight - 1; y > 0; --y)  // a soft shadow down and to the right
        for (int x = kSplashWidth - 1; x > 0; --x)
            if (ink[(y - 1) * kSplashWidth + x - 1] != 0 && ink[y * kSplashWidth + x] == 0)
                image[y * kSplashWidth + x] = Mix(image[y * kSplashWidth + x], {0, 0, 0}, 60);
    for (int i = 0; i < kSplashWidth * kSplashHeight; ++i)
        if (ink[i] != 0)
            image[i] = {244, 246, 255};
    return image;
}

// Median cut: the colours are split at the median of their widest channel until there are
// `count` boxes; each box's mean becomes a palette entry.
std::vector<Rgb> MakePalette(const std::vector<Rgb>& image, size_t count)
{
    std::vector<Rgb> colors = image;
    auto packed = [](Rgb c) { return (c.r << 16) | (c.g << 8) | c.b; };
    std::sort(colors.begin(), colors.end(), [&](Rgb a, Rgb b) { return packed(a) < packed(b); });

    struct Box {
        size_t begin, end;
    };
    std::vector<Box> boxes = {{0, colors.size()}};
    auto channel = [](Rgb c, int which) { return which == 0 ? c.r : which == 1 ? c.g : c.b; };
    auto widest = [&](const Box& box, int* range) {
        int best = 0;
        *range = -1;
        for (int which = 0; which < 3; ++which) {
            int low = 255, high = 0;
            for (size_t i = box.begin; i < box.end; ++i) {
                low = std::min(low, channel(colors[i], which));
                high = std::max(high, channel(colors[i], which));
            }
            if (high - low > *range) {
                *range = high - low;
                best = which;
            }
        }
        return best;
    };

    while (boxes.size() < count) {
        size_t split = boxes.size();
        int splitRange = 0, splitChannel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int range = 0;
            const int which = widest(boxes[i], &range);
            if (range > splitRange) {
                splitRange = range;
                splitChannel = which;
                split = i;
            }
        }
        if (split == boxes.size())
            break;  // every box holds one colour
        Box& box = boxes[split];
        std::sort(colors.begin() + box.begin, colors.begin() + box.end, [&](Rgb a, Rgb b) {
            const int ca = channel(a, splitChannel), cb = channel(b, splitChannel);
            return ca != cb ? ca < cb : packed(a) < packed(b);
        });
        size_t middle = (box.begin + box.end) / 2;
        // Keep equal colours together, so a box never holds a colour that another holds.
        while (middle > box.begin && colors[middle - 1] == colors[middle])
            --middle;
        if (middle == box.begin)
            middle = (box.begin + box.end) / 2;
        const Box upper = {middle, box.end};
        box.end = middle;
        boxes.push_back(upper);
    }

    std::vector<Rgb> palette;
    for (const Box& box : boxes) {
        long r = 0, g = 0, b = 0;
        const long n = static_cast<long>(box.end - box.begin);
        for (size_t i = box.begin; i < box.end; ++i) {
            r += colors[i].r;
            g += colors[i].g;
            b += colors[i].b;
        }
        palette.push_back({static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                           static_cast<int>((b + n / 2) / n)});
    }
    palette.resize(count, Rgb{0, 0, 0});
    return palette;
}

uint8_t NearestIndex(const std::vector<Rgb>& palette, Rgb color)
{
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        const long dr = palette[i].r - color.r, dg = palette[i].g - color.g,
                   db = palette[i].b - color.b;
        const long distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace

std::vector<uint8_t> MakeIconFile()
{
    // Every size Windows asks for at 100 % to 200 % scaling (large icons of 32 to 64
    // pixels, small ones of 16 to 32), so that none is stretched into a blur.
    const PrismLayout layouts[] = {
        LargeIconLayout(),
        SmallIconLayout(),
        ScaledLayout(LargeIconLayout(), 64),
        ScaledLayout(LargeIconLayout(), 48),
        ScaledLayout(LargeIconLayout(), 40),
        ScaledLayout(SmallIconLayout(), 24),
        ScaledLayout(SmallIconLayout(), 20),
    };
    const int count = static_cast<int>(sizeof layouts / sizeof layouts[0]);
    std::vector<std::vector<uint8_t>> images(count);
    for (int i = 0; i < count; ++i)
        PutIconImage(images[i], DrawIconPixels(layouts[i]), layouts[i].size);

    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon, not a cursor
    Put16(out, static_cast<unsigned>(count));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(count);
    for (int i = 0; i < count; ++i) {
        out.push_back(static_cast<uint8_t>(layouts[i].size));
        out.push_back(static_cast<uint8_t>(layouts[i].size));
        out.push_back(16);  // colours
        out.push_back(0);
        Put16(out, 1);  // planes
        Put16(out, 4);  // bits per pixel
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

std::vector<uint8_t> MakeSplashBitmapFile()
{
    const std::vector<Rgb> image = DrawSplash();
    const std::vector<Rgb> palette = MakePalette(image, 256);
    const int row = RowBytes(kSplashWidth, 8);
    const uint32_t bitsOffset = 14 + 40 + 256 * 4;
    const uint32_t bitsSize = static_cast<uint32_t>(row * kSplashHeight);

    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, bitsOffset + bitsSize);
    Put32(out, 0);
    Put32(out, bitsOffset);
    PutBitmapInfoHeader(out, kSplashWidth, kSplashHeight, 8, bitsSize, 256);
    PutPalette(out, palette.data(), 256);
    for (int y = kSplashHeight - 1; y >= 0; --y) {  // bottom-up
        for (int x = 0; x < kSplashWidth; ++x)
            out.push_back(NearestIndex(palette, image[y * kSplashWidth + x]));
        for (int pad = kSplashWidth; pad < row; ++pad)
            out.push_back(0);
    }
    return out;
}
