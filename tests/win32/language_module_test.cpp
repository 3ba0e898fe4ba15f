// The language module against the real loader: which module is taken, where each text then
// comes from, and the splash picture.

#include "tests/win32/in_process.h"

// The built fixture module `name` (tests/fixtures/plres.rc); Wine maps / to Z:\.
static std::string FixtureModule(const char* name)
{
    std::string path = std::string("Z:") + PL_LANGUAGE_MODULES_UNIX_DIR "/" + name + "/PLRes.dll";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Text `id` as the program loads it; "(none)" and what the buffer kept when there is none.
static std::string Text(UINT id)
{
    char text[64];
    std::memset(text, 'j', sizeof text);
    return LoadResString(id, text, sizeof text) ? text : "(none)" + std::string(text);
}

TEST(LanguageModule, IsTakenAtTheExecutablesMajorAndMinorVersionAndLendsTextsOneByOne)
{
    const struct { const char *module, *texts; } rows[] = {  // product name|Close|hotkey|none
        {"matching", "Prismolenteer Module|&Shut|module: HOTKEY taken.|(none)"},
        // The product name empty in the module, the Close text missing.
        {"partial", "Prismolenteer|&Close|module: HOTKEY taken.|(none)"},
        {"newer", "Prismolenteer|&Close|failed to register HOTKEY.|(none)"},
        {"unversioned", "Prismolenteer|&Close|failed to register HOTKEY.|(none)"},
    };
    exeInstance = GetModuleHandleA(nullptr);
    const std::string folder = GetExeDirectory() + std::to_string(GetUserDefaultLCID());
    const std::string installed = folder + "\\PLRes.dll";  // where the program looks
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& row : rows) {
        ASSERT_TRUE(CopyFileA(FixtureModule(row.module).c_str(), installed.c_str(), FALSE));
        resourceModule = LoadResourceModule();
        EXPECT_EQ(GetModuleHandleA(installed.c_str()), resourceModule)
            << row.module << ": a refused module is unloaded at once";
        EXPECT_EQ(Text(IDS_PRODUCT_NAME) + "|" + Text(IDS_CLOSE) + "|" +
                      Text(IDS_ERR_REGISTER_HOTKEY) + "|" + Text(12345), row.texts);
        FreeLibrary(resourceModule);
    }
    resourceModule = nullptr;
    DeleteFileA(installed.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(LanguageModule, GivesTheSplashItsPictureAndElseTheExecutableDoesOrStartUpSaysSo)
{
    // The window shows the whole picture and no more, however small.
    for (const auto& row : {std::make_pair("pictured", "60x30"), {"matching", "100x40"}}) {
        exeInstance = GetModuleHandleA(nullptr);
        resourceModule = LoadLibraryA(FixtureModule(row.first).c_str());
        RegisterSplashClass();
        HWND splash = CreateSplashWindow();
        RECT client{};
        GetClientRect(splash, &client);
        EXPECT_EQ(std::to_string(client.right) + "x" + std::to_string(client.bottom), row.second);
        DestroyWindow(splash);
        EXPECT_EQ(splashBitmap, nullptr) << "the destruction deletes the picture";
        FreeLibrary(resourceModule);
        UnregisterClassA(kSplashClassName, exeInstance);
    }

    // No picture anywhere: a module without one stands in for the executable, and its
    // text tells the program's box from the splash's own.
    resourceModule = nullptr;
    exeInstance = LoadLibraryA(FixtureModule("partial").c_str());
    RegisterSplashClass();
    std::strcpy(productName, "Prismolenteer");
    MessageBoxes boxes;
    ShowStartupSplash();
    ASSERT_EQ(boxes.shown.size(), 2u);
    const ShownBox &plain = boxes.shown[0], &error = boxes.shown[1];
    EXPECT_EQ(plain.text + "|" + error.text, "failed to LoadImage()|module: no splash.");
    EXPECT_EQ(plain.caption + "|" + error.caption, "(default)|Prismolenteer");
    EXPECT_EQ(plain.hasIcon + 2 * error.hasIcon, 2) << "only the second is an error box";
}
