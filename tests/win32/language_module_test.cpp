// The language module against the real loader: which module is taken, and where each text
// then comes from.

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
