// Times the game's frames at 1024 x 768 with the real display callback, shadows off and
// on, in the start view and in blimp view; the parts of a shadows-on frame; and the shadow
// pass alone against the literal per-pixel GLU version; and frames with objects out of view
// culled against frames drawn whole. Prints the median milliseconds of each figure with its
// quartiles, and the ratios. Run it in data/.
//
//   bench [runs]     runs per figure, default 21
#include <GL/glut.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include "Frustum.h"
#include "ShadowReference.h"
#include "Spread.h"
#include "shadows.h"
#include "shell.h"

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768;

double millisecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// CPU-only work on this thread: its processor time, which other processes on a loaded
// machine do not stretch the way they stretch its wall-clock time.
double cpuMillisecondsOf(const std::function<void()>& work, clockid_t clock = CLOCK_THREAD_CPUTIME_ID) {
    timespec start{}, end{};
    clock_gettime(clock, &start);
    work();
    clock_gettime(clock, &end);
    return (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
}

// The real display callback, finished: the GL work is queued until glFinish on llvmpipe.
void frame() {
    displayCallback();
    glFinish();
}

// GL work alone, with nothing left queued before it starts.
double finishedMilliseconds(const std::function<void()>& work) {
    glFinish();
    return millisecondsOf([&] { work(); glFinish(); });
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

void printFigure(const char* what, const Spread& ms) {
    std::printf("  %-38s %8.2f ms  (%.2f-%.2f)\n", what, ms.median, ms.low, ms.high);
}

void printRatio(const char* what, const Spread& ms, double ratio, const char* against) {
    std::printf("  %-38s %8.2f ms  (%.2f-%.2f)   %.1fx %s\n", what, ms.median, ms.low, ms.high, ratio, against);
}

ShadowInputs frameInputs() {
    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    return in;
}

// shadows() as first written: the reference mask and one glBegin/glEnd per shadowed point.
void literalShadows() {
    const std::size_t pixels = (w > 0 && h > 0) ? static_cast<std::size_t>(w) * h : 0;
    if (pixels == 0 || light_depth.size() != pixels || camera_depth.size() != pixels) return;
    glEnable(GL_BLEND);
    glColor3f(SHADOW_GREY, SHADOW_GREY, SHADOW_GREY);
    glNormal3fv(SHADOW_NORMAL);
    ShadowInputs in;
    readShadowMatrices(in);
    in.cameraDepth = camera_depth.data();
    in.lightDepth = light_depth.data();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, w, 0.0, h);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, camera_depth.data());
    std::vector<std::uint8_t> mask;
    referenceShadowMask(in, mask);
    for (std::size_t i = 0; i < pixels; ++i) {
        if (!mask[i]) continue;
        glBegin(GL_POINTS);
        glVertex2i(static_cast<int>(i % w), static_cast<int>(i / w));
        glEnd();
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_BLEND);
}

struct Figures {
    Spread off, on, ratio;                      // whole frames, and on / off per pair
    Spread offCpu, onCpu, cpuRatio;             // the same in processor time
    Spread light, lightFull, readBack, combine; // the light render, kept and whole, and its parts
    Spread mask, reference, points, pass, literal;
    int shadowed = 0, differing = 0;
};

// Whole frames in pairs, shadows off then on, so both frames of a pair meet the same load;
// in wall-clock time, and in the processor time of all the process's threads (the GL
// driver rasterises on threads of its own), which other processes do not stretch.
void benchFrames(int runs, Figures& f) {
    std::vector<double> offTimes, onTimes, ratios, offCpu, onCpu, cpuRatios;
    for (int i = 0; i < runs; ++i) {
        for (bool on : {false, true}) {
            shadow = on;
            double cpu = 0.0;
            const double wall = millisecondsOf([&] { cpu = cpuMillisecondsOf(frame, CLOCK_PROCESS_CPUTIME_ID); });
            (on ? onTimes : offTimes).push_back(wall);
            (on ? onCpu : offCpu).push_back(cpu);
        }
        ratios.push_back(onTimes.back() / offTimes.back());
        cpuRatios.push_back(onCpu.back() / offCpu.back());
    }
    shadow = false;
    f.off = spreadOf(offTimes);
    f.on = spreadOf(onTimes);
    f.ratio = spreadOf(ratios);
    f.offCpu = spreadOf(offCpu);
    f.onCpu = spreadOf(onCpu);
    f.cpuRatio = spreadOf(cpuRatios);
}

// The light render as a shadowed frame runs it (into the cleared depth buffer, the camera's
// projection), against drawing the whole yard from the light, and its two CPU-side parts.
void benchLight(int runs, Figures& f) {
    shadow = true;
    frame();
    std::vector<double> kept, whole, readBack, combine;
    std::vector<float> depth(light_depth.size()), nearer(light_depth);
    for (int i = 0; i < runs; ++i) {
        glClear(GL_DEPTH_BUFFER_BIT);
        kept.push_back(finishedMilliseconds(renderLightDepth));
        whole.push_back(finishedMilliseconds(wholeYardLightDepth));
        readBack.push_back(finishedMilliseconds(
            [&] { glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data()); }));
        combine.push_back(cpuMillisecondsOf([&] { keepNearer(nearer.data(), depth.data(), depth.size()); }));
    }
    shadow = false;
    f.light = spreadOf(kept);
    f.lightFull = spreadOf(whole);
    f.readBack = spreadOf(readBack);
    f.combine = spreadOf(combine);
}

// The CPU mask on the inputs of the last shadowed frame: ours against per-pixel GLU, in
// processor time.
void benchMasks(int runs, Figures& f) {
    shadow = true;
    frame();
    shadow = false;
    const ShadowInputs in = frameInputs();
    std::vector<std::uint8_t> fastMask, referenceMask;
    std::vector<double> fastTimes, referenceTimes;
    for (int i = 0; i < runs; ++i) {
        fastTimes.push_back(cpuMillisecondsOf([&] { f.shadowed = computeShadowMask(in, fastMask); }));
        referenceTimes.push_back(cpuMillisecondsOf([&] { referenceShadowMask(in, referenceMask); }));
    }
    f.differing = 0;
    for (size_t i = 0; i < fastMask.size(); ++i) f.differing += fastMask[i] != referenceMask[i];
    f.mask = spreadOf(fastTimes);
    f.reference = spreadOf(referenceTimes);
}

// The whole pass, point drawing included, on a freshly drawn frame each time: a frame
// without the pass (the light depth image stays that of the last shadowed frame), then
// the pass alone, finished; and the points alone on such a frame.
void benchPass(int runs, Figures& f) {
    shadow = true;
    frame();
    shadow = false;
    std::vector<std::uint8_t> mask;
    computeShadowMask(frameInputs(), mask);
    std::vector<double> ourTimes, literalTimes, pointTimes;
    for (int i = 0; i < runs; ++i) {
        frame();
        ourTimes.push_back(finishedMilliseconds([] { shadows(); }));
        frame();
        literalTimes.push_back(finishedMilliseconds([] { literalShadows(); }));
        frame();
        pointTimes.push_back(finishedMilliseconds([&] { inShadowPixelSpace([&] { drawShadowPoints(mask, w, h); }); }));
    }
    f.pass = spreadOf(ourTimes);
    f.literal = spreadOf(literalTimes);
    f.points = spreadOf(pointTimes);
}

// Whole frames with culling off and on in pairs, the first of a pair alternating, for shadows
// off and on: the per-pair ratios culled / whole, in wall-clock and in processor time.
struct CullFigures {
    Spread whole[2], culled[2], ratio[2], cpuRatio[2];  // [0] shadows off, [1] on
};

void benchCulling(int runs, CullFigures& f) {
    for (int on = 0; on < 2; ++on) {
        shadow = on;
        std::vector<double> times[2], ratios, cpuRatios;
        for (int i = 0; i < runs; ++i) {
            double wall[2], cpu[2];
            for (int culled : {i % 2, 1 - i % 2}) {
                Frustum::culling = culled;
                wall[culled] = millisecondsOf([&] { cpu[culled] = cpuMillisecondsOf(frame, CLOCK_PROCESS_CPUTIME_ID); });
                times[culled].push_back(wall[culled]);
            }
            ratios.push_back(wall[1] / wall[0]);
            cpuRatios.push_back(cpu[1] / cpu[0]);
        }
        f.whole[on] = spreadOf(times[0]);
        f.culled[on] = spreadOf(times[1]);
        f.ratio[on] = spreadOf(ratios);
        f.cpuRatio[on] = spreadOf(cpuRatios);
    }
    Frustum::culling = true;
    shadow = false;
}

void reportCulling(const CullFigures& f) {
    std::printf("  objects out of view culled, against the frame drawn whole (ratios: median of the pairs, quartiles):\n");
    for (int on = 0; on < 2; ++on) {
        std::printf("    shadows %-3s  whole %6.2f ms  culled %6.2f ms  culled / whole %.2f (%.2f-%.2f),"
                    " processor time %.2f (%.2f-%.2f)\n", on ? "on" : "off", f.whole[on].median, f.culled[on].median,
                    f.ratio[on].median, f.ratio[on].low, f.ratio[on].high, f.cpuRatio[on].median,
                    f.cpuRatio[on].low, f.cpuRatio[on].high);
    }
}

void report(const char* view, const Figures& f) {
    std::printf("\n%s: %d pixels shadowed\n", view, f.shadowed);
    printFigure("frame, shadows off", f.off);
    std::printf("  %-38s %8.2f ms  (%.2f-%.2f)   %.1fx the frame with shadows off (pairs %.2f-%.2f)\n",
                "frame, shadows on", f.on.median, f.on.low, f.on.high, f.ratio.median, f.ratio.low, f.ratio.high);
    printFigure("frame, shadows off, processor time", f.offCpu);
    std::printf("  %-38s %8.2f ms  (%.2f-%.2f)   %.1fx in processor time (pairs %.2f-%.2f)\n",
                "frame, shadows on, processor time", f.onCpu.median, f.onCpu.low, f.onCpu.high, f.cpuRatio.median,
                f.cpuRatio.low, f.cpuRatio.high);
    std::printf("  where a shadows-on frame's time goes, beyond the frame with shadows off:\n");
    printFigure("  light render: dog and bones, kept yard", f.light);
    printFigure("    of which depth read-back", f.readBack);
    printFigure("    of which nearer of kept and new", f.combine);
    printFigure("  shadow pass, shadows()", f.pass);
    printFigure("    of which camera depth read-back", f.readBack);
    printFigure("    of which shadow mask", f.mask);
    printFigure("    of which shadow points", f.points);
    printRatio("light render, whole yard each frame", f.lightFull, f.lightFull.median / f.light.median,
               "the kept yard's light render");
    printFigure("shadow mask, per-pixel GLU reference", f.reference);
    printRatio("shadow mask", f.mask, f.reference.median / f.mask.median, "faster than the reference");
    std::printf("  %-38s %8d pixels differ\n", "masks", f.differing);
    printFigure("shadow pass, literal (point by point)", f.literal);
    printRatio("shadow pass, shadows()", f.pass, f.literal.median / f.pass.median, "faster than the literal pass");
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
    std::printf("frame: %d x %d; each figure the median of %d runs, quartiles in brackets;\n", w, h, runs);
    std::printf("the masks and the nearer-of step in processor time, the rest in wall-clock time\n");

    const View views[] = {{"start view", false}, {"blimp view", true}};
    for (const View& view : views) {
        setView(view);
        for (bool on : {false, true, false, true}) {  // warm up: shaders compiled, materials settled
            shadow = on;
            frame();
        }
        Figures f;
        benchFrames(runs, f);
        benchLight(runs, f);
        benchMasks(runs, f);
        benchPass(runs, f);
        CullFigures culling;
        benchCulling(runs, culling);
        report(view.name, f);
        reportCulling(culling);
    }
    return 0;
}
