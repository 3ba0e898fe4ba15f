// Where the operate panel and its two controls go: pure arithmetic on the system metrics,
// kept apart from the window code so that it can be checked on its own. No windows.h.
#pragma once

// Every size in pixels at the DPI of the monitor the panel opens on.
struct PanelMetrics {
    int unit;               // m: |lfHeight| of the GUI font, the unit of every margin
    int itemHeight;         // height of one list row
    int rows;               // enabled filters to list
    int widestText;         // width of the widest display name in the list's font
    int edgeWidth, edgeHeight;            // SM_CXEDGE, SM_CYEDGE
    int dialogFrameWidth, dialogFrameHeight;  // SM_CXDLGFRAME, SM_CYDLGFRAME
    int captionHeight;      // SM_CYCAPTION
    int scrollBarWidth;     // SM_CXVSCROLL
    int areaLeft, areaTop, areaRight, areaBottom;  // the monitor, in screen coordinates
};

struct PanelRect {
    int x, y, width, height;
};

struct PanelLayout {
    PanelRect list;    // in the panel's client area
    PanelRect button;  // in the panel's client area
    PanelRect panel;   // on the screen
    bool listScrolls;  // the rows do not all fit on the screen
};

// Lays the panel out for its stored top-left corner (storedX, storedY), pulled onto the
// monitor. The list is ten units wide, or wider when a display name would not fit. When the
// rows would make the panel taller than the monitor, the list shows as many whole rows as
// fit and scrolls, so that the caption and every row stay reachable.
PanelLayout LayOutPanel(const PanelMetrics& metrics, int storedX, int storedY);
