#ifndef BONEYARD_SHADOW_REFERENCE_H
#define BONEYARD_SHADOW_REFERENCE_H

#include <cstdint>
#include <vector>

#include "shadows.h"

// The shadow pass written out literally, pixel by pixel with gluUnProject and gluProject,
// kept only to check and time the game's pass against. Not part of the game.

// What the reference saw at each pixel, row 0 at the bottom. NaN where it did not get that
// far: lightX, lightY and lightZ stay NaN for pixels deeper than the far cut-off or where
// GLU failed; threshold (stored light depth + bias) stays NaN where the truncated light
// column or row fell outside the image.
struct ShadowReferenceDetail {
    std::vector<double> lightX, lightY, lightZ;
    std::vector<double> threshold;
};

// The mask of computeShadowMask, computed by one gluUnProject and one gluProject per pixel.
// `detail`, when given, receives the per-pixel light-view position and threshold.
int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask,
                        ShadowReferenceDetail* detail = nullptr);

// The whole pass written out plainly: the same GL state and read-back as shadows(), the mask
// by referenceShadowMask's per-pixel GLU calls, and one glBegin/glEnd per shadowed point.
void literalShadows();

#endif
