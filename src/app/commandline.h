#ifndef BONEYARD_COMMANDLINE_H
#define BONEYARD_COMMANDLINE_H

#include <string>

// What the command line asks for. Read before glutInit, so --help, --version and a bad
// command line need no display and open no window.
struct CommandLine {
    enum class Action { Play, Help, Version, Bad };
    Action      action = Action::Play;
    bool        windowed = false;   // --windowed or -geometry: never full screen
    int         geometryAt = 0;     // argv's index of the last -geometry's value; 0: none given
    std::string geometry;           // that value, a size it leaves out filled in from 1024x768
    std::string display;            // the last -display's value; empty: $DISPLAY
    std::string complaint;          // Action::Bad: one line naming the argument
};

// Reads the arguments in order; the first of --help, -h, --version or a bad argument decides,
// and `--` ends the options (the game takes no other arguments). GLUT's own options (-display
// NAME, -geometry WxH+X+Y, -direct, -indirect, -iconic, -gldebug, -sync) are left for glutInit;
// a missing value, a geometry X cannot read, and a width or height of 0 or over 32767 (X's
// limit) are bad.
CommandLine parseCommandLine(int argc, const char* const* argv);

// Play only: true when the X display the game will draw on (-display's, else $DISPLAY's) can
// be opened; else false, with one line naming it on stderr (glutInit would end the game with
// GLUT's own message).
bool displayOpens(const CommandLine& line);

// For any action but Play: prints the usage or the version on stdout, or the complaint and a
// pointer to --help on stderr, and returns the exit status: 0, 2 for a bad command line, or 1
// when stdout cannot be written (a full disk, a closed pipe), said on stderr.
int answerCommandLine(const CommandLine& line);

#endif
