// The game as a desktop program: its window's name, pid and icon, given in the map itself,
// full screen left, and signals acted on outside the handler.
#include "desktop.h"

#include "shell.h"
#include "windowicon.h"

#include <GL/glut.h>
#include <GL/freeglut_ext.h>  // glutInitWarningFunc; needs glut.h first
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <unistd.h>

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int QUIT_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};  // SIGQUIT then dumps a core, where enabled

bool nameNextMap = false;  // set by nameWindowAtNextMap, cleared by the map it names
volatile std::sig_atomic_t quitSignal = 0;

void setCardinals(Display* display, Window window, const char* name, const unsigned long* values, std::size_t count) {
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values), static_cast<int>(count));
}

void nameWindow(Display* display, Window window) {
    char instance[] = "boneyard", windowClass[] = "Boneyard";
    XClassHint hint{instance, windowClass};
    XSetClassHint(display, window, &hint);
    const unsigned long pid = static_cast<unsigned long>(getpid());
    setCardinals(display, window, "_NET_WM_PID", &pid, 1);
    setCardinals(display, window, "_NET_WM_ICON", WINDOW_ICON, WINDOW_ICON_LENGTH);
}

void recordSignal(int signal) {
    quitSignal = signal;  // nothing else is safe here: the GLUT timer acts on it
}

void watchQuitSignals(int) {
    const int signal = quitSignal;
    if (signal == 0) {
        glutTimerFunc(QUIT_POLL_MS, watchQuitSignals, 0);
        return;
    }
    leaveFullScreen();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);  // not reached: the signal's default action ends the process
}

}  // namespace

// glutCreateWindow and glutEnterGameMode create their window and map it in one call, with no
// class hint, and nothing of ours runs in between. So the game defines XMapWindow itself: the
// dynamic linker binds every call in the process to this one, which names the window when
// nameWindowAtNextMap asked for it and then maps it through Xlib's own. The properties go out
// ahead of the map request on the same connection, so the server, and any window manager, has
// them before the window first shows.
extern "C" int XMapWindow(Display* display, Window window) {
    static const auto xlibMapWindow = reinterpret_cast<int (*)(Display*, Window)>(dlsym(RTLD_NEXT, "XMapWindow"));
    if (nameNextMap) {
        nameNextMap = false;
        nameWindow(display, window);
    }
    // Xlib's own not found (only a game linked with Xlib statically, where there is no next one):
    // XMapRaised maps as well, reached through the game's own link to Xlib, and a window just
    // created is above its siblings already. Not mapping would leave GLUT waiting for ever.
    return xlibMapWindow != nullptr ? xlibMapWindow(display, window) : XMapRaised(display, window);
}

void nameWindowAtNextMap() {
    nameNextMap = true;
}

void leaveFullScreen() {
    // Full screen changed the desktop's video mode: give it back before going.
    if (glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) glutLeaveGameMode();
}

void catchQuitSignals() {
    struct sigaction action {};
    action.sa_handler = recordSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : QUIT_SIGNALS) {
        // One ignored when the game started stays ignored: nohup's SIGHUP, a background job's SIGINT.
        struct sigaction inherited {};
        if (sigaction(signal, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
    glutTimerFunc(QUIT_POLL_MS, watchQuitSignals, 0);
}

bool enterFullScreen() {
    glutInitWarningFunc([](const char*, va_list) {});  // one line of ours says it, not GLUT's two
    const bool entered = glutEnterGameMode() != 0;
    glutInitWarningFunc(nullptr);
    if (entered) {
        glutSetWindowTitle("Assignment 3 - Pellowin");  // GLUT names it "FREEGLUT"; window lists show it
    } else {
        std::fputs("boneyard: warning: cannot switch the screen to 1024x768: playing in a window\n", stderr);
    }
    return entered;
}
