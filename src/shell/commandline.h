#ifndef COMMANDLINE_H
#define COMMANDLINE_H

class QString;

// The program's switches, compared whole and case-sensitively with every argument, the
// program name included: "--help" sets help, "-servicefw" sets serviceOnly. Both start false.
void parseArguments(int argc, char** argv, bool& help, bool& serviceOnly);

// Prints the usage text on standard output.
void printUsage(const QString& program);

#endif // COMMANDLINE_H
