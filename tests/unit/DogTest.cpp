#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Dog.h"
#include "TempDir.h"

namespace {

// Two key frames a unit of key time apart: 100 steps with no frame entered.
const char* LONG_WALK = "0.00 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                        "1.00 0 0 0 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10\n";

// A dog built in a folder of its own, with `walk` as its walk file (none when null).
std::unique_ptr<Dog> makeDog(const TempDir& dir, const char* walk = nullptr, float x = 0, float y = 0,
                             float z = 0) {
    if (walk) dir.write("walk.txt", walk);
    ScopedChdir inDir(dir.path());
    return std::make_unique<Dog>(x, y, z);
}

void expectPos(const Dog& dog, float ex, float ey, float ez) {
    float x, y, z;
    dog.getPos(x, y, z);
    EXPECT_FLOAT_EQ(x, ex);
    EXPECT_FLOAT_EQ(y, ey);
    EXPECT_FLOAT_EQ(z, ez);
}

void expectFreshAt(const Dog& dog, float x, float y, float z) {
    expectPos(dog, x, y, z);
    EXPECT_EQ(dog.getAngle(), 0);
    EXPECT_EQ(dog.getForwardMovement(), 1.0f);
    EXPECT_EQ(dog.getTurnRate(), 2);
    EXPECT_EQ(dog.getStamina(), 400);
    EXPECT_EQ(dog.getMaxStamina(), 400);
    EXPECT_FALSE(dog.isRunning());
}

}  // namespace

// Each row: an action done `times` times (L/R turn, T toggles running, M moves by
// (0.5, 0.25, -0.125) times the speed factor) and the state after it.
TEST(DogMovement, TurnsMovesAndStaminaFollowRunning) {
    TempDir dir;
    auto dog = makeDog(dir);
    const struct { char op; int times, angle, stamina; bool running; float x; } script[] = {
        {'L', 1, 2, 400, false, 0},      {'R', 2, -2, 400, false, 0},  // stamina capped when full
        {'T', 1, -2, 400, true, 0},      {'L', 1, 2, 399, true, 0},    // doubled, costs one
        {'R', 1, -2, 398, true, 0},      {'T', 1, -2, 398, false, 0},
        {'R', 1, -4, 399, false, 0},     {'L', 1, -2, 400, false, 0},  // walking gives one back
        {'T', 1, -2, 400, true, 0},      {'M', 200, -2, 0, true, 200}, // doubled, costs two
        {'M', 1, -2, 0, false, 200.5f},  // the move that runs out already goes at walking speed
        {'T', 1, -2, 0, true, 200.5f},   // toggling ignores stamina
        {'L', 1, 2, 0, false, 200.5f},   // out of stamina: drops to walking, still doubled
        {'R', 1, 0, 1, false, 200.5f},   {'T', 1, 0, 1, true, 200.5f},
        {'M', 1, 0, -1, true, 201.5f},   {'M', 1, 0, -1, false, 202},  // from 1 leaves -1
        {'M', 1000, 0, 400, false, 702}, {'L', 200, 400, 400, false, 702},  // never wrapped
    };
    for (const auto& s : script) {
        for (int i = 0; i < s.times; ++i)
            s.op == 'L' ? dog->turnLeft() : s.op == 'R' ? dog->turnRight()
                        : s.op == 'T' ? dog->toggleRun() : dog->move(0.5f, 0.25f, -0.125f);
        SCOPED_TRACE(std::string(1, s.op) + " x" + std::to_string(s.times) + " to x " + std::to_string(s.x));
        EXPECT_EQ(dog->getAngle(), s.angle);
        EXPECT_EQ(dog->getStamina(), s.stamina);
        EXPECT_EQ(dog->isRunning(), s.running);
        expectPos(*dog, s.x, s.x / 2, -s.x / 4);
    }
}

TEST(DogReset, RestartsMovementButKeepsThePoseAndCycle) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK, 1, 2, 3);
    expectFreshAt(*dog, 1, 2, 3);
    dog->setForwardMovement(3.0f);  // leaves running alone: toggling doubles, then halves
    dog->toggleRun();
    EXPECT_EQ(dog->getForwardMovement(), 6.0f);
    dog->toggleRun();
    EXPECT_EQ(dog->getForwardMovement(), 3.0f);
    dog->toggleRun();
    dog->setTurnRate(7);
    dog->turnLeft();
    ASSERT_EQ(dog->getAngle(), 14);
    dog->move(1, 0, 1);
    float before[Dog::JOINTS], after[Dog::JOINTS];
    dog->getJoints(before);
    const float animTime = dog->getAnimTime();
    dog->reset(5, 6, 7);
    dog->advanceWalkCycle();  // the first draw after a reset holds the pose
    expectFreshAt(*dog, 5, 6, 7);
    dog->getJoints(after);
    for (int j = 0; j < Dog::JOINTS; ++j) EXPECT_EQ(after[j], before[j]) << "joint " << j;
    EXPECT_EQ(dog->getAnimTime(), animTime);
    EXPECT_NE(after[0], 0.0f);  // five steps into the cycle, so a reload would show
}

// The cycle steps only when the dog moved 0.001 or more on an axis since the last draw.
TEST(DogWalkAdvance, StepsOnlyWhenTheDogMoved) {
    const struct { const char* name; float dx, dy, dz; bool run; int moves, draws, steps; } cases[] = {
        {"x +0.001, drawn twice", 0.001f, 0, 0, false, 1, 2, 1},
        {"y -0.001", 0, -0.001f, 0, false, 1, 1, 1},
        {"z +0.001", 0, 0, 0.001f, false, 1, 1, 1},
        {"running", 0, 0, -0.2f, true, 1, 1, 2},
        {"standing still", 0, 0, 0, false, 10, 1, 0},
        {"tiny moves, each from the last draw", 0.0009f, -0.0009f, 0.0009f, false, 20, 1, 0},
    };
    for (const auto& c : cases) {
        TempDir dir;
        auto dog = makeDog(dir, LONG_WALK);
        const float start = dog->getAnimTime();
        if (c.run) dog->toggleRun();
        for (int m = 0; m < c.moves; ++m) {
            dog->move(c.dx, c.dy, c.dz);
            for (int d = 0; d < c.draws; ++d) dog->advanceWalkCycle();
        }
        EXPECT_NEAR(dog->getAnimTime(), start + 0.01f * c.steps, 1e-6) << c.name;
    }
}
