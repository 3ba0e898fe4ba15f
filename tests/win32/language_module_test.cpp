// The language module against the real loader: which module is taken, that it is mapped as
// resources only, and where each text, the menu, the dialogs and the picture come from.

#include <filesystem>

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
    const struct { const char* module; bool taken; const char* texts; } rows[] = {
        // product name|Close|hotkey|none
        {"newer", false, "Prismolenteer|&Close|failed to register HOTKEY.|(none)"},
        {"unversioned", false, "Prismolenteer|&Close|failed to register HOTKEY.|(none)"},
        // The product name empty in the module, the Close text missing.
        {"partial", true, "Prismolenteer|&Close|module: HOTKEY taken.|(none)"},
        {"matching", true, "Prismolenteer Module|&Shut|module: HOTKEY taken.|(none)"},
    };
    const std::string folder = std::filesystem::path(GetExeDirectory()).string() + std::to_string(GetUserDefaultLCID());
    const std::string installed = folder + "\\PLRes.dll";  // where the program looks
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA("entry-ran.mark");
    for (const auto& row : rows) {
        CopyFileA((PL_LANGUAGE_MODULES + std::string(row.module) + "\\PLRes.dll").c_str(),
                  installed.c_str(), FALSE);
        resourceModule = LoadResourceModule();
        EXPECT_EQ(resourceModule != nullptr, row.taken) << row.module;
        EXPECT_EQ(GetFileAttributesA("entry-ran.mark"), INVALID_FILE_ATTRIBUTES)
            << row.module << ": its entry point ran";
        EXPECT_EQ(Text(IDS_PRODUCT_NAME) + "|" + Text(IDS_CLOSE) + "|" +
                      Text(IDS_ERR_REGISTER_HOTKEY) + "|" + Text(12345), row.texts);
        if (row.module == std::string("matching"))
            break;  // it stays for the checks below
        FreeLibrary(resourceModule);
    }
    ASSERT_NE(resourceModule, nullptr);
    HMENU menu = LoadMenuA(GetResourceInstance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    char item[16] = "";
    GetMenuStringA(GetSubMenu(menu, 0), IDM_EXIT, item, sizeof item, MF_BYCOMMAND);
    EXPECT_STREQ(item, "E&nde");
    DestroyMenu(menu);
    HWND about = CreateDialogParamA(GetResourceInstance(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                    PassiveDialogProc, 0);
    char caption[16] = "";
    GetWindowTextA(about, caption, sizeof caption);
    EXPECT_STREQ(caption, "Info");
    DestroyWindow(about);
    HBITMAP picture = LoadResBitmap(IDB_SPLASH);
    EXPECT_NE(picture, nullptr);
    DeleteObject(picture);
    MessageBoxes boxes;  // a translator's "%s%s%s%s%n" is shown, not formatted
    ShowMessageId(nullptr, MB_OK, IDS_ERR_CREATE_SPLASH);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "%s%s%s%s%n");
    FreeLibrary(resourceModule);
    resourceModule = nullptr;
    DeleteFileA(installed.c_str());
    RemoveDirectoryA(folder.c_str());
}
