// File names in the double-byte ANSI code page 932, where the trail byte of a character
// may equal '\\' (0x5C): 表 is 95 5C, ソ is 83 5C. Run with a Japanese locale, so that Wine's
// CharNextA and the folder scan work in code page 932 as on a Japanese Windows.

#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "filter/filter_file.h"
#include "filter/filter_folder.h"
#include "filter/filter_table.h"
#include "tests/support/scratch_filter_folder.h"

namespace {

const char kHyo[] = "\x95\x5C";                  // 表, trail byte '\\'
const char kHyoji[] = "\x95\x5C\x8E\xA6";        // 表示
const char kSofuto[] = "\x83\x5C\x83\x74\x83\x67";  // ソフト

TEST(CodePage932, IsTheAnsiCodePageOfTheseTests)
{
    ASSERT_EQ(GetACP(), 932u) << "the Japanese locale did not reach Wine";
    EXPECT_EQ(GetUserDefaultLCID(), 1041u);
}

TEST(CodePage932, BaseNameStepsOverTrailBytesThatLookLikeBackslashes)
{
    ASSERT_EQ(GetACP(), 932u);
    const std::string s = "\\";
    const struct {
        std::string path, expected;
    } cases[] = {
        {"C:" + s + kHyoji + ".plf", kHyoji},
        {"C:" + s + "filter" + s + kSofuto + ".plf", kSofuto},
        {"C:" + s + kHyo + s + "gentle.plf", "gentle"},
        {"C:" + s + kSofuto + ".a.plf", kSofuto},
        {std::string(kHyo), kHyo},  // a trail byte at the very end
        {"C:" + s + "x" + s + "a\x95", "a\x95"},  // a lead byte with no trail byte
    };
    for (const auto& c : cases) {
        char baseName[kMaxPath];
        GetFileBaseName(c.path.c_str(), baseName);
        EXPECT_EQ(std::string(baseName), c.expected) << "path " << c.path;
    }
}

using CodePage932Folder = ScratchFilterFolder;

TEST_F(CodePage932Folder, ScanFindsDoubleByteFileNamesAndTheJapaneseDisplayName)
{
    ASSERT_EQ(GetACP(), 932u);
    RegisterBuiltinFilters();
    MakeFolder();
    WriteFile(std::string(kSofuto) + ".plf", "[Prismolenteer filter]\r\nname: Soft\r\nname(1041): " +
                                                 std::string(kHyoji) + "\r\n" + Colors());
    WriteFile(std::string(kHyo) + ".plf", "[Prismolenteer filter]\r\n" + Colors());

    EXPECT_NE(LoadFilterFiles(folder_.c_str()), 0);
    ASSERT_EQ(filterTable.count, 6);
    const FilterRecord* sofuto = FindFilterByName(kSofuto);
    ASSERT_NE(sofuto, nullptr);
    EXPECT_STREQ(sofuto->displayName, kHyoji);
    const FilterRecord* hyo = FindFilterByName(kHyo);
    ASSERT_NE(hyo, nullptr);
    EXPECT_STREQ(hyo->displayName, kHyo);
}

}  // namespace
