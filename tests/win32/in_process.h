// What the tests inside a Wine process share: the program's headers, and a stand-in for the
// message boxes that the code under test shows.
#pragma once

#include <algorithm>
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
#include "tray/program_windows.h"

inline HMONITOR PrimaryMonitor()
{
    return MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

// For dialogs made from a template only to be looked at.
inline INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// `text` as the user reads it: from the ANSI code page, every character with a glyph in the
// font selected into `dc`. Empty when the bytes are no text of that code page.
inline std::wstring ExpectDrawable(HDC dc, const char* text)
{
    std::wstring wide(512, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], 512);
    EXPECT_GT(length, 0) << '"' << text << "\" is no text of code page " << GetACP();
    wide.resize(length > 0 ? length - 1 : 0);
    std::vector<WORD> glyphs(wide.size());
    GetGlyphIndicesW(dc, wide.c_str(), int(wide.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_EQ(std::count(glyphs.begin(), glyphs.end(), 0xFFFF), 0) << '"' << text << "\" lacks glyphs";
    return wide;
}

// Every text of `window`'s controls fits and can be drawn: check boxes and radio buttons draw
// their box first, a group box's caption and a push button's text stand inside a frame, and
// a static control's text may wrap at spaces onto the lines the control has room for.
inline void ExpectTextsFit(HWND window, UINT dpi)
{
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char text[512] = "", kind[16] = "";
        GetWindowTextA(control, text, sizeof text);
        GetClassNameA(control, kind, sizeof kind);
        const LONG style = GetWindowLongA(control, GWL_STYLE) & 0xF;
        const bool isStatic = lstrcmpiA(kind, "Static") == 0;
        if (!text[0] || (isStatic && style == SS_ICON))
            continue;
        int frame = 0;
        if (lstrcmpiA(kind, "Button") == 0)
            frame = ScaleForDpi(style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON ? 4 : style == BS_GROUPBOX ? 16 : 17, dpi);
        RECT client;
        GetClientRect(control, &client);
        const bool wraps = isStatic && style <= SS_RIGHT;
        RECT needed = {0, 0, wraps ? client.right : 0, 0};
        HDC dc = GetDC(control);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        // Controls draw Unicode: DrawTextA would decode in the font's character set instead.
        const std::wstring wide = ExpectDrawable(dc, text);
        DrawTextW(dc, wide.c_str(), -1, &needed, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        ReleaseDC(control, dc);
        EXPECT_TRUE(needed.right + frame <= client.right && needed.bottom <= client.bottom)
            << '"' << text << "\" needs " << needed.right + frame << "x" << needed.bottom << " of "
            << client.right << "x" << client.bottom << " at " << dpi << " DPI";
    }
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

    static inline void (*whileShown_)();
    ImportPatch patch_{"user32.dll", "MessageBoxA", reinterpret_cast<void*>(Show)};
};
