#ifndef BONEYARD_BONE_H
#define BONEYARD_BONE_H

#include "Box.h"

class GLUquadric;

// A collectible bone at a whole-unit position, spinning about the vertical axis.
class Bone {
public:
    Bone() = default;  // an empty slot in Scene's array
    Bone(int x, int y, int z, float red, float green, float blue);  // creates the quadric

    void changeColor(float red, float green, float blue);
    int  checkCollect(int x, int y, int z);  // strict box of half-side 3; a hit sets collected (not const)
    void draw();            // draws, then advances the spin while rotating; out of view it only spins
    Box  getBounds() const; // in world coordinates, whatever the spin
    void advanceSpin();     // the spin step draw takes: +0.5 degree, wrapped only above 360
    bool isCollected() const { return collected; }
    void setCollected(bool value) { collected = value; }
    void rotate(bool value) { rotating = value; }
    void release();         // deletes the quadric; called once per added slot by the owning Scene

    void  getPos(int& px, int& py, int& pz) const;
    void  getColor(float& r, float& g, float& b) const;
    float getAngle() const { return angle; }
    bool  isRotating() const { return rotating; }

private:
    GLUquadric* quadric = nullptr;
    int   x = 0, y = 0, z = 0;
    float red = 0.0f, green = 0.0f, blue = 0.0f;
    bool  collected = false;
    bool  rotating = true;
    float angle = 0.0f;         // degrees
    float collectRange = 3.0f;  // half-side of the pick-up box
};

#endif
