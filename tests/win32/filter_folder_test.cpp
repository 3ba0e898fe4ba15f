// The folder scan over <folder>*.plf with real folders and files.

#include "filter/filter_folder.h"
#include "tests/support/scratch_filter_folder.h"

TEST_F(ScratchFilterFolder, TheScanReadsEveryFilterFileAsTextAndSkipsDirectoriesAndFailures)
{
    RegisterBuiltinFilters();
    CreateDirectoryW((folder_ + L"x.plf").c_str(), nullptr);
    const std::string header = "[Prismolenteer filter]\r\n";
    const std::string colors = FilterText().substr(header.size());
    const struct { const char *file, *filter; std::string text; const char* name; } rows[] = {
        {"gentle.plf", "gentle", header + "name: Gentle\r\n" + colors, "Gentle"},
        {"headless.plf", "headless", colors, "(none)"},
        {"_GRAYSCALE.plf", "_grayscale", header + "name: Grey\r\n", "Grey"},
        {"notes.txt", "notes", header + colors, "(none)"},
        {"x.plf\\inner.plf", "inner", header + colors, "(none)"},  // in a directory named *.plf
        // Read as text, which with msvcrt ends a file at Ctrl+Z, as DOS editors wrote it.
        {"cut.plf", "cut", header + "name: Cut\r\n\x1A\r\n" + colors, "(none)"},
    };
    for (const auto& row : rows)
        WriteFile(row.file, row.text);
    EXPECT_NE(LoadFilterFiles(folder_.c_str()), 0);
    for (const auto& row : rows)
        EXPECT_EQ(DisplayName(row.filter), row.name) << row.file;
}
