// The preview triggers and the Option command.

#include "tray/preview_triggers.h"

int OpenPreview()
{
    return 0;
}

int OnHotCornerTimer(UINT_PTR)
{
    return 0;
}

int RunOptionCommand()
{
    return 0;
}
