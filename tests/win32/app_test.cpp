// The executable directory and the OS version class.

#include <cstring>
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "app/app.h"

namespace {

TEST(GetExeDirectory, IsTheModuleFolderWithItsBackslash)
{
    char path[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    const std::string module = path;
    const std::string expected = module.substr(0, module.rfind('\\') + 1);

    const char* directory = GetExeDirectory();
    EXPECT_EQ(std::string(directory), expected);
    EXPECT_EQ(directory[std::strlen(directory) - 1], '\\');
    EXPECT_EQ(GetExeDirectory(), directory);  // cached: the same buffer every time
}

TEST(OsVersion, WineReportsAModernNtSystem)
{
    EXPECT_NE(ProbeOsVersion(), 0);
    EXPECT_EQ(IsWin2000OrLater(), 1);
}

}  // namespace
