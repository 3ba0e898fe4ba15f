// Picture files through the Windows Imaging Component (WIC). Files are read whole into
// memory and handed to WIC from there, so that a file that cannot be opened is told apart
// from one that does not decode. PNG text chunks are put in by hand: WIC's metadata writer
// is not implemented everywhere (Wine answers E_NOTIMPL).

#include "app/image_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <objbase.h>
#include <wincodec.h>

#include "app/resource_module.h"
#include "filter/filter_table.h"
#include "filter/text.h"
#include "res/resource.h"

namespace {

// Pictures up to this many bytes of pixels (a 16384 x 16384 picture is 768 MB) are tried;
// larger ones are too large for a 32-bit process whatever the memory says.
const uint64_t kMaxPictureBytes = 0x30000000;

// The size of the PNG signature and of the IHDR chunk that must follow it.
const size_t kPngSignatureBytes = 8;
const size_t kPngHeaderEnd = kPngSignatureBytes + 4 + 4 + 13 + 4;

// Releases a COM interface when it goes out of scope.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { if (pointer_ != nullptr) pointer_->Release(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    Interface** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

ImageResult Result(ImageStatus status, DWORD systemError = 0)
{
    return {status, systemError};
}

bool CreateFactory(ComRef<IWICImagingFactory>* factory)
{
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, factory->outVoid()));
}

// A failed WIC call on a picture: memory, or a picture that does not decode.
ImageStatus DecodeFailure(HRESULT result)
{
    return result == E_OUTOFMEMORY ? ImageStatus::TooLarge : ImageStatus::InputDamaged;
}

// The formats the program reads, known by their first bytes. Knowing them here tells a
// damaged picture from a file of another kind: WIC reports both alike.
bool HasReadableSignature(const uint8_t* bytes, size_t size)
{
    static const struct { const char* bytes; size_t size; } kSignatures[] = {
        {"\x89PNG\r\n\x1A\n", 8},  // PNG
        {"BM", 2},                 // BMP
        {"\xFF\xD8\xFF", 3},       // JPEG
    };
    for (const auto& signature : kSignatures)
        if (size >= signature.size && std::memcmp(bytes, signature.bytes, signature.size) == 0)
            return true;
    return false;
}

// The whole file in memory (malloc'd).
ImageResult ReadWholeFile(const char* path, uint8_t** bytes, size_t* size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH)
            return Result(ImageStatus::InputMissing);
        return Result(ImageStatus::InputUnreadable, error);
    }
    ImageResult result = Result(ImageStatus::Done);
    LARGE_INTEGER length{};
    *bytes = nullptr;
    if (!GetFileSizeEx(file, &length)) {
        result = Result(ImageStatus::InputUnreadable, GetLastError());
    } else if (static_cast<uint64_t>(length.QuadPart) > kMaxPictureBytes ||
               (*bytes = static_cast<uint8_t*>(std::malloc(
                    static_cast<size_t>(length.QuadPart) + 1))) == nullptr) {
        result = Result(ImageStatus::TooLarge);
    } else {
        DWORD read = 0;
        *size = static_cast<size_t>(length.QuadPart);
        if (!ReadFile(file, *bytes, static_cast<DWORD>(*size), &read, nullptr) || read != *size) {
            result = Result(ImageStatus::InputUnreadable, GetLastError());
            std::free(*bytes);
            *bytes = nullptr;
        }
    }
    CloseHandle(file);
    return result;
}

// Allocates both images of `frames` for a picture of the given size.
ImageStatus AllocateFrame(UINT width, UINT height, FrameBuffers* frames)
{
    if (width == 0 || height == 0)
        return ImageStatus::InputDamaged;
    const uint64_t stride = (3 * uint64_t{width} + 3) & ~uint64_t{3};
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || stride * height > kMaxPictureBytes)
        return ImageStatus::TooLarge;
    *frames = FrameBuffers{};
    SetFrameSize(*frames, static_cast<int32_t>(width), static_cast<int32_t>(height));
    frames->captured = static_cast<uint8_t*>(std::malloc(FrameBytes(*frames)));
    frames->filtered = static_cast<uint8_t*>(std::malloc(FrameBytes(*frames)));
    if (frames->captured == nullptr || frames->filtered == nullptr) {
        FreeFrameImages(frames);
        return ImageStatus::TooLarge;
    }
    return ImageStatus::Done;
}

// Reads the picture row by row from the top as 32-bit blue, green, red and unused (the one
// form every decoder converts to, also under Wine, whose converter lacks some direct
// paths to 24 bits) and packs each row into its place in the bottom-up frame.
HRESULT CopyRows(IWICBitmapSource* source, const FrameBuffers& frames)
{
    const UINT rowBytes = 4 * static_cast<UINT>(frames.width);
    uint8_t* row = static_cast<uint8_t*>(std::malloc(rowBytes));
    if (row == nullptr)
        return E_OUTOFMEMORY;
    HRESULT hr = S_OK;
    for (int32_t y = 0; y < frames.height; ++y) {
        const WICRect line = {0, y, frames.width, 1};
        hr = source->CopyPixels(&line, rowBytes, rowBytes, row);
        if (FAILED(hr))
            break;
        uint8_t* out = frames.captured + static_cast<size_t>(frames.height - 1 - y) * frames.stride;
        for (int32_t x = 0; x < frames.width; ++x, out += 3)
            std::memcpy(out, row + 4 * x, 3);
    }
    std::free(row);
    return hr;
}

ImageStatus DecodePicture(IWICImagingFactory* factory, uint8_t* bytes, size_t size,
                          FrameBuffers* frames)
{
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    HRESULT hr = factory->CreateStream(stream.out());
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory(bytes, static_cast<DWORD>(size));
    if (SUCCEEDED(hr))
        hr = factory->CreateDecoderFromStream(stream.get(), nullptr,
                                              WICDecodeMetadataCacheOnDemand, decoder.out());
    if (SUCCEEDED(hr))
        hr = decoder->GetFrame(0, frame.out());
    if (SUCCEEDED(hr))
        hr = factory->CreateFormatConverter(converter.out());
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom);
    UINT width = 0, height = 0;
    if (SUCCEEDED(hr))
        hr = converter->GetSize(&width, &height);
    if (FAILED(hr))
        return DecodeFailure(hr);
    const ImageStatus allocated = AllocateFrame(width, height, frames);
    if (allocated != ImageStatus::Done)
        return allocated;
    hr = CopyRows(converter.get(), *frames);
    if (FAILED(hr)) {
        FreeFrameImages(frames);
        return DecodeFailure(hr);
    }
    return ImageStatus::Done;
}

// The CRC-32 of ISO 3309, which every PNG chunk ends with.
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

void PutBigEndian(uint8_t* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// One text chunk's type and data, for a text of at most kMaxTextCharacters characters (a
// longer one is left empty); in UTF-8 a character takes at most three bytes.
const int kMaxTextCharacters = 4000;
const size_t kMaxChunkData = 80 + 4 + 3 * kMaxTextCharacters;
struct TextChunk {
    char type[5];
    uint8_t data[kMaxChunkData];
    size_t size;
};

void MakeTextChunk(const PngText& text, TextChunk* chunk)
{
    wchar_t wide[kMaxTextCharacters + 1] = L"";
    int characters = MultiByteToWideChar(CP_ACP, 0, text.text, -1, wide, kMaxTextCharacters);
    if (characters == 0) {
        characters = 1;
        wide[0] = L'\0';
    }
    bool latin1 = true;
    for (int i = 0; i + 1 < characters; ++i)
        latin1 = latin1 && wide[i] <= 0xFF;
    // Keyword and its NUL; iTXt adds no compression, an empty language and translated
    // keyword, then UTF-8.
    const size_t keywordBytes = std::strlen(text.keyword) + 1;
    std::memcpy(chunk->data, text.keyword, keywordBytes);
    size_t used = keywordBytes;
    if (latin1) {
        std::memcpy(chunk->type, "tEXt", 5);
        for (int i = 0; i + 1 < characters; ++i)
            chunk->data[used++] = static_cast<uint8_t>(wide[i]);
    } else {
        std::memcpy(chunk->type, "iTXt", 5);
        const uint8_t fields[4] = {0, 0, 0, 0};
        std::memcpy(chunk->data + used, fields, sizeof fields);
        used += sizeof fields;
        const int utf8 = WideCharToMultiByte(CP_UTF8, 0, wide, characters - 1,
                                             reinterpret_cast<char*>(chunk->data + used),
                                             static_cast<int>(kMaxChunkData - used), nullptr,
                                             nullptr);
        used += utf8 > 0 ? static_cast<size_t>(utf8) : 0;
    }
    chunk->size = used;
}

// `png` with the text chunks after its header, as a new malloc'd block.
ImageStatus InsertTextChunks(const uint8_t* png, size_t pngSize, const PngText* texts,
                             int textCount, uint8_t** bytes, size_t* size)
{
    if (pngSize < kPngHeaderEnd || std::memcmp(png + kPngSignatureBytes + 4, "IHDR", 4) != 0)
        return ImageStatus::EncodeFailed;
    TextChunk* chunks = static_cast<TextChunk*>(std::malloc(sizeof(TextChunk) * (textCount + 1)));
    if (chunks == nullptr)
        return ImageStatus::TooLarge;
    size_t total = pngSize;
    for (int i = 0; i < textCount; ++i) {
        MakeTextChunk(texts[i], &chunks[i]);
        total += 12 + chunks[i].size;
    }
    uint8_t* out = static_cast<uint8_t*>(std::malloc(total));
    if (out == nullptr) {
        std::free(chunks);
        return ImageStatus::TooLarge;
    }
    std::memcpy(out, png, kPngHeaderEnd);
    uint8_t* at = out + kPngHeaderEnd;
    for (int i = 0; i < textCount; ++i) {
        PutBigEndian(at, static_cast<uint32_t>(chunks[i].size));
        std::memcpy(at + 4, chunks[i].type, 4);
        std::memcpy(at + 8, chunks[i].data, chunks[i].size);
        PutBigEndian(at + 8 + chunks[i].size, Crc32(at + 4, 4 + chunks[i].size));
        at += 12 + chunks[i].size;
    }
    std::memcpy(at, png + kPngHeaderEnd, pngSize - kPngHeaderEnd);
    std::free(chunks);
    *bytes = out;
    *size = total;
    return ImageStatus::Done;
}

// The frame as a PNG in `stream`.
HRESULT EncodeInto(IWICImagingFactory* factory, IStream* stream, const FrameBuffers& frame,
                   const uint8_t* pixels)
{
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> target;
    ComRef<IPropertyBag2> options;
    HRESULT hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out());
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(target.out(), options.out());
    if (SUCCEEDED(hr))
        hr = target->Initialize(options.get());
    if (SUCCEEDED(hr))
        hr = target->SetSize(static_cast<UINT>(frame.width), static_cast<UINT>(frame.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = target->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    // Row by row from the top, the padding of each row never read.
    const UINT rowBytes = 3 * static_cast<UINT>(frame.width);
    for (int32_t y = frame.height - 1; SUCCEEDED(hr) && y >= 0; --y)
        hr = target->WritePixels(1, rowBytes, rowBytes,
                                 const_cast<BYTE*>(pixels + static_cast<size_t>(y) * frame.stride));
    if (SUCCEEDED(hr))
        hr = target->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

// The system's text for `error`, without its line end.
void SystemReason(DWORD error, char* text, int size)
{
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       error, 0, text, static_cast<DWORD>(size), nullptr);
    if (length == 0) {
        std::snprintf(text, static_cast<size_t>(size), "error %lu", error);
        return;
    }
    TrimWhiteSpace(text);
}

}  // namespace

bool ImagingAvailable()
{
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    return CreateFactory(&factory);
}

void FreeFrameImages(FrameBuffers* frames)
{
    std::free(frames->captured);
    std::free(frames->filtered);
    frames->captured = nullptr;
    frames->filtered = nullptr;
}

ImageResult ReadPictureFile(const char* path, FrameBuffers* frames)
{
    frames->captured = frames->filtered = nullptr;
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    if (!CreateFactory(&factory))
        return Result(ImageStatus::NoImagingComponent);
    uint8_t* bytes = nullptr;
    size_t size = 0;
    const ImageResult read = ReadWholeFile(path, &bytes, &size);
    if (read.status != ImageStatus::Done)
        return read;
    ImageStatus status = ImageStatus::InputUnsupported;
    if (HasReadableSignature(bytes, size))
        status = DecodePicture(factory.get(), bytes, size, frames);
    std::free(bytes);
    return Result(status);
}

ImageResult EncodePng(const FrameBuffers& frame, const uint8_t* pixels, const PngText* texts,
                      int textCount, uint8_t** bytes, size_t* size)
{
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    if (!CreateFactory(&factory))
        return Result(ImageStatus::NoImagingComponent);
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.out())))
        return Result(ImageStatus::TooLarge);
    const HRESULT hr = EncodeInto(factory.get(), stream.get(), frame, pixels);
    if (FAILED(hr))
        return Result(hr == E_OUTOFMEMORY ? ImageStatus::TooLarge : ImageStatus::EncodeFailed);
    HGLOBAL memory = nullptr;
    ULARGE_INTEGER end{};
    const LARGE_INTEGER zero{};
    if (FAILED(GetHGlobalFromStream(stream.get(), &memory)) ||
        FAILED(stream->Seek(zero, STREAM_SEEK_END, &end)))
        return Result(ImageStatus::EncodeFailed);
    const uint8_t* png = static_cast<const uint8_t*>(GlobalLock(memory));
    if (png == nullptr)
        return Result(ImageStatus::EncodeFailed);
    const ImageStatus status = InsertTextChunks(png, static_cast<size_t>(end.QuadPart), texts,
                                                textCount, bytes, size);
    GlobalUnlock(memory);
    return Result(status);
}

ImageResult WriteFileSafely(const char* path, const uint8_t* bytes, size_t size, bool replace)
{
    char full[MAX_PATH] = "";
    char* fileName = nullptr;
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, &fileName);
    if (length == 0 || length >= MAX_PATH || fileName == nullptr)
        return Result(ImageStatus::OutputUnwritable,
                      length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE);
    if (!replace && GetFileAttributesA(full) != INVALID_FILE_ATTRIBUTES)
        return Result(ImageStatus::OutputExists);

    char folder[MAX_PATH];
    std::memcpy(folder, full, static_cast<size_t>(fileName - full));
    folder[fileName - full] = '\0';
    char temporary[MAX_PATH];
    if (GetTempFileNameA(folder, "plk", 0, temporary) == 0)
        return Result(ImageStatus::OutputUnwritable, GetLastError());
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (!WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr) ||
            written != size)
            error = GetLastError() != 0 ? GetLastError() : ERROR_DISK_FULL;
        if (!CloseHandle(file) && error == 0)
            error = GetLastError();
    }
    if (error == 0 &&
        !MoveFileExA(temporary, full, replace ? MOVEFILE_REPLACE_EXISTING : 0))
        error = GetLastError();
    if (error == 0)
        return Result(ImageStatus::Done);
    DeleteFileA(temporary);
    if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
        return Result(ImageStatus::OutputExists);
    return Result(ImageStatus::OutputUnwritable, error);
}

ImageResult WritePngFile(const char* path, const FrameBuffers& frame, const uint8_t* pixels,
                         const PngText* texts, int textCount, bool replace)
{
    uint8_t* bytes = nullptr;
    size_t size = 0;
    const ImageResult encoded = EncodePng(frame, pixels, texts, textCount, &bytes, &size);
    if (encoded.status != ImageStatus::Done)
        return encoded;
    const ImageResult written = WriteFileSafely(path, bytes, size, replace);
    std::free(bytes);
    return written;
}

const char* PngSoftwareText()
{
    static char text[64];
    if (text[0] == '\0')
        std::snprintf(text, sizeof text, "Prismolenteer %s", ProgramVersion());
    return text;
}

ImageResult WriteFilteredPng(const char* path, const FrameBuffers& frame, const uint8_t* pixels,
                             const FilterRecord& filter, bool replace)
{
    const PngText texts[] = {
        {"Software", PngSoftwareText()},
        {"Filter", filter.name},
        {"Filter display name", filter.displayName},
    };
    return WritePngFile(path, frame, pixels, texts, 3, replace);
}

void DescribeImageResult(const ImageResult& result, const char* path, char* text, int size)
{
    static const struct { ImageStatus status; UINT id; } kTexts[] = {
        {ImageStatus::NoImagingComponent, IDS_IMAGE_NO_IMAGING},
        {ImageStatus::InputMissing, IDS_IMAGE_MISSING},
        {ImageStatus::InputUnreadable, IDS_IMAGE_UNREADABLE},
        {ImageStatus::InputUnsupported, IDS_IMAGE_UNSUPPORTED},
        {ImageStatus::InputDamaged, IDS_IMAGE_DAMAGED},
        {ImageStatus::TooLarge, IDS_IMAGE_TOO_LARGE},
        {ImageStatus::OutputExists, IDS_IMAGE_EXISTS},
        {ImageStatus::OutputUnwritable, IDS_IMAGE_UNWRITABLE},
        {ImageStatus::EncodeFailed, IDS_IMAGE_ENCODE_FAILED},
    };
    char pattern[512] = "";
    for (const auto& entry : kTexts)
        if (entry.status == result.status)
            LoadResString(entry.id, pattern, sizeof pattern);
    char reason[256] = "";
    if (result.systemError != 0)
        SystemReason(result.systemError, reason, sizeof reason);
    const char* const arguments[] = {path, reason};
    SubstitutePlaceholders(text, static_cast<size_t>(size), pattern, arguments, 2);
}
