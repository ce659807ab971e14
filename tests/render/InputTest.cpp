// Keys and mouse drags through the real callbacks in the game's window, and the countdown.
#include <array>
#include <climits>
#include <ctime>

#include "RenderSupport.h"

namespace {

// Everything an input may change, as numbers (flags as 0 or 1).
enum Field { X, Z, ANGLE, ZOOM, TRANS_X, TRANS_Y, TRANS_Z, PITCH, YAW, RUNNING, STARTED, SHADOW, HELP, BLIMP, FIELDS };
std::array<float, FIELDS> now() {
    float x, y, z;
    dog.getPos(x, y, z);
    return {x, z, float(dog.getAngle()), zoom, transX, transY, transZ, angleUpDown, angleLeftRight,
            float(dog.isRunning()), float(started), float(shadow), float(help), float(blimpView)};
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
    const bool left = in.buttons != RIGHT, right = in.buttons != LEFT;
    mouseCallback(GLUT_LEFT_BUTTON, left ? GLUT_DOWN : GLUT_UP, 100, 100);
    mouseCallback(GLUT_RIGHT_BUTTON, right ? GLUT_DOWN : GLUT_UP, 100, 100);
    mouseCallback(GLUT_MIDDLE_BUTTON, GLUT_UP, 100, 100);  // ends no drag
    EXPECT_EQ(mouseTrans * 2 + mouseRot, left * 2 + right);
    for (int i = 0; i < 2; ++i) motionCallback(100 + in.dx, 100 + in.dy);  // the second moves nothing
    mouseCallback(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    mouseCallback(GLUT_RIGHT_BUTTON, GLUT_UP, 0, 0);
    EXPECT_FALSE(mouseTrans || mouseRot);
}

struct Change {
    int field = -1;
    float by = 0.0f;
};
void dogAt(float x, float z, int quarters) {  // quarter turns to the left
    dog.reset(x, 0.0f, z);
    for (int i = 0; i < quarters * 45; ++i) dog.turnLeft();
}

// Each input before a game, in a game and in a game in blimp view, after `setup`.
TEST(Input, EachActsOnlyWhereItsGuardAllows) {
    const Change none, run{RUNNING, 1}, shade{SHADOW, 1}, helps{HELP, 1}, blimp{BLIMP, 1};
    const struct Row {
        Input in;
        Change change[3] = {};
        void (*setup)() = [] {};
    } rows[] = {
        {{'d'}, {none, {Z, 0.2f}, {Z, 0.2f}}},  // 'e': the playthrough, the countdown and the blimp frame
        {{'s'}, {none, {ANGLE, 2}, {ANGLE, 2}}}, {{'f'}, {none, {ANGLE, -2}, {ANGLE, -2}}},
        {{'e'}, {}, [] { dogAt(7, 18.1f, 0); }},  // facing a tree
        {{'d'}, {none, {Z, 0.2f}, {Z, 0.2f}}, [] { dogAt(7, 18.1f, 0); }},
        {{'e'}, {}, [] { dogAt(-26.9f, 0, 1); }},  // facing the fence
        {{'d'}, {none, {X, 0.2f}, {X, 0.2f}}, [] { dogAt(-26.9f, 0, 1); }},
        {{'r'}, {run, run, run}}, {{'h'}, {shade, shade, shade}}, {{'w'}, {helps, helps, helps}},
        {{'y'}, {blimp, blimp, {BLIMP, -1}}}, {{'q'}, {{STARTED, 1}, none, none}},
        {{'+'}, {{ZOOM, -1}, {ZOOM, -1}, {ZOOM, -1}}}, {{'-'}, {{ZOOM, 1}, {ZOOM, 1}, {ZOOM, 1}}},
        {{'+'}, {}, [] { zoom = 1; }}, {{'+'}, {{ZOOM, -1}, {ZOOM, -1}, {ZOOM, -1}}, [] { zoom = 2; }},
        {{'8'}, {{PITCH, 3}, {PITCH, 3}, none}, [] { angleUpDown = 85; }}, {{'8'}, {}, [] { angleUpDown = 86; }},
        {{'/'}, {{PITCH, -3}, {PITCH, -3}, none}, [] { angleUpDown = -85.5f; }}, {{'/'}, {}, [] { angleUpDown = -86; }},
        {{'7'}, {{YAW, 3}, {YAW, 3}, none}}, {{'9'}, {{YAW, -3}, {YAW, -3}, none}},
        {{'5'}, {none, {TRANS_Z, -1.2f}, none}}, {{'2'}, {none, {TRANS_Z, 1.2f}, none}},
        {{'1'}, {none, {TRANS_X, -1.2f}, none}}, {{'3'}, {none, {TRANS_X, 1.2f}, none}},
        {{'6'}, {none, {TRANS_Y, 1.2f}, none}}, {{'4'}, {none, {TRANS_Y, -1.2f}, none}},
        {{'E'}}, {{'x'}}, {{'0'}}, {{'*'}},
        {{0, LEFT, -60, 0}, {none, {TRANS_X, 0.3f}, none}}, {{0, LEFT, 1, 0}, {none, {TRANS_X, -0.3f}, none}},
        {{0, LEFT, 0, -1}, {none, {TRANS_Z, 0.3f}, none}}, {{0, LEFT, 0, 30}, {none, {TRANS_Z, -0.3f}, none}},
        {{0, RIGHT, -40, 0}, {{YAW, 1.5f}, {YAW, 1.5f}, none}}, {{0, RIGHT, 30, 0}, {{YAW, -1.5f}, {YAW, -1.5f}, none}},
        {{0, RIGHT, 0, 30}, {{PITCH, 0.75f}, {PITCH, 0.75f}, none}},
        {{0, RIGHT, 0, -1}, {{PITCH, -0.75f}, {PITCH, -0.75f}, none}},
        {{0, RIGHT, 0, 1}, {{PITCH, 0.75f}, {PITCH, 0.75f}, none}, [] { angleUpDown = 87.5f; }},
        {{0, RIGHT, 0, 1}, {}, [] { angleUpDown = 88; }}, {{0, RIGHT, 0, -1}, {}, [] { angleUpDown = -88; }},
        {{0, BOTH, 200, -50}, {{ZOOM, -1}, {ZOOM, -1}, {ZOOM, -1}}},
        {{0, BOTH, -100, 1}, {{ZOOM, 1}, {ZOOM, 1}, {ZOOM, 1}}},
        {{0, BOTH, -100, 0}}, {{0, BOTH, 0, -1}, {}, [] { zoom = 1; }},
    };
    for (const Row& row : rows) {
        for (int mode = 0; mode < 3; ++mode) {
            SCOPED_TRACE("row " + std::to_string(&row - rows) + " mode " + std::to_string(mode));
            resetShellState();
            press('q', mode >= 1);
            press('y', mode == 2);
            row.setup();
            std::array<float, FIELDS> want = now();
            if (row.change[mode].field >= 0) want[row.change[mode].field] += row.change[mode].by;
            send(row.in);
            for (int i = 0; i < FIELDS; ++i) EXPECT_NEAR(now()[i], want[i], 1e-4) << "field " << i;
        }
    }
}

// 0 is still playing time; -1 ends the game in that frame, and the dog no longer moves.
TEST(Countdown, ZeroStillPlaysMinusOneEnds) {
    const time_t after2038 = static_cast<time_t>(INT_MAX) + 1000;
    seconds = after2038 + 210;
    EXPECT_EQ(timeLeft(after2038 + 211), -1);
    resetShellState();
    myReshape(200, 150);
    press('q');
    for (int left : {0, -1}) {
        for (const time_t start = std::time(nullptr); std::time(nullptr) == start;) {}  // most of a second ahead
        seconds = std::time(nullptr) + left;
        frame();
        EXPECT_EQ(started, left == 0);
        EXPECT_FALSE(won);
        press('e');
        EXPECT_FLOAT_EQ(now()[Z], -0.2f);
    }
}

}  // namespace
