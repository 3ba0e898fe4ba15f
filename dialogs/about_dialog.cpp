// The About box.

#include "dialogs/about_dialog.h"

int ShowAboutDialog()
{
    return 0;
}

int IsAboutOpen()
{
    return 0;
}

void CloseAboutDialog() {}
