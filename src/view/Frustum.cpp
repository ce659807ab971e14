#include "Frustum.h"

#include <GL/gl.h>

#include <cmath>

namespace {
// A box is refused only when it lies this far outside a plane, relative to the size of the
// terms summed: GL transforms in single precision, so a corner within rounding of a plane
// may still land inside it.
constexpr double ROUNDING = 1e-6;
}

bool Frustum::culling = true;

Frustum Frustum::current() {
    double projection[16], modelview[16], clip[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    multiply(projection, modelview, clip);
    return Frustum(clip);
}

void multiply(const double a[16], const double b[16], double out[16]) {
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
            out[col * 4 + row] = sum;
        }
    }
}

bool Frustum::inView(const Box& box) {
    return !culling || current().mayShow(box);
}

// A point's clip coordinates (x, y, z, w) are inside when -w <= x, y, z <= w: each plane is
// the fourth row of the matrix plus or minus one of the first three.
Frustum::Frustum(const double clip[16]) {
    for (int axis = 0; axis < 3; ++axis) {
        for (int side = 0; side < 2; ++side) {
            const double sign = side == 0 ? 1.0 : -1.0;
            for (int k = 0; k < 4; ++k) planes[2 * axis + side][k] = clip[k * 4 + 3] + sign * clip[k * 4 + axis];
        }
    }
}

// The corner furthest along each plane's normal is the box's best chance of reaching inside.
bool Frustum::mayShow(const Box& box) const {
    for (const auto& plane : planes) {
        double distance = plane[3], size = std::fabs(plane[3]);
        for (int k = 0; k < 3; ++k) {
            const double term = plane[k] * (plane[k] >= 0.0 ? box.max[k] : box.min[k]);
            distance += term;
            size += std::fabs(term);
        }
        if (distance < -ROUNDING * size) return false;
    }
    return true;
}
