#ifndef BONEYARD_SHADOW_REFERENCE_H
#define BONEYARD_SHADOW_REFERENCE_H

#include <cstdint>
#include <vector>

#include "shadows.h"

// The mask of computeShadowMask, by one gluUnProject and one gluProject per pixel.
int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask);

#endif
