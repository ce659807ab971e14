#include "ShadowReference.h"

#include <GL/glu.h>

#include <climits>
#include <cstddef>
#include <limits>

#include "shell.h"

namespace {

// Truncates toward zero; false for NaN, infinities and values outside the int range.
bool truncateToInt(double v, int& out) {
    if (!(v > INT_MIN - 1.0 && v < INT_MAX + 1.0)) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace

int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask,
                        ShadowReferenceDetail* detail) {
    const int width = in.width, height = in.height;
    mask.clear();
    if (width <= 0 || height <= 0 || in.cameraDepth == nullptr || in.lightDepth == nullptr) return 0;
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    mask.assign(pixels, 0);
    if (detail != nullptr) {
        for (auto* v : {&detail->lightX, &detail->lightY, &detail->lightZ, &detail->threshold}) {
            v->assign(pixels, std::numeric_limits<double>::quiet_NaN());
        }
    }
    int shadowed = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        const int c = static_cast<int>(i % width), r = static_cast<int>(i / width);
        const double d = in.cameraDepth[i];
        GLdouble wx, wy, wz, lx, ly, lz;
        if (d > SHADOW_FAR_DEPTH ||
            !gluUnProject(c, r, d, in.cameraModelview, in.projection, in.viewport, &wx, &wy, &wz) ||
            !gluProject(wx, wy, wz, in.lightModelview, in.projection, in.viewport, &lx, &ly, &lz)) {
            continue;
        }
        if (detail != nullptr) {
            detail->lightX[i] = lx;
            detail->lightY[i] = ly;
            detail->lightZ[i] = lz;
        }
        int ix, iy;
        if (!truncateToInt(lx, ix) || !truncateToInt(ly, iy)) continue;
        if (ix < 0 || iy < 0 || ix >= width || iy >= height) continue;
        const double threshold = in.lightDepth[static_cast<std::size_t>(iy) * width + ix] + SHADOW_BIAS;
        if (detail != nullptr) detail->threshold[i] = threshold;
        if (lz > threshold) {
            mask[i] = 1;
            ++shadowed;
        }
    }
    return shadowed;
}

void fullLightDepth() {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_LIGHTING);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(light4_pos[0], light4_pos[1], light4_pos[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    scene.drawScene();
    dog.draw();
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, light_depth.data());
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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
    for (std::size_t i = 0; i < pixels; ++i) {
        if (!mask[i]) continue;
        glBegin(GL_POINTS);
        glVertex2i(static_cast<int>(i % w), static_cast<int>(i / w));
        glEnd();
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
}
