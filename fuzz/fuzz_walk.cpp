// Loads arbitrary bytes as the walk file, builds a dog on it and plays a few hundred
// animation steps, checking that the cycle only ever approaches a key frame that exists.
#include "Dog.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// One private folder per fuzzing process, made the current directory once: the dog
// opens "walk.txt" from there. Plain arrays, so they are still there at exit.
char folder[] = "/tmp/fuzz_walk-XXXXXX";
char walkPath[sizeof folder + 16];

void removeFolder() {
    unlink(walkPath);
    rmdir(folder);
}

void enterFolder() {
    static const bool entered = [] {
        if (mkdtemp(folder) == nullptr || chdir(folder) != 0) std::abort();
        std::snprintf(walkPath, sizeof walkPath, "%s/walk.txt", folder);
        std::atexit(removeFolder);
        return true;
    }();
    (void)entered;
}

void writeWalk(const uint8_t* data, size_t size) {
    FILE* file = std::fopen("walk.txt", "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

void check(bool condition) {
    if (!condition) std::abort();
}

void checkFrames(const Dog& dog) {
    const int count = dog.getFrameCount();
    if (count == 0) {
        check(dog.getFrameIndex() == -1);
        return;
    }
    check(dog.getFrameIndex() >= 0 && dog.getFrameIndex() < count);
    const int next = dog.getFrameIndex() + dog.getFrameDir();
    check(next >= 0 && next < count);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    enterFolder();
    writeWalk(data, size);

    Dog dog(0.0f, 0.0f, 0.0f);
    checkFrames(dog);
    for (int step = 0; step < 300; ++step) {
        dog.interpolateAnim();
        checkFrames(dog);
    }
    dog.move(0.2f, 0.0f, 0.0f);  // draw's own step, without GL
    dog.toggleRun();
    dog.advanceWalkCycle();
    checkFrames(dog);
    return 0;
}
