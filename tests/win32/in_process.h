// What the tests inside a Wine process share: the program's headers, and a stand-in for the
// message boxes that the code under test shows.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/dpi.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "dialogs/splash_window.h"
#include "preview/capture.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/filter_fixture.h"
#include "tests/support/literal_transform.h"
#include "tests/support/message_boxes.h"
#include "tests/win32/import_patch.h"
#include "tray/main_frame.h"
#include "tray/preview_triggers.h"

// The program's instance, its built-in filters and the classes of the preview and its
// panel, as start-up makes them. True when both classes were registered.
inline bool ReadyThePreview()
{
    exeInstance = GetModuleHandleA(nullptr);
    RegisterBuiltinFilters();
    const bool preview = RegisterPreviewClass() != 0;
    const bool panel = RegisterPanelClass() != 0;
    return preview && panel;
}

// The program's message loop (app/main.cpp) until `done` holds; false after 10 seconds.
template <typename Done>
bool RunLoopUntil(Done done)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(5)) {
        if (GetTickCount() - start > 10000)
            return false;
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            if (!TakePreviewKeyboardMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
    }
    return true;
}

inline void SendKey(WORD key, bool up = false)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki = {key, WORD(MapVirtualKeyA(key, 0)), DWORD(up ? KEYEVENTF_KEYUP : 0), 0, 0};
    SendInput(1, &input, sizeof input);
}

// Presses the keys in order and lets go of them in reverse.
inline void Press(std::initializer_list<WORD> keys)
{
    for (WORD key : keys)
        SendKey(key);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key)
        SendKey(*key, true);
}

// For dialogs made from a template only to be looked at.
inline INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// `text` as the user reads it from the ANSI code page, each character with a glyph in `dc`'s font.
inline std::wstring ExpectDrawable(HDC dc, const char* text)
{
    wchar_t wide[512] = L"";
    EXPECT_GT(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, 512), 0) << '"' << text << "\" in code page " << GetACP();
    std::wstring shown = wide;
    std::replace(shown.begin(), shown.end(), L'\t', L' ');  // a menu's tab is a gap, not a glyph
    WORD glyphs[512];
    GetGlyphIndicesW(dc, shown.c_str(), lstrlenW(wide), glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_EQ(std::count(glyphs, glyphs + lstrlenW(wide), 0xFFFF), 0) << '"' << text << "\" lacks glyphs";
    return wide;
}

// No two of `texts` share the key after a single '&' (no trail byte of code page 932 is '&').
inline void ExpectUniqueAccelerators(const std::vector<std::string>& texts)
{
    std::map<int, std::string> taken;
    for (const std::string& text : texts)
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '&' && text[++i] != '&' && !taken.emplace(toupper(BYTE(text[i])), text).second)
                ADD_FAILURE() << '"' << text << "\" and \"" << taken[toupper(BYTE(text[i]))] << "\" share a key";
}

// Every text of `window`'s controls can be drawn and fits, accelerators apart: check and
// radio boxes come first, group and push buttons have a frame, static texts may wrap.
inline void ExpectTextsFit(HWND window, UINT dpi)
{
    std::vector<std::string> texts;
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[512] = "", kind[16] = "";
        GetWindowTextA(control, text, sizeof text);
        GetClassNameA(control, kind, sizeof kind);
        const LONG style = GetWindowLongA(control, GWL_STYLE) & 0xF;
        const bool isStatic = lstrcmpiA(kind, "Static") == 0;
        if (!text[0] || (isStatic && style == SS_ICON))
            continue;
        texts.push_back(text);
        const int frame = lstrcmpiA(kind, "Button") != 0 ? 0 :
            ScaleForDpi(style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON ? 4 : style == BS_GROUPBOX ? 16 : 17, dpi);
        RECT client;
        GetClientRect(control, &client);
        const bool wraps = isStatic && style <= SS_RIGHT;  // SS_LEFT, SS_CENTER, SS_RIGHT
        RECT needed = {0, 0, wraps ? client.right : 0, 0};
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        // Controls draw Unicode: DrawTextA would decode in the font's character set instead.
        DrawTextW(dc, ExpectDrawable(dc, text).c_str(), -1, &needed, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        ReleaseDC(control, dc);
        EXPECT_TRUE(needed.right + frame <= client.right && needed.bottom <= client.bottom)
            << '"' << text << "\" needs " << needed.right + frame << "x" << needed.bottom << " of " << client.right << "x" << client.bottom << " at " << dpi << " DPI";
    }
    ExpectUniqueAccelerators(texts);
}

// Stands in for MessageBoxA while it lives, no error box shown yet: records each box and
// answers with its first button, after running `whileShown` as if through the box's loop.
// Like a real box under Wine, it leaves its owner enabled, even one disabled before.
class MessageBoxes {
public:
    explicit MessageBoxes(void (*whileShown)() = nullptr)
    {
        shown.clear();
        whileShown_ = whileShown;
        errorBoxShown = 0;
    }

    static inline std::vector<ShownBox> shown;  // hasIcon: asked for one

private:
    static int WINAPI Show(HWND owner, const char* text, const char* title, UINT type)
    {
        shown.push_back({nullptr, owner, title ? title : "(none)", text, bool(type & MB_ICONMASK)});
        if (whileShown_ != nullptr)
            whileShown_();
        EnableWindow(owner, TRUE);
        return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }

    // A box whose text names a file comes in UTF-16; it is kept in the ANSI code page.
    static int WINAPI ShowWide(HWND owner, const wchar_t* text, const wchar_t* title, UINT type)
    {
        char ansiText[2048] = "", ansiTitle[256] = "";
        WideCharToMultiByte(CP_ACP, 0, text, -1, ansiText, sizeof ansiText, nullptr, nullptr);
        WideCharToMultiByte(CP_ACP, 0, title ? title : L"(none)", -1, ansiTitle, sizeof ansiTitle, nullptr, nullptr);
        return Show(owner, ansiText, ansiTitle, type);
    }

    static inline void (*whileShown_)();
    ImportPatch patch_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(Show)};
    ImportPatch patchWide_{"user32.dll", "MessageBoxW", reinterpret_cast<void*>(ShowWide)};
};
