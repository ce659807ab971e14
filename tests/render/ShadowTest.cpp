// The shadow pass: its mask on synthetic depth images with exactly known light-view positions,
// its agreement with the per-pixel GLU reference on real frames, and what it does to the picture.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "RenderSupport.h"
#include "ShadowReference.h"
#include "shadows.h"
#include "shell.h"

namespace {

// Identity camera and projection: camera pixel (c, r, d) lands at light window (c, r, d)
// exactly, and a light translation shifts it by whole or half pixels with no rounding.
constexpr int SW = 8, SH = 4;

struct Synthetic {
    ShadowInputs in;
    std::vector<float> camera = std::vector<float>(SW * SH, 0.5f);
    std::vector<float> light = std::vector<float>(SW * SH, 0.0f);  // 0: every point is behind

    Synthetic() {
        const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        for (double* m : {in.cameraModelview, in.projection, in.lightModelview}) std::memcpy(m, identity, sizeof identity);
        in.viewport[0] = in.viewport[1] = 0;
        in.width = in.viewport[2] = SW;
        in.height = in.viewport[3] = SH;
    }
    void shiftLight(double dx, double dy, double dz) {  // in pixels and window depth
        in.lightModelview[12] = 2.0 * dx / SW;
        in.lightModelview[13] = 2.0 * dy / SH;
        in.lightModelview[14] = 2.0 * dz;
    }
    void hideOnlyBehind(bool column0) {  // only light column 0 (or row 0) hides anything
        light.assign(SW * SH, 1.0f);
        for (int i = 0; i < (column0 ? SH : SW); ++i) light[column0 ? i * SW : i] = 0.0f;
    }
};

// The mask as rows from the bottom, '#' shadowed, separated by '/'.
std::string picture(const std::vector<std::uint8_t>& mask) {
    std::string s;
    for (size_t i = 0; i < mask.size(); ++i) s += std::string(i && i % SW == 0 ? "/" : "") + (mask[i] ? '#' : '.');
    return s;
}

TEST(ShadowMask, SyntheticEdgeCasesAgreeWithTheReference) {
    const std::string all = "########/########/########/########", lit = "......../......../......../........";
    const double atBias = (0.5 + SHADOW_BIAS) - 0.5, aboveBias = std::nextafter(0.5 + SHADOW_BIAS, 1.0) - 0.5;
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::function<void(Synthetic&)> setup;
        std::string expected;  // "" for an emptied mask
    } cases[] = {
        {"depth compared with 0.98 in double", [](Synthetic& s) {
             s.camera[0] = 0.98f;                        // 0.98000001907...: above
             s.camera[1] = std::nextafter(0.98f, 0.0f);  // below
             s.camera[2] = 1.0f;
             s.camera[4] = std::numeric_limits<float>::quiet_NaN();
         }, ".#.#.###/########/########/########"},
        {"exactly the bias behind", [=](Synthetic& s) { s.light.assign(SW * SH, 0.5f); s.shiftLight(0, 0, atBias); }, lit},
        {"just past the bias", [=](Synthetic& s) { s.light.assign(SW * SH, 0.5f); s.shiftLight(0, 0, aboveBias); }, all},
        {"column -0.5", [](Synthetic& s) { s.hideOnlyBehind(true); s.shiftLight(-0.5, 0, 0); },
         "##....../##....../##....../##......"},
        {"column exactly -1", [](Synthetic& s) { s.hideOnlyBehind(true); s.shiftLight(-1, 0, 0); },
         ".#....../.#....../.#....../.#......"},
        {"row -0.75", [](Synthetic& s) { s.hideOnlyBehind(false); s.shiftLight(0, -0.75, 0); },
         "########/########/......../........"},
        {"column exactly width", [](Synthetic& s) { s.shiftLight(1, 0, 0); }, "#######./#######./#######./#######."},
        {"row 3.5", [](Synthetic& s) { s.shiftLight(0, 0.5, 0); }, all},
        {"row exactly height", [](Synthetic& s) { s.shiftLight(0, 1, 0); }, "########/########/########/........"},
        {"column 3e9", [](Synthetic& s) { s.shiftLight(3.0e9, 0, 0); }, lit},
        {"column -1e300", [](Synthetic& s) { s.shiftLight(-1.0e300, 0, 0); }, lit},
        {"row -3e9", [](Synthetic& s) { s.shiftLight(0, -3.0e9, 0); }, lit},
        {"row 1e300", [](Synthetic& s) { s.shiftLight(0, 1.0e300, 0); }, lit},
        {"NaN light matrix", [=](Synthetic& s) { s.in.lightModelview[0] = nan; }, lit},
        {"infinite light translation", [=](Synthetic& s) { s.in.lightModelview[12] = inf; }, lit},
        {"light clip w of 0", [](Synthetic& s) { s.in.lightModelview[15] = 0.0; }, lit},
        {"singular camera", [](Synthetic& s) { s.in.cameraModelview[10] = 0.0; }, lit},
        {"zero viewport", [](Synthetic& s) { s.in.viewport[2] = 0; }, lit},
        {"zero width", [](Synthetic& s) { s.in.width = 0; }, ""},
        {"missing light depth", [](Synthetic& s) { s.light.clear(); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Synthetic s;
        c.setup(s);
        s.in.cameraDepth = s.camera.data();
        s.in.lightDepth = s.light.empty() ? nullptr : s.light.data();
        std::vector<std::uint8_t> mask(5, 1), reference;
        const int count = computeShadowMask(s.in, mask);
        EXPECT_EQ(picture(mask), c.expected);
        EXPECT_EQ(count, std::count(c.expected.begin(), c.expected.end(), '#'));
        EXPECT_EQ(referenceShadowMask(s.in, reference), count);
        EXPECT_EQ(reference, mask);
    }
}

class ShadowFrame : public ::testing::Test {
protected:
    void SetUp() override {
        resetShellState();
        renderFrame();  // settles material state the dog leaves for the next frame
    }
    void TearDown() override {
        if (w != 1024 || h != 768) myReshape(1024, 768);
        resetShellState();
    }
};

ShadowInputs frameInputs() {
    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    return in;
}

bool nearWhole(double v) { return std::fabs(v - std::nearbyint(v)) <= 1e-9; }

// Blending squares the frame and adds the grey squared: every channel drops, together by a tenth.
::testing::AssertionResult darkened(const unsigned char* on, const unsigned char* off) {
    if (on[0] < off[0] && on[1] < off[1] && on[2] < off[2] && (on[0] + on[1] + on[2]) * 10 <= (off[0] + off[1] + off[2]) * 9) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "off (" << +off[0] << ", " << +off[1] << ", " << +off[2] << ") on ("
                                         << +on[0] << ", " << +on[1] << ", " << +on[2] << ")";
}

// Each view drawn without and with shadows. The mask must match the per-pixel GLU reference
// except where the reference's light depth lies within 1e-9 of its threshold or its light column
// or row within 1e-9 of a whole number. Where both frames show the same surface (bones spin) and
// beyond the points' own depth of 0.5, a masked pixel changes and keeps at least its colour
// squared, an unmasked one moves by at most the unit or two of the bones' shading; pixels deeper
// than 0.98 never change. From above, the ground on the far side of the dog from the light at
// (25, 15, 1) is darkened, the ground beside it on the light's side is not.
TEST_F(ShadowFrame, DarkensWhatTheReferenceShadowsAndNothingElse) {
    const struct {
        const char* view;
        std::function<void()> setup;
        int minimumFar;  // pixels deeper than 0.98 in view
        bool fromAbove, still;  // still: nothing moving in view but the spinning bones
    } views[] = {
        {"start view", [] {}, 0, false, false},
        {"pool and houses", [] { aimCamera(-5.0f, 0.0f, -20.0f, 20.0f, 40.0f, 60.0f); }, 0, false, true},
        {"along the light", [] { aimCamera(10.0f, 2.0f, 0.0f, 90.0f, 5.0f, 40.0f); }, 1024 * 768 / 20, false, true},
        {"blimp view", [] { blimpView = true; }, 0, true, true},
        {"blimp view at 640x480", [] { myReshape(640, 480); blimpView = true; }, 0, true, true},
    };
    for (const auto& v : views) {
        SCOPED_TRACE(v.view);
        resetShellState();
        v.setup();
        shadow = false;
        renderFrame();
        const std::vector<unsigned char> off = readFrame();
        std::vector<float> offDepth(static_cast<size_t>(w) * h);
        glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, offDepth.data());
        int behind[2], beside[2];
        ASSERT_TRUE(!v.fromAbove || (projectToScreen(-1.8f, 0.0f, 0.0f, behind[0], behind[1]) &&
                                     projectToScreen(2.5f, 0.0f, 0.0f, beside[0], beside[1])));
        shadow = true;
        renderFrame();
        const std::vector<unsigned char> on = readFrame();
        ASSERT_EQ(light_depth.size(), offDepth.size());
        ASSERT_EQ(camera_depth.size(), offDepth.size());

        const ShadowInputs in = frameInputs();
        std::vector<std::uint8_t> mask, reference;
        ShadowReferenceDetail d;
        const int shadowed = computeShadowMask(in, mask), referenceCount = referenceShadowMask(in, reference, &d);
        int differing = 0, unexplained = 0, checked = 0, masked = 0, maskedChanged = 0, notBlended = 0;
        int unmaskedChanged = 0, far = 0, farChanged = 0;
        for (size_t i = 0; i < mask.size(); ++i) {
            if (mask[i] != reference[i] && ++differing && std::fabs(d.lightZ[i] - d.threshold[i]) > 1e-9 &&
                !nearWhole(d.lightX[i]) && !nearWhole(d.lightY[i]) && unexplained++ == 0) {
                ADD_FAILURE() << "pixel (" << i % w << ", " << i / w << ") light (" << d.lightX[i] << ", "
                              << d.lightY[i] << ", " << d.lightZ[i] << ") threshold " << d.threshold[i];
            }
            if (camera_depth[i] > 0.98f && offDepth[i] > 0.98f) {
                ++far;
                farChanged += std::memcmp(&off[3 * i], &on[3 * i], 3) != 0;
            }
            if (offDepth[i] != camera_depth[i] || camera_depth[i] <= 0.5f) continue;
            ++checked;
            bool differs = false, belowSquare = false;
            for (size_t k = 3 * i; k < 3 * i + 3; ++k) {
                differs |= std::abs(off[k] - on[k]) > 2;
                belowSquare |= on[k] < off[k] * off[k] / 255 - 2;
            }
            masked += mask[i];
            (mask[i] ? maskedChanged : unmaskedChanged) += differs;
            notBlended += mask[i] && belowSquare;
        }
        EXPECT_EQ(unexplained, 0);
        EXPECT_GE(referenceCount, 500);
        EXPECT_LE(std::abs(shadowed - referenceCount), differing);
        EXPECT_GT(checked, w * h / 2);
        EXPECT_EQ(unmaskedChanged * v.still, 0);
        EXPECT_GE(masked, shadowed * 9 / 10);
        EXPECT_GE(maskedChanged, masked * 95 / 100);
        EXPECT_EQ(notBlended, 0);
        EXPECT_GE(far, v.minimumFar);
        EXPECT_EQ(farChanged * v.still, 0);
        if (v.fromAbove) {
            const size_t b = 3 * ((h - 1 - behind[1]) * static_cast<size_t>(w) + behind[0]);
            const size_t l = 3 * ((h - 1 - beside[1]) * static_cast<size_t>(w) + beside[0]);
            EXPECT_TRUE(darkened(&on[b], &off[b]));
            EXPECT_EQ(0, std::memcmp(&on[l], &off[l], 3));
        }
    }
}

// Where two vectors first differ: their size if nowhere, -1 if their sizes differ.
template <class T>
long firstDifference(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() != b.size() ? -1 : std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
}

// The game's light render keeps the still yard between frames; drawing the whole yard from the
// light every frame must give the same light depths and frames, from the same start (a fresh dog
// and yard), while the dog walks, the bones spin, one is picked up, the window is reshaped and
// the light moves (both rebuild the kept image).
TEST_F(ShadowFrame, KeptLightDepthGivesTheSamePicturesAsTheWholeYard) {
    const struct {
        const char* step;
        void (*apply)();
    } steps[] = {
        {"start view", [] {}},
        {"dog walks", [] { dog.move(0.0f, 0.0f, -0.6f); }},
        {"dog turns and walks", [] { dog.turnLeft(); dog.move(0.5f, 0.0f, -0.5f); }},
        {"blimp view", [] { blimpView = true; }},
        {"dog on the bone at (-3, -5)", [] { dog.move(-3.0f, 0.0f, -4.0f); }},
        {"reshaped to 640x480", [] { myReshape(640, 480); }},
        {"dog walks at 640x480", [] { dog.move(1.0f, 0.0f, 0.0f); }},
        {"light moved", [] { light4_pos[0] = 20.0f; }},
        {"back at 1024x768, start view", [] { myReshape(1024, 768); blimpView = false; light4_pos[0] = 25.0f; }},
    };
    std::vector<std::vector<float>> depths;
    std::vector<std::vector<unsigned char>> frames;
    for (void (*lightRender)() : {renderLightDepth, fullLightDepth}) {
        dog.~Dog();
        new (&dog) Dog(0.0f, 0.0f, 0.0f);
        scene.~Scene();
        new (&scene) Scene(20);
        resetShellState();
        shadow = true;
        for (size_t k = 0; k < std::size(steps); ++k) {
            SCOPED_TRACE(steps[k].step);
            steps[k].apply();
            drawFrame(lightRender);
            glFinish();
            if (lightRender == renderLightDepth) {
                depths.push_back(light_depth);
                frames.push_back(readFrame());
            } else {
                EXPECT_EQ(firstDifference(light_depth, depths[k]), static_cast<long>(depths[k].size()));
                EXPECT_EQ(firstDifference(readFrame(), frames[k]), static_cast<long>(frames[k].size()));
            }
        }
        EXPECT_TRUE(scene.getBone(12).isCollected());
    }
}

TEST_F(ShadowFrame, NothingHappensWithShadowOffOrArraysOfTheWrongSize) {
    const std::vector<float> marked(light_depth.size(), -7.0f);
    light_depth = camera_depth = marked;
    shadow = false;
    renderFrame();
    renderFrame();
    EXPECT_EQ(light_depth, marked);
    EXPECT_EQ(camera_depth, marked);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    const std::vector<unsigned char> before = readFrame();
    light_depth.assign(16, 0.0f);  // the pass must not read past it
    shadows();
    EXPECT_EQ(camera_depth, marked);
    EXPECT_TRUE(readFrame() == before);
    light_depth = marked;
    camera_depth.assign(3, 0.0f);
    shadows();
    EXPECT_EQ(camera_depth.size(), 3u);
    EXPECT_TRUE(readFrame() == before);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    camera_depth = marked;
}

TEST_F(ShadowFrame, PassLeavesMatricesBlendingAndModeAsFound) {
    shadow = true;
    renderFrame();
    auto state = [] {
        std::vector<double> s(19);
        glGetDoublev(GL_MODELVIEW_MATRIX, s.data());
        const GLenum names[3] = {GL_MODELVIEW_STACK_DEPTH, GL_PROJECTION_STACK_DEPTH, GL_MATRIX_MODE};
        for (int k = 0; k < 3; ++k) {
            GLint v = 0;
            glGetIntegerv(names[k], &v);
            s[16 + k] = v;
        }
        return s;
    };
    const std::vector<double> before = state();
    shadows();
    EXPECT_EQ(state(), before);
    EXPECT_EQ(before[18], GL_MODELVIEW);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
