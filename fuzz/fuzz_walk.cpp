// Loads arbitrary bytes as the walk file, builds a dog on it and plays a few hundred
// animation steps, checking that the cycle only ever approaches a key frame that exists.
#include "Dog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

void check(bool condition) { if (!condition) std::abort(); }

bool inRange(int index, int count) { return index >= 0 && index < count; }

// A dog without key frames stands on none; with them, it stands on one and heads for one.
void checkFrames(const Dog& dog) {
    const int count = dog.getFrameCount(), index = dog.getFrameIndex();
    if (count == 0) check(index == -1);
    else check(inRange(index, count) && inRange(index + dog.getFrameDir(), count));
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
    return 0;
}
