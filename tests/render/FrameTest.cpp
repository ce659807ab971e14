// What a player sees: frames drawn by the real display callback, read back pixel by pixel.
#include <GL/glut.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
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

// ---- reference frames -----------------------------------------------------------------
// Whole frames against the pictures in references/ at the top of the project. With
// BONEYARD_WRITE_REFERENCES set, the test writes them anew instead (scripts/references).

struct View {
    const char* name;
    int width, height;
    std::string keys;  // sent to the key callback, a frame drawn after each
    void (*setup)();   // after the keys, before the frame compared
};

void collectEveryBone() {
    for (int i = 0; i < scene.getNumBones(); ++i) {
        int x, y, z;
        scene.getBone(i).getPos(x, y, z);
        scene.checkBones(x, y, z);
    }
}

const View VIEWS[] = {
    {"start", 400, 300, "", nullptr},
    {"help", 400, 480, "qw", nullptr},
    {"blimp", 400, 300, "qy" + std::string(15, 'e') + std::string(10, 's') + std::string(10, 'e'), [] { zoom = 80; }},
    {"shadows", 400, 300, "qh", [] { aimCamera(15, 2, 2, -90, 8, 45); }},
    {"win", 400, 300, "q", [] { collectEveryBone(); aimCamera(30, 2, -60, 64, 18, 60); }},
    {"car-and-house", 400, 300, "q", [] { aimCamera(45, 2, 52, 95, 20, 55); }},
};

// The frame of `view`, whatever ran before: the dog and the yard are built anew as at
// start-up (the walk cycle five steps in, every bone unturned), then the bones turned 30
// degrees. A running game's clock shows its full length: the last frame is drawn again
// should the second change while it is drawn.
std::vector<unsigned char> drawView(const View& view) {
    for (;;) {
        resetShellState();
        dog.~Dog();
        new (&dog) Dog(0.0f, 0.0f, 0.0f);
        scene.~Scene();
        new (&scene) Scene(20);
        myReshape(view.width, view.height);
        for (int i = 0; i < 60; ++i) scene.drawBones();
        for (char key : view.keys) {
            keyCallback(static_cast<unsigned char>(key), 0, 0);
            drawFrame();
        }
        if (view.setup != nullptr) view.setup();
        const time_t now = std::time(nullptr);
        if (started) seconds = now + initialTime;
        drawFrame();
        if (std::time(nullptr) == now) return readFrame();
    }
}

// RGB, row 0 at the bottom, as glReadPixels gives it.
bool readPng(const std::string& path, int width, int height, std::vector<unsigned char>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    if (static_cast<int>(image.width) != width || static_cast<int>(image.height) != height) {
        png_image_free(&image);
        return false;
    }
    rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, rgb.data(), -width * 3, nullptr) != 0;
}

bool writePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), -width * 3, nullptr) != 0;
}

// A pixel differs when one of its channels is off by more than CHANNEL_TOLERANCE; a frame
// matches while at most PIXEL_TOLERANCE pixels differ.
// Measured: 20 runs of every view, in RelWithDebInfo, Release and sanitizer builds, gave the
// same pixels every time; a house corner, a bush moved one unit or a sky texture corner
// changes hundreds.
constexpr int CHANNEL_TOLERANCE = 2;
constexpr int PIXEL_TOLERANCE = 4;

// On a mismatch the frame got and a difference image (the reference darkened, differing
// pixels red) go to BONEYARD_FRAME_DIR, the build's tests/frames/.
TEST(ReferenceFrame, EveryViewMatchesItsPicture) {
    const std::filesystem::path references = BONEYARD_REFERENCE_DIR, out = BONEYARD_FRAME_DIR;
    const bool rewrite = std::getenv("BONEYARD_WRITE_REFERENCES") != nullptr;
    if (!rewrite) std::filesystem::remove_all(out);  // no frames left from an earlier run
    for (const View& view : VIEWS) {
        SCOPED_TRACE(view.name);
        const std::vector<unsigned char> got = drawView(view);
        const std::string reference = (references / view.name).string() + ".png";
        if (rewrite) {
            EXPECT_TRUE(writePng(reference, view.width, view.height, got)) << reference;
            continue;
        }
        std::vector<unsigned char> want, diff(got.size());
        const bool read = readPng(reference, view.width, view.height, want);
        int differing = 0, worst = 0;
        for (size_t i = 0; read && i < got.size(); i += 3) {
            int d = 0;
            for (size_t c = 0; c < 3; ++c) d = std::max(d, std::abs(got[i + c] - want[i + c]));
            worst = std::max(worst, d);
            differing += d > CHANNEL_TOLERANCE ? 1 : 0;
            for (size_t c = 0; c < 3; ++c) diff[i + c] = d > CHANNEL_TOLERANCE ? (c == 0 ? 255 : 0) : want[i + c] / 4;
        }
        if (read && differing <= PIXEL_TOLERANCE) continue;
        std::filesystem::create_directories(out);
        const std::string gotPath = (out / view.name).string() + ".png";
        const std::string diffPath = (out / view.name).string() + "-diff.png";
        writePng(gotPath, view.width, view.height, got);
        if (read) writePng(diffPath, view.width, view.height, diff);
        if (read) {
            ADD_FAILURE() << differing << " pixels differ from " << reference << " (largest channel difference "
                          << worst << "); the difference: " << diffPath << "; the frame: " << gotPath;
        } else {
            ADD_FAILURE() << "cannot read a " << view.width << " x " << view.height << " PNG " << reference
                          << " (scripts/references makes it); the frame: " << gotPath;
        }
    }
    myReshape(1024, 768);
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
