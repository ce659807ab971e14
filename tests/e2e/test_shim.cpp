// Test-only LD_PRELOAD shim for the game and the render tests. With these variables naming files:
// - BONEYARD_FRAME_COUNT_FILE: the count of frames shown (one glXSwapBuffers each), written over
//   the file's start after each;
// - BONEYARD_MODE_LOG_FILE: a line "WIDTHxHEIGHT" for each screen mode switch
//   (XF86VidModeSwitchToMode, how freeglut enters and leaves game mode). BONEYARD_MODES_GONE set: the
//   modes are listed once (is game mode possible?), then no more, so entering it fails;
// - BONEYARD_MAP_LOG: a line for each XMapWindow of what the window carries as the map goes out
//   (WM_CLASS, _NET_WM_PID, the length of _NET_WM_ICON), all a window manager then sees. With
//   BONEYARD_NEVER_MAP set the map never goes out, as when a window manager holds back a window.
// BONEYARD_TRIM_ON_USR1 set: SIGUSR1 asks for a malloc_trim, so a memory reading sees what the
// process holds, not what glibc keeps cached after frees. dlclose does nothing: at exit libGL
// unloads the GL driver before leaks are looked for, and what its globals held would show as lost
// in "<unknown module>", which no suppression can name; kept loaded, it is reachable.
#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/xf86vmode.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

template <class Function>
Function* next(const char* name) { return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name)); }

// A thread of its own takes SIGUSR1, so the trim also happens while no frame is drawn. The
// signal is blocked before the game starts any thread, so every later thread inherits that.
__attribute__((constructor)) static void trimOnRequest() {
    static sigset_t usr1;
    if (std::getenv("BONEYARD_TRIM_ON_USR1") == nullptr || sigemptyset(&usr1) || sigaddset(&usr1, SIGUSR1)) return;
    pthread_sigmask(SIG_BLOCK, &usr1, nullptr);
    pthread_t thread;
    pthread_create(&thread, nullptr, [](void*) -> void* {
        for (int signal; sigwait(&usr1, &signal) == 0;) malloc_trim(0);
        return nullptr;
    }, nullptr);
}

extern "C" int dlclose(void*) { return 0; }  // success: the library simply stays loaded

extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
    static const auto realSwap = next<void(void*, unsigned long)>("glXSwapBuffers");
    static const char* path = std::getenv("BONEYARD_FRAME_COUNT_FILE");
    static int fd = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    static unsigned long frames = 0;
    realSwap(display, drawable);
    // Fixed width, in one write: a reader never sees a short number and a longer one's tail.
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%20lu\n", ++frames);
    if (fd >= 0 && pwrite(fd, text, std::size_t(length), 0) != length) fd = -1;
}

// The values of `window`'s 32-bit property `name`; none when it has none.
static std::vector<long> cardinals(Display* display, Window window, const char* name) {
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    std::vector<long> values;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1L << 20, False, XA_CARDINAL,
                           &type, &format, &items, &after, &data) == Success && format == 32)
        values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
    if (data != nullptr) XFree(data);
    return values;
}

extern "C" int XMapWindow(Display* display, Window window) {
    static const auto realMap = next<int(Display*, Window)>("XMapWindow");
    if (const char* path = std::getenv("BONEYARD_MAP_LOG")) {
        XClassHint hint{};
        const bool named = XGetClassHint(display, window, &hint);  // a round trip: what was sent before is there
        if (std::FILE* log = std::fopen(path, "a")) {
            const std::vector<long> pid = cardinals(display, window, "_NET_WM_PID");
            std::fprintf(log, "WM_CLASS %s.%s _NET_WM_PID %ld _NET_WM_ICON %zu\n", named ? hint.res_name : "-",
                         named ? hint.res_class : "-", pid.empty() ? -1L : pid[0],
                         cardinals(display, window, "_NET_WM_ICON").size());
            std::fclose(log);
        }
        if (named) XFree(hint.res_name), XFree(hint.res_class);
    }
    return std::getenv("BONEYARD_NEVER_MAP") != nullptr ? 1 : realMap(display, window);
}

extern "C" Bool XF86VidModeGetAllModeLines(Display* display, int screen, int* count, XF86VidModeModeInfo*** modes) {
    static const auto realList = next<Bool(Display*, int, int*, XF86VidModeModeInfo***)>("XF86VidModeGetAllModeLines");
    static int calls = 0;
    return (++calls == 1 || std::getenv("BONEYARD_MODES_GONE") == nullptr) && realList(display, screen, count, modes);
}

extern "C" Bool XF86VidModeSwitchToMode(Display* display, int screen, XF86VidModeModeInfo* mode) {
    static const auto realSwitch = next<Bool(Display*, int, XF86VidModeModeInfo*)>("XF86VidModeSwitchToMode");
    // Logged before the switch: a game killed in it still leaves the line.
    if (const char* path = std::getenv("BONEYARD_MODE_LOG_FILE"); path != nullptr && mode != nullptr)
        if (std::FILE* log = std::fopen(path, "ae")) {
            std::fprintf(log, "%ux%u\n", unsigned(mode->hdisplay), unsigned(mode->vdisplay));
            std::fclose(log);
        }
    return realSwitch(display, screen, mode);
}
