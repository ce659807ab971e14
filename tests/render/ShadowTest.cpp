// The shadow mask against its literal GLU reference, on synthetic depth images with exactly
// known light positions and on real frames; the kept light image against a whole-yard render.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "RenderSupport.h"
#include "ShadowReference.h"
#include "shadows.h"

namespace {

// Identity camera and projection on an 8 x 4 image: camera pixel (c, r, d) lands at light
// window (c, r, d), and a light translation shifts it by exact pixels and window depth.
struct Synthetic {
    ShadowInputs in{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {}, {}, {0, 0, 8, 4}, 8, 4};
    std::vector<float> camera = std::vector<float>(32, 0.5f), light = std::vector<float>(32, 0.0f);
    Synthetic() { std::memcpy(in.projection, in.cameraModelview, sizeof in.projection), std::memcpy(in.lightModelview, in.cameraModelview, sizeof in.projection); }
    void shift(double dx, double dy, double dz) { in.lightModelview[12] = dx / 4, in.lightModelview[13] = dy / 2, in.lightModelview[14] = 2 * dz; }
    void onlyBehind(int column, int row) {  // only light column `column` or row `row` hides anything
        for (int i = 0; i < 32; ++i) light[i] = i % 8 == column || i / 8 == row ? 0.0f : 1.0f;
    }
};

TEST(ShadowMask, SyntheticEdgeCasesAgreeWithTheReference) {
    const std::string all = "########/########/########/########", lit = "......../......../......../........";
    const double atBias = (0.5 + SHADOW_BIAS) - 0.5, aboveBias = std::nextafter(0.5 + SHADOW_BIAS, 1.0) - 0.5;
    const struct {
        const char* name;
        void (*setup)(Synthetic&, double bias);
        std::string expected;  // rows from the bottom, '#' shadowed; "" for an emptied mask
        double bias = 0.0;
    } cases[] = {
        {"depth against 0.98 in double", [](Synthetic& s, double) {
             s.camera[0] = 0.98f, s.camera[1] = std::nextafter(0.98f, 0.0f), s.camera[2] = 1.0f;  // 0.98f lies above
             s.camera[4] = std::numeric_limits<float>::quiet_NaN();
         }, ".#.#.###/########/########/########"},
        {"exactly the bias behind", [](Synthetic& s, double b) { s.light.assign(32, 0.5f), s.shift(0, 0, b); }, lit, atBias},
        {"just past the bias", [](Synthetic& s, double b) { s.light.assign(32, 0.5f), s.shift(0, 0, b); }, all, aboveBias},
        {"column -0.5", [](Synthetic& s, double) { s.onlyBehind(0, -1), s.shift(-0.5, 0, 0); }, "##....../##....../##....../##......"},
        {"column exactly -1", [](Synthetic& s, double) { s.onlyBehind(0, -1), s.shift(-1, 0, 0); }, ".#....../.#....../.#....../.#......"},
        {"row -0.75", [](Synthetic& s, double) { s.onlyBehind(-1, 0), s.shift(0, -0.75, 0); }, "########/########/......../........"},
        {"column exactly width", [](Synthetic& s, double) { s.shift(1, 0, 0); }, "#######./#######./#######./#######."},
        {"row exactly height", [](Synthetic& s, double) { s.shift(0, 1, 0); }, "########/########/########/........"},
        {"column 3e9", [](Synthetic& s, double) { s.shift(3.0e9, 0, 0); }, lit},
        {"row -1e300", [](Synthetic& s, double) { s.shift(0, -1.0e300, 0); }, lit},
        {"NaN light matrix", [](Synthetic& s, double) { s.in.lightModelview[0] = std::nan(""); }, lit},
        {"light clip w of 0", [](Synthetic& s, double) { s.in.lightModelview[15] = 0.0; }, lit},
        {"singular camera", [](Synthetic& s, double) { s.in.cameraModelview[10] = 0.0; }, lit},
        {"zero width", [](Synthetic& s, double) { s.in.width = 0; }, ""},
        {"missing light depth", [](Synthetic& s, double) { s.light.clear(); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Synthetic s;
        c.setup(s, c.bias);
        s.in.cameraDepth = s.camera.data();
        s.in.lightDepth = s.light.empty() ? nullptr : s.light.data();
        std::vector<std::uint8_t> mask(5, 1), reference;
        const int count = computeShadowMask(s.in, mask);
        std::string picture;
        for (size_t i = 0; i < mask.size(); ++i) picture += std::string(i && i % 8 == 0 ? "/" : "") + (mask[i] ? '#' : '.');
        EXPECT_EQ(picture, c.expected);
        EXPECT_EQ(count, std::count(c.expected.begin(), c.expected.end(), '#'));
        EXPECT_EQ(referenceShadowMask(s.in, reference), count);
        EXPECT_EQ(reference, mask);
    }
}

// The game's light render keeps the still yard between frames; a whole-yard light render every
// frame gives the same light depths and frames from the same start while the camera moves, the
// dog walks, the bones spin, one is picked up, the window is reshaped and the light moves (both
// rebuild the kept image). The mask of each frame is the reference's, pixel for pixel.
TEST(ShadowFrame, KeptLightDepthGivesTheSamePicturesAsTheWholeYard) {
    void (*const steps[])() = {
        [] {}, [] { dog.move(0, 0, -0.6f); }, [] { dog.turnLeft(), dog.move(0.5f, 0, -0.5f); },
        [] { aimCamera(10, 2, 0, 90, 5, 40); }, [] { blimpView = true; },
        [] { dog.move(-3, 0, -4); },  // onto the bone at (-3, -5)
        [] { myReshape(320, 240); }, [] { light4_pos[0] = 20; }, [] { myReshape(400, 300), blimpView = false; }};
    std::vector<std::vector<float>> depths;
    std::vector<std::vector<unsigned char>> frames;
    for (void (*lightRender)() : {renderLightDepth, fullLightDepth}) {
        resetShellState();
        myReshape(400, 300);
        shadow = true;
        for (size_t k = 0; k < std::size(steps); ++k) {
            SCOPED_TRACE("step " + std::to_string(k));
            steps[k]();
            frame(lightRender);
            if (lightRender == fullLightDepth) {
                EXPECT_TRUE(light_depth == depths[k] && readFrame() == frames[k]);
                continue;
            }
            depths.push_back(light_depth);
            frames.push_back(readFrame());
            ShadowInputs in;
            readShadowMatrices(in);
            in.cameraDepth = camera_depth.data(), in.lightDepth = light_depth.data();
            std::vector<std::uint8_t> mask, reference;
            EXPECT_GT(referenceShadowMask(in, reference), 200);
            computeShadowMask(in, mask);
            EXPECT_TRUE(mask == reference);
        }
        EXPECT_TRUE(scene.getBone(12).isCollected());
    }
}

}  // namespace
