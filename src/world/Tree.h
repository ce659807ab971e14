#ifndef BONEYARD_TREE_H
#define BONEYARD_TREE_H

#include "Box.h"

class GLUquadric;

// A tree: brown trunk 8 units high and a green crown. Also an obstacle: the open cube
// of half-side collisionRadius (always 3) around the foot of the trunk.
class Tree {
public:
    Tree() = default;  // an empty slot in Scene's array
    Tree(float x, float y, float z, float topRadius, float bottomRadius);  // creates the quadric

    void drawTree() const;  // out of view: no geometry, but the colours and normal it would leave
    Box  getBounds() const;  // in world coordinates: the trunk and the crown
    int  checkCollision(float x, float y, float z) const;  // strict on all six sides; tests height too
    void release();  // deletes the quadric; called once per added slot by the Scene that owns it

    void  getPos(float& px, float& py, float& pz) const;
    float getTrunkTopRadius() const    { return trunkTopRadius; }
    float getTrunkBottomRadius() const { return trunkBottomRadius; }
    float getCollisionRadius() const   { return collisionRadius; }

private:
    GLUquadric* quadric = nullptr;  // shared by the copies the Scene makes of this value
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float trunkTopRadius = 0.0f;
    float trunkBottomRadius = 0.0f;
    float collisionRadius = 0.0f;
};

#endif
