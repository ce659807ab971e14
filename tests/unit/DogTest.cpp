#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Dog.h"
#include "TempDir.h"

namespace {

// A dog built in a folder of its own, with `walk` as its walk file (none when empty).
std::unique_ptr<Dog> makeDog(const TempDir& dir, const std::string& walk = "", float x = 0.0f,
                             float y = 0.0f, float z = 0.0f) {
    if (!walk.empty()) dir.write("walk.txt", walk);
    ScopedChdir inDir(dir.path());
    return std::make_unique<Dog>(x, y, z);
}

// Two key frames a whole unit of key time apart: 100 steps with no frame entered.
const char* LONG_WALK = "0.00 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                        "1.00 0 0 0 10 10 10 10 10 10 10 10 10 10 10 10 10 10 10\n";

void runOutOfStamina(Dog& dog) {
    dog.toggleRun();
    for (int i = 0; i < 200; ++i) dog.move(0.0f, 0.0f, 0.0f);
}

}  // namespace

TEST(DogStart, WalksAtFullStaminaFacingMinusZ) {
    TempDir dir;
    auto dog = makeDog(dir, "", 1.0f, 2.0f, 3.0f);
    float x, y, z;
    dog->getPos(x, y, z);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 2.0f);
    EXPECT_EQ(z, 3.0f);
    EXPECT_EQ(dog->getAngle(), 0);
    EXPECT_EQ(dog->getForwardMovement(), 1.0f);
    EXPECT_EQ(dog->getTurnRate(), 2);
    EXPECT_EQ(dog->getStamina(), 400);
    EXPECT_EQ(dog->getMaxStamina(), 400);
    EXPECT_FALSE(dog->isRunning());
}

TEST(DogTurn, WalkingTurnIsTurnRateEitherWay) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->turnLeft();
    dog->turnLeft();
    EXPECT_EQ(dog->getAngle(), 4);
    dog->turnRight();
    dog->turnRight();
    dog->turnRight();
    EXPECT_EQ(dog->getAngle(), -2);
    dog->setTurnRate(5);
    dog->turnLeft();
    EXPECT_EQ(dog->getAngle(), 3);
    EXPECT_EQ(dog->getStamina(), 400);  // already full
}

TEST(DogTurn, RunningTurnIsDoubledAndCostsOne) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->toggleRun();
    dog->turnLeft();
    dog->turnLeft();
    EXPECT_EQ(dog->getAngle(), 8);
    EXPECT_EQ(dog->getStamina(), 398);
    dog->turnRight();
    EXPECT_EQ(dog->getAngle(), 4);
    EXPECT_EQ(dog->getStamina(), 397);
    dog->toggleRun();
    dog->turnRight();  // walking gives one back
    EXPECT_EQ(dog->getAngle(), 2);
    EXPECT_EQ(dog->getStamina(), 398);
}

TEST(DogTurn, HeadingIsNeverWrapped) {
    TempDir dir;
    auto dog = makeDog(dir);
    for (int i = 0; i < 200; ++i) dog->turnLeft();
    EXPECT_EQ(dog->getAngle(), 400);
    for (int i = 0; i < 400; ++i) dog->turnRight();
    EXPECT_EQ(dog->getAngle(), -400);
}

TEST(DogTurn, TurnWithoutStaminaDropsToWalkingButIsStillDoubled) {
    TempDir dir;
    auto dog = makeDog(dir);
    runOutOfStamina(*dog);
    ASSERT_TRUE(dog->isRunning());
    ASSERT_EQ(dog->getStamina(), 0);
    dog->turnLeft();
    EXPECT_FALSE(dog->isRunning());
    EXPECT_EQ(dog->getAngle(), 4);
    EXPECT_EQ(dog->getStamina(), 0);
    dog->turnRight();
    EXPECT_EQ(dog->getAngle(), 2);
    EXPECT_EQ(dog->getStamina(), 1);
}

TEST(DogMove, WalkingStepKeepsEachAxisApart) {
    TempDir dir;
    auto dog = makeDog(dir, "", 1.0f, 2.0f, 3.0f);
    dog->move(0.1f, 0.2f, -0.3f);
    float x, y, z;
    dog->getPos(x, y, z);
    EXPECT_FLOAT_EQ(x, 1.1f);
    EXPECT_FLOAT_EQ(y, 2.2f);
    EXPECT_FLOAT_EQ(z, 2.7f);
}

TEST(DogMove, RunningStepIsDoubledAndCostsTwo) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->toggleRun();
    dog->move(0.2f, 0.0f, -0.1f);
    float x, y, z;
    dog->getPos(x, y, z);
    EXPECT_FLOAT_EQ(x, 0.4f);
    EXPECT_FLOAT_EQ(z, -0.2f);
    EXPECT_EQ(dog->getStamina(), 398);
}

TEST(DogMove, StaminaLastsTwoHundredRunningMoves) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->toggleRun();
    for (int i = 0; i < 200; ++i) dog->move(0.5f, 0.0f, 0.0f);
    float x, y, z;
    dog->getPos(x, y, z);
    EXPECT_FLOAT_EQ(x, 200.0f);
    EXPECT_EQ(dog->getStamina(), 0);
    EXPECT_TRUE(dog->isRunning());

    dog->move(0.5f, 0.0f, 0.0f);  // the 201st already goes at walking speed
    dog->getPos(x, y, z);
    EXPECT_FLOAT_EQ(x, 200.5f);
    EXPECT_FALSE(dog->isRunning());
    EXPECT_EQ(dog->getForwardMovement(), 1.0f);
    EXPECT_EQ(dog->getStamina(), 0);

    dog->move(0.5f, 0.0f, 0.0f);
    EXPECT_EQ(dog->getStamina(), 1);
}

TEST(DogMove, RunningMoveFromOneLeavesMinusOne) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->toggleRun();
    dog->turnLeft();                                     // 399: odd from here on
    for (int i = 0; i < 199; ++i) dog->move(0.0f, 0.0f, 0.0f);
    ASSERT_EQ(dog->getStamina(), 1);
    dog->move(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(dog->getStamina(), -1);
    EXPECT_TRUE(dog->isRunning());
    dog->move(0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(dog->isRunning());
    EXPECT_EQ(dog->getStamina(), -1);
}

TEST(DogMove, WalkingNeverRaisesStaminaPastItsLimit) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->toggleRun();
    dog->move(0.0f, 0.0f, 0.0f);  // 398
    dog->toggleRun();
    dog->move(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(dog->getStamina(), 399);
    for (int i = 0; i < 1000; ++i) dog->move(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(dog->getStamina(), 400);
}

TEST(DogRun, ToggleDoublesAndHalvesWhateverTheFactor) {
    TempDir dir;
    auto dog = makeDog(dir);
    dog->toggleRun();
    EXPECT_EQ(dog->getForwardMovement(), 2.0f);
    dog->toggleRun();
    EXPECT_EQ(dog->getForwardMovement(), 1.0f);

    dog->setForwardMovement(3.0f);
    EXPECT_FALSE(dog->isRunning());  // setting the factor leaves running alone
    dog->toggleRun();
    EXPECT_EQ(dog->getForwardMovement(), 6.0f);
    EXPECT_TRUE(dog->isRunning());
}

TEST(DogRun, ToggleIgnoresStamina) {
    TempDir dir;
    auto dog = makeDog(dir);
    runOutOfStamina(*dog);
    dog->turnLeft();  // drops to walking
    ASSERT_FALSE(dog->isRunning());
    dog->toggleRun();
    EXPECT_TRUE(dog->isRunning());
    EXPECT_EQ(dog->getForwardMovement(), 2.0f);
}

TEST(DogReset, RestartsMovementButKeepsThePoseAndCycle) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK);
    dog->toggleRun();
    dog->setTurnRate(7);
    dog->turnLeft();
    dog->move(1.0f, 0.0f, 1.0f);
    float before[Dog::JOINTS];
    dog->getJoints(before);
    const float animTime = dog->getAnimTime();

    dog->reset(5.0f, 6.0f, 7.0f);
    float x, y, z;
    dog->getPos(x, y, z);
    EXPECT_EQ(x, 5.0f);
    EXPECT_EQ(y, 6.0f);
    EXPECT_EQ(z, 7.0f);
    EXPECT_FALSE(dog->isRunning());
    EXPECT_EQ(dog->getForwardMovement(), 1.0f);
    EXPECT_EQ(dog->getStamina(), 400);
    EXPECT_EQ(dog->getAngle(), 0);
    EXPECT_EQ(dog->getTurnRate(), 2);

    float after[Dog::JOINTS];
    dog->getJoints(after);
    for (int j = 0; j < Dog::JOINTS; ++j) EXPECT_EQ(after[j], before[j]) << "joint " << j;
    EXPECT_EQ(dog->getAnimTime(), animTime);
    EXPECT_NE(after[0], 0.0f);  // five steps into the cycle, so a reload would show
}

// The step draw takes before placing the body: the cycle moves only when the dog did.

TEST(DogWalkAdvance, AdvancesOnceAfterAMoveHoweverOftenDrawn) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK);
    const float start = dog->getAnimTime();
    dog->move(0.2f, 0.0f, 0.0f);
    dog->advanceWalkCycle();
    dog->advanceWalkCycle();  // the shadow pass draws the same frame again
    EXPECT_FLOAT_EQ(dog->getAnimTime(), start + 0.01f);
}

TEST(DogWalkAdvance, TurningOnTheSpotHoldsThePose) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK);
    const float start = dog->getAnimTime();
    for (int i = 0; i < 10; ++i) {
        dog->turnLeft();
        dog->advanceWalkCycle();
    }
    EXPECT_EQ(dog->getAnimTime(), start);
}

TEST(DogWalkAdvance, MoveOfOneThousandthOnAnyAxisAdvances) {
    const float steps[3][3] = {{0.001f, 0, 0}, {0, -0.001f, 0}, {0, 0, 0.001f}};
    for (const auto& step : steps) {
        TempDir dir;
        auto dog = makeDog(dir, LONG_WALK);
        const float start = dog->getAnimTime();
        dog->move(step[0], step[1], step[2]);
        dog->advanceWalkCycle();
        EXPECT_FLOAT_EQ(dog->getAnimTime(), start + 0.01f);
    }
}

TEST(DogWalkAdvance, ManyTinyMovesNeverAdvance) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK);
    const float start = dog->getAnimTime();
    for (int i = 0; i < 20; ++i) {
        dog->move(0.0009f, -0.0009f, 0.0009f);  // each measured from the last drawn place
        dog->advanceWalkCycle();
    }
    EXPECT_EQ(dog->getAnimTime(), start);
}

TEST(DogWalkAdvance, RunningAdvancesTwoSteps) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK);
    const float start = dog->getAnimTime();
    dog->toggleRun();
    dog->move(0.0f, 0.0f, -0.2f);
    dog->advanceWalkCycle();
    EXPECT_FLOAT_EQ(dog->getAnimTime(), start + 0.02f);
}

TEST(DogWalkAdvance, FirstDrawAfterResetHolds) {
    TempDir dir;
    auto dog = makeDog(dir, LONG_WALK);
    dog->move(3.0f, 0.0f, 3.0f);
    dog->advanceWalkCycle();
    const float before = dog->getAnimTime();
    dog->reset(-4.0f, 0.0f, 9.0f);
    dog->advanceWalkCycle();
    EXPECT_EQ(dog->getAnimTime(), before);
}
