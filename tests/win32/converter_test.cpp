// The command-line converter inside the test process: each bad command line and each file
// that cannot be read or written gives its exit code and one message and leaves no file
// behind; what it writes, decoded by the platform, is the literal rule's picture, and its
// sheets hold every tile and label where the layout puts them.

#include <memory>
#include <set>

#include "app/converter.h"
#include "preview/comparison_sheet.h"
#include "tests/support/scratch_filter_folder.h"
#include "tests/win32/in_process.h"
#include "tests/win32/pictures.h"

namespace {

HANDLE capturedError;  // the converter's standard error while it runs
const auto realWriteFile = reinterpret_cast<decltype(&WriteFile)>(
    reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "WriteFile")));

// A disk that fills up halfway through any file but the messages.
BOOL WINAPI FillingWriteFile(HANDLE file, const void* data, DWORD size, DWORD* written, OVERLAPPED* o)
{
    if (file == capturedError)
        return realWriteFile(file, data, size, written, o);
    realWriteFile(file, data, size / 2, written, o);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

HRESULT WINAPI NoSuchClass(REFCLSID, IUnknown*, DWORD, REFIID, void** object)
{
    *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}

// 16-pixel blocks of colours at multiples of 17, the middles of cube cells, so that the
// small errors of a JPEG stay in the cell; 50 pixels wide, so rows are padded.
Picture Blocks()
{
    Picture picture{50, 35, {}, {}};
    for (UINT y = 0; y < picture.height; ++y)
        for (UINT x = 0; x < picture.width; ++x) {
            const UINT bx = x / 16, by = y / 16;
            picture.pixels.push_back(17 * ((bx + 11 * by) % 16) | 17 * ((7 * bx + by) % 16) << 8 |
                                     17 * ((5 * bx + 3 * by) % 16) << 16);
        }
    return picture;
}

enum Trouble { kNone, kMemory, kDiskFull, kNoImaging };

class Converter : public ScratchFilterFolder {
protected:
    void SetUp() override
    {
        ScratchFilterFolder::SetUp();
        RemoveFiles();
        CreateDirectoryA(files_.c_str(), nullptr);
        WriteFile("scratch.plf", FilterText("name: Scratch & co\r\n"));
        WritePicture(files_ + "in.png", GUID_ContainerFormatPng, Blocks());
    }
    void TearDown() override
    {
        RemoveFiles();
        ScratchFilterFolder::TearDown();
    }

    struct Outcome {
        int code;
        std::string out, err;
    };

    Outcome Run(std::vector<std::string> args, Trouble trouble = kNone)
    {
        ClearFilters();
        args.insert(args.begin(), "prismolenteer-cli");
        std::vector<char*> argv;
        for (std::string& arg : args)
            argv.push_back(arg.data());
        HANDLE out = Scratch("out.txt"), err = capturedError = Scratch("err.txt");
        HANDLE oldOut = GetStdHandle(STD_OUTPUT_HANDLE), oldErr = GetStdHandle(STD_ERROR_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        SetStdHandle(STD_ERROR_HANDLE, err);
        std::unique_ptr<ImportPatch> patch;
        if (trouble == kDiskFull)
            patch.reset(new ImportPatch("kernel32.dll", "WriteFile", reinterpret_cast<void*>(FillingWriteFile)));
        if (trouble == kNoImaging)
            patch.reset(new ImportPatch("ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(NoSuchClass)));
        FailAllocationsOfAtLeast(trouble == kMemory ? 5000 : 0);  // the 50 x 35 frame takes 5320
        const int code = RunConverter(int(argv.size()), argv.data());
        FailAllocationsOfAtLeast(0);
        patch.reset();
        SetStdHandle(STD_OUTPUT_HANDLE, oldOut);
        SetStdHandle(STD_ERROR_HANDLE, oldErr);
        return {code, ReadBack(out), ReadBack(err)};
    }

    std::set<std::string> Files() const
    {
        std::set<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((files_ + "*").c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if (found.cFileName[0] != '.')
                names.insert(found.cFileName);
        FindClose(search);
        return names;
    }

    const std::string files_ = std::string(GetExeDirectory()) + "keep\\";

private:
    // A file beside the test program that goes away when it is closed.
    static HANDLE Scratch(const char* name)
    {
        return CreateFileA((GetExeDirectory() + std::string(name)).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    static std::string ReadBack(HANDLE file)
    {
        std::string text(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        ReadFile(file, text.data(), DWORD(text.size()), &read, nullptr);
        CloseHandle(file);
        return text;
    }
    void RemoveFiles() const
    {
        const std::string path = files_.substr(0, files_.size() - 1) + '\0';
        SHFILEOPSTRUCTA remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = path.c_str();
        remove.fFlags = FOF_NO_UI;
        SHFileOperationA(&remove);
    }
};

TEST_F(Converter, EachFailureGivesItsExitCodeAndOneMessageAndLeavesNoFileBehind)
{
    const std::string in = files_ + "in.png", out = files_ + "out.png", at = files_;
    std::ofstream(at + "notes.txt") << "not a picture";
    std::ofstream(at + "exists.png") << "kept";
    std::ifstream whole(in, std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(whole)), {});
    std::ofstream(at + "cut.png", std::ios::binary) << png.substr(0, png.size() / 2);
    CopyFileA(in.c_str(), (at + "held.png").c_str(), FALSE);
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
        {{"--filter", "scratch", in, out}, 2, "Pictures cannot be read or saved: the Windows Imaging Component is missing", kNoImaging},
    };
    for (const auto& row : rows) {
        const Outcome outcome = Run(row.args, row.trouble);
        EXPECT_EQ(outcome.code, row.code) << row.message;
        EXPECT_EQ(outcome.err.rfind("prismolenteer-cli: " + row.message, 0), 0u) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), row.code == 1 ? 2 : 1)
            << outcome.err;
        EXPECT_EQ(Files(), before) << row.message;
    }
    CloseHandle(held);
    std::ifstream kept(at + "exists.png");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), {}), "kept");
}

TEST_F(Converter, WritesEachKindOfPictureThroughItsFilterAsTheLiteralRuleHasIt)
{
    WritePicture(files_ + "in.bmp", GUID_ContainerFormatBmp, Blocks());
    WritePicture(files_ + "in.jpg", GUID_ContainerFormatJpeg, Blocks());
    const std::string out = files_ + "out.png";
    const struct { const char* in; const char* filter; } rows[] = {
        {"in.png", "scratch"}, {"in.bmp", "_HUE_GBR"}, {"in.jpg", "_hue_gbr"},
    };
    for (const auto& row : rows) {  // each run but the first replaces the last one's file
        std::vector<std::string> args = {"--filter", row.filter, files_ + row.in, out};
        if (row.filter != rows[0].filter)
            args.insert(args.begin(), "--force");
        const Outcome outcome = Run(args);
        ASSERT_EQ(outcome.code, 0) << outcome.err;
        const FilterRecord& filter = *FindFilterByName(row.filter);
        const Picture got = ReadPicture(out);
        EXPECT_EQ(Difference(got, LiterallyFiltered(filter, Blocks())), "") << row.in;
        EXPECT_EQ(got.texts.at("Filter"), filter.name);
        EXPECT_EQ(got.texts.at("Filter display name"), filter.displayName);
        EXPECT_EQ(got.texts.at("Software").rfind("Prismolenteer 0.", 0), 0u);
        EXPECT_EQ(got.texts.count("crc"), 0u);
    }
    EXPECT_EQ(Files(), (std::set<std::string>{"in.bmp", "in.jpg", "in.png", "out.png"}));

    const std::string list = Run({"--list"}).out;
    EXPECT_NE(list.find("\nscratch" + std::string(14, ' ') + "Scratch & co\n"), std::string::npos) << list;
    EXPECT_EQ(Run({"--version"}).out.rfind("prismolenteer-cli (Prismolenteer) 0.", 0), 0u);
    EXPECT_EQ(Run({"--help", "--frobnicate"}).out.rfind("Usage:", 0), 0u);
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
    // 4099 pixels are too wide for one tile of a 4096 sheet: every tile is halved, and the
    // last column and row of blocks are cut short.
    Picture wide{4099, 31, {}, {}};
    for (UINT i = 0; i < wide.width * wide.height; ++i)
        wide.pixels.push_back((i * 37 & 0xFF) | (i * 101 % 251) << 8 | (i / 7 & 0xFF) << 16);
    WritePicture(files_ + "wide.png", GUID_ContainerFormatPng, wide);
    const Outcome outcome =
        Run({"--sheet", "--filters", " _hue_gbr,scratch,_HUE_GBR,_normal", files_ + "wide.png", files_ + "sheet.png"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;

    const FilterRecord* tiles[] = {FindFilterByName("_normal"), FindFilterByName("_hue_gbr"), FindFilterByName("scratch")};
    const SheetLayout layout = LayOutSheet(ComparisonSheetRequest(3, 4099, 31));
    ASSERT_EQ(layout.factor, 2);
    const Picture sheet = ReadPicture(files_ + "sheet.png");
    ASSERT_EQ(std::make_pair(sheet.width, sheet.height), std::make_pair(UINT(layout.width), UINT(layout.height)));
    EXPECT_EQ(sheet.texts.at("Filters"), "_normal,_hue_gbr,scratch");
    std::vector<int> owner(sheet.pixels.size(), -1);  // which tile's picture or label a pixel is in
    for (int i = 0; i < 3; ++i) {
        const SheetRect place = SheetTilePicture(layout, i), label = SheetTileLabel(layout, i);
        Picture tile{UINT(place.width), UINT(place.height), {}, {}};
        for (int y = place.y; y < place.y + place.height + label.height; ++y)
            for (int x = place.x; x < place.x + place.width; ++x) {
                owner[size_t(y) * sheet.width + x] = i;
                if (y < place.y + place.height)
                    tile.pixels.push_back(sheet.Pixel(x, y));
            }
        EXPECT_EQ(Difference(tile, Shrunk(LiterallyFiltered(*tiles[i], wide), 2)), "") << "tile " << i;
        int dark = 0;
        for (int y = label.y; y < label.y + label.height; ++y)
            for (int x = label.x; x < label.x + label.width; ++x)
                dark += (sheet.Pixel(x, y) & 0x808080) == 0;
        EXPECT_GT(dark, 20) << "no label under tile " << i;
    }
    for (size_t i = 0; i < owner.size(); ++i)
        ASSERT_TRUE(owner[i] >= 0 || sheet.pixels[i] == 0xFFFFFF)
            << "not white: " << i % sheet.width << "," << i / sheet.width;

    // Without --filters: the filters the user enabled, read and never written.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "EnableFilters", REG_SZ, "scratch,_normal", 16);
    ASSERT_EQ(Run({"--sheet", files_ + "in.png", files_ + "default.png"}).code, 0);
    EXPECT_EQ(ReadPicture(files_ + "default.png").texts.at("Filters"), "_normal,scratch");
    DWORD values = 0;
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key);
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, 1u) << "the converter wrote settings";
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
