// Keys and mouse drags through the real callbacks in the game's window, and the countdown.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <ctime>
#include <string>

#include "RenderSupport.h"

namespace {

// Everything a key or drag may change, as numbers (flags as 0 or 1).
enum Field { X, Z, ANGLE, ZOOM, TRANS_X, TRANS_Y, TRANS_Z, PITCH, YAW, RUNNING, STARTED, SHADOW, HELP, BLIMP, FIELDS };
using State = std::array<float, FIELDS>;

State now() {
    float x, y, z;
    dog.getPos(x, y, z);
    return {x, z, float(dog.getAngle()), zoom, transX, transY, transZ, angleUpDown, angleLeftRight,
            float(dog.isRunning()), float(started), float(shadow), float(help), float(blimpView)};
}

::testing::AssertionResult same(const State& got, State want, int field = -1, float by = 0.0f) {
    if (field >= 0) want[field] += by;
    for (int i = 0; i < FIELDS; ++i) {
        if (std::fabs(got[i] - want[i]) > 1e-4f) return ::testing::AssertionFailure() << ::testing::PrintToString(got);
    }
    return ::testing::AssertionSuccess();
}

// A key, or a drag from (100, 100) by (dx, dy) with the left, the right or both buttons.
enum Buttons { KEY, LEFT, RIGHT, BOTH };
struct Input {
    unsigned char key;
    Buttons buttons = KEY;
    int dx = 0, dy = 0;
};

void send(const Input& in) {
    if (in.buttons == KEY) return press(in.key);
    const bool left = in.buttons == LEFT || in.buttons == BOTH, right = in.buttons == RIGHT || in.buttons == BOTH;
    mouseCallback(GLUT_LEFT_BUTTON, left ? GLUT_DOWN : GLUT_UP, 100, 100);
    mouseCallback(GLUT_RIGHT_BUTTON, right ? GLUT_DOWN : GLUT_UP, 100, 100);
    mouseCallback(GLUT_MIDDLE_BUTTON, GLUT_UP, 100, 100);  // ends no drag
    EXPECT_EQ(mouseTrans * 2 + mouseRot, left * 2 + right);
    motionCallback(100 + in.dx, 100 + in.dy);
    motionCallback(100 + in.dx, 100 + in.dy);  // no movement, no step
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
    EXPECT_FALSE(mouseTrans || mouseRot);
}

struct Change {
    int field = -1;
    float by = 0.0f;
};

// Each input before a game, in a game and in a game in blimp view, the dog at (x, z) turned
// `quarters` quarter turns left.
TEST(Input, EachActsOnlyWhereItsGuardAllows) {
    const Change none, run{RUNNING, 1}, shade{SHADOW, 1}, helps{HELP, 1}, blimp{BLIMP, 1};
    const struct Row {
        Input in;
        Change change[3] = {};
        float x = 0.0f, z = 0.0f;
        int quarters = 0;
    } rows[] = {
        {{'e'}, {none, {Z, -0.2f}, {Z, -0.2f}}}, {{'d'}, {none, {Z, 0.2f}, {Z, 0.2f}}},
        {{'s'}, {none, {ANGLE, 2}, {ANGLE, 2}}}, {{'f'}, {none, {ANGLE, -2}, {ANGLE, -2}}},
        {{'e'}, {none, {X, -0.2f}, {X, -0.2f}}, 0, 0, 1},
        {{'e'}, {}, 7.0f, 18.1f}, {{'d'}, {none, {Z, 0.2f}, {Z, 0.2f}}, 7.0f, 18.1f},  // a tree just north
        {{'e'}, {}, -26.9f, 0.0f, 1}, {{'d'}, {none, {X, 0.2f}, {X, 0.2f}}, -26.9f, 0.0f, 1},  // the fence west
        {{'r'}, {run, run, run}}, {{'h'}, {shade, shade, shade}}, {{'w'}, {helps, helps, helps}},
        {{'y'}, {blimp, blimp, {BLIMP, -1}}}, {{'q'}, {{STARTED, 1}, none, none}},
        {{'+'}, {{ZOOM, -1}, {ZOOM, -1}, {ZOOM, -1}}}, {{'-'}, {{ZOOM, 1}, {ZOOM, 1}, {ZOOM, 1}}},
        {{'8'}, {{PITCH, 3}, {PITCH, 3}, none}}, {{'/'}, {{PITCH, -3}, {PITCH, -3}, none}},
        {{'7'}, {{YAW, 3}, {YAW, 3}, none}}, {{'9'}, {{YAW, -3}, {YAW, -3}, none}},
        {{'5'}, {none, {TRANS_Z, -1.2f}, none}}, {{'2'}, {none, {TRANS_Z, 1.2f}, none}},
        {{'1'}, {none, {TRANS_X, -1.2f}, none}}, {{'3'}, {none, {TRANS_X, 1.2f}, none}},
        {{'6'}, {none, {TRANS_Y, 1.2f}, none}}, {{'4'}, {none, {TRANS_Y, -1.2f}, none}},
        {{'E'}}, {{'x'}}, {{'0'}}, {{'*'}},
        {{0, LEFT, -60, 0}, {none, {TRANS_X, 0.3f}, none}}, {{0, LEFT, 1, 0}, {none, {TRANS_X, -0.3f}, none}},
        {{0, LEFT, 0, -1}, {none, {TRANS_Z, 0.3f}, none}}, {{0, LEFT, 0, 30}, {none, {TRANS_Z, -0.3f}, none}},
        {{0, RIGHT, -40, 0}, {{YAW, 1.5f}, {YAW, 1.5f}, none}}, {{0, RIGHT, 30, 0}, {{YAW, -1.5f}, {YAW, -1.5f}, none}},
        {{0, RIGHT, 0, 30}, {{PITCH, 0.75f}, {PITCH, 0.75f}, none}}, {{0, RIGHT, 0, -1}, {{PITCH, -0.75f}, {PITCH, -0.75f}, none}},
        {{0, BOTH, 200, -50}, {{ZOOM, -1}, {ZOOM, -1}, {ZOOM, -1}}}, {{0, BOTH, -100, 1}, {{ZOOM, 1}, {ZOOM, 1}, {ZOOM, 1}}},
        {{0, BOTH, -100, 0}},
    };
    for (const Row& row : rows) {
        for (int mode = 0; mode < 3; ++mode) {
            SCOPED_TRACE(std::string("input ") + char(row.in.key ? row.in.key : '0' + row.in.buttons) + " " +
                         std::to_string(row.in.dx) + "," + std::to_string(row.in.dy) + " in mode " + std::to_string(mode));
            resetShellState();
            press('q', mode >= 1);
            press('y', mode == 2);
            dog.reset(row.x, 0.0f, row.z);
            for (int i = 0; i < row.quarters * 45; ++i) dog.turnLeft();
            const State before = now();
            send(row.in);
            EXPECT_TRUE(same(now(), before, row.change[mode].field, row.change[mode].by));
        }
    }
}

// Keys test the limit before their step, drags before theirs, zoom in double.
TEST(Input, PitchAndZoomStopAtTheirLimits) {
    const struct {
        Input in;
        float* value;
        float from, to;
    } cases[] = {{{'8'}, &angleUpDown, 85, 88},         {{'8'}, &angleUpDown, 86, 86},
                 {{'/'}, &angleUpDown, -85.5f, -88.5f}, {{'/'}, &angleUpDown, -86, -86},
                 {{0, RIGHT, 0, 1}, &angleUpDown, 87.5f, 88.25f}, {{0, RIGHT, 0, 1}, &angleUpDown, 88, 88},
                 {{0, RIGHT, 0, -1}, &angleUpDown, -87.5f, -88.25f}, {{0, RIGHT, 0, -1}, &angleUpDown, -88, -88},
                 {{'+'}, &zoom, 2, 1}, {{'+'}, &zoom, 1, 1}, {{0, BOTH, 0, -1}, &zoom, 1, 1}};
    for (const auto& c : cases) {
        resetShellState();
        *c.value = c.from;
        send(c.in);
        EXPECT_FLOAT_EQ(*c.value, c.to) << "from " << c.from;
    }
}

// Waits for the clock to tick, so a test has most of a second before the next tick.
time_t freshSecond() {
    const time_t start = std::time(nullptr);
    time_t t;
    while ((t = std::time(nullptr)) == start) {}
    return t;
}

// 0 is still playing time; -1 ends the game in that frame, and the dog no longer moves.
TEST(Countdown, ZeroStillPlaysMinusOneEnds) {
    const time_t after2038 = static_cast<time_t>(INT_MAX) + 1000;
    seconds = after2038 + 210;
    EXPECT_EQ(timeLeft(after2038), 210);
    EXPECT_EQ(timeLeft(after2038 + 211), -1);
    resetShellState();
    myReshape(200, 150);
    press('q');
    for (int left : {0, -1}) {
        seconds = freshSecond() + left;
        frame();
        EXPECT_EQ(started, left == 0);
        EXPECT_FALSE(won);
        press('e');
        EXPECT_FLOAT_EQ(now()[Z], -0.2f);
    }
}

TEST(EscapeKey, QuitsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process with its own window
    EXPECT_EXIT(keyCallback(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

}  // namespace
