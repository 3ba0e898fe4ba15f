// The message-box routines and the once-only rule for error boxes.

#include "app/message_box.h"

#include <cstdarg>
#include <cstdio>

#include "app/app.h"
#include "app/modal_owner.h"
#include "app/resource_module.h"

int errorBoxShown;

namespace {

const int kMessageBufferSize = 512;  // texts are cut at 511 characters

// False when the box must be dropped.
bool PassesErrorBoxRule(UINT type)
{
    if ((type & MB_ICONMASK) != MB_ICONERROR)
        return true;
    if (errorBoxShown && (type & MB_TYPEMASK) == MB_OK)
        return false;
    errorBoxShown = 1;
    return true;
}

int ShowFormatted(HWND owner, UINT type, const char* format, va_list args)
{
    char text[kMessageBufferSize] = "";
    std::vsnprintf(text, sizeof text, format, args);
    text[sizeof text - 1] = '\0';  // msvcrt's formatter leaves a cut text unterminated
    return RunModalKeepingOwnerDisabled(
        owner, [&] { return MessageBoxA(owner, text, productName, type); });
}

}  // namespace

int ShowMessageF(HWND owner, UINT type, const char* format, ...)
{
    if (!PassesErrorBoxRule(type))
        return 0;
    va_list args;
    va_start(args, format);
    const int result = ShowFormatted(owner, type, format, args);
    va_end(args);
    return result;
}

int ShowMessageId(HWND owner, UINT type, UINT stringId)
{
    // A string that exists nowhere gives an empty message rather than no message.
    char text[kMessageBufferSize] = "";
    LoadResString(stringId, text, sizeof text);
    return ShowMessageF(owner, type, "%s", text);
}

int ShowMessageW(HWND owner, UINT type, const wchar_t* text)
{
    if (!PassesErrorBoxRule(type))
        return 0;
    wchar_t cut[kMessageBufferSize];
    lstrcpynW(cut, text, kMessageBufferSize);
    wchar_t caption[sizeof productName];
    if (MultiByteToWideChar(CP_ACP, 0, productName, -1, caption, sizeof productName) == 0)
        caption[0] = L'\0';
    return RunModalKeepingOwnerDisabled(
        owner, [&] { return MessageBoxW(owner, cut, caption, type); });
}

void ShowPlainMessage(const char* text, UINT type)
{
    MessageBoxA(nullptr, text, nullptr, type);
}
