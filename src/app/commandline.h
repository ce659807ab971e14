#ifndef BONEYARD_COMMANDLINE_H
#define BONEYARD_COMMANDLINE_H

#include <string>

// What the command line asks for. Read before glutInit, so --help, --version and a bad
// command line need no display and open no window.
struct CommandLine {
    enum class Action { Play, Help, Version, Bad };
    Action      action = Action::Play;
    bool        windowed = false;   // --windowed or -geometry: never full screen
    bool        sizeGiven = false;  // -geometry named a width and a height: GLUT sizes the window
    std::string complaint;          // Action::Bad: one line naming the argument
};

// Reads the arguments in order; the first of --help, -h, --version or a bad argument decides.
// GLUT's own options (-display NAME, -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug,
// -sync) are left for glutInit; a missing value or a geometry X cannot read is bad.
CommandLine parseCommandLine(int argc, const char* const* argv);

// For any action but Play: prints the usage or the version on stdout, or the complaint and a
// pointer to --help on stderr, and returns the exit status: 0, 2 for a bad command line, or 1
// when stdout cannot be written (a full disk, a closed pipe), said on stderr.
int answerCommandLine(const CommandLine& line);

#endif
