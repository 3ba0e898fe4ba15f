// The operate panel's layout: m, list, m from left to right; m, list, m, button, m from top
// to bottom, inside a dialog frame with a caption.

#include "preview/panel_layout.h"

namespace {

int ListHeight(const PanelMetrics& metrics, int rows)
{
    return rows * metrics.itemHeight + 2 * metrics.edgeHeight;
}

}  // namespace

PanelLayout LayOutPanel(const PanelMetrics& metrics, int storedX, int storedY)
{
    const int m = metrics.unit;
    // Everything of the panel's height but the list: margins, button, frame and caption.
    const int chromeHeight = 4 * m + 10 + 2 * metrics.dialogFrameHeight + metrics.captionHeight;

    PanelLayout layout{};
    int listWidth = 2 * (metrics.edgeWidth + 5 * m);
    // A list box draws its rows two pixels in from its client edge.
    const int textRoom = metrics.widestText + 4 + 2 * metrics.edgeWidth;
    if (textRoom > listWidth)
        listWidth = textRoom;
    const int areaHeight = metrics.areaBottom - metrics.areaTop;
    int listHeight = ListHeight(metrics, metrics.rows);
    if (metrics.rows > 0 && listHeight + chromeHeight > areaHeight) {
        // Show the whole rows that fit (at least one) and give the list a scroll bar,
        // widened by the bar so the names keep their room.
        int visibleRows = (areaHeight - chromeHeight - 2 * metrics.edgeHeight) /
                          (metrics.itemHeight > 0 ? metrics.itemHeight : 1);
        if (visibleRows < 1)
            visibleRows = 1;
        listHeight = ListHeight(metrics, visibleRows);
        listWidth += metrics.scrollBarWidth;
        layout.listScrolls = true;
    }

    layout.list = {m, m, listWidth, listHeight};
    // (LW - 5m) / 2 = m + (LW - 7m) / 2: the button is centred under the list.
    layout.button = {(listWidth - 5 * m) / 2, listHeight + 2 * m, 7 * m, m + 10};

    const int panelWidth = listWidth + 2 * (m + metrics.dialogFrameWidth);
    const int panelHeight = listHeight + chromeHeight;
    // A position stored on another monitor, or on one that is gone, is pulled onto this one.
    int x = storedX < metrics.areaLeft ? metrics.areaLeft : storedX;
    int y = storedY < metrics.areaTop ? metrics.areaTop : storedY;
    if (x > metrics.areaRight - panelWidth)
        x = metrics.areaRight - panelWidth;
    if (y > metrics.areaBottom - panelHeight)
        y = metrics.areaBottom - panelHeight;
    // The caption must stay reachable even on a monitor too low for a single row.
    if (y < metrics.areaTop)
        y = metrics.areaTop;
    layout.panel = {x, y, panelWidth, panelHeight};
    return layout;
}
