// The About box.
#pragma once

// Runs the About box modally, owned by the main frame. 2 when it is already open.
int ShowAboutDialog();

// Non-zero while the About box runs.
int IsAboutOpen();

// Asks a running About box to close; it ends when its own loop next runs.
void CloseAboutDialog();
