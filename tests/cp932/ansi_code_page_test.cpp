// File names in the double-byte ANSI code page 932, where the trail byte of a character
// may be '\\' (0x5C): 表 is 95 5C, ソ is 83 5C. Run under a Japanese locale, so that Wine's
// CharNextA, the folder scan and the proposed names of saved pictures work in code page 932
// as on a Japanese Windows, where names of Western locales are not read.

#include <filesystem>

#include "filter/filter_file.h"
#include "filter/filter_folder.h"
#include "preview/picture_name.h"
#include "tests/support/scratch_filter_folder.h"

TEST_F(ScratchFilterFolder, TheScanReadsDoubleByteFileNamesAndTheJapaneseName)
{
    ASSERT_EQ(GetACP(), 932u) << "the Japanese locale did not reach Wine";
    const std::string hyo = "\x95\x5C", hyoji = hyo + "\x8E\xA6", sofuto = "\x83\x5C\x83\x74\x83\x67";
    RegisterBuiltinFilters();
    WriteFile(sofuto + ".plf", FilterText("name: Soft\r\nname(1041): " + hyoji + "\r\n"));
    WriteFile(hyo + ".a.plf", FilterText());
    EXPECT_NE(LoadFilterFiles(folder_.c_str()), 0);
    EXPECT_EQ(DisplayName(sofuto), hyoji) << "in the user's locale, 1041";
    EXPECT_EQ(DisplayName(hyo), hyo) << "the name up to its first dot";
    // Names written in code page 1252 would show other characters here.
    WriteFile("sanft.plf", FilterText("name: Gentle\r\nname(1031): Sanft Gr\xFCn\r\n"));
    LoadFilterFile((std::filesystem::path(folder_).string() + "sanft.plf").c_str(), 1031);
    EXPECT_EQ(DisplayName("sanft"), "Gentle") << "for a user of German on this system";
}

TEST(ProposedPictureName, NamesTheMomentAndTheFilterInWholeCharactersAFileNameCanHold)
{
    const std::string hyo = "\x95\x5C";  // 表: its trail byte is a backslash
    const struct { std::string label; size_t size; std::string want; } rows[] = {
        {"Deuteranopia", 260, "Deuteranopia"},
        {"a\\b/c:d*e?f\"g<h>i|j\tk", 260, "a_b_c_d_e_f_g_h_i_j_k"},
        {"Deuteranopia", 45, "Deuter"},  // cut to fit 45 bytes
        {hyo + hyo, 42, hyo},            // room for one of the two characters
    };
    for (const auto& row : rows) {
        char name[260];
        ProposePictureName({2026, 12, 7, 14, 3, 12}, row.label.c_str(), name, row.size);
        EXPECT_EQ(std::string(name), "Prismolenteer 2026-12-07 14.03.12 " + row.want + ".png");
    }
}
