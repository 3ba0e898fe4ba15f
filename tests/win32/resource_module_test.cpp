// The language module against the real loader: which module is accepted, and where each
// string, the menu and the dialogs then come from.

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/resource_module.h"
#include "res/resource.h"

namespace {

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;  // Wine maps the Unix root to drive Z:
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The built fixture module `name` (matching, newer or partial).
std::string FixtureModule(const char* name)
{
    return WindowsPath(std::string(PL_LANGUAGE_MODULES_UNIX_DIR) + "/" + name + "/PLRes.dll");
}

std::string LocaleFolder()
{
    return std::string(GetExeDirectory()) + std::to_string(GetUserDefaultLCID());
}

class LanguageModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        exeInstance = GetModuleHandleA(nullptr);
        resourceModule = nullptr;
    }
    void TearDown() override
    {
        if (resourceModule != nullptr)
            FreeLibrary(resourceModule);
        resourceModule = nullptr;
        exeInstance = nullptr;
        DeleteFileA((LocaleFolder() + "\\PLRes.dll").c_str());
        RemoveDirectoryA(LocaleFolder().c_str());
    }

    // Puts the fixture where the program looks for its language module.
    void Install(const char* name)
    {
        CreateDirectoryA(LocaleFolder().c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(FixtureModule(name).c_str(),
                              (LocaleFolder() + "\\PLRes.dll").c_str(), FALSE))
            << FixtureModule(name);
    }

    static std::string String(UINT id, int* found = nullptr)
    {
        char buffer[512];
        std::memset(buffer, 'j', sizeof buffer);  // junk must not survive a miss
        const int result = LoadResString(id, buffer, sizeof buffer);
        if (found != nullptr)
            *found = result;
        return buffer;
    }

    static std::string FirstMenuItem()
    {
        HMENU menu = LoadMenuA(GetResourceInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
        if (menu == nullptr)
            return "(no menu)";
        char text[64] = "";
        GetMenuStringA(GetSubMenu(menu, 0), 0, text, sizeof text, MF_BYPOSITION);
        DestroyMenu(menu);
        return text;
    }

    static INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    static std::string DialogCaption(int id)
    {
        HWND dialog = CreateDialogParamA(GetResourceInstance(), MAKEINTRESOURCEA(id), nullptr,
                                         QuietDialogProc, 0);
        if (dialog == nullptr)
            return "(no dialog)";
        char caption[64] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        DestroyWindow(dialog);
        return caption;
    }
};

TEST(ReadProductVersion, GivesMajorAndMinorOrAllOnes)
{
    char exePath[MAX_PATH];
    GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    const std::string textFile = std::string(GetExeDirectory()) + "no-version.txt";
    HANDLE file = CreateFileA(textFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    DWORD written = 0;
    WriteFile(file, "plain text", 10, &written, nullptr);
    CloseHandle(file);

    struct Case {
        std::string path;
        DWORD version;
    };
    const Case cases[] = {
        {exePath, 0x00000000},                    // 0.0.8.0
        {FixtureModule("matching"), 0x00000000},  // 0.0.3.7
        {FixtureModule("partial"), 0x00000000},   // 0.0.9.1
        {FixtureModule("newer"), 0x00010000},     // 1.0.0.0
        {textFile, 0xFFFFFFFF},
        {std::string(GetExeDirectory()) + "missing.dll", 0xFFFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadProductVersion(c.path.c_str()), c.version) << c.path;
    DeleteFileA(textFile.c_str());
}

TEST_F(LanguageModule, AMatchingModuleSuppliesStringsMenuAndDialogs)
{
    Install("matching");
    resourceModule = LoadResourceModule();
    ASSERT_NE(resourceModule, nullptr);
    EXPECT_EQ(GetResourceInstance(), resourceModule);
    EXPECT_EQ(String(IDS_PRODUCT_NAME), "Prismolenteer Module");
    EXPECT_EQ(String(IDS_CLOSE), "&Shut");
    EXPECT_EQ(String(IDS_ERR_REGISTER_HOTKEY), "module: HOTKEY taken.");
    EXPECT_EQ(String(IDS_ERR_CREATE_SPLASH), "failed to create splash window.")
        << "a string the module lacks comes from the executable";
    EXPECT_EQ(FirstMenuItem(), "&Settings...");
    EXPECT_EQ(DialogCaption(IDD_ABOUT), "Info");
    EXPECT_EQ(DialogCaption(IDD_OPTION), "Settings");
    EXPECT_EQ(DialogCaption(IDD_ENABLE_FILTER), "Add filter");
}

TEST_F(LanguageModule, AModuleOfAnotherVersionIsRefused)
{
    Install("newer");
    resourceModule = LoadResourceModule();
    EXPECT_EQ(resourceModule, nullptr);
    EXPECT_EQ(GetResourceInstance(), exeInstance);
    EXPECT_EQ(String(IDS_PRODUCT_NAME), "Prismolenteer");
    EXPECT_EQ(FirstMenuItem(), "&Option...");
    // Refused means unloaded at once, not kept around.
    const std::string installed = LocaleFolder() + "\\PLRes.dll";
    EXPECT_EQ(GetModuleHandleA(installed.c_str()), nullptr);
}

TEST_F(LanguageModule, EmptyOrMissingStringsFallBackOneByOne)
{
    Install("partial");
    resourceModule = LoadResourceModule();
    ASSERT_NE(resourceModule, nullptr);
    EXPECT_EQ(String(IDS_PRODUCT_NAME), "Prismolenteer");  // empty in the module
    EXPECT_EQ(String(IDS_CLOSE), "&Close");                // missing in the module
    EXPECT_EQ(String(IDS_ERR_REGISTER_HOTKEY), "module: HOTKEY taken.");
    EXPECT_EQ(FirstMenuItem(), "&Settings...");
    EXPECT_EQ(DialogCaption(IDD_OPTION), "Settings");
}

TEST_F(LanguageModule, AStringFoundNowhereLeavesAnEmptyText)
{
    int found = -1;
    EXPECT_EQ(String(12345, &found), "");
    EXPECT_EQ(found, 0);
    EXPECT_EQ(String(IDS_CLOSE, &found), "&Close");
    EXPECT_EQ(found, 1);
    EXPECT_EQ(LoadResString(IDS_CLOSE, nullptr, 10), 0);
}

}  // namespace
