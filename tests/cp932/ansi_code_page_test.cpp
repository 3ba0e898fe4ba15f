// File names in the double-byte ANSI code page 932, where the trail byte of a character
// may be '\\' (0x5C): 表 is 95 5C, ソ is 83 5C. Run under a Japanese locale, so that Wine's
// CharNextA and the folder scan work in code page 932 as on a Japanese Windows.

#include "filter/filter_folder.h"
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
}
