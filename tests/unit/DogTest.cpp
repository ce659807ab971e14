#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Dog.h"
#include "TempDir.h"

// A dog built in `dir` whose walk.txt holds `walk`; "(none)" writes none, "(folder)" makes a folder.
static std::unique_ptr<Dog> dogWith(const TempDir& dir, const std::string& walk) {
    if (walk == "(folder)") std::filesystem::create_directory(dir.path() / "walk.txt");
    else if (walk != "(none)") dir.write("walk.txt", walk);
    ScopedChdir inDir(dir.path());
    return std::make_unique<Dog>(0.0f, 0.0f, 0.0f);
}

// Each row: an action done `times` times (L/R turn, T toggles running, M moves by (0.5, 0.25,
// -0.125) times the speed, Z resets to the origin) and the state after it. Walking gives a
// stamina point back up to 400; running doubles and costs one a turn, two a move (1 leaves -1);
// out of stamina the dog drops to walking, that turn still doubled, that move at walking speed.
TEST(DogMovement, TurnsMovesAndStaminaFollowRunning) {
    TempDir dir;
    auto dog = dogWith(dir, "(none)");
    const struct { char op; int times, angle, stamina; bool running; float x; } script[] = {
        {'L', 1, 2, 400, 0, 0},     {'R', 2, -2, 400, 0, 0},    {'T', 1, -2, 400, 1, 0},    {'L', 1, 2, 399, 1, 0},
        {'R', 1, -2, 398, 1, 0},    {'T', 1, -2, 398, 0, 0},    {'R', 1, -4, 399, 0, 0},    {'L', 1, -2, 400, 0, 0},
        {'T', 1, -2, 400, 1, 0},    {'M', 200, -2, 0, 1, 200},  {'M', 1, -2, 0, 0, 200.5f}, {'T', 1, -2, 0, 1, 200.5f},
        {'L', 1, 2, 0, 0, 200.5f},  {'T', 1, 2, 0, 1, 200.5f},  {'R', 1, -2, 0, 0, 200.5f}, {'L', 1, 0, 1, 0, 200.5f},
        {'T', 1, 0, 1, 1, 200.5f},  {'L', 1, 4, 0, 1, 200.5f},  {'T', 1, 4, 0, 0, 200.5f},  {'R', 1, 2, 1, 0, 200.5f},
        {'T', 1, 2, 1, 1, 200.5f},  {'R', 1, -2, 0, 1, 200.5f}, {'T', 1, -2, 0, 0, 200.5f}, {'L', 1, 0, 1, 0, 200.5f},
        {'T', 1, 0, 1, 1, 200.5f},  {'M', 1, 0, -1, 1, 201.5f}, {'M', 1, 0, -1, 0, 202},    {'M', 1000, 0, 400, 0, 702},
        {'L', 200, 400, 400, 0, 702}, {'T', 1, 400, 400, 1, 702}, {'Z', 1, 0, 400, 0, 0},   {'M', 1, 0, 400, 0, 0.5f},
        {'L', 1, 2, 400, 0, 0.5f}};
    for (const auto& s : script) {
        for (int i = 0; i < s.times; ++i)
            s.op == 'L' ? dog->turnLeft() : s.op == 'R' ? dog->turnRight() : s.op == 'T' ? dog->toggleRun()
                        : s.op == 'Z' ? dog->reset(0, 0, 0) : dog->move(0.5f, 0.25f, -0.125f);
        float x, y, z;
        dog->getPos(x, y, z);
        EXPECT_EQ((std::vector<float>{x, y, z, float(dog->getAngle()), float(dog->getStamina()), float(dog->isRunning())}),
                  (std::vector<float>{s.x, s.x / 2, -s.x / 4, float(s.angle), float(s.stamina), float(s.running)}))
            << s.op << " x" << s.times;
    }
}

// A draw steps the walk cycle when the dog moved 0.001 or more on any axis since the last one.
TEST(DogWalkAdvance, StepsOnlyWhenTheDogMovedSinceTheLastDraw) {
    const struct { float dx, dy, dz; bool run; int steps; } cases[] = {{0.001f, 0, 0, false, 2}, {0, 0.001f, 0, false, 2},
        {0, 0, 0.001f, false, 2}, {0, 0, -0.2f, true, 4}, {0.0009f, 0.0009f, 0.0009f, false, 0}};
    for (const auto& c : cases) {
        TempDir dir;
        auto dog = dogWith(dir, "0 0 0 0 0\n1 0 0 0 10\n");
        const float start = dog->getAnimTime();
        if (c.run) dog->toggleRun();
        for (float sign : {1.0f, -1.0f, 0.0f}) {
            dog->move(sign * c.dx, sign * c.dy, sign * c.dz);
            dog->advanceWalkCycle();
        }
        EXPECT_NEAR(dog->getAnimTime(), start + 0.01f * c.steps, 1e-6) << c.dx << " " << c.dy << " " << c.dz;
    }
}

// Field 1 is the key time, 5 to 18 the joints in order, 19 the neck twist; angles read as atoi
// does but clamped, missing ones 0 (not taken from the next line); an unended line is no frame.
TEST(WalkFile, FieldsLandInTheirElements) {
    const struct { const char* line; std::vector<float> start; } cases[] = {
        {"0.25 walk -9 x=1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\r\n", {0.25f, 1, 2, 15, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"0 0 0 0 7.9 -7.9 -0.5 +3 paw 9x 99999999999999999999 -99999999999999999999\n",
         {0, 7, -7, 0, 0, 3, 0, 9, float(INT_MAX), float(INT_MIN), 0, 0, 0, 0, 0, 0}},
        {"0.7 1 2\n", {0.7f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}};
    for (const auto& c : cases) {
        TempDir dir;
        auto dog = dogWith(dir, c.line + std::string("0.9 0 0 0 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9\n9.99 0 0 0 9"));
        ASSERT_EQ(dog->getFrameCount(), 2) << c.line;
        EXPECT_EQ(std::vector<float>(dog->getKeyFrames()[0].value, dog->getKeyFrames()[0].value + 16), c.start) << c.line;
    }
}

// A walk file of more than MAX_KEY_FRAMES lines is read no further: the dog walks its first ones.
TEST(WalkFile, ReadsNoMoreThanTheKeyFrameLimit) {
    for (int cut : {0, 1}) {
        TempDir dir;
        auto dog = dogWith(dir, std::string(Dog::MAX_KEY_FRAMES + cut, '\n'));
        EXPECT_EQ(std::pair(dog->getFrameCount(), dog->isWalkCut()), std::pair(Dog::MAX_KEY_FRAMES, cut == 1));
    }
}

// Each row: the key frames entered in turn, the steps to each (-1: none in 1000), then the key
// time and joint 0 reached. Equal key times give increments of 0, so the frame is held.
TEST(Animation, FollowsTheKeyTimesThereAndBack) {
    const struct { std::string walk; std::vector<int> entered, steps; float time, joint0; } cases[] = {
        {"0.0 0 0 0 0\n0.1 0 0 0 2\n0.3 0 0 0 6\n", {1, 2, 1, 0, 1}, {6, 20, 20, 10, 10}, 0.11f, 2.2f},
        {"0.00 0 0 0 0\n0.30 0 0 0 7\n", {1}, {26}, 0.29f, 7 - 7 / 30.0f},
        {"0.00 0 0 0 0\n0.1005 0 0 0 1\n", {1}, {6}, 0.0905f, 0.9005f},
        {"0.00 0 0 0 0\n0.1015 0 0 0 1\n", {0}, {-1}, 10.06f, 99.112f},
        {"0.00 0 0 0 1\n0.00 0 0 0 3\n0.10 0 0 0 5\n", {2, 1, 1}, {6, 10, -1}, -10.02f, 3},
        {"0.00 0 0 0 0\n0.10 0 0 0 2\n0.10 0 0 0 4\n", {1, 1}, {6, -1}, 10.12f, 2},
        {"12.40 0 0 0 2\n", {0}, {-1}, 12.40f, 2},  // read from the first byte: not 2.40
        {"(none)", {-1}, {-1}, 0, 0}, {"(folder)", {-1}, {-1}, 0, 0}, {"", {-1}, {-1}, 0, 0},
        {"0.00 0 0 0 1", {-1}, {-1}, 0, 0}};
    for (const auto& c : cases) {
        TempDir dir;
        auto dog = dogWith(dir, c.walk);
        std::vector<int> entered, steps;
        while (steps.size() < c.steps.size()) {
            const int from = dog->getFrameIndex();
            int n = 0;
            do dog->interpolateAnim();
            while (++n <= 1000 && dog->getFrameIndex() == from);
            steps.push_back(n > 1000 ? -1 : n);
            entered.push_back(dog->getFrameIndex());
        }
        float pose[Dog::JOINTS];
        dog->getJoints(pose);
        EXPECT_EQ(entered, c.entered) << c.walk;
        EXPECT_EQ(steps, c.steps) << c.walk;
        EXPECT_NEAR(dog->getAnimTime(), c.time, 2e-3) << c.walk;
        EXPECT_NEAR(pose[0], c.joint0, 1e-3) << c.walk;
        EXPECT_EQ(dog->hasWalkFile(), c.walk[0] != '(') << c.walk;
    }
}
