// prismolenteer-cli, the command-line converter: picture files through the program's
// filters, for batches. It reads the filter files beside itself and the enabled filters of
// the user's settings (never writing them), opens no window and takes no single-instance
// mutex, so it runs beside the tray program and without a display.
#pragma once

// What the converter's process returns.
const int kExitDone = 0;
const int kExitBadArguments = 1;  // also an unknown filter name
const int kExitFileFailure = 2;   // the input could not be read, the output written, or
                                  // what the converter prints could not be written

// Runs one command line (argv[0] is the program) with the filter files of `filterFolder`
// and returns its exit code. Messages go to the standard output and error handles. The
// filter table and the enabled list must be empty.
int RunConverter(int argc, wchar_t** argv, const wchar_t* filterFolder);
