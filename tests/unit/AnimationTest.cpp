#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Dog.h"
#include "TempDir.h"

namespace {

// A walk-file line whose angle fields 5 to 19 are scale × 1 to scale × 15.
std::string line(const std::string& time, int scale) {
    std::string text = time + " 0 0 0";
    for (int field = 1; field <= Dog::JOINTS; ++field) text += " " + std::to_string(scale * field);
    return text + "\n";
}

std::unique_ptr<Dog> dogReading(const TempDir& dir, const std::string& walk) {
    dir.write("walk.txt", walk);
    ScopedChdir inDir(dir.path());
    return std::make_unique<Dog>(0.0f, 0.0f, 0.0f);
}

float joint(const Dog& dog, int j) {
    float out[Dog::JOINTS];
    dog.getJoints(out);
    return out[j];
}

float keyAngle(const Dog& dog, int f, int j) { return dog.getKeyFrames()[f].value[j + 1]; }

// Steps the dog until it enters another key frame; returns the steps taken, or -1.
int stepsToNextFrame(Dog& dog, int limit = 1000) {
    const int from = dog.getFrameIndex();
    for (int steps = 1; steps <= limit; ++steps) {
        dog.interpolateAnim();
        if (dog.getFrameIndex() != from) return steps;
    }
    return -1;
}

}  // namespace

// Steps between frames follow the key times; the cycle turns round at both ends. The
// constructor's five steps come off the first stretch.
TEST(AnimationOrder, PlaysThereAndBackWithStepsSetByKeyTimes) {
    const struct { std::string walk; std::vector<int> entered, steps; } cases[] = {
        {line("0.0", 0) + line("0.1", 2) + line("0.3", 6), {1, 2, 1, 0, 1, 2}, {6, 20, 20, 10, 10, 20}},
        {line("0.00", 0) + line("0.20", 1), {1, 0, 1, 0}, {16, 20, 20, 20}},
        {line("0.00", 0) + line("0.1005", 1), {1}, {6}},  // reached within a thousandth
        {line("0.00", 0) + line("0.1015", 1), {0}, {-1}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto dog = dogReading(dir, c.walk);
        std::vector<int> entered, steps;
        while (steps.size() < c.steps.size()) {
            steps.push_back(stepsToNextFrame(*dog));
            entered.push_back(dog->getFrameIndex());
        }
        EXPECT_EQ(entered, c.entered) << c.walk;
        EXPECT_EQ(steps, c.steps) << c.walk;
    }
}

TEST(AnimationArrival, EnteringSnapsToTheKeyFrameThenStepsBack) {
    TempDir dir;
    // 7 × n degrees over 30 steps: the increments are not exact in binary.
    auto dog = dogReading(dir, line("0.00", 0) + line("0.30", 7));
    ASSERT_EQ(stepsToNextFrame(*dog), 26);
    EXPECT_EQ(dog->getFrameDir(), -1);
    const float* back = dog->getKeyFrames()[2].value;  // the increments toward frame 0
    for (int j = 0; j < Dog::JOINTS; ++j) {
        EXPECT_EQ(joint(*dog, j), keyAngle(*dog, 1, j) + back[j + 1]) << "joint " << j;
        EXPECT_LT(back[j + 1], 0.0f) << "joint " << j;
    }
    EXPECT_EQ(dog->getAnimTime(), 0.30f + -0.01f);
}

// Neighbouring key frames at the same time make a stretch of no steps: its increments
// are 0, so the pose holds still instead of turning into infinities or NaN.
TEST(AnimationEqualKeyTimes, FirstStretchIsSkippedAtOnce) {
    TempDir dir;
    auto dog = dogReading(dir, line("0.00", 1) + line("0.00", 3) + line("0.10", 5));
    EXPECT_EQ(dog->getFrameIndex(), 1);
    EXPECT_NEAR(dog->getAnimTime(), 0.05f, 1e-6);
    for (int j = 0; j < Dog::JOINTS; ++j)
        EXPECT_NEAR(joint(*dog, j), (keyAngle(*dog, 1, j) + keyAngle(*dog, 2, j)) / 2, 1e-4) << j;
}

// A single key frame, too, is held for good.
TEST(AnimationHold, StretchOfNoStepsHoldsTheEnteredFrame) {
    const struct { std::string walk; int frame, dir; } cases[] = {
        {line("0.00", 1) + line("0.00", 3) + line("0.10", 5), 1, -1},
        {line("0.00", 0) + line("0.10", 2) + line("0.10", 4), 1, 1},
        {line("0.40", 2), 0, 0}};
    for (const auto& c : cases) {
        TempDir dir;
        auto dog = dogReading(dir, c.walk);
        for (int i = 0; i < 300; ++i) {
            dog->interpolateAnim();
            ASSERT_TRUE(std::isfinite(joint(*dog, 0))) << c.walk << "step " << i;
        }
        EXPECT_EQ(dog->getFrameIndex(), c.frame) << c.walk;
        EXPECT_EQ(dog->getFrameDir(), c.dir) << c.walk;
        if (c.dir == 0) { EXPECT_EQ(dog->getAnimTime(), 0.40f); }  // a lone frame's time stands still
        for (int j = 0; j < Dog::JOINTS; ++j)
            EXPECT_EQ(joint(*dog, j), keyAngle(*dog, c.frame, j)) << c.walk << "joint " << j;
    }
}
