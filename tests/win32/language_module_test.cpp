// The language module against the real loader: which module is taken, where each text then
// comes from, and a splash without a picture.

#include "tests/win32/in_process.h"

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
        CopyFileA((PL_LANGUAGE_MODULES + std::string(row.module) + "\\PLRes.dll").c_str(),
                  installed.c_str(), FALSE);
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

// Without a picture anywhere start-up says so twice: a module without one stands in for
// the executable, and its text tells the program's box from the splash's own.
TEST(LanguageModule, WithoutASplashPictureStartUpSaysSoTwice)
{
    exeInstance = LoadLibraryA(PL_LANGUAGE_MODULES "partial\\PLRes.dll");
    RegisterSplashClass();
    std::strcpy(productName, "Prismolenteer");
    settings.NoSplash = 0;
    MessageBoxes boxes;
    ShowStartupSplash();
    ASSERT_EQ(boxes.shown.size(), 2u);
    const ShownBox &plain = boxes.shown[0], &error = boxes.shown[1];
    EXPECT_EQ(plain.text + "|" + error.text, "failed to LoadImage()|module: no splash.");
    EXPECT_EQ(plain.caption + "|" + error.caption, "(default)|Prismolenteer");
    EXPECT_EQ(plain.hasIcon + 2 * error.hasIcon, 2) << "only the second is an error box";
}
