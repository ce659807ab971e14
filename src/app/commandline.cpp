// The game's command line: its own options, and GLUT's X options let through to glutInit.
#include "commandline.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// GLUT's options as glutInit takes them, and whether a value follows.
struct GlutOption { const char* name; bool value; };
constexpr GlutOption GLUT_OPTIONS[] = {{"-display", true}, {"-geometry", true}, {"-direct", false},
                                       {"-indirect", false}, {"-iconic", false}, {"-gldebug", false},
                                       {"-sync", false}};

constexpr unsigned MAX_WINDOW_SIDE = 32767;  // pixels: the most X lets a window's width or height be

const char* const USAGE =
    "Usage: boneyard [OPTION]...\n"
    "Steer a dog round a fenced yard at night and pick up thirteen bones before the\n"
    "210-second countdown ends. The game reads its data files from the current folder.\n"
    "\n"
    "  --windowed           play in a 1024x768 window, never full screen\n"
    "  -geometry WxH+X+Y    the window's size and place (implies --windowed)\n"
    "  -display DISPLAY     the X display to draw on, instead of $DISPLAY\n"
    "  -iconic              start with the window minimised\n"
    "  -sync                talk to the X server synchronously (for debugging)\n"
    "  -h, --help           show this help and exit\n"
    "  --version            show the version and exit\n"
    "  --                   end the options\n"
    "\n"
    "GLUT's other options (-direct, -indirect, -gldebug) work too.\n"
    "The keys: press w in the game, or see 'man boneyard'.\n";

CommandLine bad(const std::string& complaint) {
    CommandLine line;
    line.action = CommandLine::Action::Bad;
    line.complaint = complaint;
    return line;
}

const GlutOption* glutOption(const char* argument) {
    for (const GlutOption& option : GLUT_OPTIONS)
        if (std::strcmp(argument, option.name) == 0) return &option;
    return nullptr;
}

// 0 once what went to stdout has reached it; 1, with a line on stderr, when it could not (a
// full disk, a closed pipe): the usage or version asked for was not given.
int printed() {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
    std::fprintf(stderr, "boneyard: cannot write to standard output: %s\n", std::strerror(errno));
    return 1;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (argument == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (argument == "--") {
            if (i + 1 < argc) return bad("unexpected argument '" + std::string(argv[i + 1]) + "'");
        } else if (argument == "--windowed") {
            line.windowed = true;
        } else if (const GlutOption* option = glutOption(argv[i])) {
            if (!option->value) continue;
            if (++i == argc) return bad("option '" + argument + "' needs a value");
            const std::string value = argv[i];
            if (argument == "-display") line.display = value;
            if (argument == "-geometry") {
                int x, y;
                unsigned width = 1024, height = 768;  // kept where the value names no size
                const int given = XParseGeometry(argv[i], &x, &y, &width, &height);
                if (given == NoValue) return bad("cannot read the geometry '" + value + "'");
                if (width == 0 || height == 0 || width > MAX_WINDOW_SIDE || height > MAX_WINDOW_SIDE)
                    return bad("a window's width and height are 1 to " + std::to_string(MAX_WINDOW_SIDE) + " pixels, not '" +
                               value + "'");
                // GLUT places a window from the right or the bottom edge by its size, and without
                // one in the value it takes a size it never set: the size always goes with it.
                const std::size_t offsets = value.find_first_of("+-");
                line.windowed = true;
                line.geometryAt = i;
                line.geometry = std::to_string(width) + "x" + std::to_string(height) +
                                (offsets == std::string::npos ? "" : value.substr(offsets));
            }
        } else if (argument.size() > 1 && argument[0] == '-') {
            return bad("unknown option '" + argument + "'");
        } else {
            return bad("unexpected argument '" + argument + "'");
        }
    }
    return line;
}

bool displayOpens(const CommandLine& line) {
    if (Display* display = XOpenDisplay(line.display.c_str())) {  // "": $DISPLAY, as glutInit takes it
        XCloseDisplay(display);
        return true;
    }
    const char* name = XDisplayName(line.display.c_str());
    if (*name == '\0') std::fputs("boneyard: cannot open a display: DISPLAY is not set\n", stderr);
    else std::fprintf(stderr, "boneyard: cannot open display \"%s\"\n", name);
    return false;
}

int answerCommandLine(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Action::Help: std::fputs(USAGE, stdout); return printed();
    case CommandLine::Action::Version: std::puts("boneyard " BONEYARD_VERSION); return printed();
    case CommandLine::Action::Bad:
        std::fprintf(stderr, "boneyard: %s\nTry 'boneyard --help'.\n", line.complaint.c_str());
        return 2;
    case CommandLine::Action::Play: break;
    }
    return 0;
}
