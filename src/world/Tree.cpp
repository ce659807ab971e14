#include "Tree.h"

#include "Frustum.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

namespace {
constexpr float TRUNK_HEIGHT = 8.0f;
constexpr float CROWN_RADIUS = 3.0f;
constexpr int   CROWN_STACKS = 9;
constexpr float COLLISION_HALF_SIDE = 3.0f;  // whatever the trunk radii
}

Tree::Tree(float x, float y, float z, float topRadius, float bottomRadius)
    : quadric(gluNewQuadric()), x(x), y(y), z(z),
      trunkTopRadius(topRadius), trunkBottomRadius(bottomRadius),
      collisionRadius(COLLISION_HALF_SIDE) {
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
}

void Tree::drawTree() const {
    const bool seen = Frustum::inView(getBounds());
    glPushMatrix();
        glTranslatef(x, y + TRUNK_HEIGHT, z);
        glRotatef(90.0f, 1.0f, 0.0f, 0.0f);  // the quadric's +z now points down the trunk
        glColor3f(0.53f, 0.27f, 0.07f);
        if (seen) gluCylinder(quadric, trunkTopRadius, trunkBottomRadius, TRUNK_HEIGHT, 8, 1);
        glColor3f(0.0f, 1.0f, 0.0f);
        if (seen) gluSphere(quadric, CROWN_RADIUS, 9, CROWN_STACKS);  // centred on the top of the trunk
    glPopMatrix();
}

// The trunk stands on y; the crown, centred 8 above it, is the widest part unless the trunk is wider.
Box Tree::getBounds() const {
    const float reach = std::max({CROWN_RADIUS, trunkTopRadius, trunkBottomRadius});
    return {{x - reach, y, z - reach}, {x + reach, y + TRUNK_HEIGHT + CROWN_RADIUS, z + reach}};
}

// The open cube of half-side collisionRadius around the foot of the trunk: a point
// exactly collisionRadius away along any axis is free. Unlike a bound, height counts.
int Tree::checkCollision(float px, float py, float pz) const {
    const float r = collisionRadius;
    if (!(px > x - r)) return 0;
    if (!(px < x + r)) return 0;
    if (!(py > y - r)) return 0;
    if (!(py < y + r)) return 0;
    if (!(pz > z - r)) return 0;
    if (!(pz < z + r)) return 0;
    return 1;
}

void Tree::release() {
    if (quadric != nullptr) gluDeleteQuadric(quadric);
    quadric = nullptr;
}

void Tree::getPos(float& px, float& py, float& pz) const {
    px = x;
    py = y;
    pz = z;
}
