// What a player sees: whole frames drawn by the real display callback, against reference
// pictures; and the start-up's reports of missing data files.
#include <GL/glut.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "RenderSupport.h"
#include "TempDir.h"
#include "shell.h"

namespace {

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

// A window shrunk to nothing keeps one row and column, and every size still draws.
TEST(FrameTest, ReshapeToNothingAndBackKeepsDrawing) {
    resetShellState();
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
