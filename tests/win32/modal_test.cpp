// The modal windows under the hidden main frame: the message-box routines (owner, caption,
// the 511-character cut, the once-only rule for error boxes) and the About box. Each
// leaves its disabled owner disabled.

#include "tests/win32/in_process.h"

// A disabled stand-in for the main frame as owner.
class Modal : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_FALSE(IsWindowEnabled(owner_)) << "the owner stays disabled"; }
    HWND owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_DISABLED, 0, 0, 9, 9, nullptr,
                                  nullptr, nullptr, nullptr);
};

TEST_F(Modal, MessageBoxesAreOwnedCaptionedCutAndShowOneErrorThatDoesNotAsk)
{
    const struct { UINT type; std::string text; int result; } steps[] = {
        {MB_OK, std::string(700, 'w'), IDOK},
        {MB_ICONWARNING | MB_OK, "warned", IDOK},  // other icons leave the rule alone
        {MB_ICONERROR | MB_OK, "first error", IDOK},
        {MB_ICONERROR | MB_OK, "second error", 0},  // dropped
        {MB_ICONERROR | MB_YESNO, "asks", IDYES},   // a question is still asked
        {MB_OK, "plain", IDOK},
    };
    std::strcpy(productName, "Caption Of The Run");
    MessageBoxes boxes;
    for (const auto& step : steps) {
        const size_t before = boxes.shown.size();
        EXPECT_EQ(ShowMessageF(owner_, step.type, "%s", step.text.c_str()), step.result);
        ASSERT_EQ(boxes.shown.size(), before + (step.result != 0)) << step.text;
        if (step.result == 0)
            continue;
        EXPECT_EQ(boxes.shown.back().text, step.text.substr(0, 511));
        EXPECT_EQ(boxes.shown.back().caption, "Caption Of The Run");
        EXPECT_EQ(boxes.shown.back().owner, owner_);
    }
    // The string-table routine: the executable's text, and the same rule.
    EXPECT_EQ(ShowMessageId(owner_, MB_OK, IDS_ERR_REGISTER_HOTKEY), IDOK);
    EXPECT_EQ(boxes.shown.back().text, "failed to register HOTKEY.");
    EXPECT_EQ(ShowMessageId(owner_, MB_ICONERROR | MB_OK, IDS_ERR_CREATE_WINDOW), 0);
}

static int openInside, secondResult;

// Runs inside the About box's modal loop, as a preview trigger does.
static void CALLBACK OpenAgainAndClose(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    openInside = IsAboutOpen();
    secondResult = ShowAboutDialog(nullptr);
    CloseAboutDialog();
}

TEST_F(Modal, TheAboutBoxOpensOnceAndClosesWhenAskedFromItsOwnLoop)
{
    SetTimer(nullptr, 0, 200, OpenAgainAndClose);
    EXPECT_EQ(ShowAboutDialog(owner_), 1);
    EXPECT_EQ(openInside, 1);
    EXPECT_EQ(secondResult, 2) << "a second About while it is open";
    EXPECT_EQ(IsAboutOpen(), 0);
}
