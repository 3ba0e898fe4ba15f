// Finding and reading the message boxes of a process from outside the box's own modal
// loop (another thread or another process), and dismissing them.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

struct ShownBox {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    bool hasIcon = false;
};

namespace message_boxes {

const int kTextControlId = 0xFFFF;  // the box's static text, on Windows and under Wine
const int kIconControlId = 0x440;

struct Query {
    DWORD processId;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectBox(HWND window, LPARAM param)
{
    Query& query = *reinterpret_cast<Query*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == query.processId && IsWindowVisible(window) &&
        lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, kTextControlId) != nullptr)
        query.found.push_back(window);
    return TRUE;
}

}  // namespace message_boxes

// Visible message boxes of a process.
inline std::vector<HWND> MessageBoxesOf(DWORD processId)
{
    message_boxes::Query query{processId, {}};
    EnumWindows(message_boxes::CollectBox, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

inline ShownBox ReadMessageBox(HWND box)
{
    ShownBox shown;
    shown.window = box;
    shown.owner = GetWindow(box, GW_OWNER);
    char text[2048] = "";
    GetWindowTextA(box, text, sizeof text);
    shown.caption = text;
    text[0] = '\0';
    GetDlgItemTextA(box, message_boxes::kTextControlId, text, sizeof text);
    shown.text = text;
    HWND icon = GetDlgItem(box, message_boxes::kIconControlId);
    shown.hasIcon = icon != nullptr && IsWindowVisible(icon) &&
                    SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    return shown;
}

// Presses the box's first button (OK, or Yes), as a click does.
inline void DismissMessageBox(HWND box)
{
    HWND button = FindWindowExA(box, nullptr, "Button", nullptr);
    const int id = button != nullptr ? GetDlgCtrlID(button) : IDOK;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}
