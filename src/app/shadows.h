#ifndef BONEYARD_SHADOWS_H
#define BONEYARD_SHADOWS_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The CPU half of the shadow pass, apart from GL so tests and the benchmark can run it
// on read-back depth images. Matrices are column-major as GL returns them.
struct ShadowInputs {
    double cameraModelview[16];
    double projection[16];
    double lightModelview[16];
    int    viewport[4];
    int    width = 0, height = 0;
    const float* cameraDepth = nullptr;  // width * height, row 0 at the bottom
    const float* lightDepth  = nullptr;  // width * height
};

constexpr double SHADOW_FAR_DEPTH = 0.98;  // camera depths above this are never shadowed
constexpr double SHADOW_BIAS      = 0.001; // light depth must exceed the stored depth by more
// The shadow points are lit like any vertex: this grey is their material (colour tracking), and
// their normal, up and tilted 30 degrees away from the viewer in eye space, sets how the lights
// shade them. It is the normal the dog's drawing always left before them, so they keep the shade
// they have always had.
constexpr float  SHADOW_GREY      = 0.35f;
constexpr float  SHADOW_NORMAL[3] = {0.0f, 0.866025388f, -0.50000006f};

// Fills `mask` (width * height, 1 = shadowed, row 0 at the bottom) and returns the number
// of shadowed pixels. Pixel (c, r) is taken at its integer corner, carried from the camera's
// window to the light's window (same projection and viewport, light model-view), and is
// shadowed when its light depth exceeds the stored light depth at the truncated light
// column and row by more than SHADOW_BIAS. Pixels deeper than SHADOW_FAR_DEPTH, and those
// whose light column or row is NaN, infinite or truncates outside the image, are lit.
// A non-positive size, a missing array or a singular camera transform gives an all-lit mask.
int computeShadowMask(const ShadowInputs& in, std::vector<std::uint8_t>& mask);

// The whole window-to-window map of computeShadowMask as one 4x4 matrix (column-major):
// (lx, ly, lz, q) = M (c, r, d, 1), light window position (lx, ly, lz) / q.
// False when the camera's projection times model-view cannot be inverted.
bool cameraToLightWindow(const ShadowInputs& in, double map[16]);

// Fills the three matrices and the viewport from the current GL state as the pass sees it
// at the end of a frame: camera model-view, projection, viewport, and the light's look-at
// from light4_pos to the origin. Sets width and height to w and h; leaves the depth
// pointers alone. Leaves every matrix stack as it found it.
void readShadowMatrices(ShadowInputs& in);

// The shadowed pixels of `mask` (width * height, row 0 at the bottom) as one batch of
// GL_POINTS at their integer corners, with the current colour and matrices.
void drawShadowPoints(const std::vector<std::uint8_t>& mask, int width, int height);

// Runs `work` with blending on, the shadow grey as colour, fog off and one unit per pixel
// (origin at the bottom-left); restores all of it.
void inShadowPixelSpace(const std::function<void()>& work);

// depth[i] := the nearer of depth[i] and still[i], for `count` values.
void keepNearer(float* depth, const float* still, std::size_t count);

// The still yard's light depth image that renderLightDepth keeps between frames: empty
// until a shadowed frame draws it, after dropKeptLightDepth, and while there is no memory for
// it (each frame then draws the whole yard from the light).
const std::vector<float>& keptLightDepth();
// Empties the kept image and gives its memory back; the next shadowed frame draws it anew.
void dropKeptLightDepth();

#endif
