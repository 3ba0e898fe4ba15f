// Reading filter files through LoadFilterFile, which opens them in text mode: also built for
// Windows, where msvcrt turns the files' CRLF line ends into LF beneath the reader.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "filter/filter_file.h"
#include "tests/support/filter_fixture.h"

const std::string kHeader = "[Prismolenteer filter]\r\n";

// Colour lines for the control indices from `first` on: index i is MakeColorRef(i, 255 - i, 7i).
static std::string Colors(int count, int first = 0)
{
    std::string lines;
    for (int i = first; i < first + count; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "#%02X%02X%02X\r\n", i, 255 - i, 7 * i & 0xFF);
        lines += line;
    }
    return lines;
}

// A folder per test case, as ctest runs them side by side. On Linux the backslash before a
// file name is part of the name, in the folder above; the program separates at nothing else.
class FilterFile : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        ResetToBuiltins();
        std::filesystem::create_directory(folder_);
    }
    ~FilterFile() override { std::filesystem::remove(folder_); }

    // Loads `content` as the file `fileName` for a user of `locale`; the last filter.
    const FilterRecord* Load(const std::string& fileName, const std::string& content,
                             int expectedResult = 1, uint32_t locale = 1033)
    {
        const std::string path = folder_ + "\\" + fileName;
        std::ofstream(path, std::ios::binary) << content;
        EXPECT_EQ(LoadFilterFile(path.c_str(), locale), expectedResult)
            << fileName << ":\n" << content.substr(0, 200);
        std::remove(path.c_str());
        return &filterTable.records[filterTable.count - 1];
    }

    const std::string folder_ = (std::filesystem::temp_directory_path() /
                                 testing::UnitTest::GetInstance()->current_test_info()->name())
                                    .string();
};

TEST_F(FilterFile, TheHeaderIsTheWholeFirstLineIgnoringCaseAndWhiteSpace)
{
    const struct { const char* line; int result; } cases[] = {
        {"[Prismolenteer filter]\n", 1},    {" \t[PRISMOLENTEER Filter]  \r\n", 1},
        {"\r\n[Prismolenteer filter]\r\n", 0}, {"\xEF\xBB\xBF[Prismolenteer filter]\n", 0},
        {"[Prismolenteer filter] 2\n", 0},   {"[Prismolenteer  filter]\n", 0},  {"", 0},
    };
    for (const auto& c : cases) {
        ResetToBuiltins();
        Load("gentle.plf", c.line + Colors(216), c.result);
        EXPECT_EQ(filterTable.count, 4 + c.result) << c.line;
    }
}

TEST_F(FilterFile, The216ColoursFillTheControlCubeInOrderAndEndTheFile)
{
    // Lines are read in pieces of 127 characters: these 200 give colour 0 ("#000000" padded to
    // 127) and colour 1 ("#FFFFFF" and 66 more).
    const std::string pieces = "#000000" + std::string(120, '0') + "#FFFFFF" + std::string(66, 'x');
    const FilterRecord* record = Load("long.plf", kHeader + pieces + "\r\n" + Colors(214, 2) +
                                                      "#FFFFFF\nname: Late\n");
    EXPECT_EQ(std::string(record->name) + "/" + record->displayName, "long/long");
    EXPECT_TRUE(record->controlCube[0] == 0x000000 && record->controlCube[1] == 0xFFFFFF);
    for (int i = 2; i < kControlCubeSize; ++i)
        ASSERT_EQ(record->controlCube[i], MakeColorRef(i, 255 - i, 7 * i)) << "index " << i;
    EXPECT_EQ(record->colorCube[kColorCubeSize - 1], record->controlCube[215]);  // expanded
}

TEST_F(FilterFile, AColourLineIsAHashAndSixHexDigits)
{
    const struct { const char* line; ColorRef color; } cases[] = {  // 1: not a colour
        {"#FF0000", 0x0000FF},     {"  #00ff00 green\t", 0x00FF00}, {"#aBcDeF: 1", 0xEFCDAB},
        {"#123456789", 0x563412},  {"#12345", 1}, {"# FF0000", 1},  {"#GG0000", 1},
        {"#12 456", 1},            {"x#FF0000", 1}, {"FF0000", 1},  {"", 1},
    };
    for (const auto& c : cases) {
        ResetToBuiltins();
        // The line, then 215 more colours: a filter only if the line counts.
        const FilterRecord* record =
            Load("c.plf", kHeader + c.line + "\r\n" + Colors(215, 1), c.color == 1 ? 0 : 1);
        EXPECT_TRUE(c.color == 1 || record->controlCube[0] == c.color)
            << c.line << " gives " << std::hex << record->controlCube[0];
    }
}

// The locales are Western ones, whose names also read as written under Wine's English locale.
TEST_F(FilterFile, TheLocalizedNameWinsWhereverItStandsTheRegionsOverItsLanguagesAndTheLastOfAKindWins)
{
    const struct { const char* lines; uint32_t locale; const char* name; } cases[] = {
        {"", 1031, "soft"},  {"name: First\r\nname: Second\n", 1033, "Second"},
        {"name: English\nname(1031): German\n", 1031, "German"},
        {"name(1031): One\nname(1031): Two\nname: English\n", 1031, "Two"},
        {"name: English\nname(1033): American\n", 1031, "English"},
        {"NAME(1033): American\nname: English\n", 1033, "American"},
        {"name: Kept\nname:\nname:   \nname(1031):\n", 1031, "Kept"},
        {"  name \t:  Soft tones  \r\n", 1033, "Soft tones"},  {"name: a:b: c\n", 1033, "a:b: c"},
        {"title: Other\nname (1031): Spaced\n1name: Digit\n:name: Colon\nname x\n", 1031, "soft"},
        // German (Austria) reads German (Germany) where it has no line of its own; other
        // regions of the language, and the language's default region's sort variants, not.
        {"name: English\nname(1031): German\n", 3079, "German"},
        {"name(3079): Austrian\nname(1031): German\nname: English\n", 3079, "Austrian"},
        {"name: English\nname(2055): Swiss\nname(66567): Phone book\n", 3079, "English"},
        {"name(1031): German\n", 66567, "German"},  // German, phone-book sort
        {"name: English\nname(1034): Spanish\n", 11274, "Spanish"},  // Spanish (Argentina)
    };
    for (const auto& c : cases) {
        ResetToBuiltins();
        EXPECT_STREQ(Load("soft.plf", kHeader + c.lines + Colors(216), 1, c.locale)->displayName,
                     c.name) << c.lines << "for locale " << c.locale;
    }
}

TEST_F(FilterFile, BuiltinNamesOnlyRenameOtherUnderscoreNamesAreReservedAndLongPathsRefused)
{
    Load("_GrayScale.plf", kHeader);
    EXPECT_STREQ(filterTable.records[1].displayName, "_GrayScale");
    Load("_NORMAL.x.plf", kHeader + "name: Unfiltered\r\n" + Colors(216));
    EXPECT_STREQ(filterTable.records[0].displayName, "Unfiltered");
    EXPECT_EQ(filterTable.records[0].colorCube[kColorCubeSize - 1], 0xFFFFFFu);
    Load("_mine.plf", kHeader + Colors(216), 0);
    // A base name of 140 characters is handed on, its display name cut to fit, and refused.
    Load(std::string(140, 'b') + ".plf", kHeader + Colors(216));
    EXPECT_EQ(filterTable.count, 4);
    // A path of MAX_PATH characters or more is not opened.
    const std::string name(kMaxPath - 2 - folder_.size(), 'p');  // and the backslash: 259
    Load(name, kHeader + Colors(216));
    Load(name + "p", kHeader + Colors(216), 0);
    EXPECT_EQ(LoadFilterFile((folder_ + "\\missing.plf").c_str(), 1033), 0);
}

TEST(GetFileBaseName, IsTheFileNameUpToItsFirstDot)
{
    const struct { std::string path, baseName; } cases[] = {
        {"C:\\dotted.folder\\a.b.plf", "a"}, {"gentle", "gentle"}, {"C:\\filter\\.plf", ""},
        {"C:\\filter\\", ""},  {"C:/forward/slash.plf", "C:/forward/slash"},
        {"C:\\" + std::string(400, 'L') + ".plf", std::string(kMaxPath - 1, 'L')},  // cut
    };
    for (const auto& c : cases) {
        char baseName[kMaxPath];
        GetFileBaseName(c.path.c_str(), baseName);
        EXPECT_EQ(baseName, c.baseName) << "path \"" << c.path << "\"";
    }
}
