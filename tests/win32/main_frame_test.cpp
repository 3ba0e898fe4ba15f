// The hidden main frame: what its creation takes (tray icon, menu, hotkey, timer) and its
// destruction gives back, and the message boxes it owns: caption, the 511-character cut,
// the once-only rule for error boxes, the frame left disabled.

#include "tests/win32/in_process.h"

// What the frame asks of the shell: the message and the first form of the record, 88 bytes
// in a 32-bit program and 104 in a 64-bit one.
static const DWORD kFirstRecordForm = sizeof(void*) == 4 ? 88 : 104;
static std::vector<std::pair<DWORD, std::string>> trayCalls;

static BOOL WINAPI RecordTrayCall(DWORD message, NOTIFYICONDATAA* record)
{
    trayCalls.push_back({message, std::string(reinterpret_cast<char*>(record), kFirstRecordForm)});
    return TRUE;
}

// True when nobody holds the combination, so that this thread can take it itself.
static bool HotkeyIsFree(UINT modifiers, UINT key)
{
    const bool free = RegisterHotKey(nullptr, 77, modifiers, key);
    UnregisterHotKey(nullptr, 77);
    return free;
}

TEST(MainFrame, CreationTakesTrayIconMenuHotkeyAndTimerAndDestructionGivesThemBack)
{
    ImportPatch patch("shell32.dll", "Shell_NotifyIconA", reinterpret_cast<void*>(RecordTrayCall));
    exeInstance = GetModuleHandleA(nullptr);
    ASSERT_NE(RegisterMainFrameClass(), 0);
    for (const bool hotkeyOn : {true, false}) {
        settings = Settings{};
        settings.EnableHotkeyAction = hotkeyOn;
        settings.HotkeyCtrl = settings.HotkeyAlt = 1;
        settings.HotkeyVKey = VK_F9;
        trayCalls.clear();
        MessageBoxes boxes;  // a box would say that the hotkey was taken
        HWND frame = CreateMainFrame();
        const HMENU menu = trayMenu;
        EXPECT_EQ(std::make_tuple(IsMenu(menu), hotCornerTimerSet), std::make_tuple(TRUE, 1));
        EXPECT_EQ(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9), !hotkeyOn);
        EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL, VK_F9)) << "only the chosen modifiers are taken";
        SendMessageA(frame, RegisterWindowMessageA("TaskbarCreated"), 0, 0);  // a new shell
        // The images of a first preview of the primary monitor wait ready once the frame
        // idles; they go when the screen changes (and come again) and at the end.
        for (UINT change : {UINT(WM_DISPLAYCHANGE), UINT(WM_CLOSE)}) {
            for (MSG idle; PeekMessageA(&idle, frame, 0, 0, PM_REMOVE);)
                DispatchMessageA(&idle);
            EXPECT_TRUE(frameBuffers.captured && frameBuffers.width == GetSystemMetrics(SM_CXSCREEN));
            SendMessageA(frame, change, 0, 0);
            EXPECT_EQ(frameBuffers.captured, nullptr) << change;
        }
        EXPECT_EQ(std::make_tuple(IsMenu(menu), hotkeyRegistered, hotCornerTimerSet),
                  std::make_tuple(FALSE, 0, 0));
        EXPECT_TRUE(HotkeyIsFree(MOD_CONTROL | MOD_ALT, VK_F9));
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

        // Added twice with the executable's small icon and a fixed tip; deleted by its key.
        NOTIFYICONDATAA icon{};
        icon.cbSize = kFirstRecordForm;
        icon.hWnd = frame;
        icon.uID = 1;
        const std::string key(reinterpret_cast<char*>(&icon), kFirstRecordForm);
        icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        icon.uCallbackMessage = WM_TASKTRAY;
        icon.hIcon = static_cast<HICON>(LoadImageA(exeInstance, MAKEINTRESOURCEA(IDI_MAIN),
            IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        std::strcpy(icon.szTip, "Prismolenteer");
        const std::string add(reinterpret_cast<char*>(&icon), kFirstRecordForm);
        EXPECT_EQ(trayCalls, (decltype(trayCalls){{NIM_ADD, add}, {NIM_ADD, add}, {NIM_DELETE, key}}));
    }
}

TEST(MessageBoxes, AreOwnedCaptionedCutAndShowOneErrorThatDoesNotAsk)
{
    const struct { UINT type; std::string text; int result; } steps[] = {
        {MB_OK, std::string(700, 'w'), IDOK},
        {MB_ICONWARNING | MB_OK, "warned", IDOK},  // other icons leave the rule alone
        {MB_ICONERROR | MB_OK, "first error", IDOK},
        {MB_ICONERROR | MB_OK, "second error", 0},  // dropped
        {MB_ICONERROR | MB_YESNO, "asks", IDYES},   // a question is still asked
        {MB_OK, "plain", IDOK},
    };
    // A disabled stand-in for the main frame.
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_DISABLED, 0, 0, 9, 9, nullptr,
                                 nullptr, nullptr, nullptr);
    std::strcpy(productName, "Caption Of The Run");
    MessageBoxes boxes;
    for (const auto& step : steps) {
        const size_t before = boxes.shown.size();
        EXPECT_EQ(ShowMessageF(owner, step.type, "%s", step.text.c_str()), step.result);
        ASSERT_EQ(boxes.shown.size(), before + (step.result != 0)) << step.text;
        if (step.result == 0)
            continue;
        EXPECT_EQ(boxes.shown.back().text, step.text.substr(0, 511));
        EXPECT_EQ(boxes.shown.back().caption, "Caption Of The Run");
        EXPECT_EQ(boxes.shown.back().owner, owner);
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the owner stays disabled";
    }
    EXPECT_EQ(ShowMessageId(owner, MB_ICONERROR | MB_OK, IDS_ERR_CREATE_WINDOW), 0)
        << "the string-table routine keeps the same rule";
}

static INT_PTR dialogAnswer;
static INT_PTR WINAPI AnswerDialog(HINSTANCE, LPCSTR, HWND, DLGPROC, LPARAM)
{
    return dialogAnswer;
}

TEST(OptionCommand, OkTriesAHotkeyThatIsOnButNotHeldAndSaysSoWhenItIsStillTaken)
{
    exeInstance = GetModuleHandleA(nullptr);
    RegisterMainFrameClass();
    settings = Settings{};
    settings.EnableHotkeyAction = 1;
    settings.HotkeyVKey = VK_F8;
    RegisterHotKey(nullptr, 77, 0, VK_F8);  // another program holds F8
    MessageBoxes boxes;
    HWND frame = CreateMainFrame();
    ImportPatch dialog("user32.dll", "DialogBoxParamA", reinterpret_cast<void*>(AnswerDialog));
    const struct { bool stillTaken; INT_PTR answer; int registered; size_t boxes; } steps[] = {
        {true, IDOK, 0, 2},       // OK without a change: tried again, still taken, told again
        {false, IDCANCEL, 0, 2},  // Cancel applies nothing
        {false, IDOK, 1, 2},      // free now: taken
        {false, IDOK, 1, 2},      // held: left alone
    };
    for (const auto& step : steps) {
        if (!step.stillTaken)
            UnregisterHotKey(nullptr, 77);
        dialogAnswer = step.answer;
        RunOptionCommand(frame);
        EXPECT_EQ(hotkeyRegistered, step.registered) << "answer " << step.answer;
        EXPECT_EQ(boxes.shown.size(), step.boxes) << "answer " << step.answer;
    }
    EXPECT_EQ(boxes.shown[1].text, "failed to register HOTKEY.");
    DestroyWindow(frame);
}
