#include "Bush.h"

#include "Frustum.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {
constexpr float BRANCH_LENGTH = 2.0f;
constexpr double BASE_RADIUS = 0.04;  // GLU takes its sizes in double precision
constexpr double TIP_RADIUS = 0.25;   // of the branch's end and of the disk that caps it
constexpr float NO_SHINE[] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float FULL_SHINE[] = {1.0f, 1.0f, 1.0f, 1.0f};
}

Bush::Bush(float x, float y, float z) : quadric(gluNewQuadric()), x(x), y(y), z(z) {
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
}

void Bush::drawBush() const {
    const bool seen = Frustum::inView(getBounds());
    glMaterialfv(GL_FRONT, GL_SPECULAR, NO_SHINE);  // leaves show no highlight
    glPushMatrix();
        glTranslatef(x, y, z);
        glColor3f(0.1f, 0.5f, 0.1f);
        if (seen) drawBranches();
    glPopMatrix();
    glMaterialfv(GL_FRONT, GL_SPECULAR, FULL_SHINE);
}

// Six vertical planes 30 degrees apart, each holding ten branches that lean between
// 14 and 70 degrees from vertical; none stands within 10 degrees of upright.
void Bush::drawBranches() const {
    for (int azimuth = 0; azimuth <= 179; azimuth += 30) {
        glPushMatrix();
            glRotatef(static_cast<float>(azimuth), 0.0f, 1.0f, 0.0f);
            glRotatef(270.0f, 1.0f, 0.0f, 0.0f);  // the quadric's +z now points up
            for (int tilt = 70; tilt > -70; tilt -= 12) {
                if (tilt >= -10 && tilt <= 10) continue;
                glPushMatrix();
                    glRotatef(static_cast<float>(tilt), 0.0f, 1.0f, 0.0f);
                    gluCylinder(quadric, BASE_RADIUS, TIP_RADIUS, BRANCH_LENGTH, 5, 1);
                    glTranslatef(0.0f, 0.0f, BRANCH_LENGTH);
                    gluDisk(quadric, 0.0, TIP_RADIUS, 5, 1);  // caps the branch's end
                glPopMatrix();
            }
        glPopMatrix();
    }
}

// Every branch leans at most 70 degrees from upright, so it rises from the base, whose circle
// dips at most its radius below it; no point of a branch lies further from the centre than
// the rim of its end.
Box Bush::getBounds() const {
    const float reach = static_cast<float>(std::hypot(BRANCH_LENGTH, TIP_RADIUS));
    const float below = static_cast<float>(BASE_RADIUS);
    return {{x - reach, y - below, z - reach}, {x + reach, y + reach, z + reach}};
}

void Bush::release() {
    if (quadric != nullptr) gluDeleteQuadric(quadric);
    quadric = nullptr;
}

void Bush::getPos(float& px, float& py, float& pz) const {
    px = x;
    py = y;
    pz = z;
}
