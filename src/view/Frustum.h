#ifndef BONEYARD_FRUSTUM_H
#define BONEYARD_FRUSTUM_H

#include "Box.h"

// The view volume of a projection and a model-view matrix, as six planes in the model-view's
// object coordinates. An object whose box lies outside it sends no geometry: GL would clip
// every one of its primitives away.
class Frustum {
public:
    static bool culling;  // false: every box is in view and frames are drawn whole (tests, bench)

    static Frustum current();  // of the current projection and model-view matrices
    // current().mayShow(box), read when an object is about to be drawn, so the camera and the
    // shadow light's pass both cull with their own matrices; always true with culling off.
    static bool inView(const Box& box);

    explicit Frustum(const double clip[16]);  // projection * model-view, column-major
    // False only when the box lies wholly outside one of the six planes, by more than single
    // precision's rounding: a box that GL would draw any part of is never refused.
    bool mayShow(const Box& box) const;

private:
    double planes[6][4];  // (a, b, c, d): a x + b y + c z + d >= 0 on the inner side
};

// Column-major 4x4 product, as GL stores matrices: out = a * b. `out` may not alias `a` or `b`.
void multiply(const double a[16], const double b[16], double out[16]);

#endif
