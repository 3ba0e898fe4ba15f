// The entry point of prismolenteer-cli.exe, the console converter (app/converter.h). The
// wide entry point hands over the command line as the user typed it: the ANSI one would
// have passed each file name through the code page, a character it lacks replaced by a
// look-alike that names another file.

#include "app/app.h"
#include "app/converter.h"

int wmain(int argc, wchar_t** argv)
{
    return RunConverter(argc, argv, GetFilterFolder());
}
