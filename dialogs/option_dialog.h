// The Option dialog.
#pragma once

// Non-zero while the Option dialog is open.
int IsOptionDialogOpen();
