// Keys, mouse drags and the course of a game, through the real callbacks in the game's
// window (keyCallback asks GLUT for a redisplay, which needs the window).
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <ctime>
#include <sstream>
#include <string>

#include "RenderSupport.h"
#include "shell.h"

namespace {

void* const SMALL = GLUT_BITMAP_HELVETICA_18;
void* const LARGE = GLUT_BITMAP_TIMES_ROMAN_24;

void press(unsigned char key, int times = 1) {
    for (int i = 0; i < times; ++i) keyCallback(key, 0, 0);
}

// Everything a key or drag may change, as numbers (flags as 0 or 1).
enum Field { X, Z, ANGLE, ZOOM, TRANS_X, TRANS_Y, TRANS_Z, PITCH, YAW, RUNNING, STARTED, SHADOW, HELP, BLIMP, FIELDS };
using State = std::array<float, FIELDS>;

State now() {
    float x, y, z;
    dog.getPos(x, y, z);
    return {x, z, float(dog.getAngle()), zoom, transX, transY, transZ, angleUpDown, angleLeftRight,
            float(dog.isRunning()), float(started), float(shadow), float(help), float(blimpView)};
}

::testing::AssertionResult same(const State& got, const State& want) {
    static const char* const names[] = {"x", "z", "angle", "zoom", "transX", "transY", "transZ", "pitch",
                                        "yaw", "running", "started", "shadow", "help", "blimp"};
    std::ostringstream diff;
    for (int i = 0; i < FIELDS; ++i) {
        if (std::fabs(got[i] - want[i]) > 1e-4f) diff << " " << names[i] << " is " << got[i] << ", not " << want[i] << ";";
    }
    if (diff.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << diff.str();
}

// A change of one field by a step; none by default.
struct Change {
    int field = -1;
    float by = 0.0f;
    State applied(State s) const {
        if (field >= 0) s[field] += by;
        return s;
    }
};

int bonesCollected() {
    int count = 0;
    for (int i = 0; i < scene.getNumBones(); ++i) count += scene.getBone(i).isCollected() ? 1 : 0;
    return count;
}

void dogOnto(int bone) {
    int x, y, z;
    scene.getBone(bone).getPos(x, y, z);
    dog.reset(static_cast<float>(x), 0.0f, static_cast<float>(z));
}

bool noBanner() { return !hasWhiteIn(w / 2 - 90, h / 2 - 12, w / 2 + 60, h / 2 + 40); }

// Waits for the clock to tick, so a test has most of a second before the next tick.
time_t freshSecond() {
    const time_t start = std::time(nullptr);
    time_t t;
    while ((t = std::time(nullptr)) == start) {}
    return t;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override { resetShellState(); }
    // 0: before a game, 1: in a game, 2: in a game in blimp view.
    void enter(int mode) {
        resetShellState();
        if (mode >= 1) press('q');
        if (mode == 2) press('y');
    }
};

const char* const MODES[] = {"before a game", "in a game", "in blimp view"};

TEST_F(InputTest, EveryKeyActsOnlyWhereItsGuardAllows) {
    struct KeyCase {
        unsigned char key;
        Change before, inGame, inBlimp;
    };
    const Change none, on[] = {{RUNNING, 1}, {SHADOW, 1}, {HELP, 1}, {BLIMP, 1}}, offBlimp{BLIMP, -1};
    const KeyCase cases[] = {
        {'e', none, {Z, -0.2f}, {Z, -0.2f}}, {'d', none, {Z, 0.2f}, {Z, 0.2f}},
        {'s', none, {ANGLE, 2}, {ANGLE, 2}}, {'f', none, {ANGLE, -2}, {ANGLE, -2}},
        {'r', on[0], on[0], on[0]}, {'h', on[1], on[1], on[1]}, {'w', on[2], on[2], on[2]},
        {'y', on[3], on[3], offBlimp}, {'q', {STARTED, 1}, none, none},
        {'+', {ZOOM, -1}, {ZOOM, -1}, {ZOOM, -1}}, {'-', {ZOOM, 1}, {ZOOM, 1}, {ZOOM, 1}},
        {'8', {PITCH, 3}, {PITCH, 3}, none}, {'/', {PITCH, -3}, {PITCH, -3}, none},
        {'7', {YAW, 3}, {YAW, 3}, none}, {'9', {YAW, -3}, {YAW, -3}, none},
        {'5', none, {TRANS_Z, -1.2f}, none}, {'2', none, {TRANS_Z, 1.2f}, none},
        {'1', none, {TRANS_X, -1.2f}, none}, {'3', none, {TRANS_X, 1.2f}, none},
        {'6', none, {TRANS_Y, 1.2f}, none}, {'4', none, {TRANS_Y, -1.2f}, none},
    };
    for (const KeyCase& c : cases) {
        const Change changes[] = {c.before, c.inGame, c.inBlimp};
        for (int mode = 0; mode < 3; ++mode) {
            enter(mode);
            const State want = changes[mode].applied(now());
            press(c.key);
            EXPECT_TRUE(same(now(), want)) << "'" << c.key << "' " << MODES[mode];
        }
    }
    for (unsigned char key : std::string("EDSFRHWYQx 0*=")) {
        enter(1);
        const State want = now();
        press(key);
        EXPECT_TRUE(same(now(), want)) << "'" << key << "' is not a key";
    }
}

TEST_F(InputTest, PitchAndZoomKeysStopAtTheirLimits) {
    struct LimitCase {
        unsigned char key;
        float* value;
        float from, to;
    };
    const LimitCase cases[] = {{'8', &angleUpDown, 85.0f, 88.0f},  {'8', &angleUpDown, 86.0f, 86.0f},
                               {'/', &angleUpDown, -85.5f, -88.5f}, {'/', &angleUpDown, -86.0f, -86.0f},
                               {'+', &zoom, 2.0f, 1.0f},           {'+', &zoom, 1.0f, 1.0f}};
    for (const LimitCase& c : cases) {
        *c.value = c.from;
        press(c.key);
        EXPECT_FLOAT_EQ(*c.value, c.to) << "'" << c.key << "' from " << c.from;
    }
}

TEST_F(InputTest, StepsAndPivotFollowTheirHeadings) {
    press('q');
    press('s', 45);  // 2 degrees a press: facing -x
    press('e');
    EXPECT_NEAR(now()[X], -0.2f, 1e-5);
    EXPECT_NEAR(now()[Z], 0.0f, 1e-5);
    press('r');
    press('e');
    EXPECT_NEAR(now()[X], -0.6f, 1e-5);  // running doubles the step
    angleLeftRight = 90.0f;  // turned left, "forward" runs along -x and "left" along +z
    press('5');
    press('1');
    EXPECT_NEAR(transX, -1.2f, 1e-5);
    EXPECT_NEAR(transZ, 16.2f, 1e-5);
}

TEST_F(InputTest, DragsMoveTheCameraOneStepPerEvent) {
    enum Buttons { LEFT, RIGHT, BOTH, MIDDLE };
    struct DragCase {
        const char* name;
        Buttons buttons;
        int mode;
        int toX, toY;  // from (100, 100)
        Change change;
    };
    const DragCase cases[] = {
        {"translate left", LEFT, 1, 40, 100, {TRANS_X, 0.3f}}, {"translate right", LEFT, 1, 101, 100, {TRANS_X, -0.3f}},
        {"translate up", LEFT, 1, 100, 99, {TRANS_Z, 0.3f}},   {"translate down", LEFT, 1, 100, 130, {TRANS_Z, -0.3f}},
        {"translate without a game", LEFT, 0, 40, 40, {}},    {"translate in blimp view", LEFT, 2, 40, 40, {}},
        {"rotate left", RIGHT, 0, 60, 100, {YAW, 1.5f}},       {"rotate right", RIGHT, 1, 130, 100, {YAW, -1.5f}},
        {"rotate down", RIGHT, 1, 100, 130, {PITCH, 0.75f}},   {"rotate up", RIGHT, 1, 100, 99, {PITCH, -0.75f}},
        {"rotate in blimp view", RIGHT, 2, 40, 40, {}},
        {"zoom up", BOTH, 0, 300, 50, {ZOOM, -1}},             {"zoom down", BOTH, 1, 0, 101, {ZOOM, 1}},
        {"zoom sideways", BOTH, 1, 0, 100, {}},                {"zoom in blimp view", BOTH, 2, 100, 90, {ZOOM, -1}},
        {"middle button", MIDDLE, 1, 10, 10, {}},
    };
    for (const DragCase& c : cases) {
        SCOPED_TRACE(c.name);
        enter(c.mode);
        const State want = c.change.applied(now());
        if (c.buttons != RIGHT) mouseCallback(c.buttons == MIDDLE ? GLUT_MIDDLE_BUTTON : GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
        if (c.buttons == RIGHT || c.buttons == BOTH) mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 100, 100);
        EXPECT_EQ(mouseTrans, c.buttons == LEFT || c.buttons == BOTH);
        EXPECT_EQ(mouseRot, c.buttons == RIGHT || c.buttons == BOTH);
        motionCallback(c.toX, c.toY);
        EXPECT_TRUE(same(now(), want));
        motionCallback(c.toX, c.toY);  // no movement, no step
        EXPECT_TRUE(same(now(), want));
        mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, c.toX, c.toY);
        mouseCallback(GLUT_RIGHT_BUTTON, GLUT_UP, c.toX, c.toY);
        EXPECT_FALSE(mouseTrans || mouseRot);
    }
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, 100);
    mouseCallback(GLUT_MIDDLE_BUTTON, GLUT_UP, 100, 100);
    EXPECT_TRUE(mouseTrans) << "a middle release ended the left drag";
}

TEST_F(InputTest, RotateDragTiltsUntilPastEightyEight) {
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_DOWN, 500, 500);
    int y = 500;
    for (int event = 0; event < 200; ++event) motionCallback(500, --y);
    EXPECT_NEAR(angleUpDown, -88.5f, 1e-4);  // the last step starts at -87.75
    motionCallback(500, y + 1);               // refused events still moved the start row
    EXPECT_NEAR(angleUpDown, -87.75f, 1e-4);
    for (int event = 0; event < 300; ++event) motionCallback(500, ++y);
    EXPECT_NEAR(angleUpDown, 88.5f, 1e-4);
}

TEST_F(InputTest, StepIntoATreeOrTheFenceIsRefusedButTurningIsNot) {
    press('q');
    dog.reset(7.0f, 0.0f, 18.1f);  // just south of a tree, facing it
    press('e');
    EXPECT_EQ(now()[X], 7.0f);
    EXPECT_EQ(now()[Z], 18.1f);
    press('s');
    EXPECT_EQ(dog.getAngle(), 2);
    press('d');
    EXPECT_GT(now()[Z], 18.1f);

    dog.reset(-26.9f, 0.0f, 0.0f);
    press('s', 45);  // facing the west fence
    press('e');
    EXPECT_EQ(now()[X], -26.9f);
    press('f', 90);
    press('e');
    EXPECT_NEAR(now()[X], -26.7f, 1e-5);
}

TEST_F(InputTest, QDuringAGameChangesNothing) {
    press('q');
    seconds = std::time(nullptr) + 100;
    const time_t end = seconds;
    press('e', 5);
    transX = 7.0f;
    scene.checkBones(25.0f, 0.0f, 25.0f);
    const State before = now();
    press('q');
    EXPECT_EQ(seconds, end);
    EXPECT_TRUE(same(now(), before));
    EXPECT_EQ(bonesCollected(), 1);
}

TEST_F(InputTest, CountdownRunsThroughZeroAndEndsAtMinusOne) {
    const time_t after2038 = static_cast<time_t>(INT_MAX) + 1000;
    seconds = after2038 + 210;
    EXPECT_EQ(timeLeft(after2038), 210);
    EXPECT_EQ(timeLeft(after2038 + 211), -1);

    press('q');
    renderFrame();
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 210") || textShownAt(30, 40, SMALL, "Time Left: 209"));
    EXPECT_TRUE(noBanner());

    seconds = freshSecond();
    renderFrame();
    EXPECT_TRUE(started);
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 0"));
    EXPECT_TRUE(noBanner());
    press('e');
    EXPECT_NEAR(now()[Z], -0.2f, 1e-6);

    seconds = freshSecond() - 1;
    renderFrame();
    EXPECT_FALSE(started);
    EXPECT_FALSE(won);
    EXPECT_TRUE(textShownAt(w / 2 - 90, h / 2, LARGE, "GAME OVER"));
    EXPECT_TRUE(textShownAt(w / 2 - 70, h / 2 + 30, LARGE, "PRESS Q"));
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 0"));
    press('e');
    EXPECT_NEAR(now()[Z], -0.2f, 1e-6);
}

TEST_F(InputTest, LastPickUpWinsInThatFrameThenOnlyQActs) {
    press('q');
    for (int i = 0; i + 1 < scene.getNumBones(); ++i) {
        dogOnto(i);
        renderFrame();
    }
    EXPECT_TRUE(started);
    EXPECT_FALSE(won);
    EXPECT_TRUE(textShownAt(30, 70, SMALL, "Bones Left: 1"));

    dogOnto(scene.getNumBones() - 1);
    renderFrame();
    EXPECT_TRUE(won);
    EXPECT_FALSE(started);
    EXPECT_TRUE(textShownAt(w / 2 - 90, h / 2, LARGE, "CONGRATULATIONS"));
    EXPECT_TRUE(textShownAt(w / 2 - 28, h / 2 + 30, LARGE, "YOU WON"));
    EXPECT_FALSE(hasWhiteIn(w / 2 - 70, h / 2 + 18, w / 2 - 32, h / 2 + 29));  // no "PRESS Q"
    EXPECT_TRUE(textShownAt(30, 70, SMALL, "Bones Left: 0"));
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 0"));

    const State before = now();
    for (unsigned char key : {'e', 'd', 's', 'f'}) press(key, 2);
    EXPECT_TRUE(same(now(), before));

    angleUpDown = 30.0f;
    angleLeftRight = -45.0f;
    zoom = 12.0f;
    transX = 40.0f;
    press('q');
    State fresh = before;
    fresh[X] = fresh[Z] = fresh[ANGLE] = 0;
    fresh[STARTED] = 1;
    fresh[PITCH] = 30.0f, fresh[YAW] = -45.0f, fresh[ZOOM] = 12.0f;  // the view carries over
    EXPECT_TRUE(same(now(), fresh));
    EXPECT_FALSE(won);
    EXPECT_EQ(bonesCollected(), 0);
    EXPECT_GE(seconds - std::time(nullptr), 209);
    renderFrame();
    EXPECT_TRUE(textShownAt(30, 70, SMALL, "Bones Left: 13"));
    EXPECT_TRUE(noBanner());
}

TEST(EscapeKey, QuitsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process with its own window
    EXPECT_EXIT(keyCallback(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

}  // namespace
