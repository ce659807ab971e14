#ifndef BONEYARD_BUSH_H
#define BONEYARD_BUSH_H

#include "Box.h"

class GLUquadric;

// A bush: a fan of 60 thin branches. Decoration only, it blocks nothing.
class Bush {
public:
    Bush() = default;  // an empty slot in Scene's array
    Bush(float x, float y, float z);  // creates the quadric

    void drawBush() const;  // leaves the GL_FRONT specular material at (1, 1, 1, 1), in view or not
    Box  getBounds() const;  // in world coordinates
    void release();         // deletes the quadric; called once per added slot by the owning Scene

    void getPos(float& px, float& py, float& pz) const;

private:
    void drawBranches() const;  // in the bush's own frame

    GLUquadric* quadric = nullptr;
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

#endif
