#include "commandline.h"

#include <QString>

#include <cstdio>
#include <cstring>

void parseArguments(int argc, char** argv, bool& help, bool& serviceOnly)
{
    help = false;
    serviceOnly = false;
    for (int i = 0; i < argc; ++i) {
        if (!argv[i])
            continue;
        if (std::strcmp(argv[i], "--help") == 0)
            help = true;
        else if (std::strcmp(argv[i], "-servicefw") == 0)
            serviceOnly = true;
    }
}

void printUsage(const QString& program)
{
    std::printf("Usage: %s", program.toLocal8Bit().constData());
    std::printf("\n");
    std::puts("   [--help] Help for the Parlovance usage from command line");
    std::fflush(stdout);
}
