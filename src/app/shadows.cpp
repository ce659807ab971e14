// The depth-map shadow pass: after the frame is drawn, every visible surface point that the
// shadow light (at light4_pos, looking at the origin) cannot see gets a blended grey point.
//
// Each pixel (c, r, d) of the camera's depth image is carried to the light's window by one
// 4x4 matrix built per frame in double precision,
//     M = Vlight * P * Ml * (P * Mc)^-1 * Vcamera^-1,
// the same map as unprojecting through the camera and projecting through the light, so the
// per-pixel work is a few multiply-adds and one divide instead of two matrix inversions.
#include "shadows.h"

#include <GL/glu.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <new>

#include "Frustum.h"
#include "shell.h"

namespace {

// Inverse by cofactors; false when the determinant is zero (or not finite).
bool invert(const double m[16], double out[16]) {
    double inv[16];
    inv[0]  =  m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15]
             + m[9] * m[7] * m[14] + m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4]  = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15]
             - m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8]  =  m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15]
             + m[8] * m[7] * m[13] + m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14]
             - m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1]  = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15]
             - m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5]  =  m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15]
             + m[8] * m[3] * m[14] + m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9]  = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15]
             - m[8] * m[3] * m[13] - m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] =  m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14]
             + m[8] * m[2] * m[13] + m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2]  =  m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15]
             + m[5] * m[3] * m[14] + m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6]  = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15]
             - m[4] * m[3] * m[14] - m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] =  m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15]
             + m[4] * m[3] * m[13] + m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14]
             - m[4] * m[2] * m[13] - m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3]  = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11]
             - m[5] * m[3] * m[10] - m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7]  =  m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11]
             + m[4] * m[3] * m[10] + m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11]
             - m[4] * m[3] * m[9] - m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] =  m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10]
             + m[4] * m[2] * m[9] + m[8] * m[1] * m[6] - m[8] * m[2] * m[5];

    const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0 || det - det != 0.0) return false;  // zero, infinite or NaN
    const double scale = 1.0 / det;
    for (int i = 0; i < 16; ++i) out[i] = inv[i] * scale;
    return true;
}

// The mask of the frame being darkened; kept between frames so its storage is reused.
std::vector<std::uint8_t> shadowMask;

// The yard without the dog and the bones, as the shadow light sees it. The light never
// moves and the yard's layout never changes, so this is drawn once and kept until what it
// was drawn with changes: the projection or the viewport (a reshape), or the light's place.
// A reshape and the shadow key also drop it (dropKeptLightDepth): its memory follows the
// window, and a player who toggles shadows gets an image read anew, should the first read
// have met a covered window whose depths the driver left undefined.
struct StillLightDepth {
    double projection[16] = {};
    int    viewport[4] = {};
    float  light[3] = {};
    std::vector<float> depth;  // the viewport's width * height depths; empty until drawn
};
StillLightDepth still;

// Sizes the kept image for `pixels` depths. Without the memory it stays empty, and each frame
// draws the whole yard from the light: the same depths, only slower.
bool keepStill(std::size_t pixels) {
    try {
        still.depth.resize(pixels);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void readDepth(std::vector<float>& into) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);  // floats: rows are always whole words
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, into.data());
}

// Points sent between two flushes. The GL driver (llvmpipe) keeps the memory it bins a
// frame's work into: one unflushed batch of 786,432 points (a shadowed 1024x768 window)
// left it holding 80 MB more for the rest of the run, batches of 4,096 about 8 MB.
constexpr int SHADOW_POINT_BATCH = 4096;

}  // namespace

// All shadowed pixels as points at their integer corners, flushed every SHADOW_POINT_BATCH
// points. Rasterising the points, not sending them, is most of the cost; the scan skips
// eight lit pixels at a time.
void drawShadowPoints(const std::vector<std::uint8_t>& mask, int width, int height) {
    int batch = 0;
    glBegin(GL_POINTS);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* row = mask.data() + static_cast<std::size_t>(r) * width;
        int c = 0;
        while (c < width) {
            if (c + 8 <= width) {
                std::uint64_t eight;
                std::memcpy(&eight, row + c, sizeof eight);
                if (eight == 0) {
                    c += 8;
                    continue;
                }
            }
            if (row[c]) {
                glVertex2i(c, r);
                if (++batch == SHADOW_POINT_BATCH) {
                    glEnd();
                    glFlush();  // the driver rasterises and drops what it binned so far
                    glBegin(GL_POINTS);
                    batch = 0;
                }
            }
            ++c;
        }
    }
    glEnd();
}

bool cameraToLightWindow(const ShadowInputs& in, double map[16]) {
    const double vx = in.viewport[0], vy = in.viewport[1];
    const double vw = in.viewport[2], vh = in.viewport[3];
    if (!(vw > 0.0 && vh > 0.0)) return false;

    double cameraClip[16], clipToWorld[16];
    multiply(in.projection, in.cameraModelview, cameraClip);
    if (!invert(cameraClip, clipToWorld)) return false;

    // Camera window (c, r, d) to normalised device coordinates, as gluUnProject maps them.
    const double windowToNdc[16] = {
        2.0 / vw, 0.0, 0.0, 0.0,
        0.0, 2.0 / vh, 0.0, 0.0,
        0.0, 0.0, 2.0, 0.0,
        -2.0 * vx / vw - 1.0, -2.0 * vy / vh - 1.0, -1.0, 1.0,
    };
    // Light's normalised device coordinates to its window, as gluProject maps them.
    const double ndcToWindow[16] = {
        vw / 2.0, 0.0, 0.0, 0.0,
        0.0, vh / 2.0, 0.0, 0.0,
        0.0, 0.0, 0.5, 0.0,
        vx + vw / 2.0, vy + vh / 2.0, 0.5, 1.0,
    };

    double lightClip[16], a[16], b[16], c[16];
    multiply(in.projection, in.lightModelview, lightClip);
    multiply(clipToWorld, windowToNdc, a);
    multiply(lightClip, a, b);
    multiply(ndcToWindow, b, c);
    std::memcpy(map, c, sizeof c);
    return true;
}

int computeShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask) {
    const int width = in.width, height = in.height;
    if (width <= 0 || height <= 0 || in.cameraDepth == nullptr || in.lightDepth == nullptr) {
        mask.clear();
        return 0;
    }
    mask.assign(static_cast<std::size_t>(width) * height, 0);
    double m[16];
    if (!cameraToLightWindow(in, m)) return 0;

    const double columns = width, rows = height;
    int shadowed = 0;
    for (int r = 0; r < height; ++r) {
        const std::size_t rowStart = static_cast<std::size_t>(r) * width;
        const float* depthRow = in.cameraDepth + rowStart;
        std::uint8_t* maskRow = mask.data() + rowStart;
        // The row's share of the map, constant along the row.
        const double y = r;
        const double rowX = m[4] * y + m[12];
        const double rowY = m[5] * y + m[13];
        const double rowZ = m[6] * y + m[14];
        const double rowQ = m[7] * y + m[15];
        for (int c = 0; c < width; ++c) {
            const double d = depthRow[c];
            if (d > SHADOW_FAR_DEPTH) continue;  // compared in double: 0.98f itself lies above
            const double x = c;
            const double q = 1.0 / (m[3] * x + m[11] * d + rowQ);
            const double lx = (m[0] * x + m[8] * d + rowX) * q;
            const double ly = (m[1] * x + m[9] * d + rowY) * q;
            // Truncation toward zero lands inside the image exactly when -1 < l < size, so
            // (-1, 0) still reads index 0; NaN and infinities fail here and are never converted.
            if (!(lx > -1.0 && lx < columns && ly > -1.0 && ly < rows)) continue;
            const int ix = static_cast<int>(lx), iy = static_cast<int>(ly);
            const double lz = (m[2] * x + m[10] * d + rowZ) * q;
            const double stored = in.lightDepth[static_cast<std::size_t>(iy) * width + ix];
            if (lz > stored + SHADOW_BIAS) {
                maskRow[c] = 1;
                ++shadowed;
            }
        }
    }
    return shadowed;
}

void readShadowMatrices(ShadowInputs& in) {
    glGetDoublev(GL_MODELVIEW_MATRIX, in.cameraModelview);
    glGetDoublev(GL_PROJECTION_MATRIX, in.projection);
    glGetIntegerv(GL_VIEWPORT, in.viewport);
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();  // the light's view: from light4_pos to the origin, without the camera's 0.5 scale
        glLoadIdentity();
        gluLookAt(light4_pos[0], light4_pos[1], light4_pos[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        glGetDoublev(GL_MODELVIEW_MATRIX, in.lightModelview);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
    in.width = w;
    in.height = h;
}

void inShadowPixelSpace(const std::function<void()>& work) {
    glEnable(GL_BLEND);  // source * source colour + destination * destination colour, set in init
    glColor3f(SHADOW_GREY, SHADOW_GREY, SHADOW_GREY);
    glNormal3fv(SHADOW_NORMAL);
    // The points lie at eye distance 0, where the fog leaves a colour as it is: switching
    // it off changes no pixel and saves its work on every point.
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();  // one unit per pixel, origin at the bottom-left
        glLoadIdentity();
        gluOrtho2D(0.0, w, 0.0, h);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            glLoadIdentity();
            work();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_FOG);
    glDisable(GL_BLEND);
}

void shadows() {
    // The arrays are sized by myReshape; if they do not match the drawable, leave the frame.
    const std::size_t pixels = (w > 0 && h > 0) ? static_cast<std::size_t>(w) * h : 0;
    if (pixels == 0 || light_depth.size() != pixels || camera_depth.size() != pixels) return;

    ShadowInputs in;
    readShadowMatrices(in);  // the camera's matrices, before the pixel space replaces them
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    inShadowPixelSpace([&] {
        glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, camera_depth.data());
        computeShadowMask(in, shadowMask);
        drawShadowPoints(shadowMask, w, h);
    });
}

const std::vector<float>& keptLightDepth() {
    return still.depth;
}

void dropKeptLightDepth() {
    std::vector<float>().swap(still.depth);  // clear() would keep the capacity
}

void keepNearer(float* depth, const float* still, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) depth[i] = std::min(depth[i], still[i]);
}

// The depth test keeps the nearest fragment whatever the order of drawing, so the nearer of
// the kept image and this frame's dog and bones is exactly what drawing everything gives.
// Colour writes and lighting would be work thrown away: depths do not depend on them. What
// the drawing changes (the walk cycle, the bones' spin, materials through colour tracking)
// changes the same way without them, and the dog, drawn last, leaves the same materials.
void renderLightDepth() {
    const std::size_t pixels = (w > 0 && h > 0) ? static_cast<std::size_t>(w) * h : 0;
    double projection[16];
    int viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const bool kept = pixels > 0 && still.depth.size() == pixels &&
                      std::memcmp(still.projection, projection, sizeof projection) == 0 &&
                      std::memcmp(still.viewport, viewport, sizeof viewport) == 0 &&
                      std::memcmp(still.light, light4_pos, sizeof still.light) == 0;
    const bool read = pixels > 0 && light_depth.size() == pixels;

    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_LIGHTING);
    glPushMatrix();
        glLoadIdentity();
        gluLookAt(light4_pos[0], light4_pos[1], light4_pos[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        if (!kept && read) {  // drawn into the frame's cleared depth buffer; the rest goes on top
            scene.drawStill();
            if (keepStill(pixels)) {
                readDepth(still.depth);
                std::memcpy(still.projection, projection, sizeof projection);
                std::memcpy(still.viewport, viewport, sizeof viewport);
                std::memcpy(still.light, light4_pos, sizeof still.light);
            }
        }
        scene.drawBones();
        dog.draw();
        if (read) readDepth(light_depth);
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);  // no colour was written
    if (kept && read) keepNearer(light_depth.data(), still.depth.data(), pixels);
}
