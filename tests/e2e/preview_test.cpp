// The preview with every filter, each chosen by key or click and compared pixel for pixel
// with the program's own cube lookup (the core's tests check the cubes by hand-worked cells).

#include <cstdio>
#include <cstdlib>

#include "filter/filter_folder.h"
#include "filter/filter_table.h"
#include "tests/e2e/driver.h"

namespace {

// A value is looked up at its nearest level of 0, 17, ..., 255: level k takes 17k - 8 to
// 17k + 8. The pattern holds both ends of every level of each channel in all combinations,
// so every cube cell from both sides of every boundary between two levels.
const int kPatternWidth = 256, kPatternHeight = 128;

COLORREF PatternColor(int pixel)
{
    auto value = [](int i) { return std::min(255, std::max(0, 17 * (i / 2) + 16 * (i % 2) - 8)); };
    return RGB(value(pixel >> 10), value(pixel >> 5 & 31), value(pixel & 31));
}

// The pattern as a static control in the screen's last columns, above the taskbar.
void ShowPattern(const RECT& area)
{
    BITMAPINFOHEADER format{sizeof format, kPatternWidth, -kPatternHeight, 1, 24};
    BYTE* bits = nullptr;  // blue, green, red: no alpha for a control to blend with
    HBITMAP picture = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&format),
                                       DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    for (int pixel = 0; pixel < kPatternWidth * kPatternHeight; ++pixel)
        for (int byte = 0; byte < 3; ++byte)
            *bits++ = static_cast<BYTE>(PatternColor(pixel) >> (16 - 8 * byte));
    HWND pattern = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP | WS_VISIBLE | SS_BITMAP,
                                   area.left, area.top, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(pattern, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

// Whether the screen shows the pattern as the program's own lookup has it through row `row`.
::testing::AssertionResult Shows(const RECT& area, int row)
{
    const FilterRecord& filter = filterTable.records[row];
    std::vector<COLORREF> want, got;
    for (int pixel = 0; pixel < kPatternWidth * kPatternHeight; ++pixel) {
        const COLORREF color = PatternColor(pixel);
        want.push_back(filter.kind == FilterKind::Identity ? color : LookupColor(color, filter));
    }
    if (WaitUntil([&] { return (got = ScreenPixels(area)) == want; }))
        return ::testing::AssertionSuccess();
    const size_t i = std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
    char text[64] = "";
    std::snprintf(text, sizeof text, ": pixel %u is 0x%06lX, not 0x%06lX (0xBBGGRR)",
                  static_cast<unsigned>(i), got[i], want[i]);
    return ::testing::AssertionFailure() << filter.displayName << text;
}

using PreviewWithEveryFilter = ProgramTest;

TEST_F(PreviewWithEveryFilter, ShowsEachFilterExactlyAndThePanelKeepsItsPlace)
{
    // Wine's virtual desktop at a width whose rows of 4098 bytes are padded to 4100.
    const int width = 1366, height = 768;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);

    // Every filter enabled, in the order the program finds them.
    RegisterBuiltinFilters();
    LoadFilterFiles(filterFolder_.c_str());
    ASSERT_EQ(filterTable.count, 10) << "four built-in filters and six files";
    std::string enabled = filterTable.records[0].name;
    for (int row = 1; row < filterTable.count; ++row)
        enabled += "," + std::string(filterTable.records[row].name);
    Store("NoSplash", 1);
    Store("EnableFilters", enabled.c_str());
    Store("Position", "5000,-40");  // off the screen

    const RECT area{width - kPatternWidth, height - 200, width, height - 200 + kPatternHeight};
    ShowPattern(area);
    ASSERT_TRUE(Shows(area, 0)) << "the pattern is not on the screen";

    Start();
    PressKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "no preview";
    RECT placed{}, screen{0, 0, width, height};
    GetWindowRect(Preview(), &placed);
    EXPECT_TRUE(EqualRect(&placed, &screen)) << "the preview does not cover the screen";
    GetWindowRect(Panel(), &placed);
    EXPECT_TRUE(placed.right == width && placed.top == 0) << "the panel is not on the screen";

    // Every row in turn, odd rows by the Down key, even rows by a click.
    HWND list = GetDlgItem(Panel(), kPanelListId);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), filterTable.count);
    for (int row = 0; row < filterTable.count; ++row) {
        if (row % 2 == 1)
            PressKey(VK_DOWN);
        else if (row > 0)
            ClickIn(list, row);
        EXPECT_TRUE(Shows(area, row));
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), row);
    }

    // Dragged by its caption, the panel reopens where it was left, at the first row.
    const POINT grab{placed.left + 30, placed.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
    Drag(grab, {grab.x + 300 - placed.left, grab.y + 200});
    RECT dragged{};
    EXPECT_TRUE(WaitUntil([&] {
        GetWindowRect(Panel(), &dragged);
        return std::abs(dragged.left - 300) <= 2 && std::abs(dragged.top - 200) <= 2;
    })) << "the panel is at " << dragged.left << "," << dragged.top;
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitUntil([&] { return PreviewGone(); })) << "Esc";
    // The pattern painted again first: until then the screen may still hold the last
    // filter's picture, which the next capture would take.
    ASSERT_TRUE(Shows(area, 0)) << "the pattern did not come back";
    PressKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); }));
    GetWindowRect(Panel(), &placed);
    EXPECT_TRUE(placed.left == dragged.left && placed.top == dragged.top) << "moved";
    EXPECT_EQ(SendMessageA(GetDlgItem(Panel(), kPanelListId), LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Shows(area, 0));

    ClickIn(GetDlgItem(Panel(), kPanelCloseId));
    ASSERT_TRUE(WaitUntil([&] { return PreviewGone(); })) << "Close";
    Exit();
    EXPECT_EQ(StoredValue("Position"),
              std::to_string(dragged.left) + "," + std::to_string(dragged.top));
}

}  // namespace
