#include "Bone.h"

#include "Frustum.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {
constexpr float SPIN_STEP = 0.5f;     // degrees per draw
constexpr float FULL_TURN = 360.0f;   // degrees
constexpr float SHAFT_LENGTH = 2.0f;
constexpr double SHAFT_RADIUS = 0.4;  // GLU takes its sizes in double precision
constexpr double KNOB_RADIUS = 0.5;
constexpr int   KNOB_STACKS = 5;
constexpr float KNOB_RISE = 0.3f;     // knob centres above and below the shaft's axis
constexpr float WHITE[] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float SHININESS = 50.0f;
// Each knob's translation adds to the ones before, so the knobs sit at (0, 0.3, 0),
// (0, -0.3, 0), (0, -0.3, 2) and (0, 0.3, 2): a pair at each end of the shaft.
constexpr float KNOB_STEPS[4][3] = {
    {0.0f, KNOB_RISE, 0.0f}, {0.0f, -2 * KNOB_RISE, 0.0f}, {0.0f, 0.0f, SHAFT_LENGTH}, {0.0f, 2 * KNOB_RISE, 0.0f},
};
// The spin axis runs through the shaft's middle, this far above the bone's position.
float centreHeight(int y) { return static_cast<float>(y + 1.8); }
}

Bone::Bone(int x, int y, int z, float red, float green, float blue)
    : quadric(gluNewQuadric()), x(x), y(y), z(z), red(red), green(green), blue(blue) {
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
}

void Bone::changeColor(float r, float g, float b) {
    red = r;
    green = g;
    blue = b;
}

// The dog's whole-unit position against the open box of half-side collectRange: every
// coordinate may differ from the bone's by at most 2. The flag is not consulted first,
// so a collected bone still answers 1 at close range.
int Bone::checkCollect(int px, int py, int pz) {
    const float r = collectRange;
    const float fx = static_cast<float>(px);
    const float fy = static_cast<float>(py);
    const float fz = static_cast<float>(pz);
    if (!(fx > x - r)) return 0;
    if (!(fx < x + r)) return 0;
    if (!(fy > y - r)) return 0;
    if (!(fy < y + r)) return 0;
    if (!(fz > z - r)) return 0;
    if (!(fz < z + r)) return 0;
    collected = true;
    return 1;
}

// 360 itself is kept for one draw; only a value above a full turn wraps, so one turn
// takes 720 steps and the drawn angles run 0, 0.5, ... 360, 0.5, ...
void Bone::advanceSpin() {
    angle += SPIN_STEP;
    if (angle > FULL_TURN) angle -= FULL_TURN;
}

void Bone::draw() {
    const bool seen = Frustum::inView(getBounds());
    glPushMatrix();  // own matrix, so this bone's spin never reaches the next one
        glTranslatef(static_cast<float>(x), centreHeight(y), static_cast<float>(z));
        if (rotating) {
            glRotatef(angle, 0.0f, 1.0f, 0.0f);  // the angle from before this step
            advanceSpin();
        }
        glTranslatef(0.0f, 0.0f, -SHAFT_LENGTH / 2.0f);  // the shaft's middle on the spin axis
        glColor3f(red, green, blue);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, WHITE);
        glMaterialfv(GL_FRONT, GL_SPECULAR, WHITE);
        glMaterialf(GL_FRONT, GL_SHININESS, SHININESS);
        if (seen) {
            gluCylinder(quadric, SHAFT_RADIUS, SHAFT_RADIUS, SHAFT_LENGTH, 4, 1);
            for (const auto& step : KNOB_STEPS) {
                glTranslatef(step[0], step[1], step[2]);
                gluSphere(quadric, KNOB_RADIUS, 5, KNOB_STACKS);
            }
        }
    glPopMatrix();
}

// The knobs, centred on the shaft's ends, reach furthest from the spin axis, and above and
// below it; the shaft's corners stay within sqrt(0.4 * 0.4 + 1) of the axis.
Box Bone::getBounds() const {
    const float reach = static_cast<float>(SHAFT_LENGTH / 2.0 + KNOB_RADIUS);
    const float rise = static_cast<float>(KNOB_RISE + KNOB_RADIUS);
    const float centre = centreHeight(y);
    return {{x - reach, centre - rise, z - reach}, {x + reach, centre + rise, z + reach}};
}

void Bone::release() {
    if (quadric != nullptr) gluDeleteQuadric(quadric);
    quadric = nullptr;
}

void Bone::getPos(int& px, int& py, int& pz) const {
    px = x;
    py = y;
    pz = z;
}

void Bone::getColor(float& r, float& g, float& b) const {
    r = red;
    g = green;
    b = blue;
}
