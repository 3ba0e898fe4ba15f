// The folder scan that reads every filter file of a folder at start-up.
#pragma once

// Reads every "*.plf" file of `folder` (a path ending in a backslash), in the order the
// directory search returns them (which decides between two files that name the same
// filter). Non-zero when the search found a first entry.
int LoadFilterFiles(const wchar_t* folder);
