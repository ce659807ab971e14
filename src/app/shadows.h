#ifndef BONEYARD_SHADOWS_H
#define BONEYARD_SHADOWS_H

#include <cstdint>
#include <vector>

// The CPU half of the shadow pass, apart from GL so tests and the benchmark can run it
// on read-back depth images. Matrices are column-major as GL returns them.
struct ShadowInputs {
    double cameraModelview[16];
    double projection[16];
    double lightModelview[16];
    int    viewport[4];
    int    width = 0, height = 0;
    const float* cameraDepth = nullptr;  // width * height, row 0 at the bottom
    const float* lightDepth  = nullptr;  // width * height
};

constexpr double SHADOW_FAR_DEPTH = 0.98;  // camera depths above this are never shadowed
constexpr double SHADOW_BIAS      = 0.001; // light depth must exceed the stored depth by more

// Fills `mask` (width * height, 1 = shadowed) and returns the number of shadowed pixels.
int computeShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask);

#endif
