// The PNG chunks the program puts into what the imaging component encodes: text chunks that
// name the program and the filters, and the chunks that say the pixels are sRGB. They go
// right after the header chunk. Portable: no windows.h.
#pragma once

#include <cstddef>
#include <cstdint>

// The CRC-32 of ISO 3309, which ends every chunk; computed over its type and data.
uint32_t Crc32(const uint8_t* data, size_t size);

// Texts are cut to this many UTF-16 units; a character takes at most three bytes of UTF-8.
const int kMaxPngTextUnits = 4000;
// Room for any one chunk this file makes: length, type, a keyword of at most 79 bytes and
// its NUL, iTXt's four fields, the text in UTF-8, and the CRC.
const size_t kMaxPngChunkBytes = 4 + 4 + 80 + 4 + 3 * kMaxPngTextUnits + 4;

// Writes to `out` (kMaxPngChunkBytes) the chunk that carries `text` (UTF-16) under
// `keyword` (Latin-1, 1 to 79 bytes): tEXt with the text in Latin-1 when every character
// has a Latin-1 form, else iTXt with the text in UTF-8, an unpaired surrogate written as
// U+FFFD. Returns the chunk's size.
size_t MakeTextChunk(const char* keyword, const char16_t* text, uint8_t* out);

// Writes to `out` the sRGB chunk (perceptual intent) and, for decoders that do not know
// it, the gAMA chunk of sRGB's 1/2.2. Returns their size, kSrgbChunksBytes.
const size_t kSrgbChunksBytes = (12 + 1) + (12 + 4);
size_t MakeSrgbChunks(uint8_t* out);

// Where the chunks go in an encoded PNG: after its signature and header chunk, which take
// kPngHeaderBytes. PngHeaderEnd gives that, or 0 when `png` does not begin with them.
const size_t kPngHeaderBytes = 8 + 12 + 13;
size_t PngHeaderEnd(const uint8_t* png, size_t size);
