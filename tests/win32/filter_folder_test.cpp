// The folder scan over <exe dir>filter\*.plf with real folders and files.

#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "filter/filter_folder.h"
#include "filter/filter_table.h"
#include "tests/support/scratch_filter_folder.h"

namespace {

const char kHeader[] = "[Prismolenteer filter]\r\n";

using FilterFolderTest = ScratchFilterFolder;

TEST_F(FilterFolderTest, MissingOrEmptyFolderFindsNothing)
{
    RegisterBuiltinFilters();
    EXPECT_EQ(LoadFilterFiles(folder_.c_str()), 0);  // no folder

    MakeFolder();
    EXPECT_EQ(LoadFilterFiles(folder_.c_str()), 0);  // empty folder

    WriteFile("notes.txt", kHeader + Colors());
    WriteFile("gentle.plf.bak", kHeader + Colors());
    EXPECT_EQ(LoadFilterFiles(folder_.c_str()), 0);  // nothing matches *.plf
    EXPECT_EQ(filterTable.count, 4);
}

TEST_F(FilterFolderTest, ReadsEveryFilterFileAndSkipsDirectoriesAndFailures)
{
    RegisterBuiltinFilters();
    MakeFolder();
    // A directory that matches the pattern, with a valid file inside it.
    MakeFolder("x.plf");
    WriteFile("x.plf\\inner.plf", kHeader + Colors());
    WriteFile("gentle.plf", kHeader + std::string("name: Gentle\r\n") + Colors());
    WriteFile("headless.plf", Colors());
    WriteFile("short.plf", kHeader + Colors().substr(9));  // 215 colours
    WriteFile("_mine.plf", kHeader + Colors());
    WriteFile("_GRAYSCALE.plf", kHeader + std::string("name: Grey\r\n"));
    // The user's locale is read for the scan: Wine's default user is 1033.
    WriteFile("local.plf",
              kHeader + std::string("name(1033): Localized\r\nname: Plain\r\n") + Colors());

    EXPECT_NE(LoadFilterFiles(folder_.c_str()), 0);

    ASSERT_EQ(filterTable.count, 6);
    EXPECT_STREQ(filterTable.records[1].displayName, "Grey");
    // The scan's order is the directory's; find the two custom filters by name.
    const FilterRecord* gentle = FindFilterByName("gentle");
    const FilterRecord* local = FindFilterByName("local");
    ASSERT_NE(gentle, nullptr);
    ASSERT_NE(local, nullptr);
    EXPECT_STREQ(gentle->displayName, "Gentle");
    EXPECT_EQ(gentle->kind, FilterKind::Custom);
    EXPECT_EQ(gentle->controlCube[215], MakeColorRef(215, 40, (7 * 215) & 0xFF));
    EXPECT_STREQ(local->displayName, "Localized");
    EXPECT_EQ(FindFilterByName("x"), nullptr);
    EXPECT_EQ(FindFilterByName("inner"), nullptr);
}

TEST_F(FilterFolderTest, FilesAreOpenedAsTextWhatEverTheirLineEnds)
{
    RegisterBuiltinFilters();
    MakeFolder();
    std::string unixLines = std::string(kHeader) + "name: Unix\r\n" + Colors();
    for (size_t at; (at = unixLines.find("\r\n")) != std::string::npos;)
        unixLines.erase(at, 1);
    WriteFile("unix.plf", unixLines);

    EXPECT_NE(LoadFilterFiles(folder_.c_str()), 0);
    const FilterRecord* unix = FindFilterByName("unix");
    ASSERT_NE(unix, nullptr);
    EXPECT_STREQ(unix->displayName, "Unix");
}

}  // namespace
