// Pictures as other programs see them: written and read through the platform's imaging
// component directly, the tEXt chunks of a PNG walked by hand with each checksum computed by
// ntdll, and the expected pixels worked out by the literal per-pixel rule.
#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include "tests/support/literal_transform.h"

// Pixels top-down as blue-green-red words (0x00RRGGBB); tEXt keyword to text ("crc" when a
// checksum is wrong); the chunks in order.
struct TestPicture {
    UINT width = 0, height = 0;
    std::vector<DWORD> pixels;
    std::map<std::string, std::string> texts;
    std::string chunks;  // their types, each followed by a space
    DWORD Pixel(UINT x, UINT y) const { return pixels[size_t(y) * width + x]; }
};

// CoCreateInstance on a Windows without the imaging component.
inline HRESULT WINAPI NoImagingComponent(REFCLSID, IUnknown*, DWORD, REFIID, void** object)
{
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}

inline IWICImagingFactory* ImagingFactory()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // left on for the test process
    IWICImagingFactory* factory = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&factory));
    return factory;
}

inline TestPicture ReadPicture(const std::wstring& path)
{
    TestPicture picture;
    IWICImagingFactory* factory = ImagingFactory();
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    if (SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
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

    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), {});
    const auto crc32 = reinterpret_cast<DWORD(WINAPI*)(DWORD, const void*, INT)>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlComputeCrc32")));
    auto number = [&](size_t at) {
        return DWORD(BYTE(bytes[at])) << 24 | BYTE(bytes[at + 1]) << 16 | BYTE(bytes[at + 2]) << 8 | BYTE(bytes[at + 3]);
    };
    for (size_t at = 8, length; at + 12 <= bytes.size() && at + 12 + (length = number(at)) <= bytes.size();
         at += 12 + length) {
        const std::string data = bytes.substr(at + 8, length);
        picture.chunks += bytes.substr(at + 4, 4) + " ";
        if (bytes.compare(at + 4, 4, "tEXt") == 0)
            picture.texts[crc32(0, &bytes[at + 4], INT(length + 4)) == number(at + 8 + length) ?
                          data.substr(0, data.find('\0')) : "crc"] = data.substr(data.find('\0') + 1);
    }
    return picture;
}

// Writes a picture as a file of the given container (PNG, BMP, JPEG), 24 bits a pixel.
inline void WritePicture(const std::wstring& path, const GUID& container, const TestPicture& picture)
{
    IWICImagingFactory* factory = ImagingFactory();
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    std::vector<BYTE> rows;
    for (DWORD pixel : picture.pixels)
        rows.insert(rows.end(), {BYTE(pixel), BYTE(pixel >> 8), BYTE(pixel >> 16)});
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    factory->CreateStream(&stream);
    stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
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

// `pixels` laid out as `frames` (bottom-up rows of blue, green, red) as a picture.
inline TestPicture FramePicture(const FrameBuffers& frames, const uint8_t* pixels)
{
    TestPicture picture{UINT(frames.width), UINT(frames.height), {}, {}, {}};
    for (int y = frames.height - 1; y >= 0; --y)
        for (int x = 0; x < frames.width; ++x) {
            const uint8_t* p = pixels + size_t(y) * frames.stride + 3 * x;
            picture.pixels.push_back(p[0] | p[1] << 8 | p[2] << 16);
        }
    return picture;
}

// The picture through `filter` by the literal rule.
inline TestPicture LiterallyFiltered(const FilterRecord& filter, const TestPicture& picture)
{
    const int32_t width = int32_t(picture.width), height = int32_t(picture.height);
    std::vector<uint8_t> captured(size_t(FrameStride(width)) * height), filtered(captured.size());
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            std::memcpy(&captured[size_t(height - 1 - y) * FrameStride(width) + 3 * x],
                        &picture.pixels[size_t(y) * width + x], 3);
    const FrameBuffers frames{width, height, FrameStride(width), {}, captured.data(), filtered.data()};
    LiteralTransform(filter, frames);
    return FramePicture(frames, frames.filtered);
}

// "" when the pictures are alike, else where they first differ.
inline std::string Difference(const TestPicture& got, const TestPicture& want)
{
    char text[96] = "";
    if (got.width != want.width || got.height != want.height)
        std::snprintf(text, sizeof text, "size %ux%u, not %ux%u", got.width, got.height, want.width, want.height);
    else if (got.pixels != want.pixels)
        for (size_t i = 0; i < got.pixels.size() && !text[0]; ++i)
            if (got.pixels[i] != want.pixels[i])
                std::snprintf(text, sizeof text, "pixel (%u, %u) is 0x%06lX, not 0x%06lX", unsigned(i % got.width),
                              unsigned(i / got.width), got.pixels[i], want.pixels[i]);
    return text;
}
