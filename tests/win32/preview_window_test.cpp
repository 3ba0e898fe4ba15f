// The preview window and its panel inside the test process: what a capture holds, what
// the re-filter starts from, and how the preview copes when the capture goes wrong.

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "app/app.h"
#include "filter/filter_table.h"
#include "preview/capture.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "settings/settings.h"
#include "tests/support/allocation_counter.h"
#include "tests/support/filter_fixture.h"
#include "tests/support/literal_transform.h"
#include "tests/win32/box_watcher.h"
#include "tests/win32/import_patch.h"
#include "tray/preview_triggers.h"

namespace {

class PreviewWindowTest : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        exeInstance = GetModuleHandleA(nullptr);
        std::strcpy(productName, "Prismolenteer");
        static const bool registered = RegisterPreviewClass() != 0 && RegisterPanelClass() != 0;
        ASSERT_TRUE(registered);
        RegisterBuiltinFilters();
        settings = Settings{};
    }

    void TearDown() override
    {
        if (previewWindow != nullptr)
            DestroyWindow(previewWindow);
        FailAllocationsOfAtLeast(0);
        EmptyFilterTable::TearDown();
    }

    static void Enable(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            EnableFilterByName(name);
    }

    // The image rows without their padding.
    static std::vector<uint8_t> Pixels(const uint8_t* image)
    {
        std::vector<uint8_t> pixels;
        for (int y = 0; y < frameBuffers.height; ++y) {
            const uint8_t* row = image + static_cast<size_t>(y) * frameBuffers.stride;
            pixels.insert(pixels.end(), row, row + 3 * frameBuffers.width);
        }
        return pixels;
    }

    static std::vector<uint8_t> ThroughLiteralRule(const char* filterName)
    {
        std::vector<uint8_t> expected(static_cast<size_t>(frameBuffers.stride) * frameBuffers.height);
        FrameBuffers frames = frameBuffers;
        frames.filtered = expected.data();
        LiteralTransform(*FindFilterByName(filterName), frames);
        return Pixels(expected.data());
    }

    static int PanelRows()
    {
        return static_cast<int>(SendDlgItemMessageA(panelWindow, 1000, LB_GETCOUNT, 0, 0));
    }
};

TEST_F(PreviewWindowTest, OpensWithTheFirstEnabledFilterAndClosesWithItsPanel)
{
    Enable({"_grayscale", "_normal"});
    settings.PositionX = 5000;
    settings.PositionY = -40;
    ASSERT_NE(CreatePreviewWindow(nullptr), nullptr);
    EXPECT_NE(previewWindow, nullptr);
    ASSERT_NE(panelWindow, nullptr);
    EXPECT_EQ(GetWindow(panelWindow, GW_OWNER), previewWindow);
    EXPECT_EQ(PanelRows(), 2);
    EXPECT_EQ(SendDlgItemMessageA(panelWindow, 1000, LB_GETCURSEL, 0, 0), 0);

    EXPECT_EQ(frameBuffers.width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(frameBuffers.height, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(frameBuffers.header.biHeight, frameBuffers.height) << "bottom-up";
    EXPECT_EQ(frameBuffers.header.biBitCount, 24);
    EXPECT_EQ(Pixels(frameBuffers.filtered), ThroughLiteralRule("_grayscale"));

    RECT panel;
    GetWindowRect(panelWindow, &panel);
    EXPECT_EQ(panel.right, GetSystemMetrics(SM_CXSCREEN)) << "pulled back onto the screen";
    EXPECT_EQ(panel.top, 0);

    SendMessageA(previewWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(previewWindow, nullptr);
    EXPECT_EQ(panelWindow, nullptr);
    EXPECT_EQ(settings.PositionX, panel.left) << "where the panel was left";
    EXPECT_EQ(settings.PositionY, panel.top);
    EXPECT_NE(frameBuffers.captured, nullptr) << "the images outlive the preview";
}

TEST_F(PreviewWindowTest, ReFilteringAlwaysStartsFromTheCapture)
{
    Enable({"_normal", "_hue_gbr"});
    ASSERT_NE(CreatePreviewWindow(nullptr), nullptr);
    const std::vector<uint8_t> captured = Pixels(frameBuffers.captured);
    EXPECT_EQ(Pixels(frameBuffers.filtered), captured);

    selectedFilterIndex = 1;
    SendMessageA(previewWindow, WM_PREVIEW_REFILTER, 0, 0);
    const std::vector<uint8_t> rotated = ThroughLiteralRule("_hue_gbr");
    EXPECT_EQ(Pixels(frameBuffers.filtered), rotated);
    SendMessageA(previewWindow, WM_PREVIEW_REFILTER, 0, 0);  // not rotated twice
    EXPECT_EQ(Pixels(frameBuffers.filtered), rotated);
    EXPECT_EQ(Pixels(frameBuffers.captured), captured);
}

TEST_F(PreviewWindowTest, WithNothingEnabledTheCaptureShowsUnfiltered)
{
    ASSERT_EQ(enabledList.count, 0);
    ASSERT_NE(CreatePreviewWindow(nullptr), nullptr);
    EXPECT_EQ(PanelRows(), 0);
    EXPECT_EQ(Pixels(frameBuffers.filtered), Pixels(frameBuffers.captured));
    SendMessageA(previewWindow, WM_PREVIEW_REFILTER, 0, 0);
    EXPECT_EQ(Pixels(frameBuffers.filtered), Pixels(frameBuffers.captured));
}

TEST_F(PreviewWindowTest, ImagesThatCannotBeAllocatedOpenNoPreviewAndSaySo)
{
    Enable({"_normal"});
    BoxWatcher boxes;
    FailAllocationsOfAtLeast(static_cast<size_t>(FrameStride(GetSystemMetrics(SM_CXSCREEN))) *
                             GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(CreatePreviewWindow(nullptr), nullptr);
    FailAllocationsOfAtLeast(0);

    EXPECT_EQ(previewWindow, nullptr);
    EXPECT_EQ(panelWindow, nullptr) << "nothing half-made";
    EXPECT_EQ(frameBuffers.captured, nullptr);
    EXPECT_EQ(frameBuffers.filtered, nullptr);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_NE(boxes.Seen()[0].text.find("could not be captured"), std::string::npos)
        << boxes.Seen()[0].text;
}

TEST_F(PreviewWindowTest, APaletteDisplayOpensNoPreview)
{
    Enable({"_normal"});
    BoxWatcher boxes;
    // Under Wine only the process that switches the display sees the new depth.
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = GetSystemMetrics(SM_CXSCREEN);
    mode.dmPelsHeight = GetSystemMetrics(SM_CYSCREEN);
    mode.dmBitsPerPel = 8;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, 0), DISP_CHANGE_SUCCESSFUL);
    const int opened = OpenPreview(nullptr);
    ChangeDisplaySettingsA(nullptr, 0);

    EXPECT_EQ(opened, 0);
    EXPECT_EQ(previewWindow, nullptr);
    EXPECT_TRUE(boxes.Seen().empty()) << "a palette display is refused without a word";
    EXPECT_EQ(OpenPreview(nullptr), 1) << "with true colour again it opens";
}

// GetDIBits as it behaves when the read-back fails.
int WINAPI FailingGetDIBits(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

BOOL CALLBACK CountPreview(HWND window, LPARAM count)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "previewwnd.wndclass.prismolenteer.morvask") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int PreviewWindowsOfThisThread()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountPreview, reinterpret_cast<LPARAM>(&count));
    return count;
}

int triggersDuringBox;
int previewsOpenedDuringBox;

void CALLBACK TriggerDuringBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    ++triggersDuringBox;
    previewsOpenedDuringBox += OpenPreview(nullptr);
}

TEST_F(PreviewWindowTest, AFailedReadBackShowsBlackAndATriggerMeanwhileOpensNothing)
{
    Enable({"_normal"});
    ImportPatch patch("gdi32.dll", "GetDIBits", reinterpret_cast<void*>(FailingGetDIBits));
    ASSERT_TRUE(patch.Applied());
    BoxWatcher boxes(400);  // the box's own loop runs long enough for the trigger
    triggersDuringBox = previewsOpenedDuringBox = 0;
    SetTimer(nullptr, 0, 50, TriggerDuringBox);

    ASSERT_NE(CreatePreviewWindow(nullptr), nullptr) << "the preview still opens";
    EXPECT_EQ(triggersDuringBox, 1);
    EXPECT_EQ(previewsOpenedDuringBox, 0);
    EXPECT_EQ(PreviewWindowsOfThisThread(), 1);

    const std::vector<uint8_t> pixels = Pixels(frameBuffers.captured);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), static_cast<long>(pixels.size()))
        << "the capture is black, not whatever the allocation held";
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, "GetDIBits() failed 87");
    EXPECT_FALSE(boxes.Seen()[0].hasIcon);
}

}  // namespace
