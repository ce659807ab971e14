// Times the game's frames at 1024 x 768 with the real display callback, shadows off and
// on, in the start view and in blimp view, and the shadow pass alone against the literal
// per-pixel GLU version. Prints median milliseconds and the ratios. Run it in data/.
//
//   bench [runs]     runs per figure, default 21
#include <GL/glut.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "ShadowReference.h"
#include "shadows.h"
#include "shell.h"

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The real display callback, finished: the GL work is queued until glFinish on llvmpipe.
void frame() {
    displayCallback();
    glFinish();
}

struct View {
    const char* name;
    bool blimp;
};

void setView(const View& view) {
    zoom = 20.0f;
    transX = 0.0f; transY = 10.0f; transZ = 15.0f;
    angleUpDown = 0.0f; angleLeftRight = 0.0f;
    blimpView = view.blimp;
}

void printFigure(const char* what, double ms) {
    std::printf("  %-38s %8.2f ms\n", what, ms);
}

void printRatio(const char* what, double ms, double ratio, const char* against) {
    std::printf("  %-38s %8.2f ms   %.1fx %s\n", what, ms, ratio, against);
}

// Whole frames, shadows off and on, alternating so both see the same machine load.
void benchFrames(int runs, double& off, double& on) {
    std::vector<double> offTimes, onTimes;
    for (int i = 0; i < runs; ++i) {
        shadow = false;
        offTimes.push_back(millisecondsOf(frame));
        shadow = true;
        onTimes.push_back(millisecondsOf(frame));
    }
    shadow = false;
    off = median(offTimes);
    on = median(onTimes);
}

// The CPU mask on the inputs of the last shadowed frame: ours against per-pixel GLU.
void benchMasks(int runs, double& fast, double& reference, int& shadowed, int& differing) {
    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    std::vector<std::uint8_t> fastMask, referenceMask;
    std::vector<double> fastTimes, referenceTimes;
    for (int i = 0; i < runs; ++i) {
        fastTimes.push_back(millisecondsOf([&] { shadowed = computeShadowMask(in, fastMask); }));
        referenceTimes.push_back(millisecondsOf([&] { referenceShadowMask(in, referenceMask); }));
    }
    differing = 0;
    for (size_t i = 0; i < fastMask.size(); ++i) differing += fastMask[i] != referenceMask[i];
    fast = median(fastTimes);
    reference = median(referenceTimes);
}

// The whole pass, point drawing included, on a freshly drawn frame each time: a frame
// without the pass (the light depth image stays that of the last shadowed frame), then
// the pass alone, finished.
void benchPass(int runs, double& ours, double& literal) {
    shadow = true;
    frame();
    std::vector<double> ourTimes, literalTimes;
    for (int i = 0; i < runs; ++i) {
        shadow = false;
        frame();
        ourTimes.push_back(millisecondsOf([] { shadows(); glFinish(); }));
        frame();
        literalTimes.push_back(millisecondsOf([] { literalShadows(); glFinish(); }));
    }
    ours = median(ourTimes);
    literal = median(literalTimes);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 21;
    if (argc > 1) runs = std::max(1, std::atoi(argv[1]));

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(WIDTH, HEIGHT);
    glutCreateWindow("Assignment 3 - Pellowin");
    init();
    myReshape(WIDTH, HEIGHT);

    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("frame: %d x %d, median of %d runs per figure\n", w, h, runs);

    const View views[] = {{"start view", false}, {"blimp view", true}};
    for (const View& view : views) {
        setView(view);
        shadow = false;
        for (int i = 0; i < 3; ++i) frame();  // warm up: shaders compiled, materials settled

        double off, on, fast, reference, ours, literal;
        int shadowed, differing;
        benchFrames(runs, off, on);
        benchMasks(runs, fast, reference, shadowed, differing);
        benchPass(runs, ours, literal);

        std::printf("\n%s: %d pixels shadowed\n", view.name, shadowed);
        printFigure("frame, shadows off", off);
        printRatio("frame, shadows on", on, on / off, "the frame with shadows off");
        printFigure("shadow mask, per-pixel GLU reference", reference);
        printRatio("shadow mask", fast, reference / fast, "faster than the reference");
        std::printf("  %-38s %8d pixels differ\n", "masks", differing);
        printFigure("shadow pass, literal (point by point)", literal);
        printRatio("shadow pass, shadows()", ours, literal / ours, "faster than the literal pass");
    }
    return 0;
}
