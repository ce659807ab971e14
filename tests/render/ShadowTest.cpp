// The shadow pass: its mask on synthetic depth images with exactly known light-view
// positions, its agreement with the per-pixel GLU reference on real frames, and what the
// darkening does to the picture.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "RenderSupport.h"
#include "ShadowReference.h"
#include "shadows.h"
#include "shell.h"

namespace {

// ---------------------------------------------------------------------------------
// Synthetic inputs: identity camera and projection, so a camera pixel (c, r, d) lands at
// light window (c, r, d) exactly, and a light model-view translation shifts it by a
// chosen whole or half pixel (or depth) with no rounding anywhere.

constexpr int SW = 8, SH = 4;  // powers of two keep every step of the map exact

struct Synthetic {
    ShadowInputs in;
    std::vector<float> camera = std::vector<float>(SW * SH, 0.5f);
    std::vector<float> light = std::vector<float>(SW * SH, 0.0f);  // 0: everything tested is behind

    Synthetic() {
        const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        std::memcpy(in.cameraModelview, identity, sizeof identity);
        std::memcpy(in.projection, identity, sizeof identity);
        std::memcpy(in.lightModelview, identity, sizeof identity);
        in.viewport[0] = 0; in.viewport[1] = 0; in.viewport[2] = SW; in.viewport[3] = SH;
        in.width = SW;
        in.height = SH;
    }
    // Moves the light's image by (dx, dy) pixels and its window depth by dz.
    void shiftLight(double dx, double dy, double dz) {
        in.lightModelview[12] = 2.0 * dx / SW;
        in.lightModelview[13] = 2.0 * dy / SH;
        in.lightModelview[14] = 2.0 * dz;
    }
    int mask(std::vector<std::uint8_t>& out) {
        in.cameraDepth = camera.data();
        in.lightDepth = light.data();
        return computeShadowMask(in, out);
    }
    int reference(std::vector<std::uint8_t>& out) {
        in.cameraDepth = camera.data();
        in.lightDepth = light.data();
        return referenceShadowMask(in, out);
    }
};

std::string maskRow(const std::vector<std::uint8_t>& mask, int r, int width = SW) {
    std::string s;
    for (int c = 0; c < width; ++c) s += mask[static_cast<size_t>(r) * width + c] ? '#' : '.';
    return s;
}

TEST(ShadowMaskFarCutOff, DepthIsComparedWithPointNineEightInDouble) {
    Synthetic s;
    s.camera[0] = 0.98f;                             // widened: 0.98000001907..., above 0.98
    s.camera[1] = std::nextafter(0.98f, 0.0f);       // the largest float at or below 0.98
    s.camera[2] = 1.0f;                              // the far plane
    s.camera[3] = 0.25f;
    s.camera[4] = std::numeric_limits<float>::quiet_NaN();  // not above 0.98, but has no light position
    std::vector<std::uint8_t> mask;
    EXPECT_EQ(s.mask(mask), SW * SH - 3);  // everything tested lies behind a light depth of 0
    EXPECT_EQ(maskRow(mask, 0), ".#.#.###");
    std::vector<std::uint8_t> reference;
    s.reference(reference);
    EXPECT_EQ(mask, reference);
}

TEST(ShadowMaskBias, ExactlyTheBiasBehindCountsAsLit) {
    // Light depth 0.5 everywhere; each pixel's light depth is 0.5 + offset, exactly.
    const double threshold = 0.5 + SHADOW_BIAS;
    const double above = std::nextafter(threshold, 1.0);
    const double cases[] = {threshold - 0.5, above - 0.5};
    const int expected[] = {0, SW * SH};
    for (int i = 0; i < 2; ++i) {
        Synthetic s;
        s.light.assign(SW * SH, 0.5f);
        s.shiftLight(0.0, 0.0, cases[i]);
        std::vector<std::uint8_t> mask, reference;
        EXPECT_EQ(s.mask(mask), expected[i]) << "offset " << cases[i];
        s.reference(reference);
        EXPECT_EQ(mask, reference);
    }
}

TEST(ShadowMaskLightWindow, ColumnsBetweenMinusOneAndZeroTruncateToZero) {
    Synthetic s;
    s.light.assign(SW * SH, 1.0f);
    for (int r = 0; r < SH; ++r) s.light[r * SW] = 0.0f;  // only light column 0 hides anything
    std::vector<std::uint8_t> mask, reference;

    s.shiftLight(-0.5, 0.0, 0.0);  // camera column 0 lands at -0.5, column 1 at 0.5
    EXPECT_EQ(s.mask(mask), 2 * SH);
    EXPECT_EQ(maskRow(mask, 0), "##......");
    s.reference(reference);
    EXPECT_EQ(mask, reference);

    s.shiftLight(-1.0, 0.0, 0.0);  // column 0 lands at exactly -1: outside
    EXPECT_EQ(s.mask(mask), SH);
    EXPECT_EQ(maskRow(mask, 0), ".#......");
    s.reference(reference);
    EXPECT_EQ(mask, reference);
}

TEST(ShadowMaskLightWindow, RowsBetweenMinusOneAndZeroTruncateToZero) {
    Synthetic s;
    s.light.assign(SW * SH, 1.0f);
    for (int c = 0; c < SW; ++c) s.light[c] = 0.0f;  // only light row 0 hides anything
    std::vector<std::uint8_t> mask;
    s.shiftLight(0.0, -0.75, 0.0);
    EXPECT_EQ(s.mask(mask), 2 * SW);  // camera rows 0 and 1 read light row 0
    EXPECT_EQ(maskRow(mask, 1), "########");
    EXPECT_EQ(maskRow(mask, 2), "........");
}

TEST(ShadowMaskLightWindow, PointsPastTheLastColumnOrRowAreLit) {
    Synthetic s;
    std::vector<std::uint8_t> mask, reference;
    s.shiftLight(1.0, 0.0, 0.0);  // column 7 lands at exactly 8
    EXPECT_EQ(s.mask(mask), (SW - 1) * SH);
    EXPECT_EQ(maskRow(mask, 3), "#######.");
    s.reference(reference);
    EXPECT_EQ(mask, reference);

    s.shiftLight(0.0, 0.5, 0.0);  // row 3 lands at 3.5: still inside
    EXPECT_EQ(s.mask(mask), SW * SH);
    s.shiftLight(0.0, 1.0, 0.0);  // row 3 lands at exactly 4
    EXPECT_EQ(s.mask(mask), SW * (SH - 1));
    EXPECT_EQ(maskRow(mask, 3), "........");
}

TEST(ShadowMaskLightWindow, HugeNanAndInfinitePositionsAreLitNotConverted) {
    std::vector<std::uint8_t> mask;
    const double far[] = {3.0e9, -3.0e9, 1.0e300, -1.0e300};  // beyond the int range either way
    for (double shift : far) {
        Synthetic s;
        s.shiftLight(shift, 0.0, 0.0);
        EXPECT_EQ(s.mask(mask), 0) << shift;
        s.shiftLight(0.0, shift, 0.0);
        EXPECT_EQ(s.mask(mask), 0) << shift;
    }
    Synthetic nan;
    nan.in.lightModelview[0] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(nan.mask(mask), 0);
    Synthetic infinite;
    infinite.in.lightModelview[12] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(infinite.mask(mask), 0);
    Synthetic atInfinity;  // light clip w = 0: the divide gives infinities and NaN
    atInfinity.in.lightModelview[15] = 0.0;
    EXPECT_EQ(atInfinity.mask(mask), 0);
}

TEST(ShadowMaskInputs, DegenerateInputsGiveNoShadow) {
    std::vector<std::uint8_t> mask(5, 1);
    Synthetic empty;
    empty.in.width = 0;
    EXPECT_EQ(empty.mask(mask), 0);
    EXPECT_TRUE(mask.empty());

    Synthetic missing;
    missing.in.lightDepth = nullptr;
    missing.in.cameraDepth = missing.camera.data();
    EXPECT_EQ(computeShadowMask(missing.in, mask), 0);

    Synthetic singular;  // a camera that flattens everything cannot be unprojected
    singular.in.cameraModelview[10] = 0.0;
    EXPECT_EQ(singular.mask(mask), 0);
    ASSERT_EQ(mask.size(), static_cast<size_t>(SW * SH));
    for (std::uint8_t m : mask) EXPECT_EQ(m, 0);

    Synthetic noViewport;
    noViewport.in.viewport[2] = 0;
    EXPECT_EQ(noViewport.mask(mask), 0);
}

// ---------------------------------------------------------------------------------
// Real frames.

class ShadowFrame : public ::testing::Test {
protected:
    void SetUp() override {
        resetShellState();
        renderFrame();  // material state left by the dog carries into the next frame: settle it
    }
    void TearDown() override {
        if (w != 1024 || h != 768) myReshape(1024, 768);
        resetShellState();
    }
};

struct Comparison {
    int fast = 0, reference = 0, differing = 0, unexplained = 0;
    std::string firstUnexplained;
};

bool nearWhole(double v) { return std::fabs(v - std::nearbyint(v)) <= 1e-9; }

// Runs both masks on what the pass of the frame just drawn saw.
Comparison compareWithReference() {
    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    std::vector<std::uint8_t> fast, reference;
    ShadowReferenceDetail detail;
    Comparison out;
    out.fast = computeShadowMask(in, fast);
    out.reference = referenceShadowMask(in, reference, &detail);
    for (size_t i = 0; i < fast.size(); ++i) {
        if (fast[i] == reference[i]) continue;
        ++out.differing;
        const bool explained = std::fabs(detail.lightZ[i] - detail.threshold[i]) <= 1e-9 ||
                               nearWhole(detail.lightX[i]) || nearWhole(detail.lightY[i]);
        if (explained) continue;
        if (out.unexplained++ == 0) {
            out.firstUnexplained = "pixel (" + std::to_string(i % in.width) + ", " +
                                   std::to_string(i / in.width) + ") light (" +
                                   std::to_string(detail.lightX[i]) + ", " + std::to_string(detail.lightY[i]) +
                                   ", " + std::to_string(detail.lightZ[i]) + ")";
        }
    }
    return out;
}

void expectAgreement(const char* view, int minimumShadowed) {
    shadow = true;
    renderFrame();
    ASSERT_EQ(light_depth.size(), static_cast<size_t>(w) * h);
    const Comparison cmp = compareWithReference();
    EXPECT_EQ(cmp.unexplained, 0) << view << ": first at " << cmp.firstUnexplained;
    EXPECT_GE(cmp.reference, minimumShadowed) << view;
    EXPECT_LE(std::abs(cmp.fast - cmp.reference), cmp.differing) << view;
    ::testing::Test::RecordProperty(std::string(view) + "_shadowed", cmp.fast);
}

TEST_F(ShadowFrame, MaskAgreesWithGluReferenceInTheStartView) {
    expectAgreement("start view", 500);
}

TEST_F(ShadowFrame, MaskAgreesWithGluReferenceOverThePoolAndHouses) {
    aimCamera(-5.0f, 0.0f, -20.0f, 20.0f, 40.0f, 60.0f);  // the dog and a bush cast shadows in front
    expectAgreement("pool and houses", 500);
}

TEST_F(ShadowFrame, MaskAgreesWithGluReferenceInBlimpView) {
    blimpView = true;
    expectAgreement("blimp view", 500);
}

// Blending multiplies the frame by itself and adds the lit grey squared: every channel of a
// darkened pixel drops, and together by at least a tenth.
::testing::AssertionResult darkened(Rgb on, Rgb off) {
    if (on.r < off.r && on.g < off.g && on.b < off.b && (on.r + on.g + on.b) * 10 <= (off.r + off.g + off.b) * 9) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "off (" << off.r << ", " << off.g << ", " << off.b << ") on ("
                                         << on.r << ", " << on.g << ", " << on.b << ")";
}

TEST_F(ShadowFrame, DarkensTheGroundOnTheFarSideOfTheDogFromTheLight) {
    blimpView = true;  // straight down on the dog at the origin, the light's aim point
    // The light stands at (25, 15, 1): the dog's shadow falls toward -x. Next to the dog on
    // the light's side, the ground stays lit.
    const float behind[3] = {-1.8f, 0.0f, 0.0f};
    const float lit[3] = {2.5f, 0.0f, 0.0f};
    int bx, by, lx, ly;
    renderFrame();
    ASSERT_TRUE(projectToScreen(behind[0], behind[1], behind[2], bx, by));
    ASSERT_TRUE(projectToScreen(lit[0], lit[1], lit[2], lx, ly));
    const Rgb behindOff = pixelAt(bx, by), litOff = pixelAt(lx, ly);

    shadow = true;
    renderFrame();
    const Rgb behindOn = pixelAt(bx, by), litOn = pixelAt(lx, ly);
    EXPECT_TRUE(darkened(behindOn, behindOff));
    EXPECT_EQ(litOn.r, litOff.r);
    EXPECT_EQ(litOn.g, litOff.g);
    EXPECT_EQ(litOn.b, litOff.b);

    shadow = false;  // and switching off takes the darkening away again
    renderFrame();
    const Rgb behindAgain = pixelAt(bx, by);
    EXPECT_EQ(behindAgain.r, behindOff.r);
    EXPECT_EQ(behindAgain.g, behindOff.g);
    EXPECT_EQ(behindAgain.b, behindOff.b);
}

TEST_F(ShadowFrame, DarkensExactlyTheMaskedPixels) {
    blimpView = true;
    renderFrame();
    const std::vector<unsigned char> off = readFrame();
    std::vector<float> offDepth(static_cast<size_t>(w) * h);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, offDepth.data());

    shadow = true;
    renderFrame();
    const std::vector<unsigned char> on = readFrame();
    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    std::vector<std::uint8_t> mask;
    const int shadowed = computeShadowMask(in, mask);
    ASSERT_GT(shadowed, 500);

    // Compare only where both frames show the same surface (the bones spin between frames)
    // and beyond the points' own depth of 0.5, which the depth test needs them to pass. The
    // blend squares the frame and adds the lit grey squared, so a dark pixel may brighten:
    // a masked pixel must change, an unmasked one must not (beyond the spinning bones'
    // shading, which moves a channel by a unit or two where the depth happens to agree).
    auto differs = [&](size_t i) {
        for (int k = 0; k < 3; ++k) {
            if (std::abs(off[3 * i + k] - on[3 * i + k]) > 2) return true;
        }
        return false;
    };
    // The blend keeps at least the frame's own colour squared in every channel.
    auto belowSquare = [&](size_t i) {
        for (int k = 0; k < 3; ++k) {
            if (on[3 * i + k] < off[3 * i + k] * off[3 * i + k] / 255 - 2) return true;
        }
        return false;
    };
    int maskedChecked = 0, maskedChanged = 0, notBlended = 0, unmaskedChanged = 0, checked = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (offDepth[i] != camera_depth[i] || camera_depth[i] <= 0.5f) continue;
        ++checked;
        if (mask[i]) {
            ++maskedChecked;
            maskedChanged += differs(i);
            notBlended += belowSquare(i);
        } else {
            unmaskedChanged += differs(i);
        }
    }
    EXPECT_GT(checked, w * h / 2);
    EXPECT_EQ(unmaskedChanged, 0);
    EXPECT_GE(maskedChecked, shadowed * 9 / 10);
    EXPECT_GE(maskedChanged, maskedChecked * 95 / 100);
    EXPECT_EQ(notBlended, 0);
}

TEST_F(ShadowFrame, WithShadowOffNeitherArrayIsTouchedAndNothingBlends) {
    std::vector<float> lightBefore(light_depth.size(), -7.0f), cameraBefore(camera_depth.size(), -7.0f);
    light_depth = lightBefore;
    camera_depth = cameraBefore;
    shadow = false;
    renderFrame();
    renderFrame();
    EXPECT_EQ(light_depth, lightBefore);
    EXPECT_EQ(camera_depth, cameraBefore);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(ShadowFrame, PassLeavesMatricesBlendingAndModeAsFound) {
    shadow = true;
    renderFrame();
    GLint modelDepth = 0, projectionDepth = 0, mode = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelDepth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    double before[16], after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    shadows();
    GLint modelAfter = 0, projectionAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelAfter);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionAfter);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(modelAfter, modelDepth);
    EXPECT_EQ(projectionAfter, projectionDepth);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShadowFrame, PixelsBeyondPointNineEightAreNeverDarkened) {
    // Looking along the light's own direction: far ground and sky lie beyond the cut-off.
    aimCamera(10.0f, 2.0f, 0.0f, 90.0f, 5.0f, 40.0f);
    renderFrame();
    const std::vector<unsigned char> off = readFrame();
    std::vector<float> offDepth(static_cast<size_t>(w) * h);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, offDepth.data());
    shadow = true;
    renderFrame();
    const std::vector<unsigned char> on = readFrame();

    int far = 0, changed = 0;
    for (size_t i = 0; i < offDepth.size(); ++i) {
        if (!(camera_depth[i] > 0.98f && offDepth[i] > 0.98f)) continue;
        ++far;
        changed += std::memcmp(&off[3 * i], &on[3 * i], 3) != 0;
    }
    EXPECT_GT(far, w * h / 20);
    EXPECT_EQ(changed, 0);
}

TEST_F(ShadowFrame, WorksAtTheNewSizeAfterAReshape) {
    myReshape(640, 480);
    blimpView = true;
    shadow = true;
    renderFrame();
    EXPECT_EQ(light_depth.size(), 640u * 480u);
    EXPECT_EQ(camera_depth.size(), 640u * 480u);
    const Comparison cmp = compareWithReference();
    EXPECT_EQ(cmp.unexplained, 0) << cmp.firstUnexplained;
    EXPECT_GT(cmp.fast, 200);
    // The dog's shadow is still darkened at the new size.
    int bx, by;
    ASSERT_TRUE(projectToScreen(-1.8f, 0.0f, 0.0f, bx, by));
    const Rgb on = pixelAt(bx, by);
    shadow = false;
    renderFrame();
    const Rgb off = pixelAt(bx, by);
    EXPECT_TRUE(darkened(on, off));
}

TEST_F(ShadowFrame, ArraysOfTheWrongSizeAreLeftAlone) {
    renderFrame();
    const std::vector<unsigned char> before = readFrame();
    const std::vector<float> savedLight = light_depth;
    light_depth.assign(16, 0.0f);  // far too short: the pass must not read past it
    shadows();
    EXPECT_EQ(camera_depth.size(), static_cast<size_t>(w) * h);
    EXPECT_TRUE(readFrame() == before);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    light_depth = savedLight;
    camera_depth.assign(3, 0.0f);
    shadows();
    EXPECT_EQ(camera_depth.size(), 3u);
    EXPECT_TRUE(readFrame() == before);
    camera_depth.assign(static_cast<size_t>(w) * h, 0.0f);
}

}  // namespace

