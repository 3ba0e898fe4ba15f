// The preview inside the test process: the filter it opens with, re-filtering from the
// capture, and what it does when the capture goes wrong.

#include "tests/win32/in_process.h"

class Preview : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        ClearFilters();
        RegisterBuiltinFilters();
        exeInstance = GetModuleHandleA(nullptr);
        RegisterPreviewClass();
        RegisterPanelClass();
    }
    void TearDown() override { DestroyWindow(previewWindow); }

    // The pixels of an image of the capture's size, without the rows' padding.
    static std::vector<uint8_t> Pixels(const uint8_t* image)
    {
        std::vector<uint8_t> pixels;
        for (int y = 0; y < frameBuffers.height; ++y, image += frameBuffers.stride)
            pixels.insert(pixels.end(), image, image + 3 * frameBuffers.width);
        return pixels;
    }

    // Those of the capture through the filter `name` by the literal per-pixel rule.
    static std::vector<uint8_t> Literal(const char* name)
    {
        std::vector<uint8_t> filtered(size_t(frameBuffers.stride) * frameBuffers.height);
        FrameBuffers frames = frameBuffers;
        frames.filtered = filtered.data();
        LiteralTransform(*FindFilterByName(name), frames);
        return Pixels(filtered.data());
    }
};

TEST_F(Preview, OpensWithTheFirstEnabledFilterAndReFiltersFromTheCapture)
{
    const ControlCube red = {MakeColorRef(255, 0, 0)};  // then black: unlike any screen
    AddFilter("red", "Red", FilterKind::Custom, red);
    EnableFilterByName("red");
    EnableFilterByName("_hue_gbr");
    ASSERT_NE(CreatePreviewWindow(nullptr), nullptr);
    EXPECT_EQ(Pixels(frameBuffers.filtered), Literal("red"));
    // A capture of many colours, then the panel's choices, each filtered from the capture.
    for (size_t i = 0; i < size_t(frameBuffers.stride) * frameBuffers.height; ++i)
        frameBuffers.captured[i] = uint8_t(i * 7 + i / 5);
    for (const auto& choice : {std::make_pair(1, "_hue_gbr"), {1, "_hue_gbr"}, {0, "red"}}) {
        selectedFilterIndex = choice.first;
        SendMessageA(previewWindow, WM_PREVIEW_REFILTER, 0, 0);
        EXPECT_EQ(Pixels(frameBuffers.filtered), Literal(choice.second)) << choice.second;
    }
}

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

TEST_F(Preview, ImagesThatCannotBeAllocatedOpenNothingAndAFailedReadBackShowsBlack)
{
    {
        MessageBoxes boxes;
        FailAllocationsOfAtLeast(size_t(GetSystemMetrics(SM_CXSCREEN)) * GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(OpenPreview(nullptr), 0);
        FailAllocationsOfAtLeast(0);
        EXPECT_TRUE(!previewWindow && !panelWindow && !frameBuffers.captured && !frameBuffers.filtered)
            << "nothing half-made";
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text.find("The screen could not be captured"), 0u);
    }
    ImportPatch failing("gdi32.dll", "GetDIBits", reinterpret_cast<void*>(FailingGetDIBits));
    ImportPatch dirty("msvcrt.dll", "malloc", reinterpret_cast<void*>(DirtyMalloc));
    ASSERT_TRUE(failing.Applied() && dirty.Applied());
    MessageBoxes boxes([] { opened = OpenPreview(nullptr); });  // a hotkey while the box is up
    ASSERT_NE(CreatePreviewWindow(nullptr), nullptr) << "the preview still opens";
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(Pixels(frameBuffers.captured), std::vector<uint8_t>(3 * frameBuffers.width * frameBuffers.height));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "GetDIBits() failed 87");
}
