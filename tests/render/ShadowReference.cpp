#include "ShadowReference.h"

#include <GL/glu.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>

#include "shell.h"

namespace {

// Truncates toward zero when the result fits an int; false for NaN, infinities and
// values outside the int range, whose conversion would be undefined.
bool truncateToInt(double v, int& out) {
    if (!(v > static_cast<double>(INT_MIN) - 1.0 && v < static_cast<double>(INT_MAX) + 1.0)) {
        return false;
    }
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask,
                        ShadowReferenceDetail* detail) {
    const int width = in.width, height = in.height;
    if (width <= 0 || height <= 0 || in.cameraDepth == nullptr || in.lightDepth == nullptr) {
        mask.clear();
        return 0;
    }
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    mask.assign(pixels, 0);
    if (detail != nullptr) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        detail->lightX.assign(pixels, nan);
        detail->lightY.assign(pixels, nan);
        detail->lightZ.assign(pixels, nan);
        detail->threshold.assign(pixels, nan);
    }

    int shadowed = 0;
    std::size_t i = 0;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c, ++i) {
            const double d = in.cameraDepth[i];
            if (d > SHADOW_FAR_DEPTH) continue;
            GLdouble wx, wy, wz, lx, ly, lz;
            if (gluUnProject(c, r, d, in.cameraModelview, in.projection, in.viewport,
                             &wx, &wy, &wz) == GL_FALSE) {
                continue;
            }
            if (gluProject(wx, wy, wz, in.lightModelview, in.projection, in.viewport,
                           &lx, &ly, &lz) == GL_FALSE) {
                continue;
            }
            if (detail != nullptr) {
                detail->lightX[i] = lx;
                detail->lightY[i] = ly;
                detail->lightZ[i] = lz;
            }
            int ix, iy;
            if (!truncateToInt(lx, ix) || !truncateToInt(ly, iy)) continue;
            if (ix >= width || iy >= height || ix < 0 || iy < 0) continue;
            const double threshold =
                static_cast<double>(in.lightDepth[static_cast<std::size_t>(iy) * width + ix]) + SHADOW_BIAS;
            if (detail != nullptr) detail->threshold[i] = threshold;
            if (lz > threshold) {
                mask[i] = 1;
                ++shadowed;
            }
        }
    }
    return shadowed;
}

void literalShadows() {
    const std::size_t pixels = (w > 0 && h > 0) ? static_cast<std::size_t>(w) * h : 0;
    if (pixels == 0 || light_depth.size() != pixels || camera_depth.size() != pixels) return;

    glEnable(GL_BLEND);
    glColor3f(SHADOW_GREY, SHADOW_GREY, SHADOW_GREY);

    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        gluOrtho2D(0.0, w, 0.0, h);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            glLoadIdentity();
            glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, camera_depth.data());
            std::vector<std::uint8_t> mask;
            referenceShadowMask(in, mask);
            for (int r = 0; r < h; ++r) {
                for (int c = 0; c < w; ++c) {
                    if (!mask[static_cast<std::size_t>(r) * w + c]) continue;
                    glBegin(GL_POINTS);
                        glVertex2i(c, r);
                    glEnd();
                }
            }
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glDisable(GL_BLEND);
}
