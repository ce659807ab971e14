// Feeds any bytes to the texture decoder: it must neither read outside them nor return
// anything but a reason and no texels, or no reason and 128 x 128 RGBA texels.
#include "texture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> rgba;
    const std::string reason = decodeBmp(data, size, rgba);
    if (rgba.size() != (reason.empty() ? std::size_t(TEXTURE_SIZE) * TEXTURE_SIZE * 4 : 0)) std::abort();
    return 0;
}
