// What a player sees: the frame drawn by the real display callback in the game's own
// window, read back pixel by pixel.
#include <GL/glut.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <climits>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "RenderSupport.h"
#include "TempDir.h"
#include "shell.h"

namespace {

void* const SMALL = GLUT_BITMAP_HELVETICA_18;
void* const LARGE = GLUT_BITMAP_TIMES_ROMAN_24;

void drawFrame() {
    renderFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The colour where a world point lands in the frame just drawn.
Rgb colourAt(float x, float y, float z) {
    int sx = 0, sy = 0;
    EXPECT_TRUE(projectToScreen(x, y, z, sx, sy)) << "(" << x << ", " << y << ", " << z << ") is off screen";
    return pixelAt(sx, sy);
}

// Lighting scales every channel alike, so a flat colour keeps its hue; only the texture
// or a saturated channel can bend it, and the checks leave room for that.
bool isGreen(Rgb c)  { return c.g > 30 && c.r * 3 < c.g && c.b * 3 < c.g; }
// The dog is red with a white highlight: red well ahead, green and blue alike.
bool isDogRed(Rgb c) { return c.r > 60 && c.r > c.g + 60 && std::abs(c.g - c.b) < 20; }
bool isBlue(Rgb c)   { return c.b > 30 && c.r * 3 < c.b && c.g * 3 < c.b; }
bool isBluish(Rgb c) { return c.b > 20 && c.b > c.r && c.b > c.g; }
bool isGrey(Rgb c)   { return c.r > 15 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12; }
bool isWallRed(Rgb c) { return c.r > 30 && c.g * 4 < c.r && c.b * 2 < c.r; }           // (1, 0, 0.2)
bool isBrown(Rgb c)  { return c.r > 20 && c.r > c.g && c.g > c.b && c.b * 3 < c.r; }  // (0.53, 0.27, 0.07)
bool isOrange(Rgb c) { return c.r > 30 && c.r >= c.g && c.g * 5 > c.r && c.b * 4 < c.r; }  // (1, 0.5, 0)
bool isTeal(Rgb c)   { return c.g > 30 && c.r < c.g && c.r < c.b && c.b <= c.g; }     // (0.4, 0.8, 0.67)

::testing::AssertionResult looks(bool ok, Rgb c) {
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "colour (" << c.r << ", " << c.g << ", " << c.b << ")";
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { resetShellState(); }
};

// ---------------------------------------------------------------------------------

using FirstFrame = FrameTest;

TEST_F(FirstFrame, ShowsGameOverBannerAndEmptyClock) {
    drawFrame();
    EXPECT_TRUE(textShownAt(w / 2 - 90, h / 2, LARGE, "GAME OVER"));
    EXPECT_TRUE(textShownAt(w / 2 - 70, h / 2 + 30, LARGE, "PRESS Q"));
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 0"));
    EXPECT_TRUE(textShownAt(30, 70, SMALL, "Bones Left: 13"));
    EXPECT_FALSE(started);
    EXPECT_FALSE(won);
}

TEST_F(FirstFrame, TextStaysOnItsBaselines) {
    drawFrame();
    // Between the lines and below the banner the yard shows through.
    EXPECT_FALSE(hasWhiteIn(30, 44, 150, 54));                   // under "Time Left"
    EXPECT_FALSE(hasWhiteIn(w / 2 - 90, h / 2 + 3, w / 2 + 80, h / 2 + 10));  // under "GAME OVER"
    EXPECT_FALSE(hasWhiteIn(w / 2 - 70, h / 2 + 40, w / 2 + 30, h / 2 + 52));  // under "PRESS Q" and its tail
    EXPECT_FALSE(hasWhiteIn(30, 95, 330, 452));                  // the help is off
    EXPECT_FALSE(hasWhiteIn(600, 600, 1000, 760));               // no stray text
}

TEST_F(FirstFrame, GroundIsGreenAndSkyIsBlue) {
    drawFrame();
    EXPECT_TRUE(looks(isGreen(pixelAt(w / 2, h - 40)), pixelAt(w / 2, h - 40)));
    EXPECT_TRUE(looks(isGreen(pixelAt(150, h - 150)), pixelAt(150, h - 150)));
    EXPECT_TRUE(looks(isBluish(pixelAt(200, 20)), pixelAt(200, 20)));
    EXPECT_TRUE(looks(isBluish(pixelAt(w - 200, 150)), pixelAt(w - 200, 150)));
}

// ---------------------------------------------------------------------------------

struct ViewCase {
    const char* name;
    bool blimp, helpOn, shadowOn, running;
};

void PrintTo(const ViewCase& view, std::ostream* out) { *out << view.name; }

class FrameState : public ::testing::TestWithParam<ViewCase> {
protected:
    void SetUp() override { resetShellState(); }
};

TEST_P(FrameState, EveryFrameLeavesStackTexturingAndBlendAlone) {
    const ViewCase& view = GetParam();
    if (view.running) startGame();
    blimpView = view.blimp;
    help = view.helpOn;
    shadow = view.shadowOn;
    for (int frame = 0; frame < 2; ++frame) {
        drawFrame();
        GLint depth = 0, projectionDepth = 0, envMode = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
        EXPECT_EQ(depth, 1);
        EXPECT_EQ(projectionDepth, 1);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_EQ(envMode, GL_MODULATE);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));  // the text switches it off and back on
    }
}

INSTANTIATE_TEST_SUITE_P(Views, FrameState,
    ::testing::Values(ViewCase{"Normal", false, false, false, false},
                      ViewCase{"Blimp", true, false, false, true},
                      ViewCase{"Help", false, true, false, true},
                      ViewCase{"Shadow", false, false, true, true}),
    [](const ::testing::TestParamInfo<ViewCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------

using HelpOverlay = FrameTest;

TEST_F(HelpOverlay, AddsTwelveLinesAtTheLeft) {
    static const int baselines[] = {110, 140, 170, 200, 230, 260, 290, 330, 360, 390, 420, 450};
    help = true;
    drawFrame();
    for (int y : baselines) {
        EXPECT_TRUE(hasWhiteIn(30, y - 12, 60, y - 1)) << "no help line at y = " << y;
    }
    EXPECT_TRUE(textShownAt(30, 110, SMALL, "Help:"));
    EXPECT_TRUE(textShownAt(30, 450, SMALL, "Mouse or Numpad controls camera"));
    EXPECT_FALSE(hasWhiteIn(30, 300, 330, 314));  // the gap between "ESC - Quit" and "E - Forward"
    EXPECT_FALSE(hasWhiteIn(30, 460, 330, 520));  // nothing below the last line
}

TEST_F(HelpOverlay, ShowsDuringAGameToo) {
    startGame();
    help = true;
    drawFrame();
    EXPECT_TRUE(textShownAt(30, 290, SMALL, "ESC - Quit"));
    help = false;
    drawFrame();
    EXPECT_FALSE(hasWhiteIn(30, 95, 330, 452));
}

// ---------------------------------------------------------------------------------

// Each object seen from its own camera, so it fills the middle of the frame.
using YardObjects = FrameTest;

struct HousePlacement {
    float x, z, turn, wallHeight;
};

TEST_F(YardObjects, EveryHouseShowsItsRedFrontWall) {
    static const HousePlacement houses[] = {
        {-20, -30, 70, 7}, {60, 55, -150, 7}, {-10, -70, 70, 10}, {15, -60, 0, 10}};
    startGame();
    for (const HousePlacement& house : houses) {
        // Right of the door on the front wall, which faces the house's local +z.
        const float a = house.turn * CONVERT;
        const float px = house.x + 2.5f * cosf(a) + 4.0f * sinf(a);
        const float pz = house.z - 2.5f * sinf(a) + 4.0f * cosf(a);
        aimCamera(px, 3.0f, pz, house.turn, 10.0f, 14.0f);
        drawFrame();
        const Rgb wall = colourAt(px, 3.0f, pz);
        EXPECT_TRUE(looks(isWallRed(wall), wall)) << "house at (" << house.x << ", " << house.z << ")";
    }
}

TEST_F(YardObjects, HouseDoorIsBlue) {
    startGame();
    aimCamera(15.0f, 2.0f, -55.99f, 0.0f, 10.0f, 14.0f);
    drawFrame();
    const Rgb door = colourAt(15.0f, 2.0f, -55.99f);
    EXPECT_TRUE(looks(isBlue(door), door));
}

TEST_F(YardObjects, PoolHasGreyRimAndBlueWater) {
    startGame();
    aimCamera(0.0f, 1.0f, -28.0f, 0.0f, 50.0f, 15.0f);
    drawFrame();
    const Rgb rim = colourAt(0.0f, 1.0f, -24.5f);   // near strip, z from -25 to -24
    const Rgb water = colourAt(0.0f, 1.0f, -31.0f);
    EXPECT_TRUE(looks(isGrey(rim), rim));
    EXPECT_TRUE(looks(isBluish(water), water));
}

TEST_F(YardObjects, TreeHasGreenCrownAgainstTheSkyAndBrownTrunk) {
    startGame();
    aimCamera(7.0f, 4.0f, 15.0f, 0.0f, 0.0f, 28.0f);  // tree 8, from the south, eye level 4
    drawFrame();
    const Rgb crown = colourAt(7.0f, 8.0f, 15.0f);
    const Rgb trunk = colourAt(7.0f, 2.0f, 15.0f);
    const Rgb skyAbove = colourAt(7.0f, 12.0f, 15.0f);  // above the crown's radius of 3
    EXPECT_TRUE(looks(isGreen(crown), crown));
    EXPECT_TRUE(looks(isBrown(trunk), trunk));
    EXPECT_TRUE(looks(isBluish(skyAbove), skyAbove));
}

TEST_F(YardObjects, BoneFloatsInItsColourUntilCollected) {
    startGame();
    aimCamera(30.0f, 1.8f, -65.0f, 0.0f, 60.0f, 12.0f);  // bone 3, blue
    drawFrame();
    const Rgb bone = colourAt(30.0f, 1.8f, -65.0f);
    EXPECT_TRUE(looks(isBlue(bone), bone));

    EXPECT_EQ(scene.checkBones(30.0f, 0.0f, -65.0f), 12);
    drawFrame();
    const Rgb after = colourAt(30.0f, 1.8f, -65.0f);
    EXPECT_TRUE(looks(isGreen(after), after)) << "the collected bone is still drawn";
    EXPECT_TRUE(textShownAt(30, 70, SMALL, "Bones Left: 12"));
}

TEST_F(YardObjects, CarIsTeal) {
    ASSERT_EQ(scene.getCar().getError(), objReader::ERROR_NONE);
    startGame();
    aimCamera(-1.0f, 2.8f, 44.0f, 0.0f, 30.0f, 25.0f);
    drawFrame();
    const Rgb car = colourAt(-1.0f, 2.8f, 44.0f);
    EXPECT_TRUE(looks(isTeal(car), car));
}

TEST_F(YardObjects, BothToysAreOrange) {
    ASSERT_EQ(scene.getToy().getError(), objReader::ERROR_NONE);
    startGame();
    static const float toys[2][2] = {{30.0f, 20.0f}, {45.0f, -63.0f}};
    for (const auto& toy : toys) {
        aimCamera(toy[0], 1.2f, toy[1], 0.0f, 30.0f, 15.0f);
        drawFrame();
        const Rgb colour = colourAt(toy[0], 1.2f, toy[1]);
        EXPECT_TRUE(looks(isOrange(colour), colour)) << "toy at (" << toy[0] << ", " << toy[1] << ")";
    }
}

TEST_F(YardObjects, DogIsRedWhereItStands) {
    startGame();
    dog.reset(20.0f, 0.0f, 10.0f);
    aimCamera(20.0f, 1.8f, 10.0f, 0.0f, 40.0f, 15.0f);
    drawFrame();
    const Rgb body = colourAt(20.0f, 1.8f, 10.0f);
    EXPECT_TRUE(looks(isDogRed(body), body));
    // Back at the origin, the same spot shows grass.
    dog.reset(0.0f, 0.0f, 0.0f);
    drawFrame();
    const Rgb grass = colourAt(20.0f, 0.0f, 10.0f);
    EXPECT_TRUE(looks(isGreen(grass), grass));
}

// ---------------------------------------------------------------------------------

using BlimpView = FrameTest;

TEST_F(BlimpView, DogIsUnderTheEyeWhereverItGoes) {
    startGame();
    blimpView = true;
    // The pivot and angles of the free camera play no part here.
    angleUpDown = 40.0f;
    angleLeftRight = 120.0f;
    transX = 50.0f;
    for (float x : {0.0f, 35.0f}) {
        dog.reset(x, 0.0f, 10.0f);
        drawFrame();
        const Rgb centre = pixelAt(w / 2, h / 2);
        EXPECT_TRUE(looks(isDogRed(centre), centre)) << "dog at x = " << x;
    }
}

TEST_F(BlimpView, ZoomRaisesTheEyeSoTheDogShrinks) {
    startGame();
    blimpView = true;
    auto redWidth = [] {
        drawFrame();
        const std::vector<unsigned char> rgb = readFrame();
        const size_t row = static_cast<size_t>(h - 1 - h / 2) * w * 3;
        int count = 0;
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = &rgb[row + static_cast<size_t>(x) * 3];
            count += isDogRed({p[0], p[1], p[2]}) ? 1 : 0;
        }
        return count;
    };
    const int near = redWidth();
    zoom = 40.0f;  // 60 units up instead of 30
    const int far = redWidth();
    EXPECT_GT(near, 0);
    EXPECT_GT(far, 0);
    EXPECT_LT(far * 3, near * 2);  // about half as wide
}

// ---------------------------------------------------------------------------------

using Reshape = FrameTest;

TEST_F(Reshape, HeightZeroKeepsProjectionFiniteAndFramesDrawing) {
    myReshape(1024, 0);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(light_depth.size(), static_cast<size_t>(w) * h);
    EXPECT_EQ(camera_depth.size(), static_cast<size_t>(w) * h);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (double value : projection) EXPECT_TRUE(std::isfinite(value));
    shadow = true;  // the light render reads w x h depths into the array
    drawFrame();
    shadow = false;

    myReshape(1024, 768);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (double value : projection) EXPECT_TRUE(std::isfinite(value));
    drawFrame();
    EXPECT_TRUE(looks(isGreen(pixelAt(w / 2, h - 40)), pixelAt(w / 2, h - 40)));
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 0"));
}

TEST_F(Reshape, WidthZeroIsTreatedAsOneColumn) {
    myReshape(0, 0);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(light_depth.size(), 1u);
    drawFrame();
    myReshape(1024, 768);
}

TEST_F(Reshape, NewSizeReplacesDepthArraysAndMovesTheText) {
    myReshape(640, 480);
    EXPECT_EQ(light_depth.size(), 640u * 480u);
    EXPECT_EQ(camera_depth.size(), 640u * 480u);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    shadow = true;
    drawFrame();
    EXPECT_TRUE(textShownAt(640 / 2 - 90, 480 / 2, LARGE, "GAME OVER"));
    myReshape(1024, 768);
}

// ---------------------------------------------------------------------------------

using Countdown = FrameTest;

TEST_F(Countdown, EndTimeIsNotTruncatedPast2038) {
    const time_t after2038 = static_cast<time_t>(INT_MAX) + 1000;
    seconds = after2038 + 210;
    EXPECT_EQ(timeLeft(after2038), 210);
    EXPECT_EQ(timeLeft(after2038 + 210), 0);
    EXPECT_EQ(timeLeft(after2038 + 211), -1);
}

TEST_F(Countdown, NewGameShowsTheFullTime) {
    startGame();
    drawFrame();
    EXPECT_TRUE(started);
    // Three digits (210, or 209 if the clock ticked in between: digits are equally wide).
    EXPECT_TRUE(textShownAt(30, 40, SMALL, "Time Left: 210"));
    EXPECT_FALSE(hasWhiteIn(w / 2 - 90, h / 2 - 12, w / 2 + 60, h / 2 - 1));  // no banner
}

// ---------------------------------------------------------------------------------

// The game started in another directory: its stderr and exit status, from a copy of this
// test program whose globals and init() read that directory.
struct ChildRun {
    int status = -1;
    std::string errors;
};

ChildRun runGameIn(const std::filesystem::path& dir) {
    int pipeFds[2];
    ChildRun run;
    if (pipe(pipeFds) != 0) return run;
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], STDERR_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);  // its own gtest report is not ours
        if (quiet >= 0) dup2(quiet, STDOUT_FILENO);
        if (chdir(dir.c_str()) != 0) _exit(99);
        execl("/proc/self/exe", "render_tests", "--gtest_filter=StartupChild.DISABLED_ReportMissingData",
              "--gtest_also_run_disabled_tests", static_cast<char*>(nullptr));
        _exit(98);
    }
    close(pipeFds[1]);
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0) run.errors.append(buffer, got);
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void copyFromData(const TempDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        std::filesystem::copy_file(std::filesystem::path(BONEYARD_DATA_DIR) / name, dir.path() / name);
    }
}

// Not a test of its own: what runGameIn starts in the other directory.
TEST(StartupChild, DISABLED_ReportMissingData) {
    reportMissingData();
}

TEST(StartupFailures, MissingTextureNamesFileAndDirectoryAndExitsOne) {
    TempDir dir;
    copyFromData(dir, {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp",
                       "walk.txt", "car4x4.obj", "toy.obj"});
    const ChildRun run = runGameIn(dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("cannot load texture \"moon.bmp\" from " + dir.path().string() + ": "),
              std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("No such file or directory"), std::string::npos) << run.errors;
}

TEST(StartupFailures, MissingWalkAndModelsWarnOnceEachAndTheGameRunsOn) {
    TempDir dir;
    copyFromData(dir, {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp",
                       "moon.bmp"});
    const ChildRun run = runGameIn(dir.path());
    EXPECT_EQ(run.status, 0) << run.errors;
    for (const char* name : {"\"walk.txt\"", "\"car4x4.obj\"", "\"toy.obj\""}) {
        const size_t first = run.errors.find(name);
        EXPECT_NE(first, std::string::npos) << name << " not named in: " << run.errors;
        EXPECT_EQ(run.errors.find(name, first + 1), std::string::npos) << name << " named twice";
    }
}

TEST(StartupFailures, CompleteDataDirectoryIsQuiet) {
    TempDir dir;
    copyFromData(dir, {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp",
                       "moon.bmp", "walk.txt", "car4x4.obj", "toy.obj"});
    const ChildRun run = runGameIn(dir.path());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.errors.find("boneyard:"), std::string::npos) << run.errors;
}

// ---------------------------------------------------------------------------------

using TextureSlots = FrameTest;

TEST_F(TextureSlots, SixPicturesLoadedIntoTheirSlotsOnly) {
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    for (int slot = 0; slot <= 8; ++slot) {
        glBindTexture(GL_TEXTURE_2D, slot);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        const bool loaded = slot <= 2 || slot >= 6;
        EXPECT_EQ(width, loaded ? 128 : 0) << "slot " << slot;
    }
    glBindTexture(GL_TEXTURE_2D, previous);
}

}  // namespace
