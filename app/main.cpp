// The process's spine: one copy at a time, the pieces of the program brought up in a
// fixed order, the message loop, and the orderly end. Every path ends with exit code 0.

#include <windows.h>

#include <commctrl.h>

#include "app/app.h"
#include "app/message_box.h"
#include "app/resource_module.h"
#include "dialogs/splash_window.h"
#include "filter/filter_folder.h"
#include "filter/filter_table.h"
#include "preview/live_view.h"
#include "preview/operate_panel.h"
#include "preview/preview_window.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/main_frame.h"

namespace {

const char kSingleInstanceMutex[] = "singleinstance.mutex.prismolenteer.morvask";

// The program's window classes, registered in this order.
ATOM (*const kWindowClasses[])() = {
    RegisterMainFrameClass,
    RegisterPreviewClass,
    RegisterPanelClass,
    RegisterSplashClass,
    RegisterLiveViewClass,
};

// At this point there is no product name, or no window to own the box.
void ShowInitializeError()
{
    ShowPlainMessage("Initialize error --- Prismolenteer", MB_ICONERROR | MB_OK);
}

// Common controls, the window classes and the hidden main frame. 1 on success; a failure
// has been reported to the user.
int InitWindows(HINSTANCE instance)
{
    exeInstance = instance;
    InitCommonControls();
    for (ATOM (*registerClass)() : kWindowClasses)
        if (registerClass() == 0) {
            ShowInitializeError();
            return 0;
        }
    if (CreateMainFrame() == nullptr) {
        ShowMessageId(nullptr, MB_ICONERROR, IDS_ERR_CREATE_WINDOW);
        return 0;
    }
    return 1;
}

// The splash picture, unless the settings switch it off; it closes itself. A failure is
// reported, and start-up goes on.
void ShowStartupSplash()
{
    if (!settings.NoSplash && CreateSplashWindow() == nullptr)
        ShowMessageId(mainFrameWnd, MB_ICONERROR, IDS_ERR_CREATE_SPLASH);
}

void RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TakePreviewKeyboardMessage(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void FreeResourceModule()
{
    if (resourceModule != nullptr) {
        FreeLibrary(resourceModule);
        resourceModule = nullptr;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    // Never owned and never closed: the mutex only marks that a copy is running, and it
    // goes away with the process.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kSingleInstanceMutex);
    if (mutex == nullptr)
        return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);  // another copy runs; leave it alone
        return 0;
    }

    resourceModule = LoadResourceModule();
    // exeInstance is still null here, which makes the fallback read the executable itself.
    if (!LoadResString(IDS_PRODUCT_NAME, productName, sizeof productName)) {
        ShowInitializeError();
        FreeResourceModule();
        return 0;
    }

    RegisterBuiltinFilters();
    // After the built-in filters, which files may rename, and before the settings, which
    // name the enabled filters.
    LoadFilterFiles(GetFilterFolder());
    LoadSettings();  // before the main frame, whose creation registers the hotkey

    if (!InitWindows(instance)) {
        FreeResourceModule();
        return 0;
    }
    ShowStartupSplash();

    RunMessageLoop();

    SaveSettings();
    FreeResourceModule();
    return 0;
}
