#ifndef BONEYARD_SHADOW_REFERENCE_H
#define BONEYARD_SHADOW_REFERENCE_H

#include <cstdint>
#include <vector>

#include "shadows.h"

// The shadow pass written out literally, to check and time the game's pass against.

// The mask of computeShadowMask, by one gluUnProject and one gluProject per pixel.
int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask);
// renderLightDepth as the game once did it: the whole yard and the dog drawn every frame.
void fullLightDepth();

#endif
