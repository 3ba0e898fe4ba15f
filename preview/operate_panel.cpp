// The operate panel. It is an ordinary window, not a dialog; the message loop gives it Tab,
// Esc and arrow-key handling through IsDialogMessageA.

#include "preview/operate_panel.h"

#include <initializer_list>

#include "app/app.h"
#include "app/dpi.h"
#include "app/resource_module.h"
#include "filter/filter_table.h"
#include "preview/panel_layout.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"

HWND panelWindow;

namespace {

const char kPanelClass[] = "operatepanel.wndclass.prismolenteer.morvask";
const DWORD kPanelStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
const DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY;

HWND panelList;
HWND panelCloseButton;
// The GUI font at the DPI of the panel's monitor.
HFONT panelFont;
bool listScrolls;

// What CreateOperatePanel hands to the creation handling.
struct PanelRequest {
    HMONITOR monitor;
    RECT area;  // the monitor in screen pixels
};

HWND CreateList(HWND panel, HFONT font, DWORD style)
{
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", style, 0, 0, 0, 0, panel,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPanelListId)),
                                exeInstance, nullptr);
    if (list != nullptr && font != nullptr)
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return list;
}

// The width of the widest display name as the list draws it.
int WidestDisplayName(HWND list, HFONT font)
{
    HDC dc = GetDC(list);
    HGDIOBJ previous = SelectObject(dc, font);
    int widest = 0;
    for (int i = 0; i < enabledList.count; ++i) {
        const char* name = enabledList.entries[i]->displayName;
        SIZE size{};
        if (GetTextExtentPoint32A(dc, name, lstrlenA(name), &size) && size.cx > widest)
            widest = size.cx;
    }
    SelectObject(dc, previous);
    ReleaseDC(list, dc);
    return widest;
}

// The frame and scroll-bar sizes at `dpi`, and the bounds of the monitor, `area`.
PanelMetrics MeasurePanel(const RECT& area, UINT dpi, int unit, int itemHeight, int widestText)
{
    PanelMetrics metrics{};
    metrics.unit = unit;
    metrics.itemHeight = itemHeight;
    metrics.rows = enabledList.count;
    metrics.widestText = widestText;
    metrics.edgeWidth = MetricForDpi(SM_CXEDGE, dpi);
    metrics.edgeHeight = MetricForDpi(SM_CYEDGE, dpi);
    metrics.dialogFrameWidth = MetricForDpi(SM_CXDLGFRAME, dpi);
    metrics.dialogFrameHeight = MetricForDpi(SM_CYDLGFRAME, dpi);
    metrics.captionHeight = MetricForDpi(SM_CYCAPTION, dpi);
    metrics.scrollBarWidth = MetricForDpi(SM_CXVSCROLL, dpi);
    metrics.areaLeft = area.left;
    metrics.areaTop = area.top;
    metrics.areaRight = area.right;
    metrics.areaBottom = area.bottom;
    return metrics;
}

void FillList()
{
    for (int i = 0; i < enabledList.count; ++i)
        SendMessageA(panelList, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(enabledList.entries[i]->displayName));
}

// Sizes the panel and its controls for `dpi` on the monitor `area`, its top-left corner at
// (x, y) pulled onto the monitor. The list is made again when it gains or loses its scroll
// bar.
void LayOutPanelWindows(HWND panel, const RECT& area, UINT dpi, int x, int y)
{
    HFONT previousFont = panelFont;
    panelFont = GetGuiFontForDpi(dpi);
    LOGFONTA logFont{};
    GetObjectA(panelFont, sizeof logFont, &logFont);
    const int unit = logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight;
    for (HWND window : {panelList, panelCloseButton})
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(panelFont), FALSE);
    ReleaseGuiFont(previousFont);

    const int itemHeight = static_cast<int>(SendMessageA(panelList, LB_GETITEMHEIGHT, 0, 0));
    const PanelLayout layout = LayOutPanel(
        MeasurePanel(area, dpi, unit, itemHeight, WidestDisplayName(panelList, panelFont)), x, y);
    if (layout.listScrolls != listScrolls) {
        // More rows than the monitor can show, or no longer: the list with or without a
        // scroll bar, the same row selected.
        const LRESULT row = SendMessageA(panelList, LB_GETCURSEL, 0, 0);
        HWND list = CreateList(panel, panelFont, kListStyle | (layout.listScrolls ? WS_VSCROLL : 0));
        if (list != nullptr) {
            const bool focused = GetFocus() == panelList;
            DestroyWindow(panelList);
            panelList = list;
            listScrolls = layout.listScrolls;
            SetWindowPos(panelList, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            FillList();
            SendMessageA(panelList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            if (focused)
                SetFocus(panelList);
        }
    }

    MoveWindow(panelList, layout.list.x, layout.list.y, layout.list.width, layout.list.height,
               FALSE);
    MoveWindow(panelCloseButton, layout.button.x, layout.button.y, layout.button.width,
               layout.button.height, FALSE);
    MoveWindow(panel, layout.panel.x, layout.panel.y, layout.panel.width, layout.panel.height,
               FALSE);
}

int OnCreate(HWND panel, const CREATESTRUCTA* creation)
{
    const PanelRequest& request = *static_cast<const PanelRequest*>(creation->lpCreateParams);
    // Without a list or a button the panel stays as created: no layout, no rows. The
    // preview still opens and Esc still closes it.
    listScrolls = false;
    panelList = CreateList(panel, nullptr, kListStyle);
    if (panelList == nullptr)
        return 0;

    char closeText[512];
    LoadResString(IDS_CLOSE, closeText, sizeof closeText);
    panelCloseButton = CreateWindowExA(0, "BUTTON", closeText, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                       0, 0, 0, 0, panel,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPanelCloseId)),
                                       exeInstance, nullptr);
    if (panelCloseButton == nullptr)
        return 0;

    FillList();
    SendMessageA(panelList, LB_SETCURSEL, 0, 0);
    LayOutPanelWindows(panel, request.area, MonitorDpi(request.monitor), settings.PositionX,
                       settings.PositionY);
    return 0;
}

// Dragged onto a monitor of another DPI: Windows scales only the frame and the caption;
// the font, the unit and the controls follow here, at the place Windows suggests.
void OnDpiChanged(HWND panel, UINT dpi, const RECT* suggested)
{
    if (panelList == nullptr || panelCloseButton == nullptr)
        return;
    RECT area;
    if (!GetMonitorArea(MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST), &area))
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    LayOutPanelWindows(panel, area, dpi, suggested->left, suggested->top);
    InvalidateRect(panel, nullptr, TRUE);
}

void OnDestroy(HWND panel)
{
    // Where the user left the panel; the settings reach the registry at exit.
    RECT frame;
    GetWindowRect(panel, &frame);
    settings.PositionX = frame.left;
    settings.PositionY = frame.top;
    if (panelList != nullptr) {
        DestroyWindow(panelList);
        panelList = nullptr;
    }
    if (panelCloseButton != nullptr) {
        DestroyWindow(panelCloseButton);
        panelCloseButton = nullptr;
    }
    ReleaseGuiFont(panelFont);
    panelFont = nullptr;
    panelWindow = nullptr;
}

void OnPaint(HWND panel)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(panel, &paint);
    HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    HGDIOBJ previous = SelectObject(dc, brush);
    RECT client;
    GetClientRect(panel, &client);
    FillRect(dc, &client, brush);
    SelectObject(dc, previous);
    DeleteObject(brush);
    EndPaint(panel, &paint);
}

void OnSelectionChange(HWND panel, HWND list)
{
    const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR || row == selectedFilterIndex)
        return;
    selectedFilterIndex = static_cast<int>(row);
    PostMessageA(GetParent(panel), WM_PREVIEW_REFILTER, 0, 0);
}

// Returns true when the command was handled; the rest goes to default processing.
bool OnCommand(HWND panel, WORD id, WORD code, HWND control)
{
    switch (id) {
    case IDCANCEL:  // Esc, turned into a command by the dialog navigation
        SendMessageA(panel, WM_CLOSE, 0, 0);
        return true;
    case kPanelListId:
        if (code != LBN_SELCHANGE)
            return false;
        OnSelectionChange(panel, control);
        return true;
    case kPanelCloseId:
        if (code != BN_CLICKED)
            return false;
        PostMessageA(panel, WM_CLOSE, 0, 0);
        return true;
    }
    return false;
}

LRESULT CALLBACK PanelProc(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:         return OnCreate(panel, reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_DESTROY:        OnDestroy(panel); return 0;
    case WM_SETFOCUS:       SetFocus(GetDlgItem(panel, kPanelListId)); return 0;  // to the list
    case WM_PAINT:          OnPaint(panel); return 0;
    case WM_IME_SETCONTEXT: return 0;  // a list to choose from: no input method window
    case WM_DPICHANGED:     OnDpiChanged(panel, HIWORD(wParam), reinterpret_cast<RECT*>(lParam)); return 0;
    case WM_PANEL_ESCAPE:   SendMessageA(panel, WM_CLOSE, 0, 0); return 0;
    // The panel never closes itself: the preview ends and takes the panel with it.
    case WM_CLOSE:          PostMessageA(GetParent(panel), WM_CLOSE, 0, 0); return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            return SendMessageA(panel, WM_PANEL_ESCAPE, 0, 0);
        break;
    case WM_COMMAND:
        if (OnCommand(panel, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return 0;
        break;
    }
    return DefWindowProcA(panel, msg, wParam, lParam);
}

}  // namespace

ATOM RegisterPanelClass()
{
    return RegisterProgramClass(kPanelClass, PanelProc, true);
}

HWND CreateOperatePanel(HWND owner, HMONITOR monitor, const RECT& area)
{
    PanelRequest request = {monitor, area};
    HWND panel = CreateWindowExA(0, kPanelClass, productName, kPanelStyle, 0, 0, 0, 0, owner,
                                 nullptr, exeInstance, &request);
    if (panel == nullptr)
        return nullptr;
    ShowWindow(panel, SW_SHOWNORMAL);
    UpdateWindow(panel);
    panelWindow = panel;
    return panel;
}
