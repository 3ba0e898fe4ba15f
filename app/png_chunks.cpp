// Building PNG chunks by hand: every chunk is its data's length (big-endian), its type, the
// data and the CRC of type and data.

#include "app/png_chunks.h"

#include <cstring>

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void PutBigEndian(uint8_t* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

uint32_t GetBigEndian(const uint8_t* in)
{
    return uint32_t{in[0]} << 24 | uint32_t{in[1]} << 16 | uint32_t{in[2]} << 8 | in[3];
}

// Frames `dataSize` bytes of data, already at out + 8, as a chunk of `type`. Returns its size.
size_t FinishChunk(const char* type, size_t dataSize, uint8_t* out)
{
    PutBigEndian(out, static_cast<uint32_t>(dataSize));
    std::memcpy(out + 4, type, 4);
    PutBigEndian(out + 8 + dataSize, Crc32(out + 4, 4 + dataSize));
    return 12 + dataSize;
}

// The code point at `text`, moving `text` past it; U+FFFD for a surrogate without its pair.
uint32_t NextCodePoint(const char16_t*& text)
{
    const uint32_t unit = *text++;
    if (unit < 0xD800 || unit > 0xDFFF)
        return unit;
    if (unit <= 0xDBFF && *text >= 0xDC00 && *text <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (*text++ - 0xDC00);
    return 0xFFFD;
}

// `codePoint` in UTF-8 at `out`; returns the bytes written.
size_t PutUtf8(uint32_t codePoint, uint8_t* out)
{
    if (codePoint < 0x80) {
        out[0] = static_cast<uint8_t>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<uint8_t>(0xC0 | codePoint >> 6);
        out[1] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<uint8_t>(0xE0 | codePoint >> 12);
        out[1] = static_cast<uint8_t>(0x80 | (codePoint >> 6 & 0x3F));
        out[2] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<uint8_t>(0xF0 | codePoint >> 18);
    out[1] = static_cast<uint8_t>(0x80 | (codePoint >> 12 & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | (codePoint >> 6 & 0x3F));
    out[3] = static_cast<uint8_t>(0x80 | (codePoint & 0x3F));
    return 4;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size)
{
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

size_t MakeTextChunk(const char* keyword, const char16_t* text, uint8_t* out)
{
    size_t units = 0;
    bool latin1 = true;
    for (; units < kMaxPngTextUnits && text[units] != u'\0'; ++units)
        latin1 = latin1 && text[units] <= 0xFF;
    const char16_t* const end = text + units;

    uint8_t* data = out + 8;
    const size_t keywordBytes = std::strlen(keyword) + 1;
    std::memcpy(data, keyword, keywordBytes);
    size_t used = keywordBytes;
    if (latin1) {
        for (const char16_t* c = text; c != end; ++c)
            data[used++] = static_cast<uint8_t>(*c);
        return FinishChunk("tEXt", used, out);
    }
    // Not compressed, no compression method, no language, no translated keyword.
    const uint8_t fields[4] = {0, 0, 0, 0};
    std::memcpy(data + used, fields, sizeof fields);
    used += sizeof fields;
    for (const char16_t* c = text; c < end;)
        used += PutUtf8(NextCodePoint(c), data + used);
    return FinishChunk("iTXt", used, out);
}

size_t MakeSrgbChunks(uint8_t* out)
{
    out[8] = 0;  // perceptual rendering intent
    const size_t srgb = FinishChunk("sRGB", 1, out);
    PutBigEndian(out + srgb + 8, 45455);  // 1 / 2.2, in units of 1 / 100000
    return srgb + FinishChunk("gAMA", 4, out + srgb);
}

size_t PngHeaderEnd(const uint8_t* png, size_t size)
{
    const size_t end = kPngHeaderBytes;  // IHDR's data is 13 bytes
    if (size < end || std::memcmp(png, kPngSignature, sizeof kPngSignature) != 0 ||
        std::memcmp(png + sizeof kPngSignature + 4, "IHDR", 4) != 0 ||
        GetBigEndian(png + sizeof kPngSignature) != 13)
        return 0;
    return end;
}
