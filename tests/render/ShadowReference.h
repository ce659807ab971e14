#ifndef BONEYARD_SHADOW_REFERENCE_H
#define BONEYARD_SHADOW_REFERENCE_H

#include <cstdint>
#include <vector>

#include "shadows.h"

// The shadow pass written out literally with gluUnProject/gluProject per pixel, to check and
// time the game's pass against. Not part of the game.

// Per pixel (row 0 at the bottom) what the reference saw; NaN where it stopped earlier.
struct ShadowReferenceDetail {
    std::vector<double> lightX, lightY, lightZ;
    std::vector<double> threshold;  // stored light depth + bias, at the truncated column/row
};

// The mask of computeShadowMask, by one gluUnProject and one gluProject per pixel.
int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask,
                        ShadowReferenceDetail* detail = nullptr);

// The light's depth image as the game once made it, the whole yard and the dog drawn from
// the light every frame; renderLightDepth's contract otherwise.
void fullLightDepth();

// shadows() with the reference mask and one glBegin/glEnd per shadowed point.
void literalShadows();

#endif
