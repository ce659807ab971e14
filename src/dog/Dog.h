#ifndef BONEYARD_DOG_H
#define BONEYARD_DOG_H

#include <fstream>
#include <istream>
#include <string>

#include "Box.h"

class GLUquadric;

// One line of the walk file in memory: element 0 is the key time, elements 1 to 15
// the joint angles in the dog's declared joint order (bodyPitch first, tailWag last).
struct KeyFrame {
    float value[16];
};

// The player's dog: where it stands, which way it faces, how fast it goes, its
// running stamina, the fifteen joint angles of its pose and its key-framed walk cycle.
// The walk cycle is read from "walk.txt" in the current directory at construction, or
// from a stream the caller hands in.
class Dog {
public:
    static constexpr int JOINTS = 15;
    static constexpr int MAX_KEY_FRAMES = 10000;  // lines of a walk file read at most; a walk cycle needs a handful

    // Reads the walk file (or `walk`, from its start and whole, so it need not outlive the
    // constructor), enters key frame 0, takes five steps.
    Dog(float x, float y, float z, std::istream* walk = nullptr);
    ~Dog();
    Dog(const Dog&) = delete;
    Dog& operator=(const Dog&) = delete;

    void  reset(float x, float y, float z);  // position, walking, full stamina, heading 0; pose kept
    void  getPos(float& x, float& y, float& z) const;
    int   getAngle() const;  // degrees, never wrapped
    void  turnLeft();        // turnRate degrees counter-clockwise seen from above, doubled while running
    void  turnRight();
    void  move(float dx, float dy, float dz);  // adds the step times the speed factor; no collision test
    void  toggleRun();                         // ignores stamina
    void  setTurnRate(int rate);
    void  setForwardMovement(float factor);    // leaves running as it is

    void  draw();  // also advances the walk cycle when the dog moved since the last draw; out of
                   // view it sends no geometry but leaves the colour, materials and normal as drawn
    Box   getBounds() const;  // in world coordinates, whatever the heading and the joint angles
    void  drawEllipse(float a, float b, float c);
    void  advanceWalkCycle();  // draw's own state step: one animation step (two running) when the
                               // position moved 0.001 or more on any axis since the last call
    void  setDefaultPose();  // the standing pose; the game never calls it

    void  readPose();         // reads the whole walk file (or stream) into keyFrames, once
    void  setPose();          // enters the next key frame and sets up the next stretch
    void  interpolateAnim();  // one animation step

    // Read-only views for callers that inspect the dog (tests, the shell's start-up warnings).
    float getForwardMovement() const { return forwardMovement; }
    int   getTurnRate() const        { return turnRate; }
    int   getStamina() const         { return stamina; }
    int   getMaxStamina() const      { return maxStamina; }
    bool  isRunning() const          { return running; }
    bool  hasWalkFile() const        { return walkFile.is_open(); }  // on disk and readable; false for a stream
    bool  arePosesLoaded() const     { return posesLoaded; }
    bool  isWalkCut() const          { return walkCut; }  // the file held more than MAX_KEY_FRAMES lines
    float getAnimTime() const        { return animTime; }
    float getAnimStep() const        { return animStep; }
    int   getFrameIndex() const      { return frameIndex; }
    int   getFrameCount() const      { return frameCount; }
    int   getFrameDir() const        { return frameDir; }
    const KeyFrame* getKeyFrames() const { return keyFrames; }  // frameCount + 1 records, or null
    void  getJoints(float out[JOINTS]) const;                   // the pose, in declared joint order

private:
    static float Dog::* const JOINT_FIELDS[JOINTS];  // the pose fields in declared joint order

    void  drawCylinder(float base, float top, float height);  // along +y from the origin, open
    void  drawHead();
    void  drawLeg(float offsetX, float offsetZ, float splay, float swing);
    void  drawTail();

    GLUquadric* quadric;
    bool  inView = true;  // false while draw() passes through a dog out of view: no piece is sent
    float x, y, z;
    float forwardMovement;
    int   turnRate;
    int   angle;
    int   maxStamina;
    int   stamina;
    bool  running;
    float bodyPitch = 0.0f, neckPitch = 0.0f, neckTwist = 0.0f, headPitch = 0.0f, headYaw = 0.0f;
    float frontLeftSwing = 0.0f, frontLeftSplay = 0.0f, frontRightSwing = 0.0f, frontRightSplay = 0.0f;
    float backLeftSwing = 0.0f, backLeftSplay = 0.0f, backRightSwing = 0.0f, backRightSplay = 0.0f;
    float tailPitch = 0.0f, tailWag = 0.0f;
    float lastX, lastY, lastZ;
    std::ifstream walkFile;
    std::istream* walkSource = nullptr;  // walkFile or the constructor's stream, until read
    std::string   walkFileName;
    bool  posesLoaded;
    bool  walkCut = false;
    bool  firstPose;
    float animTime;
    float animStep;
    KeyFrame* keyFrames = nullptr;
    int   frameIndex;
    int   frameCount;
    int   frameDir;
};

#endif
