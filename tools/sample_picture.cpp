// Draws the sample picture into an 8-bit palette image and writes it as a BMP file.

#include "tools/sample_picture.h"

#include <cmath>
#include <cstring>

namespace {

const int kWidth = 640;
const int kHeight = 400;

struct Rgb {
    uint8_t r, g, b;
};

class Canvas {
public:
    Canvas() : pixels_(kWidth * kHeight, 0) {}

    uint8_t Color(Rgb rgb)
    {
        for (size_t i = 0; i < palette_.size(); ++i)
            if (palette_[i].r == rgb.r && palette_[i].g == rgb.g && palette_[i].b == rgb.b)
                return static_cast<uint8_t>(i);
        palette_.push_back(rgb);
        return static_cast<uint8_t>(palette_.size() - 1);
    }

    void Put(int x, int y, uint8_t index)
    {
        if (x >= 0 && x < kWidth && y >= 0 && y < kHeight)
            pixels_[y * kWidth + x] = index;
    }

    void Fill(int x, int y, int width, int height, Rgb rgb)
    {
        const uint8_t index = Color(rgb);
        for (int yy = y; yy < y + height; ++yy)
            for (int xx = x; xx < x + width; ++xx)
                Put(xx, yy, index);
    }

    void Disc(int cx, int cy, int radius, Rgb rgb)
    {
        const uint8_t index = Color(rgb);
        for (int y = -radius; y <= radius; ++y)
            for (int x = -radius; x <= radius; ++x)
                if (x * x + y * y <= radius * radius)
                    Put(cx + x, cy + y, index);
    }

    std::vector<uint8_t> Bmp() const;

private:
    std::vector<uint8_t> pixels_;  // top-down
    std::vector<Rgb> palette_;
};

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> Canvas::Bmp() const
{
    const uint32_t paletteBytes = 256 * 4;
    const uint32_t offset = 14 + 40 + paletteBytes;
    const uint32_t imageBytes = kWidth * kHeight;  // rows of 640 bytes need no padding
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, offset + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, offset, 4);
    PutLe(out, 40, 4);
    PutLe(out, kWidth, 4);
    PutLe(out, kHeight, 4);  // bottom-up
    PutLe(out, 1, 2);
    PutLe(out, 8, 2);
    PutLe(out, 0, 4);  // BI_RGB
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 256, 4);
    PutLe(out, 0, 4);
    for (int i = 0; i < 256; ++i) {
        const Rgb rgb = i < static_cast<int>(palette_.size()) ? palette_[i] : Rgb{0, 0, 0};
        out.push_back(rgb.b);
        out.push_back(rgb.g);
        out.push_back(rgb.r);
        out.push_back(0);
    }
    for (int y = kHeight - 1; y >= 0; --y)
        out.insert(out.end(), pixels_.begin() + y * kWidth, pixels_.begin() + (y + 1) * kWidth);
    return out;
}

// A 5x7 pixel font for the few characters the picture needs; each row's five bits are
// read from the left.
struct Glyph {
    char c;
    uint8_t rows[7];
};
const Glyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
};

const Glyph* FindGlyph(char c)
{
    for (const Glyph& glyph : kGlyphs)
        if (glyph.c == c)
            return &glyph;
    return nullptr;
}

bool GlyphPixel(const Glyph& glyph, int column, int row)
{
    return (glyph.rows[row] >> (4 - column)) & 1;
}

void Text(Canvas& canvas, int x, int y, int scale, const char* text, Rgb rgb)
{
    for (; *text != '\0'; ++text, x += 6 * scale) {
        const Glyph* glyph = FindGlyph(*text);
        if (glyph == nullptr)
            continue;  // a space
        for (int row = 0; row < 7; ++row)
            for (int column = 0; column < 5; ++column)
                if (GlyphPixel(*glyph, column, row))
                    canvas.Fill(x + column * scale, y + row * scale, scale, scale, rgb);
    }
}

// A fixed pseudo-random sequence, the same on every machine.
uint32_t NextRandom(uint32_t& state)
{
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

Rgb FromHsv(double hue)
{
    const double h = std::fmod(hue, 360.0) / 60.0;
    const double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h)) {
    case 0: r = 1; g = x; break;
    case 1: r = x; g = 1; break;
    case 2: g = 1; b = x; break;
    case 3: g = x; b = 1; break;
    case 4: r = x; b = 1; break;
    default: r = 1; b = x; break;
    }
    return {static_cast<uint8_t>(std::lround(255 * r)), static_cast<uint8_t>(std::lround(255 * g)),
            static_cast<uint8_t>(std::lround(255 * b))};
}

void DrawBarChart(Canvas& canvas)
{
    // The ten colours of a widely used chart palette.
    const Rgb palette[] = {{0x1F, 0x77, 0xB4}, {0xFF, 0x7F, 0x0E}, {0x2C, 0xA0, 0x2C},
                           {0xD6, 0x27, 0x28}, {0x94, 0x67, 0xBD}, {0x8C, 0x56, 0x4B},
                           {0xE3, 0x77, 0xC2}, {0x7F, 0x7F, 0x7F}, {0xBC, 0xBD, 0x22},
                           {0x17, 0xBE, 0xCF}};
    const int heights[] = {150, 110, 175, 95, 130, 70, 120, 85, 160, 105};
    const int left = 30, base = 280;
    canvas.Fill(left - 6, 80, 2, base - 80 + 2, {0x60, 0x60, 0x60});
    canvas.Fill(left - 6, base, 300, 2, {0x60, 0x60, 0x60});
    for (int i = 0; i < 10; ++i)
        canvas.Fill(left + i * 29, base - heights[i], 22, heights[i], palette[i]);
}

void DrawDotPlate(Canvas& canvas)
{
    // Figure dots in reds and oranges, field dots in greens of similar lightness: the figure
    // stands out for normal colour vision and fades for red-green deficiencies.
    const Rgb figure[] = {{0xE0, 0x6C, 0x3C}, {0xEE, 0x90, 0x4E}, {0xCF, 0x57, 0x45},
                          {0xF0, 0xA0, 0x60}};
    const Rgb field[] = {{0x9C, 0xB4, 0x51}, {0x7D, 0xA4, 0x53}, {0xA8, 0xB8, 0x6B},
                         {0x8A, 0xA0, 0x48}};
    const int cx = 480, cy = 185, radius = 120;
    canvas.Disc(cx, cy, radius + 4, {0xE8, 0xE4, 0xDA});

    // "74" in the 5x7 font, scaled so the two digits span most of the plate.
    const int scale = 20, textWidth = 11 * scale, textHeight = 7 * scale;
    const int textLeft = cx - textWidth / 2, textTop = cy - textHeight / 2;
    auto inFigure = [&](int x, int y) {
        const int column = (x - textLeft) / scale, row = (y - textTop) / scale;
        if (x < textLeft || y < textTop || row >= 7 || column >= 11 || column == 5)
            return false;
        return GlyphPixel(*FindGlyph(column < 5 ? '7' : '4'), column < 5 ? column : column - 6,
                          row);
    };

    uint32_t state = 2026;
    std::vector<int> placed;  // x, y, r of every dot so far
    for (int attempt = 0; attempt < 60000; ++attempt) {
        const int r = 2 + static_cast<int>(NextRandom(state) % 5);
        const int x = cx - radius + static_cast<int>(NextRandom(state) % (2 * radius));
        const int y = cy - radius + static_cast<int>(NextRandom(state) % (2 * radius));
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > (radius - r) * (radius - r))
            continue;
        bool overlaps = false;
        for (size_t i = 0; i < placed.size() && !overlaps; i += 3) {
            const int dx = x - placed[i], dy = y - placed[i + 1], gap = r + placed[i + 2] + 1;
            overlaps = dx * dx + dy * dy < gap * gap;
        }
        if (overlaps)
            continue;
        placed.insert(placed.end(), {x, y, r});
        const uint32_t shade = NextRandom(state) % 4;
        canvas.Disc(x, y, r, inFigure(x, y) ? figure[shade] : field[shade]);
    }
}

void DrawStatusChips(Canvas& canvas)
{
    const struct {
        const char* label;
        Rgb color;
    } chips[] = {{"OK", {0x2E, 0x7D, 0x32}}, {"WARN", {0xF9, 0xA8, 0x25}},
                 {"ERROR", {0xC6, 0x28, 0x28}}, {"INFO", {0x15, 0x65, 0xC0}}};
    int x = 30;
    for (const auto& chip : chips) {
        const int width = 16 + 12 * static_cast<int>(std::strlen(chip.label));
        canvas.Fill(x, 300, width, 26, chip.color);
        Text(canvas, x + 9, 307, 2, chip.label, {0xFF, 0xFF, 0xFF});
        x += width + 8;
    }
}

}  // namespace

std::vector<uint8_t> MakeSamplePictureBmp()
{
    Canvas canvas;
    canvas.Fill(0, 0, kWidth, kHeight, {0xF7, 0xF5, 0xF0});
    canvas.Fill(0, 0, kWidth, 44, {0x2F, 0x3B, 0x4C});
    Text(canvas, 16, 12, 3, "PRISMOLENTEER SAMPLE", {0xFF, 0xFF, 0xFF});
    DrawBarChart(canvas);
    DrawDotPlate(canvas);
    DrawStatusChips(canvas);
    for (int i = 0; i < 64; ++i)  // hue sweep
        canvas.Fill(30 + i * 9, 340, 9, 22, FromHsv(i * 360.0 / 64));
    for (int i = 0; i < 16; ++i) {  // grey ramp
        const uint8_t level = static_cast<uint8_t>(17 * i);
        canvas.Fill(30 + i * 36, 366, 36, 18, {level, level, level});
    }
    return canvas.Bmp();
}
