// Test-only LD_PRELOAD shim: counts the frames the game shows, from outside.
//
// Every frame ends with one glXSwapBuffers (GLUT's glutSwapBuffers calls it), so
// wrapping it counts frames without any hook in the game. After each swap the running
// count is written, as a decimal number and a line feed, over the start of the file
// named by BONEYARD_FRAME_COUNT_FILE. Without that variable the shim only forwards.
// With BONEYARD_TRIM_ON_USR1 set, SIGUSR1 asks for a malloc_trim, so a memory reading sees
// what the process holds rather than what glibc keeps cached after frees.

#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

using SwapBuffers = void (*)(void* display, unsigned long drawable);

unsigned long frames = 0;
int countFd = -2;  // -2: not opened yet; -1: no file wanted or it cannot be opened

int countFile() {
    if (countFd == -2) {
        const char* path = std::getenv("BONEYARD_FRAME_COUNT_FILE");
        countFd = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644) : -1;
    }
    return countFd;
}

// SIGUSR1 is taken by a thread of its own, so the trim also happens while no frame is drawn.
// It is blocked before the game starts any thread, so every later thread inherits the block.
__attribute__((constructor)) void trimOnRequest() {
    if (std::getenv("BONEYARD_TRIM_ON_USR1") == nullptr) return;
    static sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &usr1, nullptr);
    pthread_t thread;
    pthread_create(&thread, nullptr, [](void*) -> void* {
        for (int signal; sigwait(&usr1, &signal) == 0;) malloc_trim(0);
        return nullptr;
    }, nullptr);
}

}  // namespace

extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
    static SwapBuffers realSwap = reinterpret_cast<SwapBuffers>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (realSwap == nullptr) {
        std::fprintf(stderr, "robust_frame_counter: glXSwapBuffers not found: %s\n", dlerror());
        std::abort();
    }
    realSwap(display, drawable);

    ++frames;
    const int fd = countFile();
    if (fd >= 0) {
        // Fixed width, written in one call at offset 0: a reader never sees a shorter
        // number with the tail of a longer one left behind.
        char text[24];
        const int length = std::snprintf(text, sizeof text, "%20lu\n", frames);
        if (pwrite(fd, text, std::size_t(length), 0) != length) {
            close(fd);
            countFd = -1;
        }
    }
}
