// The preview with every filter: F11 over a test pattern on a desktop whose rows need
// padding, each enabled filter chosen from the panel by key or by click, the screen
// compared pixel for pixel with the program's own cube lookup (the cubes themselves are
// checked against hand-worked cells by the core's tests), Esc and Close, and the panel's
// place.

#include <cstdio>
#include <cstdlib>

#include "filter/filter_file.h"
#include "filter/filter_table.h"
#include "tests/e2e/driver.h"

namespace {

const int kPanelList = 1000, kPanelClose = 1001;

// The cube's levels are 0, 17, ..., 255 and a value is looked up at its nearest level, so
// level k takes the values 17k - 8 to 17k + 8. The pattern holds both ends of every level
// of each channel, in all 32 x 32 x 32 combinations: every cell of the cube, from both
// sides of every boundary between two levels.
const int kPatternWidth = 256, kPatternHeight = 128;

COLORREF PatternColor(int pixel)
{
    auto value = [](int i) { return std::min(255, std::max(0, 17 * (i / 2) + (i % 2 ? 8 : -8))); };
    return RGB(value(pixel >> 10), value(pixel >> 5 & 31), value(pixel & 31));
}

LRESULT CALLBACK PatternProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcA(window, msg, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    for (int pixel = 0; pixel < kPatternWidth * kPatternHeight; ++pixel)
        SetPixelV(dc, pixel % kPatternWidth, pixel / kPatternWidth, PatternColor(pixel));
    EndPaint(window, &paint);
    return 0;
}

// The pattern as the filter shows it.
std::vector<COLORREF> Through(const FilterRecord& filter)
{
    std::vector<COLORREF> pixels;
    for (int pixel = 0; pixel < kPatternWidth * kPatternHeight; ++pixel)
        pixels.push_back(filter.kind == FilterKind::Identity ? PatternColor(pixel)
                                                              : LookupColor(PatternColor(pixel), filter));
    return pixels;
}

std::string FirstDifference(const std::vector<COLORREF>& got, const std::vector<COLORREF>& want)
{
    const size_t i = std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
    char text[80] = "";
    if (i < got.size())
        std::snprintf(text, sizeof text, "pattern pixel %u is 0x%06lX, not 0x%06lX (0xBBGGRR)",
                      static_cast<unsigned>(i), got[i], want[i]);
    return text;
}

using PreviewWithEveryFilter = ProgramTest;

TEST_F(PreviewWithEveryFilter, ShowsEachFilterExactlyAndThePanelKeepsItsPlace)
{
    // Wine's virtual desktop at a width whose rows of 4098 bytes are padded to 4100.
    const int width = 1366, height = 768;
    struct Restore {
        ~Restore() { ChangeDisplaySettingsA(nullptr, 0); }
    } restore;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), width);

    // Every filter enabled: the built-in ones, then the shipped files.
    RegisterBuiltinFilters();
    std::vector<const FilterRecord*> filters;
    std::vector<std::string> names, enabled = {"_normal", "_grayscale", "_hue_gbr", "_hue_brg"};
    for (const std::string& file : ShippedFilterFiles()) {
        LoadFilterFile((WindowsPath(PL_FILTER_DATA_UNIX_DIR) + "\\" + file).c_str(), GetUserDefaultLCID());
        enabled.push_back(file.substr(0, file.find('.')));
    }
    std::string stored;
    for (const std::string& name : enabled) {
        filters.push_back(FindFilterByName(name.c_str()));
        ASSERT_NE(filters.back(), nullptr) << name;
        names.push_back(filters.back()->displayName);
        stored += (stored.empty() ? "" : ",") + name;
    }
    StoreNumber("NoSplash", 1);
    StoreText("EnableFilters", stored.c_str());
    StoreText("Position", "5000,-40");  // off the screen

    // The pattern in the screen's last columns, above the taskbar.
    WNDCLASSA patternClass{};
    patternClass.lpfnWndProc = PatternProc;
    patternClass.lpszClassName = "pattern.e2e";
    RegisterClassA(&patternClass);
    const RECT area{width - kPatternWidth, height - 200, width, height - 200 + kPatternHeight};
    CreateWindowExA(0, "pattern.e2e", "", WS_POPUP | WS_VISIBLE, area.left, area.top,
                    kPatternWidth, kPatternHeight, nullptr, nullptr, nullptr, nullptr);
    auto shows = [&](const FilterRecord* filter) {
        const std::vector<COLORREF> want = Through(*filter);
        if (WaitUntil([&] { return ScreenPixels(area) == want; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << filter->displayName << ": "
                                             << FirstDifference(ScreenPixels(area), want);
    };
    ASSERT_TRUE(shows(filters[0])) << "the pattern is not on the screen";

    Start();
    PressKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "no preview";
    RECT placed{}, screen{0, 0, width, height};
    GetWindowRect(Preview(), &placed);
    EXPECT_TRUE(EqualRect(&placed, &screen)) << "the preview does not cover the screen";
    GetWindowRect(Panel(), &placed);
    EXPECT_TRUE(placed.right == width && placed.top == 0) << "the panel is not on the screen";

    // Every row in turn, odd rows by the Down key, even rows by a click.
    HWND list = GetDlgItem(Panel(), kPanelList);
    EXPECT_EQ(ListRows(list), names);
    for (size_t row = 0; row < filters.size(); ++row) {
        if (row % 2 == 1)
            PressKey(VK_DOWN);
        else if (row > 0)
            ClickListRow(list, static_cast<int>(row));
        EXPECT_TRUE(shows(filters[row]));
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), static_cast<LRESULT>(row));
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
    PressKey(VK_F11);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); }));
    GetWindowRect(Panel(), &placed);
    EXPECT_TRUE(placed.left == dragged.left && placed.top == dragged.top) << "moved";
    EXPECT_EQ(SendMessageA(GetDlgItem(Panel(), kPanelList), LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(shows(filters[0]));

    ClickControl(GetDlgItem(Panel(), kPanelClose));
    ASSERT_TRUE(WaitUntil([&] { return PreviewGone(); })) << "Close";
    Exit();
    EXPECT_EQ(StoredValue("Position"),
              std::to_string(dragged.left) + "," + std::to_string(dragged.top));
}

}  // namespace
