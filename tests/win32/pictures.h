// Pictures as other programs see them: written and read through the platform's imaging
// component directly, the text chunks of a PNG walked by hand with each checksum computed by
// ntdll, and the expected pixels worked out from the literal per-pixel rule.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include "tests/support/literal_transform.h"

// Pixels top-down, each as a blue-green-red word (0x00RRGGBB).
struct Picture {
    UINT width = 0, height = 0;
    std::vector<DWORD> pixels;
    std::map<std::string, std::string> texts;  // tEXt keyword to text; "crc" when one is wrong
    DWORD Pixel(UINT x, UINT y) const { return pixels[size_t(y) * width + x]; }
};

inline IWICImagingFactory* ImagingFactory()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // once is enough for the test process
    IWICImagingFactory* factory = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                     IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    return factory;
}

inline Picture ReadPicture(const std::string& path)
{
    Picture picture;
    IWICImagingFactory* factory = ImagingFactory();
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    const std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                        nullptr, 0, WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&picture.width, &picture.height))) {
        picture.pixels.resize(size_t(picture.width) * picture.height);
        converter->CopyPixels(nullptr, 4 * picture.width, 4 * UINT(picture.pixels.size()),
                              reinterpret_cast<BYTE*>(picture.pixels.data()));
        for (DWORD& pixel : picture.pixels)
            pixel &= 0xFFFFFF;
    }
    for (IUnknown* object : std::vector<IUnknown*>{converter, frame, decoder, factory})
        if (object != nullptr)
            object->Release();

    std::string bytes;
    if (HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        file != INVALID_HANDLE_VALUE) {
        bytes.resize(GetFileSize(file, nullptr));
        DWORD read = 0;
        ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
        CloseHandle(file);
    }
    auto crc32 = reinterpret_cast<DWORD(WINAPI*)(DWORD, const void*, INT)>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlComputeCrc32")));
    auto number = [&](size_t at) { return DWORD(BYTE(bytes[at])) << 24 | DWORD(BYTE(bytes[at + 1])) << 16 |
                                          DWORD(BYTE(bytes[at + 2])) << 8 | BYTE(bytes[at + 3]); };
    for (size_t at = 8; at + 12 <= bytes.size(); at += 12 + number(at)) {
        const size_t length = number(at);
        if (at + 12 + length > bytes.size() || bytes.compare(at + 4, 4, "tEXt") != 0)
            continue;
        if (crc32(0, bytes.data() + at + 4, INT(length + 4)) != number(at + 8 + length))
            picture.texts["crc"] = bytes.substr(at + 8, length);
        const std::string data = bytes.substr(at + 8, length);
        picture.texts[data.substr(0, data.find('\0'))] = data.substr(data.find('\0') + 1);
    }
    return picture;
}

// Writes a picture as a file of the given container (PNG, BMP, JPEG), 24 bits a pixel.
inline void WritePicture(const std::string& path, const GUID& container, const Picture& picture)
{
    IWICImagingFactory* factory = ImagingFactory();
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    const std::wstring wide(path.begin(), path.end());
    std::vector<BYTE> rows;
    for (DWORD pixel : picture.pixels)
        rows.insert(rows.end(), {BYTE(pixel), BYTE(pixel >> 8), BYTE(pixel >> 16)});
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    factory->CreateStream(&stream);
    stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE);
    factory->CreateEncoder(container, nullptr, &encoder);
    encoder->Initialize(stream, WICBitmapEncoderNoCache);
    encoder->CreateNewFrame(&frame, &options);
    frame->Initialize(options);
    frame->SetSize(picture.width, picture.height);
    frame->SetPixelFormat(&format);
    frame->WritePixels(picture.height, 3 * picture.width, UINT(rows.size()), rows.data());
    frame->Commit();
    encoder->Commit();
    for (IUnknown* object : std::vector<IUnknown*>{options, frame, encoder, stream, factory})
        object->Release();
}

// `frames` (bottom-up rows of blue, green, red) as a top-down picture of words.
inline Picture FramePicture(const FrameBuffers& frames, const uint8_t* pixels)
{
    Picture picture{UINT(frames.width), UINT(frames.height), {}, {}};
    for (int y = frames.height - 1; y >= 0; --y)
        for (int x = 0; x < frames.width; ++x) {
            const uint8_t* p = pixels + size_t(y) * frames.stride + 3 * x;
            picture.pixels.push_back(p[0] | p[1] << 8 | p[2] << 16);
        }
    return picture;
}

// The picture through `filter` by the literal rule.
inline Picture LiterallyFiltered(const FilterRecord& filter, const Picture& picture)
{
    FrameBuffers frames{int32_t(picture.width), int32_t(picture.height),
                        FrameStride(int32_t(picture.width)), {}, nullptr, nullptr};
    std::vector<uint8_t> captured(size_t(frames.stride) * frames.height), filtered(captured.size());
    for (UINT y = 0; y < picture.height; ++y)
        for (UINT x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                captured[size_t(picture.height - 1 - y) * frames.stride + 3 * x + c] =
                    BYTE(picture.Pixel(x, y) >> (8 * c));
    frames.captured = captured.data();
    frames.filtered = filtered.data();
    LiteralTransform(filter, frames);
    return FramePicture(frames, frames.filtered);
}

// "" when the pictures are alike, else where they first differ.
inline std::string Difference(const Picture& got, const Picture& want)
{
    if (got.width != want.width || got.height != want.height)
        return "size " + std::to_string(got.width) + "x" + std::to_string(got.height) + ", not " +
               std::to_string(want.width) + "x" + std::to_string(want.height);
    for (size_t i = 0; i < got.pixels.size(); ++i)
        if (got.pixels[i] != want.pixels[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "pixel (%u, %u) is 0x%06lX, not 0x%06lX",
                          unsigned(i % got.width), unsigned(i / got.width), got.pixels[i], want.pixels[i]);
            return text;
        }
    return "";
}
