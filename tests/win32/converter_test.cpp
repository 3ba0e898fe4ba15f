// The command-line converter inside the test process: each bad command line and each file
// that cannot be read or written gives its exit code and one message and leaves no file
// behind; what it writes, decoded by the platform, is the literal rule's picture, and a
// sheet holds every tile and label where the layout puts them.

#include <filesystem>
#include <optional>
#include <set>

#include "app/comparison_sheet.h"
#include "app/converter.h"
#include "tests/support/scratch_filter_folder.h"
#include "tests/win32/in_process.h"
#include "tests/win32/pictures.h"

namespace {

HANDLE messages;  // the converter's standard output and error while it runs
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
Picture Blocks()
{
    Picture picture{50, 35, {}, {}};
    for (UINT i = 0; i < 50 * 35; ++i) {
        const UINT block = i % 50 / 16 + i / 50 / 16 * 4;
        picture.pixels.push_back(17 * (block * 11 % 16) | 17 * (block * 7 % 16) << 8 | 17 * (block * 5 % 16) << 16);
    }
    return picture;
}

enum Trouble { kNone, kMemory, kDiskFull, kNoImaging };

// The pictures live in the scratch filter folder, where the scan reads only *.plf.
class Converter : public ScratchFilterFolder {
protected:
    void SetUp() override
    {
        ScratchFilterFolder::SetUp();
        WriteFile("scratch.plf", FilterText("name: Scratch & co\r\n"));
        WritePicture(folder_ + "in.png", GUID_ContainerFormatPng, Blocks());
    }

    // The exit code of a command line, and what it wrote to either standard handle.
    std::pair<int, std::string> Run(std::vector<std::string> args, Trouble trouble = kNone)
    {
        ClearFilters();
        args.insert(args.begin(), "prismolenteer-cli");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        const std::string log = GetExeDirectory() + std::string("converter.log");
        messages = CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, messages);
        SetStdHandle(STD_ERROR_HANDLE, messages);
        std::optional<ImportPatch> patch;
        if (trouble == kDiskFull)
            patch.emplace("kernel32.dll", "WriteFile", reinterpret_cast<void*>(FillingWriteFile));
        if (trouble == kNoImaging)
            patch.emplace("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoImagingComponent));
        FailAllocationsOfAtLeast(trouble == kMemory ? 5000 : 0);  // the 50 x 35 frame takes 5320
        const int code = RunConverter(int(argv.size()), argv.data(), folder_.c_str());
        FailAllocationsOfAtLeast(0);
        patch.reset();
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        SetStdHandle(STD_ERROR_HANDLE, err);
        CloseHandle(messages);
        std::ifstream file(log, std::ios::binary);
        return {code, std::string((std::istreambuf_iterator<char>(file)), {})};
    }

    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.insert(entry.path().filename().string());
        return names;
    }
};

TEST_F(Converter, EachFailureGivesItsExitCodeAndOneMessageAndLeavesNoFileBehind)
{
    const std::string at = folder_, in = at + "in.png", out = at + "out.png";
    WriteFile("notes.txt", "not a picture");
    WriteFile("exists.png", "kept");
    std::ifstream whole(in, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(whole)), {});
    WriteFile("cut.png", png.substr(0, png.size() / 2));
    WriteFile("held.png", "");
    HANDLE held = CreateFileA((at + "held.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CreateDirectoryA((at + "folder").c_str(), nullptr);
    const std::set<std::string> before = Files();

    const struct { std::vector<std::string> args; int code; std::string message; Trouble trouble; } rows[] = {
        {{}, 1, "nothing to do", kNone},
        {{"--filter"}, 1, "--filter needs a filter name", kNone},
        {{"--filter", "scratch", in}, 1, "give an input file and an output file", kNone},
        {{"--list", "--sheet", in, out}, 1, "give only one of", kNone},
        {{"--sheet", "-x", in, out}, 1, "unknown option -x", kNone},
        {{"--filter", "nosuch", in, out}, 1, "unknown filter nosuch", kNone},
        {{"--sheet", "--filters", "scratch, nosuch ", in, out}, 1, "unknown filter nosuch", kNone},
        {{"--filters", "scratch", "--filter", "scratch", in, out}, 1, "--filters goes with --sheet", kNone},
        {{"--filter", "scratch", at + "missing.png", out}, 2, at + "missing.png does not exist.", kNone},
        {{"--filter", "scratch", at + "held.png", out}, 2, at + "held.png cannot be read: ", kNone},
        {{"--filter", "scratch", at + "cut.png", out}, 2, at + "cut.png is damaged or incomplete.", kNone},
        {{"--filter", "scratch", at + "notes.txt", out}, 2, at + "notes.txt is not a PNG, BMP or JPEG picture.", kNone},
        {{"--filter", "scratch", in, at + "exists.png"}, 2, at + "exists.png already exists. Add --force to replace it.", kNone},
        {{"--filter", "scratch", in, at + "none\\out.png"}, 2, at + "none\\out.png cannot be written: ", kNone},
        {{"--force", "--sheet", in, at + "folder"}, 2, at + "folder cannot be written: ", kNone},
        {{"--filter", "scratch", in, out}, 2, in + ": the picture is too large for the memory available.", kMemory},
        {{"--sheet", in, out}, 2, out + " cannot be written: ", kDiskFull},
        {{"--filter", "scratch", in, out}, 2, "Pictures cannot be read or saved: the Windows Imaging Component", kNoImaging},
    };
    for (const auto& row : rows) {
        const auto [code, text] = Run(row.args, row.trouble);
        EXPECT_EQ(code, row.code) << row.message;
        EXPECT_EQ(text.rfind("prismolenteer-cli: " + row.message, 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), row.code == 1 ? 2 : 1) << "one message and the hint";
        EXPECT_EQ(Files(), before) << row.message;
    }
    CloseHandle(held);
    std::ifstream kept(at + "exists.png");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "kept");
}

TEST_F(Converter, WritesEachKindOfPictureThroughItsFilterAsTheLiteralRuleHasIt)
{
    WritePicture(folder_ + "in.bmp", GUID_ContainerFormatBmp, Blocks());
    WritePicture(folder_ + "in.jpg", GUID_ContainerFormatJpeg, Blocks());
    const struct { const char* in; const char* filter; } rows[] = {
        {"in.png", "scratch"}, {"in.bmp", "_HUE_GBR"}, {"in.jpg", "_hue_gbr"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args = {"--filter", row.filter, folder_ + row.in, folder_ + "out.png"};
        if (&row != rows)
            args.push_back("--force");  // out.png is there from the first run
        ASSERT_EQ(Run(args).first, 0) << row.in;
        const FilterRecord& filter = *FindFilterByName(row.filter);
        const Picture got = ReadPicture(folder_ + "out.png");
        EXPECT_EQ(Difference(got, LiterallyFiltered(filter, Blocks())), "") << row.in;
        EXPECT_EQ(got.texts, (std::map<std::string, std::string>{{"Filter", filter.name},
            {"Filter display name", filter.displayName}, {"Software", "Prismolenteer " + std::string(ProgramVersion())}}));
    }
    EXPECT_NE(Run({"--list"}).second.find("\nscratch" + std::string(14, ' ') + "Scratch & co\n"), std::string::npos);
    EXPECT_EQ(Run({"--version"}).second, "prismolenteer-cli (Prismolenteer) " + std::string(ProgramVersion()) + "\n");
}

// The mean of each factor x factor block, rounded, the blocks at the edges cut short.
Picture Shrunk(const Picture& picture, UINT factor)
{
    Picture shrunk{(picture.width + factor - 1) / factor, (picture.height + factor - 1) / factor, {}, {}};
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

TEST_F(Converter, ASheetHoldsEachTileShrunkAndLabelledWhereTheLayoutSays)
{
    // 4099 pixels are too wide for a tile of a 4096 sheet: every tile is halved, and the
    // blocks of the last column and row are cut short.
    Picture wide{4099, 31, {}, {}};
    for (UINT i = 0; i < wide.width * wide.height; ++i)
        wide.pixels.push_back((i * 37 & 0xFF) | (i * 101 % 251) << 8 | (i / 7 & 0xFF) << 16);
    WritePicture(folder_ + "wide.png", GUID_ContainerFormatPng, wide);
    ASSERT_EQ(Run({"--sheet", "--filters", " _hue_gbr,scratch,_HUE_GBR,_normal", folder_ + "wide.png", folder_ + "sheet.png"}).first, 0);

    const FilterRecord* tiles[] = {FindFilterByName("_normal"), FindFilterByName("_hue_gbr"), FindFilterByName("scratch")};
    const SheetLayout layout = LayOutSheet(ComparisonSheetRequest(3, 4099, 31));
    const Picture sheet = ReadPicture(folder_ + "sheet.png");
    ASSERT_EQ(std::make_tuple(sheet.width, sheet.height, layout.factor), std::make_tuple(UINT(layout.width), UINT(layout.height), 2));
    EXPECT_EQ(sheet.texts.at("Filters"), "_normal,_hue_gbr,scratch");
    Picture outside = sheet;  // what no tile or label covers, which must be white
    for (int i = 0; i < 3; ++i) {
        const SheetRect place = SheetTilePicture(layout, i), label = SheetTileLabel(layout, i);
        Picture tile{UINT(place.width), UINT(place.height), {}, {}};
        int dark = 0;
        for (int y = place.y; y < label.y + label.height; ++y)
            for (int x = place.x; x < place.x + place.width; ++x) {
                if (y < label.y)
                    tile.pixels.push_back(sheet.Pixel(x, y));
                else
                    dark += (sheet.Pixel(x, y) & 0x808080) == 0;
                outside.pixels[size_t(y) * sheet.width + x] = 0xFFFFFF;
            }
        EXPECT_EQ(Difference(tile, Shrunk(LiterallyFiltered(*tiles[i], wide), 2)), "") << "tile " << i;
        EXPECT_GT(dark, 20) << "no label under tile " << i;
    }
    EXPECT_EQ(std::count(outside.pixels.begin(), outside.pixels.end(), 0xFFFFFF), long(outside.pixels.size()));

    // Without --filters: the filters the user enabled, read and never written.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "EnableFilters", REG_SZ, "scratch,_normal", 16);
    ASSERT_EQ(Run({"--sheet", folder_ + "in.png", folder_ + "default.png"}).first, 0);
    EXPECT_EQ(ReadPicture(folder_ + "default.png").texts.at("Filters"), "_normal,scratch");
    for (const char* value : {"Position", "NoSplash", "EnableHotkeyAction"})
        EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, value, RRF_RT_ANY, nullptr, nullptr, nullptr), 0)
            << "the converter wrote " << value;
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
