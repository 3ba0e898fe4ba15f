// The two message-box routines: owner, caption and text, the 511-character limit, and the
// once-only rule for error boxes.

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/message_box.h"
#include "res/resource.h"
#include "tests/win32/box_watcher.h"
#include "tray/main_frame.h"

namespace {

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        errorBoxShown = 0;
        std::strcpy(productName, "Caption Of The Run");
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
        mainFrameWnd = owner_;
    }
    void TearDown() override
    {
        mainFrameWnd = nullptr;
        DestroyWindow(owner_);
        errorBoxShown = 0;
        productName[0] = '\0';
    }
    HWND owner_ = nullptr;
};

TEST_F(MessageBoxes, AreOwnedByTheMainFrameAndCaptionedWithTheProductName)
{
    BoxWatcher watcher;
    EXPECT_EQ(ShowMessageF(mainFrameWnd, MB_OK, "%s has %d filters", "table", 4), IDOK);
    EXPECT_EQ(ShowMessageId(mainFrameWnd, MB_OK, IDS_ERR_REGISTER_HOTKEY), IDOK);
    EXPECT_EQ(ShowMessageId(mainFrameWnd, MB_OK, 12345), IDOK);  // a string that exists nowhere

    const std::vector<ShownBox> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 3u);
    const char* texts[] = {"table has 4 filters", "failed to register HOTKEY.", ""};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].text, texts[i]);
        EXPECT_EQ(seen[i].caption, "Caption Of The Run");
        EXPECT_EQ(seen[i].owner, owner_);
        EXPECT_FALSE(seen[i].hasIcon);
    }
}

TEST_F(MessageBoxes, ErrorBoxesShowTheirIconAndADisabledOwnerStaysDisabled)
{
    EnableWindow(owner_, FALSE);
    BoxWatcher watcher;
    ShowMessageF(mainFrameWnd, MB_ICONERROR | MB_OK, "broken");
    const std::vector<ShownBox> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].hasIcon);
    EXPECT_FALSE(IsWindowEnabled(owner_));
}

TEST_F(MessageBoxes, TextsAreCutAt511Characters)
{
    BoxWatcher watcher;
    const std::string longText(700, 'w');
    ShowMessageF(mainFrameWnd, MB_OK, "%s", longText.c_str());
    ShowMessageF(mainFrameWnd, MB_OK, "%s", longText.substr(0, 511).c_str());

    const std::vector<ShownBox> seen = watcher.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].text, longText.substr(0, 511));
    EXPECT_EQ(seen[1].text, longText.substr(0, 511));
}

TEST_F(MessageBoxes, AfterTheFirstErrorBoxOnlyErrorBoxesThatAskAreShown)
{
    struct Step {
        UINT type;
        bool shown;
    };
    const Step steps[] = {
        {MB_OK, true},                      // no icon: always shown
        {MB_ICONWARNING | MB_OK, true},     // other icons leave the rule alone
        {MB_ICONERROR | MB_OK, true},       // the first error box
        {MB_ICONERROR | MB_OK, false},      // dropped from now on
        {MB_ICONERROR | MB_OK, false},
        {MB_ICONERROR | MB_YESNO, true},    // a question is still asked
        {MB_ICONERROR | MB_OKCANCEL, true},
        {MB_OK, true},
        {MB_OK, true},
    };
    BoxWatcher watcher;
    size_t expectedCount = 0;
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const int result = ShowMessageF(mainFrameWnd, steps[i].type, "step %u", static_cast<unsigned>(i));
        if (steps[i].shown) {
            EXPECT_NE(result, 0) << "step " << i;
            ++expectedCount;
            const std::vector<ShownBox> seen = watcher.Seen();
            ASSERT_EQ(seen.size(), expectedCount) << "step " << i;
            EXPECT_EQ(seen.back().text, "step " + std::to_string(i));
        } else {
            EXPECT_EQ(result, 0) << "step " << i;
            EXPECT_EQ(watcher.Seen().size(), expectedCount) << "step " << i;
        }
    }
    EXPECT_EQ(ShowMessageId(mainFrameWnd, MB_ICONERROR | MB_OK, IDS_ERR_CREATE_WINDOW), 0)
        << "the string-table routine follows the same rule";
}

}  // namespace
