// What a player sees: frames drawn by the real display callback, read back pixel by pixel.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <utility>
#include <string>
#include <vector>

#include "RenderSupport.h"
#include "TempDir.h"
#include "shell.h"

namespace {

void* const SMALL = GLUT_BITMAP_HELVETICA_18;
void* const LARGE = GLUT_BITMAP_TIMES_ROMAN_24;

// Draws a frame and checks it left no GL error and the GL state as every frame must.
void drawFrame() {
    renderFrame();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint depth = 0, projectionDepth = 0, envMode = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(projectionDepth, 1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(envMode, GL_MODULATE);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

// `text` on its baseline at (x, y), with nothing white in the rows just above its capitals
// nor just below the baseline, so a shift of a few pixels either way shows.
bool onBaseline(int x, int y, void* font, const std::string& text) {
    const int width = glutBitmapLength(font, reinterpret_cast<const unsigned char*>(text.c_str()));
    return textShownAt(x, y, font, text) && !hasWhiteIn(x, y - 24, x + width - 1, y - 19) &&
           !hasWhiteIn(x, y + 1, x + width - 1, y + 8);
}

// Lighting scales every channel alike, so a flat colour keeps its hue.
bool isGreen(Rgb c)   { return c.g > 30 && c.r * 3 < c.g && c.b * 3 < c.g; }
bool isDogRed(Rgb c)  { return c.r > 60 && c.r > c.g + 60 && std::abs(c.g - c.b) < 20; }
bool isBlue(Rgb c)    { return c.b > 30 && c.r * 3 < c.b && c.g * 3 < c.b; }
bool isBluish(Rgb c)  { return c.b > 20 && c.b > c.r && c.b > c.g; }
bool isGrey(Rgb c)    { return c.r > 15 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12; }
bool isWallRed(Rgb c) { return c.r > 30 && c.g * 4 < c.r && c.b * 2 < c.r; }
bool isBrown(Rgb c)   { return c.r > 20 && c.r > c.g && c.g > c.b && c.b * 3 < c.r; }
bool isOrange(Rgb c)  { return c.r > 30 && c.r >= c.g && c.g * 5 > c.r && c.b * 4 < c.r; }
bool isTeal(Rgb c)    { return c.g > 30 && c.r < c.g && c.r < c.b && c.b <= c.g; }

std::string describe(Rgb c) {
    std::ostringstream out;
    out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
    return out.str();
}

// The colour where a world point lands in the frame just drawn.
Rgb colourAt(float x, float y, float z) {
    int sx = 0, sy = 0;
    EXPECT_TRUE(projectToScreen(x, y, z, sx, sy)) << "(" << x << ", " << y << ", " << z << ") is off screen";
    return pixelAt(sx, sy);
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override { resetShellState(); }
};

TEST_F(FrameTest, FirstFrameShowsGameOverEmptyClockGroundAndSky) {
    drawFrame();
    EXPECT_TRUE(onBaseline(w / 2 - 90, h / 2, LARGE, "GAME OVER"));
    EXPECT_TRUE(textShownAt(w / 2 - 70, h / 2 + 30, LARGE, "PRESS Q"));
    EXPECT_TRUE(onBaseline(30, 40, SMALL, "Time Left: 0"));
    EXPECT_TRUE(onBaseline(30, 70, SMALL, "Bones Left: 13"));
    EXPECT_FALSE(hasWhiteIn(30, 95, 330, 452));     // no help
    EXPECT_FALSE(hasWhiteIn(600, 600, 1000, 760));  // no stray text
    for (auto [x, y] : {std::pair{w / 2, h - 40}, {150, h - 150}}) {
        EXPECT_TRUE(isGreen(pixelAt(x, y))) << "ground " << describe(pixelAt(x, y));
    }
    for (auto [x, y] : {std::pair{200, 20}, {w - 200, 150}}) {
        EXPECT_TRUE(isBluish(pixelAt(x, y))) << "sky " << describe(pixelAt(x, y));
    }
}

TEST_F(FrameTest, HelpAddsItsTwelveLinesAndGoesAgain) {
    startGame();
    help = true;
    drawFrame();
    for (int y : {110, 140, 170, 200, 230, 260, 290, 330, 360, 390, 420, 450}) {
        EXPECT_TRUE(hasWhiteIn(30, y - 12, 60, y - 1)) << "no help line at y = " << y;
    }
    EXPECT_TRUE(textShownAt(30, 110, SMALL, "Help:"));
    EXPECT_TRUE(textShownAt(30, 450, SMALL, "Mouse or Numpad controls camera"));
    EXPECT_FALSE(hasWhiteIn(30, 300, 330, 314));  // the gap after "ESC - Quit"
    EXPECT_FALSE(hasWhiteIn(30, 460, 330, 520));  // nothing below the last line
    help = false;
    drawFrame();
    EXPECT_FALSE(hasWhiteIn(30, 95, 330, 452));
}

struct Sight {
    std::string name;
    float x, y, z;              // the point looked at
    float yaw, pitch, distance; // the camera on it
    bool (*looksRight)(Rgb);
};

TEST_F(FrameTest, EveryKindOfObjectStandsWhereItsPositionProjects) {
    std::vector<Sight> sights = {
        {"house door", 15, 2, -55.99f, 0, 10, 14, isBlue},
        {"pool rim", 0, 1, -24.5f, 0, 50, 15, isGrey},
        {"pool water", 0, 1, -31, 0, 50, 15, isBluish},
        {"tree crown", 7, 8, 15, 0, 0, 28, isGreen},
        {"tree trunk", 7, 2, 15, 0, 0, 28, isBrown},
        {"sky above the tree", 7, 12, 15, 0, 0, 28, isBluish},
        {"blue bone", 30, 1.8f, -65, 0, 60, 12, isBlue},
        {"car", -1, 2.8f, 44, 0, 30, 25, isTeal},
        {"toy", 30, 1.2f, 20, 0, 30, 15, isOrange},
        {"toy", 45, 1.2f, -63, 0, 30, 15, isOrange},
        {"dog", 20, 1.8f, 10, 0, 40, 15, isDogRed},
    };
    // Each house's front wall (its local +z), right of the door.
    const struct { float x, z, turn; } houses[] = {{-20, -30, 70}, {60, 55, -150}, {-10, -70, 70}, {15, -60, 0}};
    for (auto [x, z, turn] : houses) {
        const float a = turn * CONVERT;
        sights.push_back({"house wall at x = " + std::to_string(x), x + 2.5f * cosf(a) + 4 * sinf(a), 3,
                          z - 2.5f * sinf(a) + 4 * cosf(a), turn, 10, 14, isWallRed});
    }
    startGame();
    dog.reset(20.0f, 0.0f, 10.0f);
    for (const Sight& s : sights) {
        aimCamera(s.x, s.y, s.z, s.yaw, s.pitch, s.distance);
        drawFrame();
        const Rgb c = colourAt(s.x, s.y, s.z);
        EXPECT_TRUE(s.looksRight(c)) << s.name << ": " << describe(c);
    }
}

TEST_F(FrameTest, CollectedBoneIsNoLongerDrawn) {
    startGame();
    aimCamera(30.0f, 1.8f, -65.0f, 0.0f, 60.0f, 12.0f);
    EXPECT_EQ(scene.checkBones(30.0f, 0.0f, -65.0f), 12);
    drawFrame();
    EXPECT_TRUE(isGreen(colourAt(30.0f, 1.8f, -65.0f))) << describe(colourAt(30.0f, 1.8f, -65.0f));
    EXPECT_TRUE(onBaseline(30, 70, SMALL, "Bones Left: 12"));
}

TEST_F(FrameTest, BlimpViewKeepsTheDogUnderTheEyeAndZoomRaisesIt) {
    startGame();
    aimCamera(50.0f, 0.0f, 0.0f, 120.0f, 40.0f, 20.0f);  // the free camera plays no part
    blimpView = true;
    auto redWidth = [] {
        drawFrame();
        const std::vector<unsigned char> rgb = readFrame();
        const size_t row = static_cast<size_t>(h - 1 - h / 2) * w * 3;
        int count = 0;
        for (size_t i = row; i < row + static_cast<size_t>(w) * 3; i += 3) {
            count += isDogRed({rgb[i], rgb[i + 1], rgb[i + 2]}) ? 1 : 0;
        }
        return count;
    };
    for (float x : {0.0f, 35.0f}) {
        dog.reset(x, 0.0f, 10.0f);
        drawFrame();
        EXPECT_TRUE(isDogRed(pixelAt(w / 2, h / 2))) << "dog at x = " << x << ": " << describe(pixelAt(w / 2, h / 2));
    }
    const int near = redWidth();
    zoom = 40.0f;  // twice as high
    const int far = redWidth();
    EXPECT_GT(far, 0);
    EXPECT_LT(far * 3, near * 2);
}

TEST_F(FrameTest, ReshapeToNothingAndBackKeepsDrawing) {
    shadow = true;  // the light pass reads w x h depths
    for (auto [width, height] : {std::pair{1024, 0}, {0, 0}, {640, 480}, {1024, 768}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        myReshape(width, height);
        EXPECT_EQ(w, std::max(width, 1));
        EXPECT_EQ(h, std::max(height, 1));
        EXPECT_EQ(light_depth.size(), static_cast<size_t>(w) * h);
        EXPECT_EQ(camera_depth.size(), static_cast<size_t>(w) * h);
        GLdouble projection[16];
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        for (double value : projection) EXPECT_TRUE(std::isfinite(value));
        drawFrame();
    }
    myReshape(640, 480);
    drawFrame();
    EXPECT_TRUE(onBaseline(640 / 2 - 90, 480 / 2, LARGE, "GAME OVER"));
    myReshape(1024, 768);
    drawFrame();
    EXPECT_TRUE(isGreen(pixelAt(w / 2, h - 40)));
    EXPECT_TRUE(onBaseline(30, 40, SMALL, "Time Left: 0"));
}

// The game started in a folder holding all its data files but `missing`.
TEST(Startup, MissingDataIsReportedOneLineEach) {
    struct Case {
        std::vector<std::string> missing;
        int status;
        size_t lines;                   // starting "boneyard:"
        std::vector<std::string> says;  // DIR is the folder
    };
    for (const Case& c : {Case{{}, 0, 0, {}},
                          Case{{"moon.bmp"}, 1, 1, {"cannot load texture \"moon.bmp\" from DIR: ", "No such file or directory"}},
                          Case{{"walk.txt", "car4x4.obj", "toy.obj"}, 0, 3,
                               {"\"walk.txt\" in DIR", "\"car4x4.obj\" in DIR", "\"toy.obj\" in DIR"}}}) {
        TempDir dir;
        for (const char* name : {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp",
                                 "moon.bmp", "walk.txt", "car4x4.obj", "toy.obj"}) {
            if (std::count(c.missing.begin(), c.missing.end(), name) == 0) {
                std::filesystem::copy_file(std::filesystem::path(BONEYARD_DATA_DIR) / name, dir.path() / name);
            }
        }
        std::string errors;
        EXPECT_EQ(runRenderStartupIn(dir.path().string(), errors), c.status) << errors;
        size_t lines = 0;
        for (size_t at = errors.find("boneyard:"); at != std::string::npos; at = errors.find("boneyard:", at + 1)) ++lines;
        EXPECT_EQ(lines, c.lines) << errors;
        for (std::string piece : c.says) {
            if (piece.find("DIR") != std::string::npos) piece.replace(piece.find("DIR"), 3, dir.path().string());
            EXPECT_NE(errors.find(piece), std::string::npos) << errors << "wants: " << piece;
        }
    }
}

}  // namespace
