// The language module against the real loader: which module is taken (the user's region,
// the language's default region, the system's code page), that it is mapped as resources
// only, and where each text, the menu, the dialogs and the picture come from.

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

// The user's locale and the system's ANSI code page as the test sets them.
static LCID userLocale;
static UINT systemCodePage;
static LCID WINAPI FakeGetUserDefaultLCID() { return userLocale; }
static UINT WINAPI FakeGetACP() { return systemCodePage; }

TEST(LanguageModule, IsTheRegionsElseTheLanguagesDefaultRegionsAndOnlyInTheSystemsCodePage)
{
    ImportPatch locale("kernel32.dll", "GetUserDefaultLCID", reinterpret_cast<void*>(FakeGetUserDefaultLCID));
    ImportPatch codePage("kernel32.dll", "GetACP", reinterpret_cast<void*>(FakeGetACP));
    const std::wstring english = L"&Close", german = L"&Schlie\u00DFen", french = L"&Fermer",
                       spanish = L"&Cerrar", japanese = L"\u9589\u3058\u308B(&C)";
    // The Close text of the module taken, beside the shipped ones; `own` is a test module put
    // into the folder of the user's own locale.
    const struct { LCID locale; UINT codePage; const char* own; std::wstring close; } rows[] = {
        {0x0C07, 1252, nullptr, german},   // German (Austria): 1031
        {0x0807, 1252, nullptr, german},   // German (Switzerland)
        {0x0C0C, 1252, nullptr, french},   // French (Canada): 1036
        {0x080C, 1252, nullptr, french},   // French (Belgium)
        {0x100C, 1252, nullptr, french},   // French (Switzerland)
        {0x080A, 1252, nullptr, spanish},  // Spanish (Mexico): its own 2058
        {0x2C0A, 1252, nullptr, spanish},  // Spanish (Argentina): 1034
        {0x0809, 1252, nullptr, english},  // English (United Kingdom): no module
        {0x0411, 932, nullptr, japanese},
        {0x0411, 1252, nullptr, english},  // Japanese texts on a Western system
        {0x0407, 932, nullptr, english},   // German texts on a Japanese system
        {0x0C07, 932, nullptr, english},
        {0x0C07, CP_UTF8, nullptr, german},  // UTF-8 holds every text
        {0x0C07, 1252, "matching", L"&Shut"},  // the region's own folder first
        {0x0C07, 1252, "newer", german},       // unless its module is refused
    };
    MessageBoxes boxes;
    for (const auto& row : rows) {
        userLocale = row.locale;
        systemCodePage = row.codePage;
        const std::string folder = std::filesystem::path(GetExeDirectory()).string() + std::to_string(row.locale);
        if (row.own != nullptr) {
            CreateDirectoryA(folder.c_str(), nullptr);
            CopyFileA((PL_LANGUAGE_MODULES + std::string(row.own) + "\\PLRes.dll").c_str(),
                      (folder + "\\PLRes.dll").c_str(), FALSE);
        }
        HINSTANCE module = LoadResourceModule();
        wchar_t close[32] = L"";
        LoadStringW(module != nullptr ? module : GetModuleHandleA(nullptr), IDS_CLOSE, close, 32);
        EXPECT_EQ(close, row.close) << std::hex << "locale 0x" << row.locale << std::dec
                                    << ", code page " << row.codePage;
        if (module != nullptr)
            FreeLibrary(module);
        if (row.own != nullptr) {
            DeleteFileA((folder + "\\PLRes.dll").c_str());
            RemoveDirectoryA(folder.c_str());
        }
    }
    EXPECT_TRUE(boxes.shown.empty()) << "a refused module is not a matter for a box";
}
