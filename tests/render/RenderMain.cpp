// The render tests' entry point: one GLUT window per process, opened lazily so that
// listing the tests needs no display.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "RenderSupport.h"
#include "shell.h"

namespace {

// Set in a copy of this program that runRenderStartupIn starts: it only starts the game up.
const char* const STARTUP_ONLY = "BONEYARD_RENDER_STARTUP_ONLY";

void openGameWindow(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 768);
    glutCreateWindow("Assignment 3 - Pellowin");
}

class GlEnvironment : public testing::Environment {
public:
    GlEnvironment(int* argc, char** argv) : argc_(argc), argv_(argv) {}
    void SetUp() override {
        openGameWindow(argc_, argv_);
        init();
        myReshape(1024, 768);
    }

private:
    int*   argc_;
    char** argv_;
};

}  // namespace

void renderFrame() {
    displayCallback();
    glFinish();
}

std::vector<unsigned char> readFrame() {
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

bool projectToScreen(float x, float y, float z, int& sx, int& sy) {
    // The frame's camera, rebuilt as displayCallback sets it up.
    float dx, dy, dz;
    dog.getPos(dx, dy, dz);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(0.5f, 0.5f, 0.5f);
    if (blimpView) {
        gluLookAt(dx, dy + zoom / 20.0f * 30.0f, dz, dx, dy, dz - 1.0f, 0.0, 1.0, 0.0);
    } else {
        const float p = angleUpDown * CONVERT;
        const float q = angleLeftRight * CONVERT;
        const float Dx = -sinf(q) * cosf(p), Dy = -sinf(p), Dz = -cosf(q) * cosf(p);
        const float L = sqrtf(Dx * Dx + Dy * Dy + Dz * Dz);
        gluLookAt(transX - zoom * Dx, transY - zoom * Dy, transZ - zoom * Dz,
                  transX + L * Dx, transY + L * Dy, transZ + L * Dz, 0.0, 1.0, 0.0);
    }
    GLdouble mv[16], pr[16];
    GLint vp[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    glGetDoublev(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    glPopMatrix();
    GLdouble wx, wy, wz;
    if (gluProject(x, y, z, mv, pr, vp, &wx, &wy, &wz) == GL_FALSE) return false;
    if (wz <= 0.0 || wz >= 1.0) return false;
    sx = static_cast<int>(wx);
    sy = h - 1 - static_cast<int>(wy);
    return sx >= 0 && sx < w && sy >= 0 && sy < h;
}

void resetShellState() {
    zoom = 20.0f;
    transX = 0.0f; transY = 10.0f; transZ = 15.0f;
    angleUpDown = 0.0f; angleLeftRight = 0.0f;
    seconds = 0;
    started = won = blimpView = help = shadow = false;
    mouseTrans = mouseRot = false;
    startTransX = startTransY = startRotX = startRotY = startZoomY = 0;
    dog.reset(0.0f, 0.0f, 0.0f);
    scene.resetBones();
}

bool hasWhiteIn(int x0, int y0, int x1, int y1) {
    const int bw = x1 - x0 + 1, bh = y1 - y0 + 1;
    std::vector<unsigned char> rgb(static_cast<size_t>(bw) * bh * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, h - 1 - y1, bw, bh, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    for (size_t i = 0; i < rgb.size(); i += 3) {
        if (rgb[i] > 230 && rgb[i + 1] > 230 && rgb[i + 2] > 230) return true;
    }
    return false;
}

bool textShownAt(int x, int y, void* font, const std::string& text) {
    const int width = glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text.c_str()));
    const int top = y - 12, bottom = y - 1;  // within the capitals of both fonts
    return hasWhiteIn(x, top, x + width - 1, bottom) &&
           !hasWhiteIn(x - 12, top, x - 3, bottom) &&
           !hasWhiteIn(x + width + 2, top, x + width + 24, bottom);
}

void aimCamera(float x, float y, float z, float yaw, float pitch, float distance) {
    blimpView = false;
    transX = x; transY = y; transZ = z;
    angleLeftRight = yaw;
    angleUpDown = pitch;
    zoom = distance;
}

int runRenderStartupIn(const std::string& dir, std::string& errors) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], STDERR_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(99);
        setenv(STARTUP_ONLY, "1", 1);
        execl("/proc/self/exe", "render_tests", static_cast<char*>(nullptr));
        _exit(98);
    }
    close(fds[1]);
    char buffer[512];
    ssize_t got;
    while ((got = read(fds[0], buffer, sizeof buffer)) > 0) errors.append(buffer, static_cast<size_t>(got));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int main(int argc, char** argv) {
    if (std::getenv(STARTUP_ONLY) != nullptr) {  // the start-up of main.cpp, without the loop
        openGameWindow(&argc, argv);
        reportMissingData();
        init();
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    // Without a display nothing can be drawn: a failed run, never a passed or skipped one.
    if (std::getenv("DISPLAY") == nullptr && !GTEST_FLAG_GET(list_tests)) {
        std::fprintf(stderr, "render_tests: no display (DISPLAY is unset): run under Xvfb, as scripts/test does\n");
        return 1;
    }
    testing::AddGlobalTestEnvironment(new GlEnvironment(&argc, argv));
    return RUN_ALL_TESTS();
}
