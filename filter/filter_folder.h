// The folder scan that reads every filter file beside the executable at start-up.
#pragma once

// Reads every "*.plf" file of the folder "filter" beside the executable, in the order the
// directory search returns them (which decides between two files that name the same
// filter). Non-zero when the search found a first entry.
int LoadFilterFiles();
