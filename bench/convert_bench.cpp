// Prints how long the converter takes for a 3840x2160 PNG, step by step, through the same
// functions prismolenteer-cli runs: decoding the file, then filtering, encoding the PNG
// (with its chunks) and writing it through a temporary file, which go row by row together;
// filtering alone is timed apart. Build it for Windows and run it under Wine
// (scripts/bench.sh), so that it measures the program's own machine code and the imaging
// component the platform brings.
//
// The picture looks like a desktop rather than noise, so that the PNG compresses about as a
// screenshot does: windows with lines of "text" over a grainy wallpaper, some photos.
//
// With --largest it shows the largest picture the converter takes, 16384 x 16384, going
// through prismolenteer-cli.exe with --filter and with --sheet, and prints each run's time
// and peak memory.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include <objbase.h>
#include <psapi.h>
#include <wincodec.h>

#include "bench/bench_timing.h"
#include "app/app.h"
#include "app/image_file.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"

namespace {

uint32_t seed = 0x9E3779B9u;
uint32_t Random()
{
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
}

void Fill(const Picture& frame, int left, int top, int width, int height, uint32_t color)
{
    for (int y = std::max(top, 0); y < std::min(top + height, frame.height); ++y)
        for (int x = std::max(left, 0); x < std::min(left + width, frame.width); ++x) {
            uint8_t* pixel = PictureRow(frame, y) + 3 * x;
            pixel[0] = uint8_t(color);
            pixel[1] = uint8_t(color >> 8);
            pixel[2] = uint8_t(color >> 16);
        }
}

// A desktop: a photo-like wallpaper (a gradient with grain), then windows with a title bar,
// lines of text and, in every other one, a photo.
void PaintDesktop(const Picture& frame)
{
    const int w = frame.width, h = frame.height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Fill(frame, x, y, 1, 1, (uint32_t(0x20 + y * 0x40 / h) << 8 | 0x60) + (Random() & 0x070707));
    for (int window = 0; window < 24; ++window) {
        const int width = w / 10 + int(Random() % uint32_t(w / 3)), height = h / 8 + int(Random() % uint32_t(h / 3));
        const int left = int(Random() % uint32_t(w - w / 10)), top = int(Random() % uint32_t(h - h / 10));
        Fill(frame, left, top, width, height, 0xF4F4F4);
        Fill(frame, left, top, width, 30, Random() & 0x7F7FFF);
        for (int line = top + 50; line + 14 < top + height; line += 22)
            for (int x = left + 16; x < left + width - 60;) {
                const int word = 12 + int(Random() % 70);
                Fill(frame, x, line, word, 12, Random() % 5 == 0 ? 0x1060C0 : 0x202020);
                x += word + 9;
            }
        if (window % 2 == 0)
            for (int y = top + 40; y < std::min(top + height, h); ++y)
                for (int x = left + width / 2; x < std::min(left + width, w); ++x)
                    Fill(frame, x, y, 1, 1, (Random() & 0x0F0F0F) + uint32_t((x / 3 + y / 2) & 0xC0) * 0x010101);
    }
}

// The largest picture the converter takes: 768 MB of pixels.
const int kLargestSide = 16384;

// Writes a `side` x `side` desktop like PaintDesktop's as a PNG, a band of rows at a time, so
// that the benchmark never holds the picture whole.
bool WriteLargePicture(const std::wstring& path, int side)
{
    const int bandRows = 256;
    Picture band{side, bandRows, FrameStride(side), nullptr};
    std::vector<uint8_t> pixels(PictureBytes(band));
    band.pixels = pixels.data();
    // The same desktop at every band: its windows, photos and lines of text repeat.
    PaintDesktop(band);
    std::vector<uint8_t> topDown(3 * size_t(side) * bandRows);
    for (int y = 0; y < bandRows; ++y)
        std::memcpy(&topDown[3 * size_t(side) * y], PictureRow(band, y), 3 * size_t(side));

    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(options);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(UINT(side), UINT(side));
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    for (int top = 0; SUCCEEDED(hr) && top < side; top += bandRows)
        hr = frame->WritePixels(UINT(std::min(bandRows, side - top)), 3 * UINT(side),
                                UINT(topDown.size()), topDown.data());
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    for (IUnknown* object : std::vector<IUnknown*>{options, frame, encoder, stream, factory})
        if (object != nullptr)
            object->Release();
    return SUCCEEDED(hr);
}

// Runs `commandLine` and prints its exit code, its time and its peak memory, watched every
// 20 ms while it runs.
void RunAndMeasure(const char* what, std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = NowMs();
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("  %-30s could not be started\n", what);
        return;
    }
    PROCESS_MEMORY_COUNTERS counters{}, peak{};
    do {
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof counters)) {
            peak.PeakPagefileUsage = std::max(peak.PeakPagefileUsage, counters.PeakPagefileUsage);
            peak.PeakWorkingSetSize = std::max(peak.PeakWorkingSetSize, counters.PeakWorkingSetSize);
        }
    } while (WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    std::printf("  %-30s exit code %lu, %6.1f s, peak private bytes %5.0f MB, peak working set %5.0f MB\n",
                what, exitCode, (NowMs() - start) / 1000, peak.PeakPagefileUsage / 1048576.0,
                peak.PeakWorkingSetSize / 1048576.0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

int ConvertLargest()
{
    const std::wstring folder = GetExeDirectory();
    const std::wstring input = folder + L"largest-in.png", output = folder + L"largest-out.png";
    const std::wstring converter = L"\"" + folder + L"..\\prismolenteer-cli.exe\" ";
    const ComScope com;
    if (!WriteLargePicture(input, kLargestSide)) {
        std::printf("The largest picture could not be written.\n");
        return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExW(input.c_str(), GetFileExInfoStandard, &file);
    std::printf("\nThe largest picture, %dx%d (%.0f MB of pixels, a PNG of %.0f MB), through the "
                "%d-bit prismolenteer-cli.exe:\n", kLargestSide, kLargestSide,
                3.0 * kLargestSide * kLargestSide / 1048576.0, file.nFileSizeLow / 1048576.0,
                int(8 * sizeof(void*)));
    RunAndMeasure("--filter _grayscale", converter + L"--filter _grayscale --force \"" + input + L"\" \"" + output + L"\"");
    RunAndMeasure("--sheet", converter + L"--sheet --filters protanopia,deutanopia --force \"" + input + L"\" \"" + output + L"\"");
    DeleteFileW(input.c_str());
    DeleteFileW(output.c_str());
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--largest") == 0)
        return ConvertLargest();
    // --smoke: a small picture, one round; checks that the benchmark still works.
    const bool smoke = argc > 1 && std::strcmp(argv[1], "--smoke") == 0;
    const int rounds = smoke ? 1 : argc > 1 ? std::max(3, std::atoi(argv[1])) : 7;
    const int width = smoke ? 320 : 3840, height = smoke ? 200 : 2160;

    RegisterBuiltinFilters();
    const FilterRecord& filter = *FindFilterByName("_grayscale");  // a cube like any filter file's
    Picture source{width, height, FrameStride(width), nullptr};
    std::vector<uint8_t> pixels(PictureBytes(source));
    source.pixels = pixels.data();
    PaintDesktop(source);
    const std::wstring input = std::wstring(GetExeDirectory()) + L"bench-in.png";
    const std::wstring output = std::wstring(GetExeDirectory()) + L"bench-out.png";
    if (WritePngFile(input.c_str(), source, nullptr, nullptr, 0, true).status != ImageStatus::Done) {
        std::printf("The input picture could not be written.\n");
        return 1;
    }

    std::vector<double> decode, apply, encode;
    std::vector<uint8_t> row(3 * size_t(width));
    RowFilter rowFilter;
    for (int round = 0; round < rounds; ++round) {
        Picture picture{};
        ColourNote note = ColourNote::None;
        double start = NowMs();
        if (ReadPictureFile(input.c_str(), &picture, &note).status != ImageStatus::Done) {
            std::printf("The input picture could not be read.\n");
            return 1;
        }
        decode.push_back(NowMs() - start);
        start = NowMs();
        MakeRowFilter(filter, &rowFilter);
        for (int y = 0; y < picture.height; ++y)
            FilterRow(rowFilter, PictureRow(picture, y), row.data(), size_t(width));
        apply.push_back(NowMs() - start);
        start = NowMs();
        const ImageResult written = WriteFilteredPng(output.c_str(), picture, filter,
                                                     PngPixels::ThroughTheFilter, true);
        encode.push_back(NowMs() - start);
        FreePicture(&picture);
        if (written.status != ImageStatus::Done) {
            std::printf("The output picture could not be written.\n");
            return 1;
        }
    }
    WIN32_FILE_ATTRIBUTE_DATA written{};
    GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &written);
    const double pngBytes = written.nFileSizeLow;
    DeleteFileW(input.c_str());
    DeleteFileW(output.c_str());

    const double total = Median(decode) + Median(encode);
    std::printf("\nA %dx%d PNG through the converter, %d rounds, median per step:\n", width, height, rounds);
    const struct { const char* step; double ms; } steps[] = {
        {"decode (read the file, WIC, pack to 24 bits)", Median(decode)},
        {"filter, encode and write (row by row)", Median(encode)},
        {"  of which filtering alone (_grayscale)", Median(apply)},
    };
    for (const auto& step : steps)
        std::printf("  %-46s %9.2f ms %5.1f %%\n", step.step, step.ms, 100.0 * step.ms / total);
    std::printf("  %-46s %9.2f ms\n", "total", total);
    std::printf("The PNG holds %.2f MB against %.2f MB of pixels.\n", pngBytes / 1e6,
                3.0 * width * height / 1e6);
    std::fflush(stdout);
    return 0;
}
