// Reading filter files: the header rule, colour lines, name lines and their locale, the
// stop after the 216th colour, 127-character line pieces, built-in renaming, reserved
// names and base names. Files are real temporary files opened as the program opens them.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "filter/filter_file.h"
#include "filter/filter_table.h"
#include "tests/support/filter_fixture.h"

namespace {

const char kHeader[] = "[Prismolenteer filter]\n";

// A distinct colour for each control index, so that tests see which line went where.
ColorRef ColorForIndex(int i)
{
    return MakeColorRef(i, 255 - i, (7 * i) & 0xFF);
}

std::string ColorLine(ColorRef color)
{
    char line[16];
    std::snprintf(line, sizeof line, "#%02X%02X%02X\n", RedOf(color), GreenOf(color),
                  BlueOf(color));
    return line;
}

// `count` colour lines for the control indices from `first` on.
std::string Colors(int count, int first = 0)
{
    std::string lines;
    for (int i = first; i < first + count; ++i)
        lines += ColorLine(ColorForIndex(i));
    return lines;
}

class FilterFileTest : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        RegisterBuiltinFilters();
        // One file per test case: ctest runs the cases as separate processes side by side.
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = (std::filesystem::temp_directory_path() /
                 (std::string("pl_filter_file_test_") + test->name() + ".txt"))
                    .string();
    }
    void TearDown() override
    {
        std::remove(path_.c_str());
        EmptyFilterTable::TearDown();
    }

    // Reads `content` as the file C:\Filters\<fileName> for a user of `locale`.
    int Load(const std::string& fileName, const std::string& content, uint32_t locale = 1033)
    {
        std::FILE* out = std::fopen(path_.c_str(), "wb");
        EXPECT_NE(out, nullptr);
        std::fwrite(content.data(), 1, content.size(), out);
        std::fclose(out);
        std::FILE* in = std::fopen(path_.c_str(), "r");
        EXPECT_NE(in, nullptr);
        const int result = ReadFilterFile(in, ("C:\\Filters\\" + fileName).c_str(), locale);
        std::fclose(in);
        return result;
    }

    // The custom filter the last Load added, or null.
    const FilterRecord* Custom() const
    {
        return filterTable.count > 4 ? &filterTable.records[filterTable.count - 1] : nullptr;
    }

    std::string path_;
};

TEST_F(FilterFileTest, HeaderMustBeTheWholeFirstLineIgnoringCaseAndWhiteSpace)
{
    const struct {
        const char* firstLine;
        bool accepted;
    } cases[] = {
        {"[Prismolenteer filter]\n", true},
        {"[PRISMOLENTEER FILTER]\n", true},
        {" \t[prismolenteer Filter]  \r\n", true},
        {"[Prismolenteer filter]\r\n", true},
        {"\n[Prismolenteer filter]\n", false},
        {"\xEF\xBB\xBF[Prismolenteer filter]\n", false},
        {"[Prismolenteer filter] version 2\n", false},
        {"[Prismolenteer  filter]\n", false},
        {"; [Prismolenteer filter]\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EmptyFilterTable::ClearFilters();
        RegisterBuiltinFilters();
        const int result = Load("gentle.plf", c.firstLine + Colors(216));
        EXPECT_EQ(result != 0, c.accepted) << "first line \"" << c.firstLine << "\"";
        EXPECT_EQ(filterTable.count, c.accepted ? 5 : 4) << "first line \"" << c.firstLine << "\"";
    }
}

TEST_F(FilterFileTest, ExactlyTheFirst216ColoursFillTheControlCubeInOrder)
{
    EXPECT_EQ(Load("short.plf", kHeader + Colors(215)), 0);
    EXPECT_EQ(filterTable.count, 4);

    // Black at index 0 and white at 215 for a file that says so, whatever lies between.
    ASSERT_NE(Load("exact.plf", kHeader + std::string("#000000\n") + Colors(214, 1) +
                                    "#FFFFFF\n"),
              0);
    ASSERT_NE(Custom(), nullptr);
    EXPECT_EQ(Custom()->controlCube[0], 0x00000000u);
    EXPECT_EQ(Custom()->controlCube[215], 0x00FFFFFFu);
    EXPECT_EQ(Custom()->colorCube[4095], 0x00FFFFFFu);  // expanded too

    // Nothing after the 216th colour is read, not even a name line.
    ASSERT_NE(Load("long.plf", kHeader + Colors(216) + "#FFFFFF\nname: Too late\n"), 0);
    ASSERT_NE(Custom(), nullptr);
    EXPECT_STREQ(Custom()->name, "long");
    EXPECT_STREQ(Custom()->displayName, "long");
    for (int i = 0; i < kControlCubeSize; ++i)
        ASSERT_EQ(Custom()->controlCube[i], ColorForIndex(i)) << "index " << i;
}

TEST_F(FilterFileTest, ColourLinesAreAHashAndSixHexDigits)
{
    const ColorRef kIgnored = 0xFFFFFFFF;
    const struct {
        const char* line;
        ColorRef expected;
    } cases[] = {
        {"#FF0000", MakeColorRef(255, 0, 0)},
        {"#ff0000 red, as a word after it", MakeColorRef(255, 0, 0)},
        {"   #00FF00", MakeColorRef(0, 255, 0)},
        {"\t#0000fF\r", MakeColorRef(0, 0, 255)},
        {"#123456789", MakeColorRef(0x12, 0x34, 0x56)},
        {"#aBcDeF", MakeColorRef(0xAB, 0xCD, 0xEF)},
        {"#FF00", kIgnored},
        {"#12345", kIgnored},
        {"# FF0000", kIgnored},
        {"#GG0000", kIgnored},
        {"#12 456", kIgnored},
        {"x#FF0000", kIgnored},
        {"FF0000", kIgnored},
    };
    for (const auto& c : cases) {
        EmptyFilterTable::ClearFilters();
        RegisterBuiltinFilters();
        // The line under test, then 215 more colours: 216 only if the line counts.
        const int result = Load("c.plf", kHeader + std::string(c.line) + "\n" + Colors(215, 1));
        if (c.expected == kIgnored) {
            EXPECT_EQ(result, 0) << c.line;
            EXPECT_EQ(filterTable.count, 4) << c.line;
        } else {
            ASSERT_NE(Custom(), nullptr) << c.line;
            EXPECT_EQ(Custom()->controlCube[0], c.expected) << c.line;
            EXPECT_EQ(Custom()->controlCube[1], ColorForIndex(1)) << c.line;
        }
    }
}

TEST_F(FilterFileTest, LocalizedNameWinsWhereverItStandsAndTheLastOfAKindWins)
{
    const struct {
        const char* nameLines;
        uint32_t locale;
        const char* expected;
    } cases[] = {
        {"", 1041, "soft"},
        {"name: Gentle\n", 1041, "Gentle"},
        {"name: First\nname: Second\n", 1033, "Second"},
        {"name: English\nname(1041): Japanese\n", 1041, "Japanese"},
        {"name(1041): Japanese\nname: English\n", 1041, "Japanese"},
        {"name(1041): One\nname(1041): Two\nname: English\n", 1041, "Two"},
        {"name: English\nname(1033): American\n", 1041, "English"},
        {"name: English\nname(1033): American\n", 1033, "American"},
        {"NAME(1041): Japanese\n", 1041, "Japanese"},
        {"Name: Capital\n", 1031, "Capital"},
        {"name: Kept\nname:\nname:   \n", 1033, "Kept"},
        {"name(1041):\nname: Plain\n", 1041, "Plain"},  // an empty localized value sets nothing
        {"  name \t:  Soft tones  \n", 1033, "Soft tones"},
        {"name: a:b: c\n", 1033, "a:b: c"},
        {"title: Other key\n", 1033, "soft"},
        {"name (1041): Spaced key\n", 1041, "soft"},
        {"1name: Digit first\n", 1033, "soft"},
        {":name: Colon first\n", 1033, "soft"},
        {"name Without colon\n", 1033, "soft"},
    };
    for (const auto& c : cases) {
        EmptyFilterTable::ClearFilters();
        RegisterBuiltinFilters();
        ASSERT_NE(Load("soft.plf", kHeader + std::string(c.nameLines) + Colors(216), c.locale), 0)
            << c.nameLines;
        ASSERT_NE(Custom(), nullptr) << c.nameLines;
        EXPECT_STREQ(Custom()->displayName, c.expected)
            << "lines \"" << c.nameLines << "\", locale " << c.locale;
    }
}

TEST_F(FilterFileTest, LongLinesAreExaminedIn127CharacterPieces)
{
    // 200 characters: "#000000" padded to 127, then "#FFFFFF" and 66 more. Each piece is
    // a colour line of its own.
    const std::string line = "#000000" + std::string(120, '0') + "#FFFFFF" + std::string(66, 'x');
    ASSERT_EQ(line.size(), 200u);
    ASSERT_NE(Load("pieces.plf", kHeader + line + "\n" + Colors(214, 2)), 0);
    ASSERT_NE(Custom(), nullptr);
    EXPECT_EQ(Custom()->controlCube[0], 0x00000000u);
    EXPECT_EQ(Custom()->controlCube[1], 0x00FFFFFFu);
    EXPECT_EQ(Custom()->controlCube[2], ColorForIndex(2));

    // The second piece of a long name line is examined on its own, here as a name line.
    ClearFilters();
    RegisterBuiltinFilters();
    const std::string longName = "name: " + std::string(121, 'n') + "name: Tail";
    ASSERT_NE(Load("tail.plf", kHeader + longName + "\n" + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 5);
    EXPECT_STREQ(Custom()->displayName, "Tail");
}

TEST_F(FilterFileTest, FilesNamedAfterBuiltinsRenameThemAndUnderscoreNamesAreReserved)
{
    // Only the header: the built-in keeps its colours and shows the file's base name.
    EXPECT_NE(Load("_GrayScale.plf", kHeader), 0);
    EXPECT_EQ(filterTable.count, 4);
    EXPECT_STREQ(filterTable.records[1].name, "_grayscale");
    EXPECT_STREQ(filterTable.records[1].displayName, "_GrayScale");

    // Colour lines in a built-in's file are not used.
    EXPECT_NE(Load("_NORMAL.plf", kHeader + std::string("name: Unfiltered\n") + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 4);
    EXPECT_STREQ(filterTable.records[0].displayName, "Unfiltered");
    EXPECT_EQ(filterTable.records[0].kind, FilterKind::Identity);
    EXPECT_EQ(filterTable.records[0].controlCube[ControlCubeIndex(1, 2, 3)], 0x00996633u);

    // A display name of 40 characters leaves the built-in as it was.
    EXPECT_NE(Load("_hue_gbr.plf", kHeader + ("name: " + std::string(40, 'x') + "\n")), 0);
    EXPECT_STREQ(filterTable.records[2].displayName, "hue(RGB=>GBR)");

    // Other names beginning with an underscore define nothing.
    EXPECT_EQ(Load("_mine.plf", kHeader + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 4);
}

TEST_F(FilterFileTest, TheFirstFileToClaimANameOrDisplayNameKeepsIt)
{
    ASSERT_NE(Load("soft.plf", kHeader + std::string("name: Soft\n") + Colors(216)), 0);
    EXPECT_NE(Load("soft.new.plf", kHeader + std::string("name: Newer\n") + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 5);
    EXPECT_STREQ(filterTable.records[4].displayName, "Soft");

    // "grayscale" is taken while the built-in shows it, and free once a file renamed it.
    EXPECT_NE(Load("gray.plf", kHeader + std::string("name: GrayScale\n") + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 5);
    EXPECT_NE(Load("_grayscale.plf", kHeader + std::string("name: Grey\n")), 0);
    EXPECT_NE(Load("gray.plf", kHeader + std::string("name: GrayScale\n") + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 6);
    EXPECT_STREQ(filterTable.records[5].displayName, "GrayScale");
}

TEST_F(FilterFileTest, OverlongNamesAndPathsAreRefusedWithoutHarm)
{
    // A base name of 200 characters: handed on, refused by the table.
    EXPECT_NE(Load(std::string(200, 'b') + ".plf", kHeader + Colors(216)), 0);
    EXPECT_EQ(filterTable.count, 4);
    // A name of 19 characters with a display name of 39 is the longest accepted.
    EXPECT_NE(Load(std::string(19, 'n') + ".plf",
                   kHeader + ("name: " + std::string(39, 'd') + "\n") + Colors(216)),
              0);
    EXPECT_EQ(filterTable.count, 5);
    // A path that does not fit MAX_PATH is not opened at all.
    EXPECT_EQ(LoadFilterFile((std::string(300, 'p') + ".plf").c_str(), 1033), 0);
    EXPECT_EQ(LoadFilterFile("no\\such\\folder\\missing.plf", 1033), 0);
}

TEST(GetFileBaseName, IsTheFileNameUpToItsFirstDot)
{
    const struct {
        const char *path, *expected;
    } cases[] = {
        {"C:\\Program Files\\Prismolenteer\\filter\\gentle.plf", "gentle"},
        {"C:\\filter\\a.b.plf", "a"},
        {"C:\\dotted.folder\\plain.plf", "plain"},
        {"gentle.plf", "gentle"},
        {"no_extension", "no_extension"},
        {"C:\\filter\\.plf", ""},
        {"C:\\filter\\", ""},
        {"", ""},
        {"C:/forward/slash.plf", "C:/forward/slash"},  // only the backslash separates
    };
    for (const auto& c : cases) {
        char baseName[kMaxPath];
        std::memset(baseName, '?', sizeof baseName);
        GetFileBaseName(c.path, baseName);
        EXPECT_STREQ(baseName, c.expected) << "path \"" << c.path << "\"";
    }

    // A file name longer than the output is cut to fit rather than overrunning it.
    const std::string longName = "C:\\" + std::string(400, 'L') + ".plf";
    char baseName[kMaxPath];
    GetFileBaseName(longName.c_str(), baseName);
    EXPECT_EQ(std::string(baseName), std::string(kMaxPath - 1, 'L'));
}

}  // namespace
