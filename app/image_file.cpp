// Picture files through the Windows Imaging Component (WIC). Files are read whole into
// memory and handed to WIC from there, so that a file that cannot be opened is told apart
// from one that does not decode, and so that the program reads the header itself: WIC
// neither turns a picture upright nor converts its colours, and reports a header of an
// impossible size as a lack of memory. The PNG chunks after the header are put in by hand:
// WIC's metadata writer is not implemented everywhere (Wine answers E_NOTIMPL).

#include "app/image_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <objbase.h>
#include <wincodec.h>

#include "app/picture_header.h"
#include "app/png_chunks.h"
#include "app/resource_module.h"
#include "app/safe_file.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide text is UTF-16");

namespace {

// Pictures up to this many bytes of pixels (a 16384 x 16384 picture is 768 MB), from files
// of up to 1 GB (a picture that does not compress takes a little more than its pixels), are
// tried; larger ones are too large for a 32-bit process whatever the memory says.
const uint64_t kMaxPictureBytes = 0x30000000;
const uint64_t kMaxFileBytes = 0x40000000;

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

bool CreateFactory(ComRef<IWICImagingFactory>* factory)
{
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, factory->outVoid()));
}

// True for the ways COM and WIC say that memory ran out, a memory stream that could not
// grow among them.
bool IsOutOfMemory(HRESULT result)
{
    return result == E_OUTOFMEMORY || result == STG_E_MEDIUMFULL ||
           result == STG_E_INSUFFICIENTMEMORY;
}

// A failed WIC call on a picture: memory, or a picture that does not decode.
ImageStatus DecodeFailure(HRESULT result)
{
    return IsOutOfMemory(result) ? ImageStatus::TooLarge : ImageStatus::InputDamaged;
}

// The whole file in memory (malloc'd, the caller frees it).
ImageResult ReadWholeFile(const wchar_t* path, uint8_t** bytes, size_t* size)
{
    *bytes = nullptr;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
    if (!GetFileSizeEx(file, &length)) {
        result = Result(ImageStatus::InputUnreadable, GetLastError());
    } else if (static_cast<uint64_t>(length.QuadPart) > kMaxFileBytes) {
        result = Result(ImageStatus::TooLarge);
    } else {
        *size = static_cast<size_t>(length.QuadPart);
        // At least one byte: malloc(0) may answer null, which would read as no memory.
        *bytes = static_cast<uint8_t*>(std::malloc(*size > 0 ? *size : 1));
        DWORD read = 0;
        if (*bytes == nullptr) {
            result = Result(ImageStatus::TooLarge);
        } else if (!ReadFile(file, *bytes, static_cast<DWORD>(*size), &read, nullptr) ||
                   read != *size) {
            result = Result(ImageStatus::InputUnreadable, GetLastError());
            std::free(*bytes);
            *bytes = nullptr;
        }
    }
    CloseHandle(file);
    return result;
}

ImageStatus AllocatePicture(UINT width, UINT height, Picture* picture)
{
    if (width == 0 || height == 0)
        return ImageStatus::InputDamaged;
    const uint64_t stride = (3 * uint64_t{width} + 3) & ~uint64_t{3};
    if (width > 0x7FFFFFFF || height > 0x7FFFFFFF || stride * height > kMaxPictureBytes)
        return ImageStatus::TooLarge;
    picture->width = static_cast<int32_t>(width);
    picture->height = static_cast<int32_t>(height);
    picture->stride = static_cast<int32_t>(stride);
    picture->pixels = static_cast<uint8_t*>(std::malloc(PictureBytes(*picture)));
    return picture->pixels != nullptr ? ImageStatus::Done : ImageStatus::TooLarge;
}

// Reads the stored picture (`width` x `height`) row by row from the top as 32-bit blue,
// green, red and unused (the one form every decoder converts to, also under Wine, whose
// converter lacks some direct paths to 24 bits) and puts each pixel where it goes once the
// picture stands upright, through `levels` when the file's gamma is not sRGB's.
HRESULT CopyRows(IWICBitmapSource* source, UINT width, UINT height, const PictureHeader& header,
                 const uint8_t* levels, const Picture& picture)
{
    const UINT rowBytes = 4 * width;
    uint8_t* row = static_cast<uint8_t*>(std::malloc(rowBytes));
    if (row == nullptr)
        return E_OUTOFMEMORY;
    const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    HRESULT hr = S_OK;
    for (int32_t y = 0; y < h && SUCCEEDED(hr); ++y) {
        const WICRect line = {0, y, w, 1};
        hr = source->CopyPixels(&line, rowBytes, rowBytes, row);
        uint8_t* upright = PictureRow(picture, y);  // where an upright row goes
        for (int32_t x = 0; x < w && SUCCEEDED(hr); ++x) {
            uint8_t* out = upright + 3 * x;
            if (header.orientation != 1) {
                int32_t ux = 0, uy = 0;
                UprightPosition(header.orientation, w, h, x, y, &ux, &uy);
                out = PictureRow(picture, uy) + 3 * ux;
            }
            for (int c = 0; c < 3; ++c)
                out[c] = levels != nullptr ? levels[row[4 * x + c]] : row[4 * x + c];
        }
    }
    std::free(row);
    return hr;
}

ImageStatus DecodePicture(IWICImagingFactory* factory, uint8_t* bytes, size_t size,
                          const PictureHeader& header, Picture* picture)
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
    UINT uprightWidth = width, uprightHeight = height;
    if (header.orientation >= 5)
        uprightWidth = height, uprightHeight = width;
    const ImageStatus allocated = AllocatePicture(uprightWidth, uprightHeight, picture);
    if (allocated != ImageStatus::Done)
        return allocated;
    uint8_t levels[256];
    if (header.colours == DeclaredColours::Gamma)
        MakeSrgbLevels(header.gamma, levels);
    hr = CopyRows(converter.get(), width, height, header,
                  header.colours == DeclaredColours::Gamma ? levels : nullptr, *picture);
    if (FAILED(hr)) {
        FreePicture(picture);
        return DecodeFailure(hr);
    }
    return ImageStatus::Done;
}

// The picture as a PNG in `stream`, row by row from the top, each through `filter` when one
// is given; the padding of each row is never read.
HRESULT EncodeInto(IWICImagingFactory* factory, IStream* stream, const Picture& picture,
                   const RowFilter* filter)
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
        hr = target->SetSize(static_cast<UINT>(picture.width), static_cast<UINT>(picture.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = target->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    const UINT rowBytes = 3 * static_cast<UINT>(picture.width);
    uint8_t* filtered = nullptr;
    if (SUCCEEDED(hr) && filter != nullptr) {
        filtered = static_cast<uint8_t*>(std::malloc(rowBytes));
        if (filtered == nullptr)
            hr = E_OUTOFMEMORY;
    }
    for (int32_t y = 0; SUCCEEDED(hr) && y < picture.height; ++y) {
        const uint8_t* row = PictureRow(picture, y);
        if (filter != nullptr) {
            FilterRow(*filter, row, filtered, static_cast<size_t>(picture.width));
            row = filtered;
        }
        hr = target->WritePixels(1, rowBytes, rowBytes, const_cast<BYTE*>(row));
    }
    std::free(filtered);
    if (SUCCEEDED(hr))
        hr = target->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}

// The sRGB chunks and a text chunk for each of `texts`, at `chunks` (room for
// kSrgbChunksBytes and kMaxPngChunkBytes a text). Returns their size.
size_t MakeAddedChunks(const PngText* texts, int textCount, uint8_t* chunks)
{
    size_t used = MakeSrgbChunks(chunks);
    for (int i = 0; i < textCount; ++i) {
        // A text too long for the chunk's limit stays empty.
        wchar_t wide[kMaxPngTextUnits + 1] = L"";
        if (MultiByteToWideChar(CP_ACP, 0, texts[i].text, -1, wide, kMaxPngTextUnits + 1) == 0)
            wide[0] = L'\0';
        used += MakeTextChunk(texts[i].keyword, reinterpret_cast<const char16_t*>(wide),
                              chunks + used);
    }
    return used;
}

// The stream WIC's encoder writes the PNG into: straight into a file, with the program's
// chunks put in right after the header chunk, so that the encoded picture is never held in
// memory, nor copied to make room for them. It lives on its writer's stack, so Release
// frees nothing.
class PngFileStream final : public IStream {
public:
    PngFileStream(HANDLE file, const uint8_t* chunks, size_t chunkBytes)
        : file_(file), chunks_(chunks), chunkBytes_(chunkBytes) {}

    // The system's error of a write that failed, or 0.
    DWORD Error() const { return error_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!IsEqualIID(id, IID_IUnknown) && !IsEqualIID(id, IID_ISequentialStream) &&
            !IsEqualIID(id, IID_IStream)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) override
    {
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        ULONG left = size;
        for (; left > 0 && headerUsed_ < kPngHeaderBytes; --left)
            header_[headerUsed_++] = *bytes++;
        if (headerUsed_ == kPngHeaderBytes && !headerWritten_) {
            if (PngHeaderEnd(header_, kPngHeaderBytes) != kPngHeaderBytes)
                return E_FAIL;  // not the PNG this program asked for
            if (!Put(header_, kPngHeaderBytes) || !Put(chunks_, chunkBytes_))
                return WriteFailure();
            headerWritten_ = true;
        }
        if (left > 0 && !Put(bytes, left))
            return WriteFailure();
        position_ += size;
        end_ = position_ > end_ ? position_ : end_;
        if (written != nullptr)
            *written = size;
        return S_OK;
    }

    // Positions are those of the encoder's PNG, without the chunks put in. It may move about
    // once the header chunk has been written.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override
    {
        const uint64_t base = origin == STREAM_SEEK_SET ? 0 : origin == STREAM_SEEK_CUR ? position_ : end_;
        const uint64_t target = base + static_cast<uint64_t>(move.QuadPart);
        if (target != position_) {
            if (!headerWritten_ || target < kPngHeaderBytes || target > end_)
                return STG_E_INVALIDFUNCTION;
            LARGE_INTEGER physical;
            physical.QuadPart = static_cast<LONGLONG>(target + chunkBytes_);
            if (!SetFilePointerEx(file_, physical, nullptr, FILE_BEGIN))
                return STG_E_SEEKERROR;
            position_ = target;
        }
        if (at != nullptr)
            at->QuadPart = position_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override
    {
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = end_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    bool Put(const void* data, size_t size)
    {
        const char* bytes = static_cast<const char*>(data);
        for (DWORD written = 0; size > 0; bytes += written, size -= written)
            if (!WriteFile(file_, bytes, static_cast<DWORD>(size), &written, nullptr) || written == 0) {
                const DWORD error = GetLastError();
                error_ = error != 0 ? error : ERROR_DISK_FULL;
                return false;
            }
        return true;
    }

    HRESULT WriteFailure() const
    {
        return error_ == ERROR_DISK_FULL ? STG_E_MEDIUMFULL : STG_E_WRITEFAULT;
    }

    HANDLE file_;
    const uint8_t* chunks_;
    size_t chunkBytes_;
    uint8_t header_[kPngHeaderBytes] = {};
    size_t headerUsed_ = 0;
    bool headerWritten_ = false;
    uint64_t position_ = 0, end_ = 0;
    DWORD error_ = 0;
    ULONG references_ = 1;
};

// Encodes `picture` into the pending `file` through its stream; the result of the whole,
// the file renamed into place or removed.
ImageResult EncodeIntoFile(IWICImagingFactory* factory, PendingFile* file, const Picture& picture,
                           const RowFilter* filter, const uint8_t* chunks, size_t chunkBytes)
{
    PngFileStream stream(file->handle, chunks, chunkBytes);
    const HRESULT hr = EncodeInto(factory, &stream, picture, filter);
    if (SUCCEEDED(hr) || stream.Error() != 0)
        return FinishPendingFile(file, stream.Error());
    FinishPendingFile(file, ERROR_CANCELLED);  // removes it
    return Result(IsOutOfMemory(hr) ? ImageStatus::TooLarge : ImageStatus::EncodeFailed);
}

}  // namespace

bool ImagingAvailable()
{
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    return CreateFactory(&factory);
}

void FreePicture(Picture* picture)
{
    std::free(picture->pixels);
    *picture = Picture{};
}

ImageResult ReadPictureFile(const wchar_t* path, Picture* picture, ColourNote* note)
{
    *picture = Picture{};
    *note = ColourNote::None;
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    if (!CreateFactory(&factory))
        return Result(ImageStatus::NoImagingComponent);
    uint8_t* bytes = nullptr;
    size_t size = 0;
    const ImageResult read = ReadWholeFile(path, &bytes, &size);
    if (read.status != ImageStatus::Done)
        return read;
    const PictureHeader header = ReadPictureHeader(bytes, size);
    ImageStatus status = ImageStatus::InputUnsupported;
    if (header.format != PictureFormat::Unknown)
        status = header.impossibleSize ? ImageStatus::InputDamaged
                                       : DecodePicture(factory.get(), bytes, size, header, picture);
    std::free(bytes);
    if (status == ImageStatus::Done && header.colours == DeclaredColours::IccProfile)
        *note = ColourNote::IccProfileKept;
    if (status == ImageStatus::Done && header.colours == DeclaredColours::Primaries)
        *note = ColourNote::PrimariesKept;
    return Result(status);
}

ImageResult WritePngFile(const wchar_t* path, const Picture& picture, const RowFilter* filter,
                         const PngText* texts, int textCount, bool replace)
{
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    if (!CreateFactory(&factory))
        return Result(ImageStatus::NoImagingComponent);
    uint8_t* chunks = static_cast<uint8_t*>(
        std::malloc(kSrgbChunksBytes + static_cast<size_t>(textCount) * kMaxPngChunkBytes));
    if (chunks == nullptr)
        return Result(ImageStatus::TooLarge);
    const size_t chunkBytes = MakeAddedChunks(texts, textCount, chunks);
    PendingFile file;
    ImageResult result = CreatePendingFile(path, replace, &file);
    if (result.status == ImageStatus::Done)
        result = EncodeIntoFile(factory.get(), &file, picture, filter, chunks, chunkBytes);
    std::free(chunks);
    return result;
}

const char* PngSoftwareText()
{
    static char text[64];
    if (text[0] == '\0')
        std::snprintf(text, sizeof text, "Prismolenteer %s", ProgramVersion());
    return text;
}

ImageResult WriteFilteredPng(const wchar_t* path, const Picture& picture, const FilterRecord& filter,
                             PngPixels pixels, bool replace)
{
    const PngText texts[] = {
        {"Software", PngSoftwareText()},
        {"Filter", filter.name},
        {"Filter display name", filter.displayName},
    };
    if (pixels == PngPixels::AsTheyAre)
        return WritePngFile(path, picture, nullptr, texts, 3, replace);
    RowFilter rowFilter;
    MakeRowFilter(filter, &rowFilter);
    return WritePngFile(path, picture, &rowFilter, texts, 3, replace);
}
