// Feeds any bytes to the texture decoder: it must neither read outside them nor return
// an image of any size but 128 x 128 RGBA.
#include "texture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<unsigned char> rgba = decodeBmp(data, size);
    if (rgba.size() != std::size_t(TEXTURE_SIZE) * TEXTURE_SIZE * 4) std::abort();
    return 0;
}
