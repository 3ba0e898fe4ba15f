// The entry point of prismolenteer-cli.exe, the console converter (app/converter.h).

#include "app/converter.h"

int main(int argc, char** argv)
{
    return RunConverter(argc, argv);
}
