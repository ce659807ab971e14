// Counts the vertices the game sends GL in the bench's two views, with objects out of view
// culled and with the frame drawn whole: the camera pass, each kind of object in it, and the
// shadow light's pass. Every glVertex call of the game and of GLU's quadrics lands here
// first (the program exports these functions, so they come before libGL's), is counted and
// passed on. Run it in data/.
#include <GL/glut.h>
#include <dlfcn.h>

#include <cstdio>
#include <functional>
#include <iterator>

#include "Frustum.h"
#include "shell.h"

namespace {

long vertices = 0;

template <class F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

long countOf(const std::function<void()>& draw) {
    const long before = vertices;
    draw();
    return vertices - before;
}

}  // namespace

extern "C" {
void glVertex2f(GLfloat x, GLfloat y) {
    static auto next = real<void (*)(GLfloat, GLfloat)>("glVertex2f");
    ++vertices, next(x, y);
}
void glVertex2fv(const GLfloat* v) {
    static auto next = real<void (*)(const GLfloat*)>("glVertex2fv");
    ++vertices, next(v);
}
void glVertex2i(GLint x, GLint y) {
    static auto next = real<void (*)(GLint, GLint)>("glVertex2i");
    ++vertices, next(x, y);
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    static auto next = real<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    ++vertices, next(x, y, z);
}
void glVertex3fv(const GLfloat* v) {
    static auto next = real<void (*)(const GLfloat*)>("glVertex3fv");
    ++vertices, next(v);
}
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow("Assignment 3 - Pellowin");
    init();
    myReshape(1024, 768);

    // Each row's drawing runs right after a frame without shadows, with the camera's matrices
    // it left, and after a shadowed one, so the light's image of the still yard is kept.
    const struct {
        const char* what;
        std::function<void()> draw;
    } rows[] = {
        {"camera pass", displayCallback},
        {"  bushes", [] { scene.drawBushes(); }},
        {"  car and two toys", [] { for (int i = 0; i < Scene::PROP_COUNT; ++i) scene.drawProp(i); }},
        {"  bones", [] { scene.drawBones(); }},
        {"  trees", [] { scene.drawTrees(); }},
        {"  ground tiles and stone pad", [] { scene.drawRoads(); }},
        {"  dog", [] { dog.draw(); }},
        {"light pass, each frame: dog and bones", renderLightDepth},
        {"light pass, still yard: once a reshape", [] {
             glPushMatrix();
                 glLoadIdentity();
                 gluLookAt(light4_pos[0], light4_pos[1], light4_pos[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
                 scene.drawStill();
             glPopMatrix();
         }},
    };

    std::printf("vertices sent at 1024 x 768     start view: whole  culled   blimp view: whole  culled\n");
    long counts[std::size(rows)][2][2] = {};  // [row][blimp][culled]
    for (int blimp = 0; blimp < 2; ++blimp) {
        blimpView = blimp;
        for (int culled = 0; culled < 2; ++culled) {
            Frustum::culling = culled;
            for (size_t r = 0; r < std::size(rows); ++r) {
                shadow = true, displayCallback();
                shadow = false, displayCallback();
                counts[r][blimp][culled] = countOf(rows[r].draw);
            }
        }
    }
    for (size_t r = 0; r < std::size(rows); ++r) {
        std::printf("%-38s %7ld %7ld %18ld %7ld\n", rows[r].what, counts[r][0][0], counts[r][0][1], counts[r][1][0],
                    counts[r][1][1]);
    }
    return 0;
}
