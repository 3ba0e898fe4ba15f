// The program's windows brought up at start-up, and the windows the message loop must
// know: the operate panel, an ordinary window that wants dialog keys, and the preview,
// whose shortcut keys act from the panel as well.

#include "tray/program_windows.h"

#include "app/app.h"
#include "app/message_box.h"
#include "dialogs/splash_window.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "tray/main_frame.h"

namespace {

ATOM (*const kWindowClasses[])() = {
    RegisterMainFrameClass,
    RegisterPreviewClass,
    RegisterPanelClass,
    RegisterSplashClass,
};

}  // namespace

int RegisterWindowClasses()
{
    for (ATOM (*registerClass)() : kWindowClasses)
        if (registerClass() == 0)
            return 0;
    return 1;
}

HWND CreateMainFrame()
{
    // Never shown: it exists for the tray icon, the hotkey, the timer and as owner. Its
    // creation handler sets mainFrameWnd.
    return CreateWindowExA(0, kMainFrameClassName, productName, WS_DISABLED, 0, 0, 0, 0, nullptr,
                           nullptr, exeInstance, nullptr);
}

void ShowStartupSplash()
{
    // The splash closes itself; nobody keeps its handle.
    if (!settings.NoSplash && CreateSplashWindow() == nullptr)
        ShowMessageId(mainFrameWnd, MB_ICONERROR, IDS_ERR_CREATE_SPLASH);
}

bool TakePanelKeyboardMessage(MSG* msg)
{
    // The preview's keys first (Shift to compare, the shortcuts of its menu), so that they
    // act whether the panel's list or the preview has the keyboard.
    if (TakePreviewKeyboardMessage(msg))
        return true;
    return panelWindow != nullptr && IsDialogMessageA(panelWindow, msg);
}
