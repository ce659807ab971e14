#ifndef BONEYARD_HOUSE_H
#define BONEYARD_HOUSE_H

// A small house drawn from ten shape values: four walls, a door on the front edge
// P1-P2, two textured gables and a gable roof whose ridge runs from front to back.
// Expects z1 == z2 and z3 == z4. Plays no part in collision.
class House {
public:
    House(float top, float bottom, float x1, float z1, float x2, float z2,
          float x3, float z3, float x4, float z4);

    void drawHouse() const;  // leaves texturing off, the roof texture bound, the matrix as found
    static void normalVector(float& nx, float& ny, float& nz,
                             float ax, float ay, float az,
                             float bx, float by, float bz);  // a x b, not normalised

    float getTop() const    { return top; }
    float getBottom() const { return bottom; }
    float getRidgeX() const      { return (x1 + x2) / 2.0f; }
    float getRidgeHeight() const { return top + 5.0f; }
    float getDoorLeftX() const   { return getRidgeX() - 1.0f; }
    float getDoorRightX() const  { return getRidgeX() + 1.0f; }
    float getDoorTop() const     { return bottom + 4.0f; }
    float getDoorZ() const       { return z1 + 0.01f; }  // just in front of the front wall

private:
    int   roofTexture;  // ROOF_TEXTURE
    int   sideTexture;  // SIDES_TEXTURE
    float top, bottom;
    float x1, z1, x2, z2, x3, z3, x4, z4;
};

#endif
