#include "House.h"

#include "TextureSlots.h"

#include <GL/gl.h>

namespace {

struct Vec3 {
    float x, y, z;
};

Vec3 cross(const Vec3& a, const Vec3& b) {
    Vec3 n;
    House::normalVector(n.x, n.y, n.z, a.x, a.y, a.z, b.x, b.y, b.z);
    return n;
}

// The normal goes with every vertex; the pipeline renormalises it.
void vertex(const Vec3& n, float x, float y, float z) {
    glNormal3f(n.x, n.y, n.z);
    glVertex3f(x, y, z);
}

void vertex(const Vec3& n, float s, float t, float x, float y, float z) {
    glNormal3f(n.x, n.y, n.z);
    glTexCoord2f(s, t);
    glVertex3f(x, y, z);
}

}  // namespace

House::House(float top, float bottom, float x1, float z1, float x2, float z2,
             float x3, float z3, float x4, float z4)
    : roofTexture(ROOF_TEXTURE), sideTexture(SIDES_TEXTURE), top(top), bottom(bottom),
      x1(x1), z1(z1), x2(x2), z2(z2), x3(x3), z3(z3), x4(x4), z4(z4) {}

void House::normalVector(float& nx, float& ny, float& nz,
                         float ax, float ay, float az,
                         float bx, float by, float bz) {
    nx = ay * bz - az * by;
    ny = az * bx - ax * bz;
    nz = ax * by - ay * bx;
}

// Every face is counter-clockwise seen from outside: back faces are culled, so from
// inside the house nothing shows. The house has no floor.
void House::drawHouse() const {
    glPushMatrix();
        const float ridgeX = getRidgeX();
        const float ridgeHeight = getRidgeHeight();
        const float doorLeft = getDoorLeftX();
        const float doorRight = getDoorRightX();
        const float doorTop = getDoorTop();
        const float doorZ = getDoorZ();

        const Vec3 down = {0.0f, bottom - top, 0.0f};  // from the eaves to the foot of the walls
        const Vec3 side13 = {x1 - x3, 0.0f, z1 - z3};
        const Vec3 side24 = {x2 - x4, 0.0f, z2 - z4};
        const Vec3 back34 = {x3 - x4, 0.0f, z3 - z4};
        const Vec3 front12 = {x1 - x2, 0.0f, z1 - z2};

        glColor3f(1.0f, 0.0f, 0.2f);
        Vec3 n = cross(side13, down);
        glBegin(GL_POLYGON);  // side wall P1-P3
            vertex(n, x1, bottom, z1);
            vertex(n, x3, bottom, z3);
            vertex(n, x3, top, z3);
            vertex(n, x1, top, z1);
        glEnd();
        n = cross(down, side24);
        glBegin(GL_POLYGON);  // side wall P2-P4
            vertex(n, x2, top, z2);
            vertex(n, x4, top, z4);
            vertex(n, x4, bottom, z4);
            vertex(n, x2, bottom, z2);
        glEnd();
        n = cross(back34, down);  // also the back gable's
        glBegin(GL_POLYGON);  // back wall P3-P4
            vertex(n, x4, bottom, z4);
            vertex(n, x4, top, z4);
            vertex(n, x3, top, z3);
            vertex(n, x3, bottom, z3);
        glEnd();

        // Gables: s runs to 2 along the base, so the repeating side texture shows twice.
        glBindTexture(GL_TEXTURE_2D, sideTexture);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 0.7f, 0.4f);
        glBegin(GL_TRIANGLES);  // back gable
            vertex(n, 2.0f, 0.0f, x4, top, z4);
            vertex(n, 1.0f, 1.0f, ridgeX, ridgeHeight, z4);
            vertex(n, 0.0f, 0.0f, x3, top, z3);
        glEnd();
        n = cross(down, front12);  // also the front wall's and the door's
        glBegin(GL_TRIANGLES);  // front gable
            vertex(n, 0.0f, 0.0f, x1, top, z1);
            vertex(n, 1.0f, 1.0f, ridgeX, ridgeHeight, z2);
            vertex(n, 2.0f, 0.0f, x2, top, z2);
        glEnd();
        glDisable(GL_TEXTURE_2D);

        glColor3f(1.0f, 0.0f, 0.2f);
        glBegin(GL_POLYGON);  // front wall P1-P2
            vertex(n, x1, bottom, z1);
            vertex(n, x1, top, z1);
            vertex(n, x2, top, z2);
            vertex(n, x2, bottom, z2);
        glEnd();
        glColor3f(0.0f, 0.0f, 1.0f);
        glBegin(GL_POLYGON);  // door
            vertex(n, doorRight, bottom, doorZ);
            vertex(n, doorRight, doorTop, doorZ);
            vertex(n, doorLeft, doorTop, doorZ);
            vertex(n, doorLeft, bottom, doorZ);
        glEnd();

        // Roof planes: the texture shows two times by two on each; no overhang.
        glBindTexture(GL_TEXTURE_2D, roofTexture);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 0.6f, 0.6f);
        n = cross(side13, Vec3{x1 - ridgeX, top - ridgeHeight, 0.0f});
        glBegin(GL_POLYGON);  // over P1-P3
            vertex(n, 0.0f, 0.0f, x1, top, z1);
            vertex(n, 2.0f, 0.0f, x3, top, z3);
            vertex(n, 2.0f, 2.0f, ridgeX, ridgeHeight, z3);
            vertex(n, 0.0f, 2.0f, ridgeX, ridgeHeight, z1);
        glEnd();
        n = cross(Vec3{x2 - ridgeX, top - ridgeHeight, 0.0f}, side24);
        glBegin(GL_POLYGON);  // over P2-P4
            vertex(n, 0.0f, 2.0f, ridgeX, ridgeHeight, z1);
            vertex(n, 2.0f, 2.0f, ridgeX, ridgeHeight, z4);
            vertex(n, 2.0f, 0.0f, x4, top, z4);
            vertex(n, 0.0f, 0.0f, x2, top, z2);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
