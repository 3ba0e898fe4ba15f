// Finding, reading and dismissing the message boxes of a process from outside the box's
// own modal loop (another thread or another process).
#pragma once

#include <string>
#include <vector>

#include <windows.h>

struct ShownBox {
    HWND window = nullptr, owner = nullptr;
    std::string caption, text;
    bool hasIcon = false;
};

// Visible message boxes of a process: dialogs with a box's static text (control 0xFFFF).
inline std::vector<HWND> MessageBoxesOf(DWORD processId)
{
    std::vector<HWND> boxes;
    for (HWND box = nullptr; (box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr;) {
        DWORD process = 0;
        GetWindowThreadProcessId(box, &process);
        if (process == processId && IsWindowVisible(box) && GetDlgItem(box, 0xFFFF) != nullptr)
            boxes.push_back(box);
    }
    return boxes;
}

inline ShownBox ReadMessageBox(HWND box)
{
    char caption[256] = "", text[2048] = "";
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    HWND icon = GetDlgItem(box, 0x440);  // the box's icon control, on Windows and under Wine
    return {box, GetWindow(box, GW_OWNER), caption, text,
            icon != nullptr && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0)};
}

// Presses the box's first button (OK, or Yes), as a click does.
inline void DismissMessageBox(HWND box)
{
    HWND button = FindWindowExA(box, nullptr, "Button", nullptr);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button ? GetDlgCtrlID(button) : IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}
