// The command-line converter inside the test process: each bad command line and each file
// that cannot be read or written gives its exit code and one message and leaves no file
// behind; file names are Unicode throughout, so no look-alike name is ever read or written;
// what it writes, decoded by the platform, is the literal rule's picture, upright, in sRGB
// and saying so; and a sheet holds every tile and a whole label where the layout puts them.

#include <filesystem>
#include <optional>
#include <set>

#include "app/comparison_sheet.h"
#include "app/converter.h"
#include "app/png_chunks.h"
#include "tests/support/scratch_filter_folder.h"
#include "tests/win32/in_process.h"
#include "tests/win32/pictures.h"

namespace {

HANDLE messages;  // the converter's standard error, and its output unless that is closed
const auto realWriteFile = reinterpret_cast<decltype(&WriteFile)>(
    reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "WriteFile")));

// A disk that fills up halfway through any file but the messages.
BOOL WINAPI FillingWriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, OVERLAPPED* o)
{
    if (file == messages)
        return realWriteFile(file, data, size, written, o);
    realWriteFile(file, data, size / 2, written, o);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

// 16-pixel blocks of colours at multiples of 17, the middles of cube cells, so that the
// small errors of a JPEG stay in the cell; 50 pixels wide, so rows are padded.
TestPicture Blocks(UINT width = 50, UINT height = 35)
{
    TestPicture picture{width, height, {}, {}, {}};
    for (UINT i = 0; i < width * height; ++i) {
        const UINT block = i % width / 16 + i / width / 16 * 4;
        picture.pixels.push_back(17 * (block * 11 % 16) | 17 * (block * 7 % 16) << 8 | 17 * (block * 5 % 16) << 16);
    }
    return picture;
}

// The picture turned a quarter clockwise, as EXIF's orientation 6 asks.
TestPicture TurnedClockwise(const TestPicture& picture)
{
    TestPicture turned{picture.height, picture.width, {}, {}, {}};
    for (UINT y = 0; y < turned.height; ++y)
        for (UINT x = 0; x < turned.width; ++x)
            turned.pixels.push_back(picture.Pixel(y, picture.height - 1 - x));
    return turned;
}

std::string Big32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// `png` with a chunk put in right after its header.
std::string WithChunk(const std::string& png, const std::string& type, const std::string& data)
{
    const std::string typed = type + data;
    return png.substr(0, 33) + Big32(uint32_t(data.size())) + typed +
           Big32(Crc32(reinterpret_cast<const uint8_t*>(typed.data()), typed.size())) + png.substr(33);
}

// A JPEG whose EXIF says to turn it a quarter clockwise (orientation 6).
std::string WithOrientation6(const std::string& jpeg)
{
    const std::string tiff = std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 26);
    const std::string exif = std::string("Exif\0\0", 6) + tiff;
    return jpeg.substr(0, 2) + "\xFF\xE1" + char((exif.size() + 2) >> 8) + char(exif.size() + 2) + exif + jpeg.substr(2);
}

enum Trouble { kNone, kMemoryReading, kMemoryWriting, kDiskFull, kNoImaging, kOutputClosed };

// The pictures live in the scratch filter folder, where the scan reads only *.plf.
class Converter : public ScratchFilterFolder {
protected:
    void SetUp() override
    {
        ScratchFilterFolder::SetUp();
        WriteFile("scratch.plf", FilterText("name: Scratch & co\r\n"));
        WritePicture(folder_ + L"in.png", GUID_ContainerFormatPng, Blocks());
    }

    // The exit code of a command line, and what it wrote to either standard handle.
    std::pair<int, std::string> Run(std::vector<std::wstring> args, Trouble trouble = kNone)
    {
        ClearFilters();
        args.insert(args.begin(), L"prismolenteer-cli");
        std::vector<wchar_t*> argv;
        for (std::wstring& arg : args)
            argv.push_back(arg.data());
        const std::wstring log = std::wstring(GetExeDirectory()) + L"converter.log";
        messages = CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        HANDLE closed = CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, trouble == kOutputClosed ? closed : messages);  // no writing there
        SetStdHandle(STD_ERROR_HANDLE, messages);
        std::optional<ImportPatch> patch;
        if (trouble == kDiskFull)
            patch.emplace("kernel32.dll", "WriteFile", reinterpret_cast<void*>(FillingWriteFile));
        if (trouble == kNoImaging)
            patch.emplace("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoImagingComponent));
        // The 50 x 35 picture takes 5320 bytes; the chunks of its PNG take more than 20000.
        FailAllocationsOfAtLeast(trouble == kMemoryReading ? 5000 : trouble == kMemoryWriting ? 20000 : 0);
        const int code = RunConverter(int(argv.size()), argv.data(), folder_.c_str());
        FailAllocationsOfAtLeast(0);
        patch.reset();
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        SetStdHandle(STD_ERROR_HANDLE, err);
        CloseHandle(closed);
        CloseHandle(messages);
        std::ifstream file(std::filesystem::path(log), std::ios::binary);
        return {code, std::string((std::istreambuf_iterator<char>(file)), {})};
    }

    std::set<std::wstring> Files() const
    {
        std::set<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.insert(entry.path().filename().wstring());
        return names;
    }

    // A path in the folder in the ANSI code page, as the messages give it.
    std::string At(const std::wstring& name) const { return std::filesystem::path(folder_ + name).string(); }
};

TEST_F(Converter, EachFailureGivesItsExitCodeAndOneMessageAndLeavesNoFileBehind)
{
    const std::wstring at = folder_, in = at + L"in.png", out = at + L"out.png";
    WriteFile("notes.txt", "not a picture");
    WriteFile("exists.png", "kept");
    const std::string png = ReadFile(L"in.png");
    WriteFile("cut.png", png.substr(0, png.size() / 2));
    WriteFile("held.png", "");
    // A BMP whose header says a width of -5 and a height of INT_MIN.
    WriteFile("impossible.bmp", std::string("BM\x42\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xFB\xFF\xFF\xFF\0\0\0\x80\x01\0\x18\0", 30) +
                                    std::string(36, '\0'));
    HANDLE held = CreateFileW((at + L"held.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CreateDirectoryW((at + L"folder").c_str(), nullptr);
    const std::set<std::wstring> before = Files();
    const std::string help = "Run prismolenteer-cli --help for the usage.\n";

    const struct { std::vector<std::wstring> args; int code; std::string message; Trouble trouble; } rows[] = {
        {{}, 1, "nothing to do", kNone},
        {{L"--filter"}, 1, "--filter needs a filter name", kNone},
        {{L"--filter", L"scratch", in}, 1, "give an input file and an output file", kNone},
        {{L"--list", L"--sheet", in, out}, 1, "give only one of", kNone},
        {{L"--sheet", L"-x", in, out}, 1, "unknown option -x", kNone},
        {{L"--filter", L"nosuch", in, out}, 1, "unknown filter nosuch", kNone},
        {{L"--filter", L"scr\u0101tch", in, out}, 1, "unknown filter scr?tch", kNone},  // no look-alike
        {{L"--sheet", L"--filters", L"scratch, nosuch ", in, out}, 1, "unknown filter nosuch", kNone},
        {{L"--filters", L"scratch", L"--filter", L"scratch", in, out}, 1, "--filters goes with --sheet", kNone},
        {{L"--filter", L"_normal", L"--filter", L"scratch", in, out}, 1, "given more than once: --filter", kNone},
        {{L"--sheet", L"--filters", L"nosuch", L"--filters", L"scratch", in, out}, 1, "given more than once: --filters", kNone},
        {{L"--force", L"--sheet", L"--force", in, out}, 1, "given more than once: --force", kNone},
        {{L"--sheet", L"--filters", L"scratch, ", in, out}, 1, "--filters has an empty name in scratch, ", kNone},
        {{L"--sheet", L"--filters", L"", in, out}, 1, "--filters needs filter names", kNone},
        {{L"--filter", L"scratch", L"--", in, out, L"--force"}, 1, "more than two files given", kNone},
        {{L"--filter", L"scratch", at + L"missing.png", out}, 2, At(L"missing.png") + " does not exist.", kNone},
        {{L"--filter", L"scratch", at + L"held.png", out}, 2, At(L"held.png") + " cannot be read: ", kNone},
        {{L"--filter", L"scratch", at + L"cut.png", out}, 2, At(L"cut.png") + " is damaged or incomplete.", kNone},
        {{L"--filter", L"scratch", at + L"impossible.bmp", out}, 2, At(L"impossible.bmp") + " is damaged or incomplete.", kNone},
        {{L"--filter", L"scratch", at + L"notes.txt", out}, 2, At(L"notes.txt") + " is not a PNG, BMP or JPEG picture.", kNone},
        {{L"--filter", L"scratch", in, at + L"exists.png"}, 2, At(L"exists.png") + " already exists. Add --force to replace it.", kNone},
        {{L"--filter", L"scratch", in, at + L"none\\out.png"}, 2, At(L"none\\out.png") + " cannot be written: ", kNone},
        {{L"--force", L"--sheet", in, at + L"folder"}, 2, At(L"folder") + " is a folder. Give the name of the file", kNone},
        {{L"--filter", L"scratch", in, at + L"folder\\"}, 2, At(L"folder\\") + " is a folder. Give the name of the file", kNone},
        {{L"--force", L"--filter", L"scratch", in, L"NUL"}, 2, "NUL is a device, not a file.", kNone},
        {{L"--filter", L"scratch", in, out}, 2, At(L"in.png") + ": the picture is too large for the memory available.", kMemoryReading},
        {{L"--filter", L"scratch", in, out}, 2, At(L"out.png") + ": the picture is too large for the memory available.", kMemoryWriting},
        {{L"--sheet", in, out}, 2, At(L"out.png") + ": the picture is too large for the memory available.", kMemoryWriting},
        {{L"--sheet", in, out}, 2, At(L"out.png") + " cannot be written: ", kDiskFull},
        {{L"--filter", L"scratch", in, out}, 2, "Pictures cannot be read or saved: the Windows Imaging Component", kNoImaging},
        {{L"--list"}, 2, "what it prints could not be written.", kOutputClosed},
        {{L"--help"}, 2, "what it prints could not be written.", kOutputClosed},
    };
    for (const auto& row : rows) {
        const auto [code, text] = Run(row.args, row.trouble);
        EXPECT_EQ(code, row.code) << row.message;
        EXPECT_EQ(text.rfind("prismolenteer-cli: " + row.message, 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), row.code == 1 ? 2 : 1) << "one message, and the hint";
        EXPECT_EQ(row.code == 1, text.size() >= help.size() && text.substr(text.size() - help.size()) == help) << text;
        EXPECT_EQ(Files(), before) << row.message;
    }
    CloseHandle(held);
    EXPECT_EQ(ReadFile(L"exists.png"), "kept");
}

TEST_F(Converter, NamesAreUnicodeSoNoLookAlikeIsReadOrWritten)
{
    // "A" and "A with macron", which the ANSI code page would map to "A" alike; "\" and the
    // full-width backslash likewise; and a name the code page cannot hold at all.
    const TestPicture grey{50, 35, std::vector<DWORD>(50 * 35, 0x808080), {}, {}};
    WritePicture(folder_ + L"A.png", GUID_ContainerFormatPng, grey);
    WritePicture(folder_ + L"\u0100.png", GUID_ContainerFormatPng, Blocks());
    WritePicture(folder_ + L"\u65E5\u672C.png", GUID_ContainerFormatPng, Blocks());
    WritePicture(folder_ + L"-dash.png", GUID_ContainerFormatPng, Blocks());
    const std::string greyPng = ReadFile(L"A.png");
    CreateDirectoryW((folder_ + L"sub").c_str(), nullptr);
    const struct { std::vector<std::wstring> args; const wchar_t* written; } rows[] = {
        {{L"--filter", L"_normal", L"--force", folder_ + L"\u0100.png", folder_ + L"res.png"}, L"res.png"},
        {{L"--filter", L"_normal", folder_ + L"\u65E5\u672C.png", folder_ + L"\u65E5\u672C out.png"}, L"\u65E5\u672C out.png"},
        {{L"--filter", L"_normal", L"--force", folder_ + L"in.png", folder_ + L"\u0100.png"}, L"\u0100.png"},
        {{L"--filter", L"_normal", folder_ + L"in.png", folder_ + L"sub\uFF3C..\uFF3C..\uFF3Cescaped.png"},
         L"sub\uFF3C..\uFF3C..\uFF3Cescaped.png"},
        {{L"--filter", L"_normal", L"--", folder_ + L"-dash.png", folder_ + L"-out.png"}, L"-out.png"},
    };
    for (const auto& row : rows) {
        const auto [code, text] = Run(row.args);
        EXPECT_EQ(code, 0) << text;
        EXPECT_EQ(Difference(ReadPicture(folder_ + row.written), Blocks()), "")
            << std::filesystem::path(row.written).string();
    }
    EXPECT_EQ(ReadFile(L"A.png"), greyPng) << "the look-alike was written";
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder_).parent_path().parent_path() / "escaped.png"));
}

TEST_F(Converter, WritesEachKindOfPictureUprightInSrgbThroughItsFilterAsTheLiteralRuleHasIt)
{
    WritePicture(folder_ + L"in.bmp", GUID_ContainerFormatBmp, Blocks());
    WritePicture(folder_ + L"in.jpg", GUID_ContainerFormatJpeg, Blocks());
    WriteFile(L"turned.jpg", WithOrientation6(ReadFile(L"in.jpg")));
    // Light at levels 64 and 128 in a linear file is sRGB's 137 and 188.
    const TestPicture levels{2, 1, {0x404040, 0x808080}, {}, {}};
    WritePicture(folder_ + L"linear.png", GUID_ContainerFormatPng, levels);
    WriteFile(L"linear.png", WithChunk(ReadFile(L"linear.png"), "gAMA", Big32(100000)));
    WriteFile(L"profiled.png", WithChunk(ReadFile(L"in.png"), "iCCP", std::string("Display P3\0\0x", 13)));
    const struct { const wchar_t* in; const char* filter; TestPicture want; std::string warning; } rows[] = {
        {L"in.png", "scratch", Blocks(), ""},
        {L"in.bmp", "_HUE_GBR", Blocks(), ""},
        {L"in.jpg", "_hue_gbr", Blocks(), ""},
        {L"turned.jpg", "_normal", TurnedClockwise(ReadPicture(folder_ + L"in.jpg")), ""},
        {L"linear.png", "_normal", {2, 1, {0x898989, 0xBCBCBC}, {}, {}}, ""},
        {L"profiled.png", "_normal", Blocks(), "prismolenteer-cli: warning: " + At(L"profiled.png") +
             " declares an ICC colour profile other than sRGB's, which the program does not convert: its colours "
             "are taken as sRGB.\n"},
    };
    for (const auto& row : rows) {
        const auto [code, text] = Run({L"--filter", Wide(row.filter), L"--force", folder_ + row.in, folder_ + L"out.png"});
        ASSERT_EQ(code, 0) << text;
        EXPECT_EQ(text, row.warning);
        const FilterRecord& filter = *FindFilterByName(row.filter);
        const TestPicture got = ReadPicture(folder_ + L"out.png");
        EXPECT_EQ(Difference(got, LiterallyFiltered(filter, row.want)), "") << std::filesystem::path(row.in).string();
        EXPECT_EQ(got.texts, (std::map<std::string, std::string>{{"Filter", filter.name},
            {"Filter display name", filter.displayName}, {"Software", "Prismolenteer " + std::string(ProgramVersion())}}));
        EXPECT_EQ(got.chunks.substr(0, 15), "IHDR sRGB gAMA ") << "the output says it is sRGB";
    }
    EXPECT_NE(Run({L"--list"}).second.find("\nscratch" + std::string(14, ' ') + "Scratch & co\n"), std::string::npos);
    EXPECT_EQ(Run({L"--version"}).second, "prismolenteer-cli (Prismolenteer) " + std::string(ProgramVersion()) + "\n");
}

// The mean of each factor x factor block, rounded, the blocks at the edges cut short.
TestPicture Shrunk(const TestPicture& picture, UINT factor)
{
    TestPicture shrunk{(picture.width + factor - 1) / factor, (picture.height + factor - 1) / factor, {}, {}, {}};
    for (UINT ty = 0; ty < shrunk.height; ++ty)
        for (UINT tx = 0; tx < shrunk.width; ++tx) {
            DWORD sum[3] = {}, count = 0, pixel = 0;
            for (UINT y = ty * factor; y < std::min(picture.height, (ty + 1) * factor); ++y)
                for (UINT x = tx * factor; x < std::min(picture.width, (tx + 1) * factor); ++x, ++count)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += picture.Pixel(x, y) >> (8 * c) & 0xFF;
            for (int c = 0; c < 3; ++c)
                pixel |= (sum[c] + count / 2) / count << (8 * c);
            shrunk.pixels.push_back(pixel);
        }
    return shrunk;
}

// Each tile of `sheet` against the literal rule, shrunk as `layout` says; white wherever no
// tile or label is; and the columns from the first to the last dark pixel of each label.
std::vector<int> CheckSheet(const TestPicture& sheet, const TestPicture& picture, const SheetLayout& layout,
                            const std::vector<const FilterRecord*>& tiles)
{
    TestPicture outside = sheet;
    std::vector<int> inkWidths;
    for (size_t i = 0; i < tiles.size(); ++i) {
        const SheetRect place = SheetTilePicture(layout, int(i)), label = SheetTileLabel(layout, int(i));
        TestPicture tile{UINT(place.width), UINT(place.height), {}, {}, {}};
        for (int y = place.y; y < place.y + place.height; ++y)
            for (int x = place.x; x < place.x + place.width; ++x) {
                tile.pixels.push_back(sheet.Pixel(x, y));
                outside.pixels[size_t(y) * sheet.width + x] = 0xFFFFFF;
            }
        int left = label.x + label.width, right = label.x - 1;
        for (int y = label.y; y < label.y + label.height; ++y)
            for (int x = label.x; x < label.x + label.width; ++x) {
                if ((sheet.Pixel(x, y) & 0x808080) == 0)
                    left = std::min(left, x), right = std::max(right, x);
                outside.pixels[size_t(y) * sheet.width + x] = 0xFFFFFF;
            }
        EXPECT_EQ(Difference(tile, Shrunk(LiterallyFiltered(*tiles[i], picture), UINT(layout.factor))), "") << "tile " << i;
        inkWidths.push_back(right - left + 1);
    }
    EXPECT_EQ(std::count(outside.pixels.begin(), outside.pixels.end(), 0xFFFFFF), long(outside.pixels.size()));
    return inkWidths;
}

TEST_F(Converter, ASheetHoldsEachTileShrunkAndAWholeLabelWhereTheLayoutSays)
{
    // 4099 pixels are too wide for a tile of a 4096 sheet: every tile is halved, and the
    // blocks of the last column and row are cut short.
    TestPicture wide{4099, 31, {}, {}, {}};
    for (UINT i = 0; i < wide.width * wide.height; ++i)
        wide.pixels.push_back((i * 37 & 0xFF) | (i * 101 % 251) << 8 | (i / 7 & 0xFF) << 16);
    WritePicture(folder_ + L"wide.png", GUID_ContainerFormatPng, wide);
    WritePicture(folder_ + L"dot.png", GUID_ContainerFormatPng, {1, 1, {0x336699}, {}, {}});
    WritePicture(folder_ + L"small.png", GUID_ContainerFormatPng, Blocks(37, 20));
    ASSERT_EQ(Run({L"--sheet", L"--filters", L" _hue_gbr,scratch,_HUE_GBR,_normal", folder_ + L"wide.png", folder_ + L"sheet.png"}).first, 0);

    const std::vector<const FilterRecord*> tiles = {FindFilterByName("_normal"), FindFilterByName("_hue_gbr"),
                                                    FindFilterByName("scratch")};
    const int labels = SheetLabelWidth(&tiles[1], 2);
    const SheetLayout layout = LayOutSheet(ComparisonSheetRequest(3, 4099, 31, labels));
    const TestPicture sheet = ReadPicture(folder_ + L"sheet.png");
    ASSERT_EQ(std::make_tuple(sheet.width, sheet.height, layout.factor), std::make_tuple(UINT(layout.width), UINT(layout.height), 2));
    EXPECT_EQ(sheet.texts.at("Filters"), "_normal,_hue_gbr,scratch");
    const std::vector<int> wholeLabels = CheckSheet(sheet, wide, layout, tiles);
    for (size_t i = 0; i < tiles.size(); ++i)
        EXPECT_GT(wholeLabels[i], 20) << "no label under tile " << i;

    // Tiles of one pixel and of 37 carry the same whole labels, in cells as wide as they need.
    for (const auto& [file, picture] : {std::pair(L"dot.png", TestPicture{1, 1, {0x336699}, {}, {}}),
                                        std::pair(L"small.png", Blocks(37, 20))}) {
        ASSERT_EQ(Run({L"--sheet", L"--force", L"--filters", L"_hue_gbr,scratch", folder_ + file, folder_ + L"sheet.png"}).first, 0);
        const SheetLayout small = LayOutSheet(ComparisonSheetRequest(3, int(picture.width), int(picture.height), labels));
        EXPECT_EQ(CheckSheet(ReadPicture(folder_ + L"sheet.png"), picture, small, tiles), wholeLabels)
            << std::filesystem::path(file).string();
        EXPECT_GE(small.cellWidth, *std::max_element(wholeLabels.begin(), wholeLabels.end()));
    }

    // Without --filters: the filters the user enabled, read and never written.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "EnableFilters", REG_SZ, "scratch,_normal", 16);
    ASSERT_EQ(Run({L"--sheet", folder_ + L"in.png", folder_ + L"default.png"}).first, 0);
    EXPECT_EQ(ReadPicture(folder_ + L"default.png").texts.at("Filters"), "_normal,scratch");
    for (const char* value : {"Position", "NoSplash", "EnableHotkeyAction"})
        EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, value, RRF_RT_ANY, nullptr, nullptr, nullptr), 0)
            << "the converter wrote " << value;
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
