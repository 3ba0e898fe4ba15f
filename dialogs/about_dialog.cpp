// The About box.

#include "dialogs/about_dialog.h"

int ShowAboutDialog()
{
    return 0;
}
