// The Option dialog.

#include "dialogs/option_dialog.h"

int IsOptionDialogOpen()
{
    return 0;
}
