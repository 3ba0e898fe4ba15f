// Every shipped language as a user of its locale meets it: the loader takes the module built
// beside the program, each text reaches the program whole in the user's ANSI code page and
// fits its control, and no two items of a menu or controls of a dialog share an accelerator.
// ctest runs this test again under each language's Unix locale, from which Wine takes the
// user's locale and code page; under any other locale it checks the executable's English.

#include <map>

#include "filter/filter_folder.h"
#include "tests/win32/in_process.h"

namespace {

// A text of each language as its translator wrote it: the code page carried it unchanged.
const struct { LCID locale; UINT codePage; UINT id; const wchar_t* text; } kLanguages[] = {
    {1033, 1252, IDS_CLOSE, L"&Close"},
    {1031, 1252, IDS_CLOSE, L"&Schlie\u00DFen"},
    {1036, 1252, IDS_ERR_CREATE_WINDOW, L"Impossible de cr\u00E9er la fen\u00EAtre."},
    {3082, 1252, IDS_ERR_REGISTER_HOTKEY, L"No se pudo registrar la tecla de acceso r\u00E1pido."},
    {1041, 932, IDS_CLOSE, L"\u9589\u3058\u308B(&C)"},
};

// The upper-cased letter after each single '&' ("&&" is a plain '&'; in code page 932 no
// trail byte is '&', so a byte scan is safe).
void ExpectUniqueAccelerators(const std::vector<std::string>& texts, const std::string& where)
{
    std::map<char, std::string> taken;
    for (const std::string& text : texts)
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '&' && text[++i] != '&') {
                // CharUpperA upper-cases a character passed in place of the pointer.
                const char key = char(UINT_PTR(CharUpperA(reinterpret_cast<char*>(UINT_PTR(BYTE(text[i]))))));
                const auto [first, fresh] = taken.emplace(key, text);
                EXPECT_TRUE(fresh) << where << ": \"" << text << "\" and \"" << first->second << '"';
            }
}

std::vector<std::string> ControlTexts(HWND window)
{
    std::vector<std::string> texts;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[256] = "";
        GetWindowTextA(control, text, sizeof text);
        texts.push_back(text);
    }
    return texts;
}

// Each control as "id class style", in tab order; an icon control says whether it has one.
std::vector<std::string> ControlShapes(HWND window)
{
    std::vector<std::string> shapes;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char kind[32] = "";
        GetClassNameA(control, kind, sizeof kind);
        shapes.push_back(std::to_string(GetDlgCtrlID(control)) + " " + kind + " " +
                         std::to_string(GetWindowLongA(control, GWL_STYLE) & ~WS_DISABLED) +
                         (lstrcmpiA(kind, "Static") == 0 && SendMessageA(control, STM_GETICON, 0, 0) ? " icon" : ""));
    }
    return shapes;
}

// Checks the open message box of this thread, then closes it.
BOOL CALLBACK CheckIfMessageBox(HWND box, LPARAM)
{
    char kind[16] = "";
    GetClassNameA(box, kind, sizeof kind);
    if (lstrcmpA(kind, "#32770") != 0 || !IsWindowVisible(box))
        return TRUE;
    ExpectTextsFit(box, 96);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK CheckMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), CheckIfMessageBox, 0);
}

// Adds the strings of a block of sixteen that the executable holds.
BOOL CALLBACK AddStrings(HMODULE module, LPCSTR, LPSTR block, LONG_PTR ids)
{
    for (UINT id = (UINT(INT_PTR(block)) - 1) * 16, end = id + 16; id < end; ++id) {
        const wchar_t* text = nullptr;  // with no room given, LoadStringW points into the module
        if (LoadStringW(module, id, reinterpret_cast<wchar_t*>(&text), 0) > 0)
            reinterpret_cast<std::vector<UINT>*>(ids)->push_back(id);
    }
    return TRUE;
}

using Languages = EmptyFilterTable;

TEST_F(Languages, TheUsersLanguageArrivesWholeInItsCodePageFitsAndKeepsAcceleratorsApart)
{
    const LCID locale = GetUserDefaultLCID();
    const auto language = std::find_if(std::begin(kLanguages), std::end(kLanguages),
                                        [&](const auto& row) { return row.locale == locale; });
    ASSERT_NE(language, std::end(kLanguages)) << "no language for locale " << locale;
    ASSERT_EQ(GetACP(), language->codePage);

    // The module built beside the program, where this test program's loader looks.
    exeInstance = GetModuleHandleA(nullptr);
    const std::string folder = GetExeDirectory() + std::to_string(locale);
    CreateDirectoryA(folder.c_str(), nullptr);
    CopyFileA((PL_PROGRAM_DIR + std::to_string(locale) + "\\PLRes.dll").c_str(),
              (folder + "\\PLRes.dll").c_str(), FALSE);
    resourceModule = LoadResourceModule();
    ASSERT_EQ(resourceModule != nullptr, locale != 1033) << "the module of " << locale;
    HINSTANCE texts = GetResourceInstance();
    ASSERT_TRUE(LoadResString(IDS_PRODUCT_NAME, productName, sizeof productName));
    char sample[256] = "";
    LoadResString(language->id, sample, sizeof sample);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(ExpectDrawable(screen, sample), language->text);

    // Every string of the executable, translated and the same in the ANSI code page.
    std::vector<UINT> strings;
    EnumResourceNamesA(exeInstance, RT_STRING, AddStrings, LONG_PTR(&strings));
    EXPECT_GE(strings.size(), 6u);
    for (UINT id : strings) {
        wchar_t wide[512] = L"";
        char ansi[512] = "";
        EXPECT_GT(LoadStringW(texts, id, wide, 512), 0) << "string " << id << " untranslated";
        LoadStringA(texts, id, ansi, sizeof ansi);
        EXPECT_EQ(ExpectDrawable(screen, ansi), wide) << "string " << id;
    }
    ReleaseDC(nullptr, screen);

    // The tray menu: the executable's items, drawable in the menu font.
    HMENU english = LoadMenuA(exeInstance, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    HMENU menu = LoadMenuA(texts, MAKEINTRESOURCEA(IDR_TRAY_MENU));
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT menuFont = CreateFontIndirectA(&metrics.lfMenuFont);
    screen = GetDC(nullptr);
    SelectObject(screen, menuFont);
    std::vector<std::string> items;
    ASSERT_EQ(GetMenuItemCount(GetSubMenu(menu, 0)), GetMenuItemCount(GetSubMenu(english, 0)));
    for (int i = 0; i < GetMenuItemCount(GetSubMenu(english, 0)); ++i) {
        char item[128] = "";
        EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), i), GetMenuItemID(GetSubMenu(english, 0), i));
        GetMenuStringA(GetSubMenu(menu, 0), i, item, sizeof item, MF_BYPOSITION);
        ExpectDrawable(screen, item);
        items.push_back(item);
    }
    ExpectUniqueAccelerators(items, "tray menu");
    ReleaseDC(nullptr, screen);
    DeleteObject(menuFont);
    DestroyMenu(menu);
    DestroyMenu(english);

    // The dialogs: the executable's controls, every text fitting, accelerators apart.
    for (int id : {IDD_ABOUT, IDD_OPTION, IDD_ENABLE_FILTER}) {
        HWND dialog = CreateDialogParamA(texts, MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0);
        HWND original = CreateDialogParamA(exeInstance, MAKEINTRESOURCEA(id), nullptr, PassiveDialogProc, 0);
        EXPECT_EQ(ControlShapes(dialog), ControlShapes(original)) << "dialog " << id;
        ExpectTextsFit(dialog, 96);
        ExpectUniqueAccelerators(ControlTexts(dialog), "dialog " + std::to_string(id));
        DestroyWindow(original);
        DestroyWindow(dialog);
    }

    // The panel over the shipped filters with their names in this language.
    RegisterBuiltinFilters();
    LoadFilterFiles((PL_PROGRAM_DIR + std::string("filter\\")).c_str());
    EXPECT_EQ(filterTable.count, 10) << "the four built-in filters and the six shipped ones";
    for (int i = 0; i < filterTable.count; ++i)
        EnableFilterByName(filterTable.records[i].name);
    RegisterPreviewClass();
    RegisterPanelClass();
    CreatePreviewWindow(nullptr, PrimaryMonitor());
    ExpectTextsFit(panelWindow, 96);
    HWND list = GetDlgItem(panelWindow, 1000);
    RECT rows;
    GetClientRect(list, &rows);
    HDC dc = GetDC(list);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
    for (int i = 0; i < filterTable.count; ++i) {
        const char* name = enabledList.entries[i]->displayName;
        const std::wstring wide = ExpectDrawable(dc, name);
        SIZE size;  // as the list box draws it: Unicode, whatever the font's character set
        GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
        EXPECT_LE(size.cx + 4, rows.right) << name;  // a list box draws two pixels in
    }
    ReleaseDC(list, dc);
    DestroyWindow(previewWindow);

    // Each error box, shown for real.
    for (UINT id : strings) {
        if (id < IDS_ERR_REGISTER_CLASS)
            continue;
        errorBoxShown = 0;
        SetTimer(nullptr, 0, 100, CheckMessageBox);
        ShowMessageId(nullptr, MB_ICONERROR, id);
    }

    productName[0] = '\0';
    FreeLibrary(resourceModule);
    resourceModule = nullptr;
    DeleteFileA((folder + "\\PLRes.dll").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
