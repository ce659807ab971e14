// The game as a desktop program: its windows' names, pid and icon, and signals acted on
// outside the handler.
#include "desktop.h"

#include "icon.h"
#include "shell.h"

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
#include <vector>

namespace {

constexpr int ICON_SIZES[] = {16, 32, 48, 64};  // what docks and task bars pick from
constexpr int QUIT_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};  // SIGQUIT then dumps a core, where enabled

bool naming = false;
volatile std::sig_atomic_t quitSignal = 0;

// _NET_WM_ICON's value: for each size its width, its height and its pixels, 32-bit ARGB
// values that Xlib takes as longs.
std::vector<long> iconProperty() {
    std::vector<long> value;
    for (int size : ICON_SIZES) {
        value.push_back(size);
        value.push_back(size);
        for (std::uint32_t pixel : iconPixels(size)) value.push_back(static_cast<long>(pixel));
    }
    return value;
}

void setCardinals(Display* display, Window window, const char* name, const long* values, std::size_t count) {
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values), static_cast<int>(count));
}

void nameWindow(Display* display, Window window) {
    char instance[] = "boneyard", windowClass[] = "Boneyard";
    XClassHint hint{instance, windowClass};
    XSetClassHint(display, window, &hint);
    const long pid = getpid();
    setCardinals(display, window, "_NET_WM_PID", &pid, 1);
    static const std::vector<long> icon = iconProperty();
    setCardinals(display, window, "_NET_WM_ICON", icon.data(), icon.size());
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
// dynamic linker binds freeglut's call to this one, which names the window and then maps it
// through Xlib's own. The properties go out ahead of the map request on the same connection,
// so the server, and any window manager, has them before the window first shows.
extern "C" int XMapWindow(Display* display, Window window) {
    static const auto xlibMapWindow = reinterpret_cast<int (*)(Display*, Window)>(dlsym(RTLD_NEXT, "XMapWindow"));
    if (naming) nameWindow(display, window);
    return xlibMapWindow(display, window);
}

void nameGameWindows() {
    naming = true;
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
