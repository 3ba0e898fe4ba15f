// Resource identifiers, read by both the resource compiler and the C++ code: plain
// #defines only. A language module must use the same numbers.
#pragma once

// String table.
#define IDS_PRODUCT_NAME          10000
#define IDS_CLOSE                 10001
#define IDS_ERR_REGISTER_CLASS    11000
#define IDS_ERR_CREATE_WINDOW     11001
#define IDS_ERR_CREATE_SPLASH     11002
#define IDS_ERR_REGISTER_HOTKEY   11003

// Icon and splash picture. The windows and the tray show the executable's icon, the About
// box its template's module's; the picture may be localized.
#define IDI_MAIN                  100
#define IDB_SPLASH                101

// Tray menu: one popup, "TasktrayClick".
#define IDR_TRAY_MENU             200
#define IDM_EXIT                  1004
#define IDM_ABOUT                 1005
#define IDM_OPTION                1006
#define IDM_LIVE_VIEW             1007

// About box.
#define IDD_ABOUT                 300

// Option dialog.
#define IDD_OPTION                301
#define IDC_HOTKEY                2000
#define IDC_HOTKEY_CTRL           2001
#define IDC_HOTKEY_ALT            2002
#define IDC_HOTKEY_VKEY           2003
#define IDC_CURSOR_POSITION       2004
#define IDC_LEFT_UP               2005
#define IDC_LEFT_DOWN             2006
#define IDC_RIGHT_UP              2007
#define IDC_RIGHT_DOWN            2008
#define IDC_NO_SPLASH             2009
#define IDC_FILTER_LIST           2010
#define IDC_UP                    2011
#define IDC_DOWN                  2012
#define IDC_ENABLE                2013
#define IDC_DISABLE               2014

// Enable filter dialog.
#define IDD_ENABLE_FILTER         302
#define IDC_AVAILABLE_LIST        2020

// Keeping what the preview shows: its menu, its shortcut keys and its messages.
#define IDR_PREVIEW_MENU          210
#define IDR_PREVIEW_KEYS          211
#define IDM_PREVIEW_COPY          1100
#define IDM_PREVIEW_SAVE          1101
#define IDM_PREVIEW_SAVE_SHEET    1102
#define IDM_PREVIEW_CLOSE         1103
#define IDM_PREVIEW_LIVE_VIEW     1104
#define IDS_PNG_FILE_TYPE         10100
#define IDS_SHEET_FILE_LABEL      10101
#define IDS_COPY_CLIPBOARD_BUSY   11100
#define IDS_COPY_NO_MEMORY        11101
#define IDS_IMAGE_NO_IMAGING      11110
#define IDS_IMAGE_MISSING         11111
#define IDS_IMAGE_UNREADABLE      11112
#define IDS_IMAGE_UNSUPPORTED     11113
#define IDS_IMAGE_DAMAGED         11114
#define IDS_IMAGE_TOO_LARGE       11115
#define IDS_IMAGE_EXISTS          11116
#define IDS_IMAGE_UNWRITABLE      11117
#define IDS_IMAGE_ENCODE_FAILED   11118
#define IDS_IMAGE_IS_FOLDER       11119
#define IDS_IMAGE_IS_DEVICE       11120

// The capture's message: %1 and %2 stand for the monitor's width and height in pixels.
#define IDS_CAPTURE_NO_MEMORY     11200

// The live view's menu: the enabled filters go before its first item, with the commands
// from IDM_LIVE_FILTER on, one for each filter of the filter table.
#define IDR_LIVE_MENU             220
#define IDM_LIVE_FOLLOW_POINTER   1200
#define IDM_LIVE_UNDER_WINDOW     1201
#define IDM_LIVE_ZOOM_1           1202
#define IDM_LIVE_ZOOM_2           1203
#define IDM_LIVE_ZOOM_4           1204
#define IDM_LIVE_COPY             1205
#define IDM_LIVE_SAVE             1206
#define IDM_LIVE_CLOSE            1207
#define IDM_LIVE_FILTER           1300
