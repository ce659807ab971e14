#include "ShadowReference.h"

#include <GL/glu.h>

#include <climits>
#include <cstddef>

#include "shell.h"

int referenceShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask) {
    const int width = in.width, height = in.height;
    mask.clear();
    if (width <= 0 || height <= 0 || in.cameraDepth == nullptr || in.lightDepth == nullptr) return 0;
    mask.assign(static_cast<std::size_t>(width) * height, 0);
    int shadowed = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const double d = in.cameraDepth[i];
        GLdouble wx, wy, wz, lx, ly, lz;
        if (d > SHADOW_FAR_DEPTH ||
            !gluUnProject(i % width, i / width, d, in.cameraModelview, in.projection, in.viewport, &wx, &wy, &wz) ||
            !gluProject(wx, wy, wz, in.lightModelview, in.projection, in.viewport, &lx, &ly, &lz)) {
            continue;
        }
        // Truncated toward zero, NaN, infinities and values past the int range left out.
        if (!(lx > INT_MIN - 1.0 && lx < INT_MAX + 1.0 && ly > INT_MIN - 1.0 && ly < INT_MAX + 1.0)) continue;
        const int ix = static_cast<int>(lx), iy = static_cast<int>(ly);
        if (ix < 0 || iy < 0 || ix >= width || iy >= height) continue;
        if (lz > in.lightDepth[static_cast<std::size_t>(iy) * width + ix] + SHADOW_BIAS) {
            mask[i] = 1;
            ++shadowed;
        }
    }
    return shadowed;
}

void wholeYardLightDepth() {
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
