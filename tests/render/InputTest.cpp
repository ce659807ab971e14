// Keys, mouse drags and the course of a game, through the real callbacks in the game's
// window (keyCallback asks GLUT for a redisplay, which needs the window).
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>

#include "RenderSupport.h"
#include "shell.h"

namespace {

void press(unsigned char key, int times = 1) {
    for (int i = 0; i < times; ++i) keyCallback(key, 0, 0);
}

struct Pose {
    float x, y, z;
    int angle;
};

Pose dogPose() {
    Pose pose{};
    dog.getPos(pose.x, pose.y, pose.z);
    pose.angle = dog.getAngle();
    return pose;
}

::testing::AssertionResult samePose(const Pose& a, const Pose& b) {
    if (a.x == b.x && a.y == b.y && a.z == b.z && a.angle == b.angle) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.angle
                                         << ") vs (" << b.x << ", " << b.y << ", " << b.z << ", " << b.angle << ")";
}

struct Camera {
    float zoom, transX, transY, transZ, pitch, yaw;
};

Camera camera() {
    return {zoom, transX, transY, transZ, angleUpDown, angleLeftRight};
}

::testing::AssertionResult sameCamera(const Camera& a, const Camera& b) {
    if (a.zoom == b.zoom && a.transX == b.transX && a.transY == b.transY && a.transZ == b.transZ &&
        a.pitch == b.pitch && a.yaw == b.yaw) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "camera moved";
}

int bonesCollected() {
    int count = 0;
    for (int i = 0; i < scene.getNumBones(); ++i) count += scene.getBone(i).isCollected() ? 1 : 0;
    return count;
}

// Waits for the clock to tick, so a test has most of a second before the next tick.
time_t freshSecond() {
    const time_t start = std::time(nullptr);
    time_t now;
    while ((now = std::time(nullptr)) == start) {}
    return now;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { resetShellState(); }
};

// ---------------------------------------------------------------------------------

using KeysBeforeAGame = InputTest;

TEST_F(KeysBeforeAGame, MovementAndPivotKeysDoNothing) {
    const Pose before = dogPose();
    const Camera view = camera();
    for (unsigned char key : {'e', 'd', 's', 'f', '1', '2', '3', '4', '5', '6'}) press(key, 3);
    EXPECT_TRUE(samePose(dogPose(), before));
    EXPECT_TRUE(sameCamera(camera(), view));
    EXPECT_FALSE(started);
}

TEST_F(KeysBeforeAGame, ViewKeysStillAct) {
    press('7');
    EXPECT_FLOAT_EQ(angleLeftRight, 3.0f);
    press('9', 2);
    EXPECT_FLOAT_EQ(angleLeftRight, -3.0f);
    press('8');
    EXPECT_FLOAT_EQ(angleUpDown, 3.0f);
    press('/', 2);
    EXPECT_FLOAT_EQ(angleUpDown, -3.0f);
    press('+');
    EXPECT_FLOAT_EQ(zoom, 19.0f);
    press('-', 2);
    EXPECT_FLOAT_EQ(zoom, 21.0f);
}

TEST_F(KeysBeforeAGame, TogglesActAndUndoThemselves) {
    press('r');
    EXPECT_TRUE(dog.isRunning());
    press('h');
    EXPECT_TRUE(shadow);
    press('w');
    EXPECT_TRUE(help);
    press('y');
    EXPECT_TRUE(blimpView);
    for (unsigned char key : {'r', 'h', 'w', 'y'}) press(key);
    EXPECT_FALSE(dog.isRunning());
    EXPECT_FALSE(shadow);
    EXPECT_FALSE(help);
    EXPECT_FALSE(blimpView);
}

// ---------------------------------------------------------------------------------

class KeysInAGame : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        press('q');
        ASSERT_TRUE(started);
    }
};

TEST_F(KeysInAGame, UppercaseAndUnknownKeysDoNothing) {
    const Pose before = dogPose();
    const Camera view = camera();
    for (unsigned char key : {'E', 'D', 'S', 'F', 'R', 'H', 'W', 'Y', 'Q', 'x', ' ', '0', '*', '='}) press(key);
    EXPECT_TRUE(samePose(dogPose(), before));
    EXPECT_TRUE(sameCamera(camera(), view));
    EXPECT_FALSE(dog.isRunning());
    EXPECT_FALSE(shadow || help || blimpView);
}

TEST_F(KeysInAGame, ForwardAndBackwardStepAlongTheHeading) {
    press('e');
    Pose pose = dogPose();
    EXPECT_NEAR(pose.x, 0.0f, 1e-6);
    EXPECT_NEAR(pose.z, -0.2f, 1e-6);  // heading 0 faces -z
    press('d', 2);
    pose = dogPose();
    EXPECT_NEAR(pose.z, 0.2f, 1e-6);
    EXPECT_EQ(pose.y, 0.0f);
}

TEST_F(KeysInAGame, TurningLeftFacesMinusX) {
    press('s', 45);  // 2 degrees a press while walking
    EXPECT_EQ(dog.getAngle(), 90);
    press('e');
    const Pose pose = dogPose();
    EXPECT_NEAR(pose.x, -0.2f, 1e-6);
    EXPECT_NEAR(pose.z, 0.0f, 1e-6);
    press('f', 2);
    EXPECT_EQ(dog.getAngle(), 86);
}

TEST_F(KeysInAGame, RunningDoublesTheStep) {
    press('r');
    press('e');
    EXPECT_NEAR(dogPose().z, -0.4f, 1e-6);
}

TEST_F(KeysInAGame, PivotKeysFollowTheYaw) {
    press('5');
    EXPECT_NEAR(transZ, 15.0f - 1.2f, 1e-5);
    EXPECT_NEAR(transX, 0.0f, 1e-5);
    press('2');
    EXPECT_NEAR(transZ, 15.0f, 1e-5);
    press('1');
    EXPECT_NEAR(transX, -1.2f, 1e-5);  // left
    EXPECT_NEAR(transZ, 15.0f, 1e-5);
    press('3', 2);
    EXPECT_NEAR(transX, 1.2f, 1e-5);
    press('6');
    EXPECT_NEAR(transY, 11.2f, 1e-5);
    press('4', 2);
    EXPECT_NEAR(transY, 8.8f, 1e-5);

    // Turned 90 degrees to the left, "forward" runs along -x and "left" along +z.
    transX = 0.0f; transZ = 15.0f;
    angleLeftRight = 90.0f;
    press('5');
    EXPECT_NEAR(transX, -1.2f, 1e-5);
    EXPECT_NEAR(transZ, 15.0f, 1e-5);
    press('1');
    EXPECT_NEAR(transX, -1.2f, 1e-5);
    EXPECT_NEAR(transZ, 16.2f, 1e-5);
}

TEST_F(KeysInAGame, QDuringAGameChangesNothing) {
    seconds = std::time(nullptr) + 100;
    const time_t end = seconds;
    press('e', 5);
    transX = 7.0f;
    scene.checkBones(25.0f, 0.0f, 25.0f);  // one bone taken
    const Pose before = dogPose();
    press('q');
    EXPECT_EQ(seconds, end);
    EXPECT_TRUE(samePose(dogPose(), before));
    EXPECT_EQ(transX, 7.0f);
    EXPECT_EQ(bonesCollected(), 1);
}

// ---------------------------------------------------------------------------------

using ZoomKeys = InputTest;

TEST_F(ZoomKeys, PlusStopsAtOne) {
    zoom = 2.0f;
    press('+');
    EXPECT_FLOAT_EQ(zoom, 1.0f);
    press('+', 3);
    EXPECT_FLOAT_EQ(zoom, 1.0f);
}

TEST_F(ZoomKeys, LimitIsComparedInDouble) {
    zoom = 1.1f;  // as a float a hair above 1.1: still steps
    press('+');
    EXPECT_NEAR(zoom, 0.1f, 1e-6);
    zoom = std::nextafter(1.1f, 0.0f);  // the float just below: refused
    press('+');
    EXPECT_EQ(zoom, std::nextafter(1.1f, 0.0f));
}

TEST_F(ZoomKeys, MinusHasNoUpperLimit) {
    zoom = 1000.0f;
    press('-');
    EXPECT_FLOAT_EQ(zoom, 1001.0f);
}

using PitchKeys = InputTest;

TEST_F(PitchKeys, DownPassesEightySixByOneStepThenStops) {
    angleUpDown = 85.0f;
    press('8');
    EXPECT_FLOAT_EQ(angleUpDown, 88.0f);
    press('8', 3);
    EXPECT_FLOAT_EQ(angleUpDown, 88.0f);
}

TEST_F(PitchKeys, LimitIsStrict) {
    angleUpDown = 86.0f;
    press('8');
    EXPECT_FLOAT_EQ(angleUpDown, 86.0f);
    angleUpDown = -86.0f;
    press('/');
    EXPECT_FLOAT_EQ(angleUpDown, -86.0f);
}

TEST_F(PitchKeys, UpPassesMinusEightySixByOneStepThenStops) {
    angleUpDown = -85.5f;
    press('/');
    EXPECT_FLOAT_EQ(angleUpDown, -88.5f);
    press('/');
    EXPECT_FLOAT_EQ(angleUpDown, -88.5f);
    press('8');
    EXPECT_FLOAT_EQ(angleUpDown, -85.5f);
}

// ---------------------------------------------------------------------------------

class BlimpInput : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        press('q');
        press('y');
        ASSERT_TRUE(blimpView);
    }
};

TEST_F(BlimpInput, RefusesPitchYawAndPivotKeys) {
    const Camera view = camera();
    for (unsigned char key : {'8', '/', '7', '9', '1', '2', '3', '4', '5', '6'}) press(key);
    EXPECT_TRUE(sameCamera(camera(), view));
}

TEST_F(BlimpInput, StillZoomsByKeys) {
    press('+');
    EXPECT_FLOAT_EQ(zoom, 19.0f);
    press('-', 3);
    EXPECT_FLOAT_EQ(zoom, 22.0f);
}

TEST_F(BlimpInput, RefusesTranslateAndRotateDragsButZooms) {
    const Camera view = camera();
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    motionCallback(90, 90);
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, 90, 90);
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 100);
    motionCallback(90, 90);
    EXPECT_TRUE(sameCamera(camera(), view));

    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 90, 90);
    motionCallback(90, 80);
    EXPECT_FLOAT_EQ(zoom, 19.0f);
}

TEST_F(BlimpInput, DogStillWalks) {
    press('e');
    EXPECT_NEAR(dogPose().z, -0.2f, 1e-6);
}

// ---------------------------------------------------------------------------------

using MouseTranslate = InputTest;

TEST_F(MouseTranslate, OneFixedStepPerEventAlongTheView) {
    press('q');
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    EXPECT_TRUE(mouseTrans);
    motionCallback(40, 100);  // left, however far: toward +x at yaw 0
    EXPECT_NEAR(transX, 0.3f, 1e-6);
    EXPECT_NEAR(transZ, 15.0f, 1e-5);
    motionCallback(40, 99);  // up: backward, toward +z
    EXPECT_NEAR(transZ, 15.3f, 1e-5);
    EXPECT_NEAR(transX, 0.3f, 1e-6);
    motionCallback(40, 99);  // no movement, no step
    EXPECT_NEAR(transX, 0.3f, 1e-6);
    EXPECT_NEAR(transZ, 15.3f, 1e-5);
    motionCallback(41, 100);  // right and down undo both
    EXPECT_NEAR(transX, 0.0f, 1e-6);
    EXPECT_NEAR(transZ, 15.0f, 1e-5);
    EXPECT_EQ(transY, 10.0f);
    EXPECT_EQ(zoom, 20.0f);
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, 41, 100);
    EXPECT_FALSE(mouseTrans);
}

TEST_F(MouseTranslate, DoesNothingWithoutAGame) {
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    motionCallback(50, 50);
    EXPECT_EQ(transX, 0.0f);
    EXPECT_EQ(transZ, 15.0f);
}

using MouseRotate = InputTest;

TEST_F(MouseRotate, TurnsAndTiltsWithoutAGame) {
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 100);
    EXPECT_TRUE(mouseRot);
    motionCallback(60, 100);
    EXPECT_FLOAT_EQ(angleLeftRight, 1.5f);
    motionCallback(70, 100);
    EXPECT_FLOAT_EQ(angleLeftRight, 0.0f);
    motionCallback(70, 130);  // down tilts the view down
    EXPECT_FLOAT_EQ(angleUpDown, 0.75f);
    EXPECT_EQ(transX, 0.0f);
    EXPECT_EQ(zoom, 20.0f);
}

TEST_F(MouseRotate, TiltsUpUntilNoLongerAboveMinusEightyEight) {
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 500, 500);
    int y = 500;
    for (int event = 0; event < 200; ++event) motionCallback(500, --y);
    // 0 - 118 * 0.75: the last step starts at -87.75, above the limit.
    EXPECT_NEAR(angleUpDown, -88.5f, 1e-4);
    // The refused events still moved the start row: one pixel down is one step back.
    motionCallback(500, y + 1);
    EXPECT_NEAR(angleUpDown, -87.75f, 1e-4);
}

TEST_F(MouseRotate, TiltsDownUntilNoLongerBelowEightyEight) {
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 500, 100);
    for (int y = 101; y < 400; ++y) motionCallback(500, y);
    EXPECT_NEAR(angleUpDown, 88.5f, 1e-4);
}

using MouseZoom = InputTest;

TEST_F(MouseZoom, BothButtonsZoomOnlyByRows) {
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 200);
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 200);
    motionCallback(300, 150);  // up: closer
    EXPECT_FLOAT_EQ(zoom, 19.0f);
    motionCallback(0, 160);    // down: farther
    EXPECT_FLOAT_EQ(zoom, 20.0f);
    motionCallback(50, 160);   // sideways only
    EXPECT_FLOAT_EQ(zoom, 20.0f);
    EXPECT_EQ(angleLeftRight, 0.0f);
    EXPECT_EQ(angleUpDown, 0.0f);
    EXPECT_EQ(transX, 0.0f);
}

TEST_F(MouseZoom, StopsAtOne) {
    zoom = 2.0f;
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 200);
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 200);
    for (int y = 199; y > 190; --y) motionCallback(100, y);
    EXPECT_FLOAT_EQ(zoom, 1.0f);
}

TEST_F(MouseZoom, AfterReleasingOneButtonTheOtherModeResumes) {
    press('q');
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 200);
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 200);
    motionCallback(80, 180);
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, 80, 180);
    EXPECT_FLOAT_EQ(angleLeftRight, 0.0f);  // zooming moved no angle
    motionCallback(80, 180);  // rotate compares with its own last position: (100, 200)
    EXPECT_FLOAT_EQ(angleLeftRight, 1.5f);
    EXPECT_FLOAT_EQ(angleUpDown, -0.75f);
    EXPECT_FLOAT_EQ(zoom, 19.0f);
}

TEST_F(MouseZoom, MiddleButtonIsIgnored) {
    press('q');
    mouseCallback(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 100, 100);
    EXPECT_FALSE(mouseTrans);
    EXPECT_FALSE(mouseRot);
    motionCallback(10, 10);
    EXPECT_TRUE(sameCamera(camera(), {20.0f, 0.0f, 10.0f, 15.0f, 0.0f, 0.0f}));
    // A middle release during a left drag leaves the drag going.
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    mouseCallback(GLUT_MIDDLE_BUTTON, GLUT_UP, 100, 100);
    EXPECT_TRUE(mouseTrans);
}

// ---------------------------------------------------------------------------------

using MoveGate = InputTest;

TEST_F(MoveGate, StepIntoATreeIsRefusedButTurningIsAllowed) {
    press('q');
    dog.reset(7.0f, 0.0f, 18.1f);  // just south of tree 8's cube, facing it
    press('e');
    Pose pose = dogPose();
    EXPECT_EQ(pose.x, 7.0f);
    EXPECT_EQ(pose.z, 18.1f);
    press('s');
    EXPECT_EQ(dog.getAngle(), 2);
    press('d');  // backward, away from the tree
    EXPECT_GT(dogPose().z, 18.1f);
}

TEST_F(MoveGate, StepIntoAFenceStripIsRefused) {
    press('q');
    dog.reset(-26.9f, 0.0f, 0.0f);
    press('s', 45);  // face -x
    press('e');
    EXPECT_EQ(dogPose().x, -26.9f);
    press('f', 90);  // face +x
    press('e');
    EXPECT_NEAR(dogPose().x, -26.7f, 1e-5);
}

TEST_F(MoveGate, EdgeOfTheCubeIsFree) {
    dog.reset(7.0f, 0.0f, 18.2f);
    checkMove(7.0f, 0.0f, 18.2f, 0.0f, 0.0f, -0.2f);  // to 18.0: on the edge, strict test
    float x, y, z;
    dog.getPos(x, y, z);
    EXPECT_NEAR(z, 18.0f, 1e-5);
}

// ---------------------------------------------------------------------------------

using GameClock = InputTest;

TEST_F(GameClock, LastSecondStillRunsShowingZero) {
    press('q');
    seconds = freshSecond();
    renderFrame();
    EXPECT_TRUE(started);
    EXPECT_TRUE(textShownAt(30, 40, GLUT_BITMAP_HELVETICA_18, "Time Left: 0"));
    EXPECT_FALSE(hasWhiteIn(w / 2 - 90, h / 2 - 12, w / 2 + 60, h / 2 - 1));
    press('e');
    EXPECT_NEAR(dogPose().z, -0.2f, 1e-6);
}

TEST_F(GameClock, OneSecondPastTheEndShowsGameOver) {
    press('q');
    seconds = freshSecond() - 1;
    renderFrame();
    EXPECT_FALSE(started);
    EXPECT_FALSE(won);
    EXPECT_TRUE(textShownAt(w / 2 - 90, h / 2, GLUT_BITMAP_TIMES_ROMAN_24, "GAME OVER"));
    EXPECT_TRUE(textShownAt(w / 2 - 70, h / 2 + 30, GLUT_BITMAP_TIMES_ROMAN_24, "PRESS Q"));
    EXPECT_TRUE(textShownAt(30, 40, GLUT_BITMAP_HELVETICA_18, "Time Left: 0"));
    press('e');
    EXPECT_TRUE(samePose(dogPose(), {0.0f, 0.0f, 0.0f, 0}));
}

// ---------------------------------------------------------------------------------

class WinningGame : public InputTest {
protected:
    // Walks the dog onto every bone but the last, one frame each.
    void collectAllButLast() {
        press('q');
        const int last = scene.getNumBones() - 1;
        for (int i = 0; i < last; ++i) {
            const Bone& bone = scene.getBone(i);
            int x, y, z;
            bone.getPos(x, y, z);
            dog.reset(static_cast<float>(x), 0.0f, static_cast<float>(z));
            renderFrame();
        }
        dog.reset(0.0f, 0.0f, 0.0f);
    }
    void collectLast() {
        int x, y, z;
        scene.getBone(scene.getNumBones() - 1).getPos(x, y, z);
        dog.reset(static_cast<float>(x), 0.0f, static_cast<float>(z));
        renderFrame();
    }
};

TEST_F(WinningGame, GameRunsOnWithOneBoneLeft) {
    collectAllButLast();
    renderFrame();
    EXPECT_TRUE(started);
    EXPECT_FALSE(won);
    EXPECT_EQ(bonesCollected(), 12);
    EXPECT_TRUE(textShownAt(30, 70, GLUT_BITMAP_HELVETICA_18, "Bones Left: 1"));
}

TEST_F(WinningGame, LastPickUpShowsTheWinInThatSameFrame) {
    collectAllButLast();
    collectLast();
    EXPECT_TRUE(won);
    EXPECT_FALSE(started);
    EXPECT_EQ(seconds, 0);
    EXPECT_TRUE(textShownAt(w / 2 - 90, h / 2, GLUT_BITMAP_TIMES_ROMAN_24, "CONGRATULATIONS"));
    EXPECT_TRUE(textShownAt(w / 2 - 28, h / 2 + 30, GLUT_BITMAP_TIMES_ROMAN_24, "YOU WON"));
    EXPECT_FALSE(hasWhiteIn(w / 2 - 70, h / 2 + 18, w / 2 - 32, h / 2 + 29));  // no "PRESS Q"
    EXPECT_TRUE(textShownAt(30, 70, GLUT_BITMAP_HELVETICA_18, "Bones Left: 0"));
    EXPECT_TRUE(textShownAt(30, 40, GLUT_BITMAP_HELVETICA_18, "Time Left: 0"));
}

TEST_F(WinningGame, WinBannerStaysAndTheDogStops) {
    collectAllButLast();
    collectLast();
    const Pose before = dogPose();
    for (unsigned char key : {'e', 'd', 's', 'f'}) press(key, 2);
    EXPECT_TRUE(samePose(dogPose(), before));
    renderFrame();
    EXPECT_TRUE(textShownAt(w / 2 - 28, h / 2 + 30, GLUT_BITMAP_TIMES_ROMAN_24, "YOU WON"));
}

TEST_F(WinningGame, QStartsAFreshGameKeepingTheView) {
    collectAllButLast();
    collectLast();
    angleUpDown = 30.0f;
    angleLeftRight = -45.0f;
    zoom = 12.0f;
    transX = 40.0f; transY = 3.0f; transZ = -20.0f;
    press('s');
    press('q');
    EXPECT_TRUE(started);
    EXPECT_FALSE(won);
    EXPECT_EQ(bonesCollected(), 0);
    EXPECT_TRUE(samePose(dogPose(), {0.0f, 0.0f, 0.0f, 0}));
    EXPECT_TRUE(sameCamera(camera(), {12.0f, 0.0f, 10.0f, 15.0f, 30.0f, -45.0f}));
    EXPECT_GE(seconds - std::time(nullptr), 209);
    renderFrame();
    EXPECT_TRUE(textShownAt(30, 70, GLUT_BITMAP_HELVETICA_18, "Bones Left: 13"));
    EXPECT_FALSE(hasWhiteIn(w / 2 - 90, h / 2 - 12, w / 2 + 60, h / 2 - 1));
}

// ---------------------------------------------------------------------------------

TEST(EscapeKey, QuitsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process with its own window
    EXPECT_EXIT(keyCallback(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

}  // namespace
