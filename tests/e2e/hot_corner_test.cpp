// The hot corner: a dwell on the configured corner opens the preview, a short visit does
// not, the other corners do nothing, and nothing fires while a preview is open.

#include "app/timeline.h"
#include "tests/e2e/driver.h"

namespace {

using TheHotCorner = ProgramTest;

TEST_F(TheHotCorner, OpensThePreviewAfterADwellOnItsOwnCornerOnly)
{
    Store("NoSplash", 1);
    Store("EnableMouseAction", 1);
    Store("MouseActionPosition", 1);  // left down
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    const POINT away{right / 2, bottom / 2}, corner{0, bottom};
    MoveCursor(away);
    Start();

    for (POINT other : {POINT{0, 0}, POINT{right, 0}, POINT{right, bottom}}) {
        MoveCursor(other);
        Pause(450);
        EXPECT_EQ(Preview(), nullptr) << "corner " << other.x << "," << other.y;
    }

    // Shorter than the 200 ms dwell, if the busy machine let the driver keep it short.
    bool shortVisit = false;
    for (int attempt = 0; attempt < 5 && !shortVisit; ++attempt) {
        const DWORD arrived = GetTickCount();
        MoveCursor(corner);
        Pause(30);
        MoveCursor(away);
        shortVisit = GetTickCount() - arrived < 150;
        Pause(450);
        EXPECT_TRUE(!shortVisit || Preview() == nullptr) << "a short visit opened the preview";
        if (HWND preview = Preview())
            PostMessageA(preview, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return PreviewGone(); }));
    }
    EXPECT_TRUE(shortVisit) << "the driver could not keep a visit under 150 ms";

    const DWORD arrived = GetTickCount();  // no earlier than the program can see the cursor
    MoveCursor(corner);
    ASSERT_TRUE(WaitUntil([&] { return PreviewShown(); })) << "a dwell opened nothing";
    EXPECT_GE(GetTickCount() - arrived, 200u);

    // Had the corner fired again, the program would have handed the panel the foreground
    // anew, which its timeline of the preview notes.
    const UINT timeline = RegisterWindowMessageA(kPreviewTimelineMessage);
    const LRESULT handed = SendMessageA(frame_, timeline, kPreviewPanelShown, 0);
    MoveCursor(away);
    MoveCursor(corner);
    Pause(600);
    EXPECT_EQ(SendMessageA(frame_, timeline, kPreviewPanelShown, 0), handed)
        << "the corner fired under the preview";
    MoveCursor(away);
    PostMessageA(Preview(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return PreviewGone(); }));
}

}  // namespace
