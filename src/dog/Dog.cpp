#include "Dog.h"

#include "Frustum.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr float  ANIM_STEP        = 0.01f;   // animation time per step
constexpr double ARRIVAL          = 0.001;   // a key frame is reached within this much time
constexpr double STEPS_PER_TIME   = 100.0;   // steps per unit of key time
constexpr float  MOVED            = 0.001f;  // smaller moves on every axis do not advance the walk
constexpr float  BODY_HEIGHT      = 1.8f;    // body centre above the dog's feet
constexpr int    START_STAMINA    = 400;
constexpr int    START_TURN_RATE  = 2;       // degrees per walking turn
constexpr int    SLICES           = 8;
constexpr int    ELLIPSE_STACKS   = 6;
// No piece lies further from the body centre than this, whatever the joint angles: the
// furthest is the flat top of the head, reached through the neck's foot (1.32 from the centre),
// the head's centre (1.33 beyond it) and the flat top (0.75 beyond that, 0.6 its largest
// semi-axis): 3.9995. A paw reaches 1.43 + 1.70 + 0.3, the tail's ball 1.41 + 1.4 + 0.4.
constexpr float  REACH            = 4.0f;

// Where each angle field of a walk-file line lands in a KeyFrame: fields 5 to 18 follow
// the declared joint order, field 19 (neckTwist) goes back to element 3.
constexpr int FIELD_ELEMENT[Dog::JOINTS] = {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 3};

// atoi's reading of an angle (leading blanks, a sign, digits; anything else stops it), but
// a number too large for an int is clamped rather than left undefined.
float readAngle(const char* text) {
    long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<float>(static_cast<int>(value));
}

}  // namespace

float Dog::* const Dog::JOINT_FIELDS[JOINTS] = {
    &Dog::bodyPitch,      &Dog::neckPitch,       &Dog::neckTwist,       &Dog::headPitch,
    &Dog::headYaw,        &Dog::frontLeftSwing,  &Dog::frontLeftSplay,  &Dog::frontRightSwing,
    &Dog::frontRightSplay, &Dog::backLeftSwing,  &Dog::backLeftSplay,   &Dog::backRightSwing,
    &Dog::backRightSplay, &Dog::tailPitch,       &Dog::tailWag,
};

Dog::Dog(float x, float y, float z, std::istream* walk)
    : quadric(nullptr), x(x), y(y), z(z), forwardMovement(1.0f), turnRate(START_TURN_RATE),
      angle(0), maxStamina(START_STAMINA), stamina(START_STAMINA), running(false),
      lastX(x), lastY(y), lastZ(z), posesLoaded(false), firstPose(true), animTime(0.0f),
      animStep(ANIM_STEP), frameIndex(-1), frameCount(0), frameDir(1) {
    // Needs no GL context: the dog is built during static initialisation.
    quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);

    walkFileName = "walk.txt";
    // Only a regular file (or a link to one) is read. A folder of that name opens as a
    // stream on some systems and fails only when read, in ways that differ between them.
    std::error_code notFound;
    if (walk == nullptr && std::filesystem::is_regular_file(walkFileName, notFound)) {
        walkFile.open(walkFileName, std::ios::in | std::ios::binary);
        if (walkFile.is_open()) walk = &walkFile;
    }
    walkSource = walk;
    setPose();
    for (int i = 0; i < 5; ++i) interpolateAnim();  // the first drawn pose is five steps in
}

Dog::~Dog() {
    walkFile.close();
    gluDeleteQuadric(quadric);
    delete[] keyFrames;
}

void Dog::reset(float x, float y, float z) {
    this->x = lastX = x;
    this->y = lastY = y;
    this->z = lastZ = z;
    running         = false;
    stamina         = START_STAMINA;
    maxStamina      = START_STAMINA;
    angle           = 0;
    turnRate        = START_TURN_RATE;
    forwardMovement = 1.0f;
}

void Dog::getPos(float& x, float& y, float& z) const {
    x = this->x;
    y = this->y;
    z = this->z;
}

int Dog::getAngle() const {
    return angle;
}

void Dog::turnLeft() {
    if (running) {
        if (stamina > 0) --stamina;
        else toggleRun();
        angle += 2 * turnRate;  // still doubled on the turn that ran out of stamina
    } else {
        if (stamina < maxStamina) ++stamina;
        angle += turnRate;
    }
}

void Dog::turnRight() {
    if (running) {
        if (stamina > 0) --stamina;
        else toggleRun();
        angle -= 2 * turnRate;
    } else {
        if (stamina < maxStamina) ++stamina;
        angle -= turnRate;
    }
}

void Dog::move(float dx, float dy, float dz) {
    if (running) {
        if (stamina > 0) stamina -= 2;  // from 1 this leaves -1
        else toggleRun();
    } else if (stamina < maxStamina) {
        ++stamina;
    }
    // Read after the stamina check: the move that runs out already goes at walking speed.
    x += dx * forwardMovement;
    y += dy * forwardMovement;
    z += dz * forwardMovement;
}

void Dog::toggleRun() {
    if (running) forwardMovement = forwardMovement / 2.0f;
    else         forwardMovement = 2.0f * forwardMovement;
    running = !running;
}

void Dog::setTurnRate(int rate) {
    turnRate = rate;
}

void Dog::setForwardMovement(float factor) {
    forwardMovement = factor;
}

void Dog::getJoints(float out[JOINTS]) const {
    for (int j = 0; j < JOINTS; ++j) out[j] = this->*JOINT_FIELDS[j];
}

void Dog::setDefaultPose() {
    bodyPitch = 0.0f;
    neckPitch = 35.0f;
    neckTwist = 0.0f;
    headPitch = 35.0f;
    headYaw   = 0.0f;
    frontLeftSwing = -15.0f;  frontLeftSplay  = -10.0f;
    frontRightSwing = -15.0f; frontRightSplay = 10.0f;
    backLeftSwing = 15.0f;    backLeftSplay   = -10.0f;
    backRightSwing = 15.0f;   backRightSplay  = 10.0f;
    tailPitch = -45.0f;
    tailWag   = 0.0f;
}

// --- walk file --------------------------------------------------------------------

void Dog::readPose() {
    if (walkSource == nullptr) return;  // no walk file, or already read
    std::istream& walk = *walkSource;
    walkSource = nullptr;  // a caller's stream is not kept
    // Every line feed ends one key frame; a last line without one is not counted. Counting
    // stops at the line past the limit, so however long the file, no more of it is read.
    walk.seekg(0);
    char c;
    while (frameCount <= MAX_KEY_FRAMES && walk.get(c))
        if (c == '\n') ++frameCount;
    if (walk.bad()) {  // a read error (a failing disk, say): as if the file were missing
        walkFile.close();
        frameCount = 0;
        return;
    }

    walkCut = frameCount > MAX_KEY_FRAMES;  // the walk cycle is then its first MAX_KEY_FRAMES lines
    if (walkCut) frameCount = MAX_KEY_FRAMES;
    keyFrames = new KeyFrame[frameCount + 1]();  // zeroed: short lines keep angles of 0
    walk.clear();
    walk.seekg(0);

    std::string line;
    for (int i = 0; i < frameCount; ++i) {
        std::getline(walk, line);
        KeyFrame& frame = keyFrames[i];
        frame.value[0] = static_cast<float>(std::atof(line.c_str()));

        // Fields 2 to 4 are not used: field 5 begins after the fourth space.
        std::string::size_type space = line.find(' ');
        for (int skip = 0; skip < 3 && space != std::string::npos; ++skip)
            space = line.find(' ', space + 1);
        // A line that runs out of spaces leaves its remaining angles at 0.
        for (int field = 0; field < JOINTS && space != std::string::npos; ++field) {
            frame.value[FIELD_ELEMENT[field]] = readAngle(line.c_str() + space + 1);
            space = line.find(' ', space + 1);
        }
    }
    posesLoaded = true;
}

// --- animation --------------------------------------------------------------------

void Dog::setPose() {
    if (!posesLoaded) readPose();
    if (frameCount == 0) return;  // also without a walk file: the dog stays unanimated

    frameIndex += frameDir;
    // The ends of the table turn the cycle round; the very first entry of frame 0 does not.
    if (frameIndex == frameCount - 1 || (frameIndex == 0 && !firstPose)) {
        frameDir = -frameDir;
        animStep = -animStep;
    }
    firstPose = false;
    if (frameCount == 1) frameDir = 0;

    const KeyFrame& entered = keyFrames[frameIndex];
    animTime = entered.value[0];
    for (int j = 0; j < JOINTS; ++j) this->*JOINT_FIELDS[j] = entered.value[j + 1];

    const KeyFrame& next = keyFrames[frameIndex + frameDir];
    KeyFrame& increment  = keyFrames[frameCount];
    double steps = (next.value[0] - entered.value[0]) * STEPS_PER_TIME;
    if (steps < 0.0) steps = -steps;
    for (int j = 1; j <= JOINTS; ++j) {
        // Two key frames at the same time make a stretch of no steps: no increment, rather
        // than a division by zero. Only the start, which enters frame 0 and checks before
        // its first step, goes on to frame 1 at once. A frame entered on a step has its
        // time one step on by the next check, so the next frame is never reached and the
        // pose holds the entered frame for good (such a file breaks the key-time rule).
        increment.value[j] = steps == 0.0
            ? 0.0f
            : static_cast<float>((next.value[j] - entered.value[j]) / steps);
    }
}

void Dog::interpolateAnim() {
    if (frameCount <= 1) return;

    const double target = keyFrames[frameIndex + frameDir].value[0];
    if (target - ARRIVAL <= animTime && animTime <= target + ARRIVAL) setPose();

    animTime += animStep;
    const KeyFrame& increment = keyFrames[frameCount];
    for (int j = 0; j < JOINTS; ++j) this->*JOINT_FIELDS[j] += increment.value[j + 1];
}

void Dog::advanceWalkCycle() {
    const bool moved = x <= lastX - MOVED || x >= lastX + MOVED
                    || y <= lastY - MOVED || y >= lastY + MOVED
                    || z <= lastZ - MOVED || z >= lastZ + MOVED;
    if (moved) {
        interpolateAnim();
        if (running) interpolateAnim();  // a running dog's legs go twice as fast
    }
    lastX = x;
    lastY = y;
    lastZ = z;
}

// --- drawing ----------------------------------------------------------------------
//
// The figure's own frame: -x forward toward the head, +y up, +z to the dog's left, the
// body centre at the origin. Colour tracking makes the current colour each piece's material.

void Dog::draw() {
    static const GLfloat WHITE[] = {1.0f, 1.0f, 1.0f, 1.0f};

    inView = Frustum::inView(getBounds());
    glPushMatrix();
        glTranslatef(x, y + BODY_HEIGHT, z);
        advanceWalkCycle();
        glRotatef(static_cast<float>(angle - 90), 0.0f, 1.0f, 0.0f);  // forward -x onto the heading
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, WHITE);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, WHITE);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 19.0f);
        glColor3f(1.0f, 0.0f, 0.0f);
        glRotatef(bodyPitch, 0.0f, 0.0f, 1.0f);

        drawEllipse(2.0f, 0.8f, 1.0f);
        drawHead();

        // Front legs at -x, back legs at +x; the left ones toward +z.
        const struct { float offsetX, offsetZ, splay, swing; } legs[] = {
            {-1.4f,  0.3f, frontLeftSplay,  frontLeftSwing},
            {-1.4f, -0.3f, frontRightSplay, frontRightSwing},
            { 1.4f,  0.3f, backLeftSplay,   backLeftSwing},
            { 1.4f, -0.3f, backRightSplay,  backRightSwing},
        };
        for (const auto& leg : legs) drawLeg(leg.offsetX, leg.offsetZ, leg.splay, leg.swing);

        drawTail();
    glPopMatrix();
    inView = true;
}

Box Dog::getBounds() const {
    const float centre = y + BODY_HEIGHT;
    return {{x - REACH, centre - REACH, z - REACH}, {x + REACH, centre + REACH, z + REACH}};
}

void Dog::drawEllipse(float a, float b, float c) {
    glPushMatrix();
        glScalef(a, b, c);
        if (inView) gluSphere(quadric, 1.0, SLICES, ELLIPSE_STACKS);
    glPopMatrix();
}

void Dog::drawCylinder(float base, float top, float height) {
    glPushMatrix();  // GLU cylinders run along +z: turn them to run along +y
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        if (inView) gluCylinder(quadric, base, top, height, SLICES, 1);
    glPopMatrix();
}

void Dog::drawHead() {
    glPushMatrix();  // the neck carries the head, both ears and the flat top of the head
        glTranslatef(-1.3f, 0.2f, 0.0f);
        glRotatef(neckPitch, 0.0f, 0.0f, 1.0f);
        glRotatef(neckTwist, 1.0f, 1.0f, 0.0f);
        drawCylinder(0.4f, 0.2f, 1.0f);

        glTranslatef(-0.3f, 1.3f, 0.0f);
        glRotatef(headPitch - neckPitch, 0.0f, 0.0f, 1.0f);  // the head's tilt is headPitch in the body
        glRotatef(headYaw, 0.0f, 1.0f, 0.0f);
        drawEllipse(1.0f, 0.5f, 0.4f);

        glPushMatrix();  // the ears hang straight whatever the head's pitch
            glTranslatef(0.25f, -0.3f, 0.4f);
            glRotatef(-headPitch, 0.0f, 0.0f, 1.0f);
            drawEllipse(0.3f, 0.5f, 0.1f);
            glTranslatef(0.0f, 0.0f, -0.8f);
            drawEllipse(0.3f, 0.5f, 0.1f);
        glPopMatrix();

        glTranslatef(0.6f, 0.45f, 0.0f);
        glRotatef(-35.0f, 0.0f, 0.0f, 1.0f);
        drawEllipse(0.5f, 0.2f, 0.6f);
    glPopMatrix();
}

// A leg hangs down from its hip (swing 0, turned by 180), its green paw at the foot.
void Dog::drawLeg(float offsetX, float offsetZ, float splay, float swing) {
    glPushMatrix();
        glTranslatef(offsetX, 0.0f, offsetZ);
        glRotatef(splay, 1.0f, 0.0f, 0.0f);
        glRotatef(swing + 180.0f, 0.0f, 0.0f, 1.0f);
        drawCylinder(0.3f, 0.2f, 1.7f);
        glColor3f(0.0f, 1.0f, 0.0f);
        glTranslatef(0.1f, 1.7f, 0.0f);
        drawEllipse(0.3f, 0.2f, 0.3f);
    glPopMatrix();
    glColor3f(1.0f, 0.0f, 0.0f);
}

// Drawn last, in the body's own matrix.
void Dog::drawTail() {
    glTranslatef(1.4f, 0.2f, 0.0f);
    glRotatef(tailPitch, 0.0f, 0.0f, 1.0f);
    glRotatef(tailWag, 1.0f, 0.0f, 0.0f);
    drawCylinder(0.15f, 0.15f, 1.5f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 1.4f, 0.0f);
    drawEllipse(0.4f, 0.4f, 0.4f);
}
