// Modal boxes and dialogs owned by a window that must stay disabled.
#pragma once

#include <windows.h>

// Runs `modalCall` (a MessageBoxA or DialogBoxParamA owned by `owner`) and returns its
// result. A modal box or dialog disables its owner while it runs and enables it when it
// ends; under Wine it does so even when the owner was disabled before it began, which the
// hidden main frame is for its whole life. A disabled owner is disabled again afterwards.
template <typename ModalCall>
auto RunModalKeepingOwnerDisabled(HWND owner, ModalCall modalCall) -> decltype(modalCall())
{
    const bool ownerWasDisabled = owner != nullptr && !IsWindowEnabled(owner);
    const auto result = modalCall();
    // The owner may be gone: Exit from the tray menu can arrive while the call runs.
    if (ownerWasDisabled && IsWindow(owner))
        EnableWindow(owner, FALSE);
    return result;
}
