#ifndef BONEYARD_SHADOW_REFERENCE_H
#define BONEYARD_SHADOW_REFERENCE_H

#include <cstdint>
#include <vector>

#include "shadows.h"

// The mask of computeShadowMask, by one gluUnProject and one gluProject per pixel.
int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask);
// renderLightDepth done literally: the whole yard and the dog drawn from the light, read into
// light_depth. Expects the depth buffer cleared; leaves it and the colour buffer cleared. The
// bones spin and the walk cycle advances as in a frame's light render.
void wholeYardLightDepth();

#endif
