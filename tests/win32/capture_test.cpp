// The capture's failures inside the test process: images that cannot be allocated open no
// preview, a failed read-back shows black (not the last preview's picture, which the kept
// images still hold), and a preview trigger meanwhile opens nothing.

#include "tests/win32/in_process.h"
#include "tests/win32/screen_pattern.h"

static BOOL WINAPI FailingBitBlt(HDC, int, int, int, int, HDC, int, int, DWORD)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

static int opened = -1;

TEST(Capture, FailuresAreToldAndOnlyAFailedReadBackOpensThePreview)
{
    ASSERT_TRUE(ReadyThePreview());
    {
        MessageBoxes boxes;
        FailAllocationsOfAtLeast(GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(OpenPreview(nullptr, PrimaryMonitor()), 0);
        FailAllocationsOfAtLeast(0);
        EXPECT_TRUE(!previewWindow && !panelWindow && !frameBuffers.captured)
            << "nothing half-made";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "The screen could not be captured: not enough memory for " +
                                           std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " x " +
                                           std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " pixels.");
    }
    {
        ScreenPattern pattern;  // a picture for the kept images to hold
        ASSERT_NE(CreatePreviewWindow(nullptr, PrimaryMonitor()), nullptr);
        DestroyWindow(previewWindow);
    }
    ImportPatch failing("gdi32.dll", "BitBlt", reinterpret_cast<void*>(FailingBitBlt));
    MessageBoxes boxes([] { opened = OpenPreview(nullptr, PrimaryMonitor()); });  // a hotkey while the box is up
    ASSERT_NE(CreatePreviewWindow(nullptr, PrimaryMonitor()), nullptr) << "the preview still opens";
    EXPECT_EQ(opened, 0);
    const size_t bytes = size_t(frameBuffers.stride) * frameBuffers.height;
    EXPECT_EQ(size_t(std::count(frameBuffers.captured, frameBuffers.captured + bytes, 0)), bytes);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "BitBlt() failed 87");
    DestroyWindow(previewWindow);
}

// Runs where the preview lets its painted picture reach the screen, before the panel exists.
static bool panelBeforeEsc = true;
static DWORD WINAPI PressEscapeInTheGap(DWORD, const HANDLE*, DWORD, DWORD, DWORD)
{
    panelBeforeEsc = panelWindow != nullptr;
    Press({VK_ESCAPE});
    return WAIT_TIMEOUT;
}

TEST(Capture, AnEscapePressedBetweenThePictureAndThePanelClosesThePreview)
{
    ReadyThePreview();
    ImportPatch gap("user32.dll", "MsgWaitForMultipleObjectsEx", reinterpret_cast<void*>(PressEscapeInTheGap));
    ASSERT_NE(CreatePreviewWindow(nullptr, PrimaryMonitor()), nullptr);
    EXPECT_FALSE(panelBeforeEsc) << "the picture comes first";
    RunLoopUntil([] { return previewWindow == nullptr; });
    EXPECT_EQ(previewWindow, nullptr) << "the Esc was lost";
}
