// The optional language module (PLRes.dll in <exe dir><LCID>\) and the loading of texts and
// pictures: texts, the tray menu, the dialogs and the splash picture come from the module
// when one was accepted.
#pragma once

#include <windows.h>

// The accepted language module, or null. Set once at start-up, freed at the end.
extern HINSTANCE resourceModule;

// Maps <exe dir><LCID>\PLRes.dll as resources only: the folder of the user's default locale,
// else that of its language's default region (1031 for German (Austria)). A module counts
// when the major and minor numbers of its product version equal the executable's and its
// version record's translation names the system's ANSI code page (or that is UTF-8). Null
// when none counts.
HINSTANCE LoadResourceModule();

// The running executable's product version, "major.minor.build.revision" ("0.0.0.0" when it
// has no version record).
const char* ProgramVersion();

// The module to take the tray menu and the dialogs from: the language module when
// loaded, otherwise the executable.
HINSTANCE GetResourceInstance();

// Loads string `id`, from the language module first and then from the executable.
// 1 when found; 0 otherwise, with an empty string in `buffer`.
int LoadResString(UINT id, char* buffer, int bufferSize);

// The same in UTF-16, for texts that take a file's name.
int LoadResStringW(UINT id, wchar_t* buffer, int bufferSize);

// Loads bitmap `id` as a DIB section the caller deletes, from the language module first and
// then from the executable. Null when neither has it.
HBITMAP LoadResBitmap(UINT id);

// Loads menu `id`, which the caller destroys, from the language module first and then from
// the executable (a module made before the menu existed lacks it). Null when neither has it.
HMENU LoadResMenu(UINT id);
