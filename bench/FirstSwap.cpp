// Preloaded into the game by bench/startup: once the game's first glXSwapBuffers has returned,
// writes the monotonic clock's time then, in nanoseconds (8 bytes), to the file descriptor that
// BONEYARD_FIRST_SWAP_FD names, and closes it. Later swaps pass straight through.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

extern "C" void glXSwapBuffers(void* display, unsigned long drawable) {
    static const auto realSwap = reinterpret_cast<void (*)(void*, unsigned long)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static int fd = std::getenv("BONEYARD_FIRST_SWAP_FD") ? std::atoi(std::getenv("BONEYARD_FIRST_SWAP_FD")) : -1;
    realSwap(display, drawable);
    if (fd < 0) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t nanoseconds = now.tv_sec * INT64_C(1000000000) + now.tv_nsec;
    if (write(fd, &nanoseconds, sizeof nanoseconds) != sizeof nanoseconds) {}  // the launcher sees it missing
    close(fd);
    fd = -1;
}
