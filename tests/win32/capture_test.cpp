// The capture's failures inside the test process: images that cannot be allocated open no
// preview, a failed read-back shows black, and a preview trigger meanwhile opens nothing.

#include "tests/win32/in_process.h"

static int WINAPI FailingGetDIBits(HDC, HBITMAP, UINT, UINT, LPVOID, LPBITMAPINFO, UINT)
{
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

// A malloc that hands out junk, as a heap does that was used before.
static void* DirtyMalloc(size_t size)
{
    void* block = std::calloc(size, 1);
    return block != nullptr ? std::memset(block, 0x5A, size) : nullptr;
}

static int opened = -1;

TEST(Capture, FailuresAreToldAndOnlyAFailedReadBackOpensThePreview)
{
    RegisterBuiltinFilters();
    exeInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterPreviewClass() && RegisterPanelClass());
    {
        MessageBoxes boxes;
        FailAllocationsOfAtLeast(GetSystemMetrics(SM_CXSCREEN) * GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(OpenPreview(nullptr, PrimaryMonitor()), 0);
        FailAllocationsOfAtLeast(0);
        EXPECT_TRUE(!previewWindow && !panelWindow && !frameBuffers.captured)
            << "nothing half-made";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text.find("The screen could not be captured"), 0u);
    }
    ImportPatch failing("gdi32.dll", "GetDIBits", reinterpret_cast<void*>(FailingGetDIBits));
    ImportPatch dirty("msvcrt.dll", "malloc", reinterpret_cast<void*>(DirtyMalloc));
    MessageBoxes boxes([] { opened = OpenPreview(nullptr, PrimaryMonitor()); });  // a hotkey while the box is up
    ASSERT_NE(CreatePreviewWindow(nullptr, PrimaryMonitor()), nullptr) << "the preview still opens";
    EXPECT_EQ(opened, 0);
    const size_t bytes = size_t(frameBuffers.stride) * frameBuffers.height;
    EXPECT_EQ(size_t(std::count(frameBuffers.captured, frameBuffers.captured + bytes, 0)), bytes);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "GetDIBits() failed 87");
    DestroyWindow(previewWindow);
}
