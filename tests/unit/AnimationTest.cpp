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

std::vector<float> joints(const Dog& dog) {
    std::vector<float> out(Dog::JOINTS);
    dog.getJoints(out.data());
    return out;
}

// Joint j of key frame f, in declared order.
float keyAngle(const Dog& dog, int f, int j) {
    return dog.getKeyFrames()[f].value[j + 1];
}

// Steps the dog until it enters another key frame; returns the steps taken, or -1.
int stepsToNextFrame(Dog& dog, int limit = 1000) {
    const int from = dog.getFrameIndex();
    for (int steps = 1; steps <= limit; ++steps) {
        dog.interpolateAnim();
        if (dog.getFrameIndex() != from) return steps;
    }
    return -1;
}

const std::string THREE_FRAMES = line("0.0", 0) + line("0.1", 2) + line("0.3", 6);

}  // namespace

TEST(AnimationStart, FiveStepsInAndHalfwayToFrameOne) {
    TempDir dir;
    auto dog = dogReading(dir, THREE_FRAMES);
    EXPECT_EQ(dog->getFrameIndex(), 0);
    EXPECT_EQ(dog->getFrameDir(), 1);
    EXPECT_EQ(dog->getAnimStep(), 0.01f);
    EXPECT_NEAR(dog->getAnimTime(), 0.05f, 1e-6);
    const std::vector<float> pose = joints(*dog);
    for (int j = 0; j < Dog::JOINTS; ++j) EXPECT_NEAR(pose[j], keyAngle(*dog, 1, j) / 2, 1e-4) << "joint " << j;
}

TEST(AnimationOrder, PlaysForwardThenBackwardWithStepsSetByKeyTimes) {
    TempDir dir;
    auto dog = dogReading(dir, THREE_FRAMES);
    // Frame 0 is ten steps from frame 1 and the constructor took five: the sixth call
    // from here finds the time at frame 1 and enters it.
    EXPECT_EQ(stepsToNextFrame(*dog), 6);
    std::vector<int> entered = {dog->getFrameIndex()};
    std::vector<int> steps;
    for (int i = 0; i < 5; ++i) {
        steps.push_back(stepsToNextFrame(*dog));
        entered.push_back(dog->getFrameIndex());
    }
    EXPECT_EQ(entered, (std::vector<int>{1, 2, 1, 0, 1, 2}));
    EXPECT_EQ(steps, (std::vector<int>{20, 20, 10, 10, 20}));
}

TEST(AnimationOrder, TwoFramesSwingBetweenThem) {
    TempDir dir;
    auto dog = dogReading(dir, line("0.00", 0) + line("0.20", 1));
    EXPECT_EQ(stepsToNextFrame(*dog), 16);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(stepsToNextFrame(*dog), 20);
        EXPECT_EQ(dog->getFrameIndex(), i % 2 == 0 ? 0 : 1);
    }
}

TEST(AnimationDirection, EndsTurnTheStepAndTheApproachedFrame) {
    TempDir dir;
    auto dog = dogReading(dir, THREE_FRAMES);
    stepsToNextFrame(*dog);
    stepsToNextFrame(*dog);
    ASSERT_EQ(dog->getFrameIndex(), 2);
    EXPECT_EQ(dog->getFrameDir(), -1);
    EXPECT_EQ(dog->getAnimStep(), -0.01f);
    // Already one step back toward frame 1, 20 steps away.
    for (int j = 0; j < Dog::JOINTS; ++j) {
        const float expected = keyAngle(*dog, 2, j) + (keyAngle(*dog, 1, j) - keyAngle(*dog, 2, j)) / 20;
        EXPECT_FLOAT_EQ(joints(*dog)[j], expected) << "joint " << j;
    }

    stepsToNextFrame(*dog);
    stepsToNextFrame(*dog);
    ASSERT_EQ(dog->getFrameIndex(), 0);
    EXPECT_EQ(dog->getFrameDir(), 1);
    EXPECT_EQ(dog->getAnimStep(), 0.01f);
}

TEST(AnimationArrival, EnteringSnapsToTheKeyFrameThenStepsOn) {
    TempDir dir;
    // 7 × n degrees over 30 steps: the increments are not exact in binary.
    auto dog = dogReading(dir, line("0.00", 0) + line("0.30", 7));
    ASSERT_EQ(stepsToNextFrame(*dog), 26);
    const float* back = dog->getKeyFrames()[2].value;  // the increments toward frame 0
    for (int j = 0; j < Dog::JOINTS; ++j) {
        EXPECT_EQ(joints(*dog)[j], keyAngle(*dog, 1, j) + back[j + 1]) << "joint " << j;
        EXPECT_LT(back[j + 1], 0.0f) << "joint " << j;
    }
    EXPECT_EQ(dog->getAnimTime(), 0.30f + -0.01f);
}

TEST(AnimationArrival, KeyFrameIsReachedWithinOneThousandth) {
    TempDir near, far;
    auto reached = dogReading(near, line("0.00", 0) + line("0.1005", 1));
    EXPECT_EQ(stepsToNextFrame(*reached), 6);

    auto missed = dogReading(far, line("0.00", 0) + line("0.1015", 1));
    EXPECT_EQ(stepsToNextFrame(*missed, 200), -1);
    EXPECT_GT(joints(*missed)[0], 1.0f);  // the joints run on past the frame
}

// Neighbouring key frames at the same time make a stretch of no steps: its increments
// are 0, so the pose holds still instead of turning into infinities or NaN.
TEST(AnimationEqualKeyTimes, FirstStretchIsSkippedWithoutDividingByZero) {
    TempDir dir;
    auto dog = dogReading(dir, line("0.00", 1) + line("0.00", 3) + line("0.10", 5));
    EXPECT_EQ(dog->getFrameIndex(), 1);
    EXPECT_NEAR(dog->getAnimTime(), 0.05f, 1e-6);
    for (int j = 0; j < Dog::JOINTS; ++j)
        EXPECT_NEAR(joints(*dog)[j], (keyAngle(*dog, 1, j) + keyAngle(*dog, 2, j)) / 2, 1e-4) << "joint " << j;

    for (int i = 0; i < 300; ++i) {
        dog->interpolateAnim();
        for (float angle : joints(*dog)) ASSERT_TRUE(std::isfinite(angle)) << "step " << i;
    }
    // Back at frame 1 the stretch to frame 0 has no steps: the pose stays at frame 1.
    EXPECT_EQ(dog->getFrameIndex(), 1);
    for (int j = 0; j < Dog::JOINTS; ++j) EXPECT_EQ(joints(*dog)[j], keyAngle(*dog, 1, j)) << "joint " << j;
}

TEST(AnimationEqualKeyTimes, LaterStretchHoldsTheEnteredFrame) {
    TempDir dir;
    auto dog = dogReading(dir, line("0.00", 0) + line("0.10", 2) + line("0.10", 4));
    EXPECT_EQ(stepsToNextFrame(*dog), 6);
    for (int i = 0; i < 100; ++i) dog->interpolateAnim();
    EXPECT_EQ(dog->getFrameIndex(), 1);
    for (int j = 0; j < Dog::JOINTS; ++j) {
        EXPECT_EQ(dog->getKeyFrames()[3].value[j + 1], 0.0f) << "increment " << j;
        EXPECT_EQ(joints(*dog)[j], keyAngle(*dog, 1, j)) << "joint " << j;
    }
}

TEST(AnimationSingleFrame, HoldsItsPoseForGood) {
    TempDir dir;
    auto dog = dogReading(dir, line("0.40", 2));
    for (int i = 0; i < 50; ++i) dog->interpolateAnim();
    EXPECT_EQ(dog->getFrameIndex(), 0);
    EXPECT_EQ(dog->getFrameDir(), 0);
    EXPECT_EQ(dog->getAnimTime(), 0.40f);
    for (int j = 0; j < Dog::JOINTS; ++j) EXPECT_EQ(joints(*dog)[j], keyAngle(*dog, 0, j)) << "joint " << j;
}
