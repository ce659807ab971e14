#include "Bound.h"

#include <GL/gl.h>

Bound::Bound(float y, float x1, float z1, float x2, float z2, float x3, float z3, float x4, float z4)
    : y(y), x1(x1), z1(z1), x2(x2), z2(z2), x3(x3), z3(z3), x4(x4), z4(z4) {}

// Each corner limits x and z from its own side only, so the blocked region is the open
// box between the corners; every comparison is false for NaN, which leaves NaN free.
int Bound::checkCollision(float x, float /*y*/, float z) const {
    if (!(x < x1)) return 0;
    if (!(z < z1)) return 0;
    if (!(x < x2)) return 0;
    if (!(z > z2)) return 0;
    if (!(x > x3)) return 0;
    if (!(z > z3)) return 0;
    if (!(x > x4)) return 0;
    if (!(z < z4)) return 0;
    return 1;
}

void Bound::getCorner(int i, float& cx, float& cz) const {
    switch (i) {
    case 1: cx = x1; cz = z1; break;
    case 2: cx = x2; cz = z2; break;
    case 3: cx = x3; cz = z3; break;
    case 4: cx = x4; cz = z4; break;
    default: break;  // no such corner: the outputs are left as they were
    }
}

void Bound::drawBound() const {
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_POLYGON);
        glVertex3f(x1, y, z1);
        glVertex3f(x2, y, z2);
        glVertex3f(x3, y, z3);
        glVertex3f(x4, y, z4);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}
