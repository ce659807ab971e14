#ifndef BONEYARD_BOUND_H
#define BONEYARD_BOUND_H

// An invisible obstacle: an axis-aligned box on the ground plane, at every height, that the dog
// may not enter, given by its four corners in the order (+x,+z), (+x,-z), (-x,-z), (-x,+z). The
// test compares each corner only from its own side, so corners in another order block nothing.
class Bound {
public:
    Bound() = default;  // an empty slot in Scene's array; holds nothing meaningful
    Bound(float y, float x1, float z1, float x2, float z2, float x3, float z3, float x4, float z4);

    int  checkCollision(float x, float y, float z) const;  // strict: an edge is free; y ignored; NaN is free
    void drawBound() const;  // flat red footprint at height y; leaves the colour red

    float getY() const { return y; }
    void  getCorner(int i, float& cx, float& cz) const;  // i from 1 to 4

private:
    float y = 0.0f;
    float x1 = 0.0f, z1 = 0.0f;
    float x2 = 0.0f, z2 = 0.0f;
    float x3 = 0.0f, z3 = 0.0f;
    float x4 = 0.0f, z4 = 0.0f;
};

#endif
