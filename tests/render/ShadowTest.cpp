// The shadow mask against its literal GLU reference on synthetic depth images with exactly
// known light positions (FrameTest compares it on real frames).
#include <algorithm>
#include <cstring>

#include "RenderSupport.h"
#include "ShadowReference.h"

namespace {

// Identity camera and projection on a 4 x 4 image: camera pixel (c, r, d) lands at light
// window (c, r, d), and a light translation moves it by exact pixels and window depth.
struct Synthetic {
    ShadowInputs in{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, {}, {}, {0, 0, 4, 4}, 4, 4};
    std::vector<float> camera = std::vector<float>(16, 0.5f), light = std::vector<float>(16, 0.0f);  // all behind
    void shift(double dx, double dy, double dz) {
        std::memcpy(in.projection, in.cameraModelview, sizeof in.projection);
        std::memcpy(in.lightModelview, in.cameraModelview, sizeof in.projection);
        in.lightModelview[12] = dx / 2, in.lightModelview[13] = dy / 2, in.lightModelview[14] = 2 * dz;
    }
    void onlyBehind(int column, int row) {  // only this light column or row hides anything
        for (int i = 0; i < 16; ++i) light[i] = i % 4 == column || i / 4 == row ? 0.0f : 1.0f;
    }
};

TEST(ShadowMask, SyntheticEdgeCasesAgreeWithTheReference) {
    const std::string all = "####/####/####/####", lit = "..../..../..../....";
    const struct {
        const char* name;
        void (*setup)(Synthetic&);
        std::string expected;  // rows from the bottom, '#' shadowed; "" for an emptied mask
    } cases[] = {
        {"depth against 0.98 in double", [](Synthetic& s) {  // 0.98f lies above 0.98
             s.camera[0] = 0.98f;
             s.camera[1] = std::nextafter(0.98f, 0.0f);
             s.camera[2] = 1.0f;
             s.camera[3] = std::nanf("");
         }, ".#../####/####/####"},
        {"exactly the bias behind", [](Synthetic& s) {
             s.light.assign(16, 0.5f);
             s.shift(0, 0, (0.5 + SHADOW_BIAS) - 0.5);
         }, lit},
        {"just past the bias", [](Synthetic& s) {
             s.light.assign(16, 0.5f);
             s.shift(0, 0, std::nextafter(0.5 + SHADOW_BIAS, 1.0) - 0.5);
         }, all},
        {"column -0.5", [](Synthetic& s) { s.onlyBehind(0, -1), s.shift(-0.5, 0, 0); }, "##../##../##../##.."},
        {"column exactly -1", [](Synthetic& s) { s.onlyBehind(0, -1), s.shift(-1, 0, 0); }, ".#../.#../.#../.#.."},
        {"row -0.75", [](Synthetic& s) { s.onlyBehind(-1, 0), s.shift(0, -0.75, 0); }, "####/####/..../...."},
        {"column exactly width", [](Synthetic& s) { s.shift(1, 0, 0); }, "###./###./###./###."},
        {"row exactly height", [](Synthetic& s) { s.shift(0, 1, 0); }, "####/####/####/...."},
        {"row -1e300", [](Synthetic& s) { s.shift(0, -1.0e300, 0); }, lit},
        {"NaN light matrix", [](Synthetic& s) { s.shift(0, 0, 0), s.in.lightModelview[0] = std::nan(""); }, lit},
        {"singular camera", [](Synthetic& s) { s.shift(0, 0, 0), s.in.cameraModelview[10] = 0.0; }, lit},
        {"zero width", [](Synthetic& s) { s.in.width = 0; }, ""},
        {"missing light depth", [](Synthetic& s) { s.light.clear(); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Synthetic s;
        s.shift(0, 0, 0);
        c.setup(s);
        s.in.cameraDepth = s.camera.data();
        s.in.lightDepth = s.light.empty() ? nullptr : s.light.data();
        std::vector<std::uint8_t> mask(5, 1), reference;
        const int count = computeShadowMask(s.in, mask);
        std::string picture;
        for (size_t i = 0; i < mask.size(); ++i) {
            picture += std::string(i && i % 4 == 0 ? "/" : "") + (mask[i] ? '#' : '.');
        }
        EXPECT_EQ(picture, c.expected);
        EXPECT_EQ(count, std::count(c.expected.begin(), c.expected.end(), '#'));
        EXPECT_EQ(referenceShadowMask(s.in, reference), count);
        EXPECT_EQ(reference, mask);
    }
}

}  // namespace
