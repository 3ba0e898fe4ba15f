// The About box.
#pragma once

// Runs the About box modally, owned by the main frame. 2 when it is already open.
int ShowAboutDialog();
