// The operate panel's layout arithmetic and where a stored position ends up.

#include <gtest/gtest.h>

#include "preview/panel_layout.h"

namespace {

// The metrics of the worked example: an 8-point GUI font (m = 11), classic frame sizes.
PanelMetrics ExampleMetrics(int rows)
{
    PanelMetrics metrics{};
    metrics.unit = 11;
    metrics.itemHeight = 13;
    metrics.rows = rows;
    metrics.edgeWidth = metrics.edgeHeight = 2;
    metrics.dialogFrameWidth = metrics.dialogFrameHeight = 3;
    metrics.captionHeight = 19;
    metrics.scrollBarWidth = 16;
    metrics.screenWidth = 1024;
    metrics.screenHeight = 768;
    return metrics;
}

void ExpectRect(const PanelRect& got, int x, int y, int width, int height, const char* what)
{
    EXPECT_EQ(got.x, x) << what;
    EXPECT_EQ(got.y, y) << what;
    EXPECT_EQ(got.width, width) << what;
    EXPECT_EQ(got.height, height) << what;
}

TEST(PanelLayout, WorkedExampleWithSixFilters)
{
    const PanelLayout layout = LayOutPanel(ExampleMetrics(6), 2000, -40);
    ExpectRect(layout.list, 11, 11, 114, 82, "list");
    ExpectRect(layout.button, 29, 104, 77, 21, "button");
    ExpectRect(layout.panel, 882, 0, 142, 161, "panel");
    EXPECT_FALSE(layout.listScrolls);
}

TEST(PanelLayout, ListWidensOnlyForANameThatWouldNotFit)
{
    // The ten-unit list leaves 114 - 4 - 4 = 106 pixels for a name.
    const struct {
        int widestText, listWidth;
    } cases[] = {{0, 114}, {106, 114}, {107, 115}, {150, 158}};
    for (const auto& c : cases) {
        PanelMetrics metrics = ExampleMetrics(6);
        metrics.widestText = c.widestText;
        const PanelLayout layout = LayOutPanel(metrics, 0, 0);
        EXPECT_EQ(layout.list.width, c.listWidth) << "text " << c.widestText;
        EXPECT_EQ(layout.panel.width, c.listWidth + 28) << "text " << c.widestText;
        EXPECT_EQ(layout.button.x, (c.listWidth - 55) / 2) << "text " << c.widestText;
    }
}

TEST(PanelLayout, StoredPositionIsPulledOntoTheScreen)
{
    // Panel 142 x 161 on 1024 x 768: x in 0..882, y in 0..607.
    const struct {
        int storedX, storedY, x, y;
    } cases[] = {
        {0, 0, 0, 0},         {100, 200, 100, 200}, {-5, -7, 0, 0},
        {882, 607, 882, 607}, {883, 608, 882, 607}, {5000, 5000, 882, 607},
        {-100, 700, 0, 607},  {-2147483647 - 1, 2147483647, 0, 607},
    };
    for (const auto& c : cases) {
        const PanelLayout layout = LayOutPanel(ExampleMetrics(6), c.storedX, c.storedY);
        EXPECT_EQ(layout.panel.x, c.x) << "stored " << c.storedX << "," << c.storedY;
        EXPECT_EQ(layout.panel.y, c.y) << "stored " << c.storedX << "," << c.storedY;
    }
}

TEST(PanelLayout, ListHeightFollowsTheRowCount)
{
    const struct {
        int rows, listHeight, panelHeight;
    } cases[] = {
        {0, 4, 83}, {1, 17, 96}, {7, 95, 174},
    };
    for (const auto& c : cases) {
        const PanelLayout layout = LayOutPanel(ExampleMetrics(c.rows), 0, 0);
        EXPECT_EQ(layout.list.height, c.listHeight) << c.rows << " rows";
        EXPECT_EQ(layout.panel.height, c.panelHeight) << c.rows << " rows";
        EXPECT_EQ(layout.button.y, c.listHeight + 22) << c.rows << " rows";
        EXPECT_FALSE(layout.listScrolls);
    }
}

TEST(PanelLayout, RowsThatDoNotFitScrollAndTheCaptionStaysOnScreen)
{
    // 128 rows of 13 pixels cannot fit 768 pixels: chrome is 79, so 689 - 4 = 685 pixels
    // hold 52 whole rows.
    const PanelLayout layout = LayOutPanel(ExampleMetrics(128), 300, 500);
    EXPECT_TRUE(layout.listScrolls);
    EXPECT_EQ(layout.list.height, 52 * 13 + 4);
    EXPECT_EQ(layout.list.width, 114 + 16);
    EXPECT_EQ(layout.panel.height, 52 * 13 + 4 + 79);
    EXPECT_LE(layout.panel.height, 768);
    EXPECT_EQ(layout.panel.y, 768 - layout.panel.height);
    EXPECT_EQ(layout.panel.width, 130 + 28);
    EXPECT_EQ(layout.button.x, (130 - 55) / 2);

    // The last row that still fits without scrolling: 52 rows make the panel 759 high.
    EXPECT_FALSE(LayOutPanel(ExampleMetrics(52), 0, 0).listScrolls);
    EXPECT_TRUE(LayOutPanel(ExampleMetrics(53), 0, 0).listScrolls);

    // A screen too low for even one row: still one row, and the top stays on the screen.
    PanelMetrics tiny = ExampleMetrics(10);
    tiny.screenHeight = 50;
    const PanelLayout squeezed = LayOutPanel(tiny, 0, 40);
    EXPECT_EQ(squeezed.list.height, 17);
    EXPECT_EQ(squeezed.panel.y, 0);
}

}  // namespace
