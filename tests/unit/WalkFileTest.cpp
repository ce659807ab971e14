#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "Dog.h"
#include "TempDir.h"

namespace {

// A dog built in `dir` with `walk` as its walk file (none when null).
std::unique_ptr<Dog> dogReading(const TempDir& dir, const char* walk) {
    if (walk) dir.write("walk.txt", walk);
    ScopedChdir inDir(dir.path());
    return std::make_unique<Dog>(0.0f, 0.0f, 0.0f);
}

std::vector<float> frame(const Dog& dog, int f) {
    const float* v = dog.getKeyFrames()[f].value;
    return std::vector<float>(v, v + 16);
}

// Joint indices in declared order.
enum { NECK_PITCH = 1, HEAD_PITCH = 3, FL_SWING = 5, FL_SPLAY, FR_SWING, FR_SPLAY, BL_SWING, BL_SPLAY,
       BR_SWING, BR_SPLAY, TAIL_WAG = 14 };

const char* COUNTING = "0.25 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n";

}  // namespace

// Fields 2 to 4 are unused; angles are whole degrees as atoi reads them, but clamped to an
// int; missing angles read as 0 and never come from the next line; CR LF is harmless.
TEST(WalkFileFields, AngleFieldsLandInTheirElementsWithNeckTwistLast) {
    const struct { const char* line; std::vector<float> start; } cases[] = {
        {"0.25 walk -9 x=1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n",
         {0.25f, 1, 2, 15, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"0 0 0 0 7.9 -7.9 -0.5 +3 paw 9x 99999999999999999999 -99999999999999999999 0 0 0 0 0 0 5\n",
         {0, 7, -7, 5, 0, 3, 0, 9, float(INT_MAX), float(INT_MIN)}},
        {"0.5 0 0 0 7 8 9\n", {0.5f, 7, 8, 0, 9}}, {"0.7\n", {0.7f}}, {"0.7 1\n", {0.7f}},
        {"0.7 1 2 3\n", {0.7f}}, {"0.7 1 2 3 \n", {0.7f}}, {"\n", {}},
        {"0.1 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 -5\r\n",
         {0.1f, 1, 2, -5, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}}};
    for (const auto& c : cases) {
        TempDir dir;
        // Every line feed ends a key frame; a last line without one is not read.
        auto dog = dogReading(dir, (std::string(c.line) + COUNTING + "9.99 0 0 0 9").c_str());
        ASSERT_EQ(dog->getFrameCount(), 2) << c.line;
        std::vector<float> want = c.start;
        want.resize(16, 0.0f);
        EXPECT_EQ(frame(*dog, 0), want) << c.line;
    }
}

TEST(WalkFileMissing, NoFileOrNoLineFeedLeavesTheDogUnanimated) {
    for (const char* contents : {(const char*)nullptr, "", "0.00 0 0 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1"}) {
        SCOPED_TRACE(contents ? '"' + std::string(contents) + '"' : "no file");
        TempDir dir;
        auto dog = dogReading(dir, contents);
        EXPECT_EQ(dog->hasWalkFile(), contents != nullptr);
        EXPECT_EQ(dog->arePosesLoaded(), contents != nullptr);
        EXPECT_EQ(dog->getFrameCount(), 0);
        EXPECT_EQ(dog->getFrameIndex(), -1);
        for (int i = 0; i < 10; ++i) dog->interpolateAnim();
        EXPECT_EQ(dog->getAnimTime(), 0.0f);
        float pose[Dog::JOINTS];
        dog->getJoints(pose);
        for (float angle : pose) EXPECT_EQ(angle, 0.0f);
    }
}

// --- the walk cycle the game ships ------------------------------------------------------

TEST(ShippedWalkFile, IsWellFormedWithADiagonalGait) {
    std::ifstream in(std::string(BONEYARD_DATA_DIR) + "/walk.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex format(R"((\d+\.\d\d( 0){3}( -?\d+){15}\n){6,})");
    EXPECT_TRUE(std::regex_match(text, format)) << text;

    ScopedChdir inData(BONEYARD_DATA_DIR);
    Dog dog(0.0f, 0.0f, 0.0f);
    const int frames = dog.getFrameCount();
    ASSERT_GE(frames, 6);
    auto at = [&](int f, int joint) { return dog.getKeyFrames()[f].value[joint + 1]; };
    auto dir = [&](int f, int joint) {
        const float d = at(f, joint) - at(f - 1, joint);
        return (d > 0) - (d < 0);
    };
    for (int f = 1; f < frames; ++f) {
        EXPECT_GT(at(f, -1), at(f - 1, -1)) << "key time of frame " << f;
        EXPECT_EQ(dir(f, FL_SWING), dir(f, BR_SWING)) << "frame " << f;
        EXPECT_EQ(dir(f, FR_SWING), dir(f, BL_SWING)) << "frame " << f;
        EXPECT_EQ(dir(f, FL_SWING), -dir(f, FR_SWING)) << "frame " << f;
    }
    const struct { int joint; float low, high; } ranges[] = {
        {FL_SWING, 20, 60}, {FR_SWING, 20, 60}, {BL_SWING, 20, 60}, {BR_SWING, 20, 60},
        {NECK_PITCH, 2, 10}, {HEAD_PITCH, 2, 10}, {TAIL_WAG, 10, 50}};
    for (const auto& r : ranges) {
        float low = at(0, r.joint), high = low;
        for (int f = 1; f < frames; ++f) {
            low  = std::min(low, at(f, r.joint));
            high = std::max(high, at(f, r.joint));
        }
        EXPECT_GE(high - low, r.low) << "joint " << r.joint;
        EXPECT_LE(high - low, r.high) << "joint " << r.joint;
    }
    for (int f = 0; f < frames; ++f)
        for (int splay : {FL_SPLAY, FR_SPLAY, BL_SPLAY, BR_SPLAY})
            EXPECT_LE(std::abs(at(f, splay)), 10.0f) << "frame " << f << " joint " << splay;
}
