// Loads arbitrary bytes as the walk file, builds a dog on it and plays a few hundred
// animation steps, checking that the cycle only ever approaches a key frame that exists.
#include "Dog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

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
    std::istringstream walk(std::string(reinterpret_cast<const char*>(data), size));
    Dog dog(0.0f, 0.0f, 0.0f, &walk);
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
