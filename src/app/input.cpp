// Keys and mouse drags: each handler only changes state; the next frame shows it.
#include "desktop.h"
#include "shadows.h"
#include "shell.h"

#include <GL/glut.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float STEP_DIVISOR = 5.0f;    // one press of "e" or "d" proposes 0.2 units
constexpr float PITCH_KEY_LIMIT = 86.0f;  // tested before the step: 89 is reachable, 90 is not
constexpr float PITCH_DRAG_LIMIT = 88.0f;
constexpr float PITCH_DRAG_STEP = 0.75f;  // degrees per motion event
constexpr float YAW_DRAG_STEP = 1.5f;
constexpr float PIVOT_DRAG_STEP = 0.3f;   // world units per motion event
constexpr double MIN_ZOOM = 1.1;          // compared in double: from 20 in whole steps zoom stops at 1

constexpr unsigned char KEY_ESC = 27;

// Proposes a step of 0.2 along the dog's heading: forward is (-sin, 0, -cos).
void stepDog(float direction) {
    float x, y, z;
    dog.getPos(x, y, z);
    const float theta = dog.getAngle() * CONVERT;
    checkMove(x, y, z, direction * -sinf(theta) / STEP_DIVISOR, 0.0f,
              direction * -cosf(theta) / STEP_DIVISOR);
}

// Moves the pivot horizontally by `distance` along the camera yaw turned by `offset`
// degrees; a positive distance moves it backward (toward the eye) or to the right.
void shiftPivot(float offset, float distance) {
    const float q = angleLeftRight * CONVERT;
    const float turn = offset * CONVERT;
    transZ += cosf(q + turn) * distance;
    transX += sinf(q + turn) * distance;
}

void zoomIn() {
    if (zoom > MIN_ZOOM) zoom -= ZOOMCONST;
}

// The keys that move the free camera's pivot; they act only while a game runs.
void pivotKey(unsigned char key) {
    switch (key) {
    case '5': shiftPivot(0.0f, -TRANSCONST); break;   // forward
    case '2': shiftPivot(0.0f, TRANSCONST); break;    // backward
    case '1': shiftPivot(90.0f, -TRANSCONST); break;  // left
    case '3': shiftPivot(90.0f, TRANSCONST); break;   // right
    case '6': transY += TRANSCONST; break;
    case '4': transY -= TRANSCONST; break;
    default: break;
    }
}

void translateDrag(int x, int y) {
    if (x != startTransX) {
        shiftPivot(90.0f, x < startTransX ? PIVOT_DRAG_STEP : -PIVOT_DRAG_STEP);
        startTransX = x;
    }
    if (y != startTransY) {
        shiftPivot(0.0f, y < startTransY ? PIVOT_DRAG_STEP : -PIVOT_DRAG_STEP);
        startTransY = y;
    }
}

void rotateDrag(int x, int y) {
    if (x != startRotX) {
        angleLeftRight += x < startRotX ? YAW_DRAG_STEP : -YAW_DRAG_STEP;
        startRotX = x;
    }
    if (y < startRotY) {
        if (angleUpDown > -PITCH_DRAG_LIMIT) angleUpDown -= PITCH_DRAG_STEP;
    } else if (y > startRotY) {
        if (angleUpDown < PITCH_DRAG_LIMIT) angleUpDown += PITCH_DRAG_STEP;
    }
    startRotY = y;  // also when the limit refused the step
}

void zoomDrag(int y) {
    if (y < startZoomY) {
        zoomIn();
    } else if (y > startZoomY) {
        zoom += ZOOMCONST;
    }
    startZoomY = y;
}

}  // namespace

void keyCallback(unsigned char key, int x, int y) {
    (void)x;
    (void)y;
    switch (key) {
    case KEY_ESC:
        leaveFullScreen();
        std::exit(0);
    case 'e': if (started) stepDog(1.0f); break;
    case 'd': if (started) stepDog(-1.0f); break;
    case 's': if (started) dog.turnLeft(); break;
    case 'f': if (started) dog.turnRight(); break;
    case 'r': dog.toggleRun(); break;
    case 'h':  // nothing while the window is too large for the memory: myReshape said so
        if (shadowsAvailable()) shadow = !shadow;
        dropKeptLightDepth();  // off: its memory goes; on: it is drawn anew from this window
        break;
    case 'w': help = !help; break;
    case 'y': blimpView = !blimpView; break;
    case 'q': resetTime(); break;
    case '+': zoomIn(); break;
    case '-': zoom += ZOOMCONST; break;
    case '8': if (angleUpDown < PITCH_KEY_LIMIT && !blimpView) angleUpDown += ANGLECONST; break;
    case '/': if (angleUpDown > -PITCH_KEY_LIMIT && !blimpView) angleUpDown -= ANGLECONST; break;
    case '7': if (!blimpView) angleLeftRight += ANGLECONST; break;
    case '9': if (!blimpView) angleLeftRight -= ANGLECONST; break;
    case '1': case '2': case '3': case '4': case '5': case '6':
        if (!blimpView && started) pivotKey(key);
        break;
    default: break;  // uppercase letters and every other key
    }
    glutPostRedisplay();
}

void mouseCallback(int button, int state, int x, int y) {
    const bool down = state == GLUT_DOWN;
    if (button == GLUT_LEFT_BUTTON) {
        mouseTrans = down;
        if (down) {
            startTransX = x;
            startTransY = y;
            startZoomY = y;
        }
    } else if (button == GLUT_RIGHT_BUTTON) {
        mouseRot = down;
        if (down) {
            startRotX = x;
            startRotY = y;
            startZoomY = y;
        }
    }
}

void motionCallback(int x, int y) {
    if (mouseTrans && mouseRot) {
        zoomDrag(y);  // in any view, game or not
    } else if (mouseTrans) {
        if (started && !blimpView) translateDrag(x, y);
    } else if (mouseRot) {
        if (!blimpView) rotateDrag(x, y);
    }
}

void checkMove(float x, float y, float z, float dx, float dy, float dz) {
    // No sliding and no partial step: a blocked destination leaves the dog untouched.
    if (scene.checkCollision(x + dx, y + dy, z + dz)) return;
    dog.move(dx, dy, dz);
}
