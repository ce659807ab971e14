// What a player sees: whole frames through the real callbacks against the pictures in
// references/ (BONEYARD_WRITE_REFERENCES set, as scripts/references does, writes them anew);
// the window shrunk to nothing; the start-up's reports of missing data files.
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "RenderSupport.h"
#include "TempDir.h"

namespace {

TEST(FrameTest, ReshapeToNothingAndBackKeepsDrawing) {
    resetShellState();
    shadow = true;  // the light pass reads w x h depths
    for (auto [width, height] : {std::pair{1024, 0}, {0, 0}, {640, 480}}) {
        myReshape(width, height);
        EXPECT_EQ(std::vector<size_t>({size_t(w), size_t(h), light_depth.size(), camera_depth.size()}),
                  std::vector<size_t>({size_t(std::max(width, 1)), size_t(std::max(height, 1)),
                                       size_t(w * h), size_t(w * h)}));
        frame();
    }
}

const struct View {
    const char* name;
    int width, height;
    std::string keys;  // sent to the key callback, a frame drawn after each
    void (*setup)();   // after the keys, before the frame compared
} VIEWS[] = {
    {"start", 400, 300, "", [] {}},
    {"help", 400, 480, "qw", [] {}},
    {"blimp", 400, 300, "qy" + std::string(15, 'e') + std::string(10, 's') + std::string(10, 'e'), [] { zoom = 80; }},
    {"shadows", 400, 300, "qh", [] { aimCamera(15, 2, 2, -90, 8, 45); }},
    {"win", 400, 300, "q", [] {
         for (int i = 0, x, y, z; i < scene.getNumBones(); ++i) {
             scene.getBone(i).getPos(x, y, z);
             scene.checkBones(x, y, z);
         }
         aimCamera(30, 2, -60, 64, 18, 60);
     }},
    {"car-and-house", 400, 300, "q", [] { aimCamera(45, 2, 52, 95, 20, 55); }},
};

// The frame of `view` from the program's start state, the bones turned 30 degrees. A running
// game's clock shows its full length: the frame is drawn again should the second change.
std::vector<unsigned char> drawView(const View& view) {
    for (time_t now = 0;; ) {
        resetShellState();
        myReshape(view.width, view.height);
        for (int i = 0; i < 60; ++i) scene.drawBones();
        for (char key : view.keys) press(key), frame();
        view.setup();
        seconds = started ? (now = std::time(nullptr)) + initialTime : seconds;
        frame();
        if (!started || std::time(nullptr) == now) return readFrame();
    }
}

// Rows bottom-up, as glReadPixels gives them; false unless the picture is `width` x `height`.
bool png(bool write, const std::string& path, int width, int height, std::vector<unsigned char>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.format = PNG_FORMAT_RGB;
    image.width = width, image.height = height;
    if (write) return png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), -width * 3, nullptr);
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(width * height * 3);
    if (int(image.width) == width && int(image.height) == height) {
        return png_image_finish_read(&image, nullptr, rgb.data(), -width * 3, nullptr);
    }
    png_image_free(&image);
    return false;
}

// A pixel differs when a channel is off by more than 2; a frame may have 4 such pixels.
// Measured: 20 runs of every view in RelWithDebInfo, Release and sanitizer builds gave the same
// pixels every time; a house corner, a bush moved one unit or a sky texture corner changes hundreds.
// The difference image shows the reference darkened and the differing pixels red.
TEST(ReferenceFrame, EveryViewMatchesItsPicture) {
    const std::filesystem::path references = BONEYARD_REFERENCE_DIR, out = BONEYARD_FRAME_DIR;
    const bool rewrite = std::getenv("BONEYARD_WRITE_REFERENCES") != nullptr;
    if (!rewrite) std::filesystem::remove_all(out);  // scripts/references shows the last comparison's
    for (const View& view : VIEWS) {
        std::vector<unsigned char> got = drawView(view), want, diff(got.size());
        const std::string reference = (references / view.name).string() + ".png", path = (out / view.name).string();
        if (rewrite || !png(false, reference, view.width, view.height, want)) {
            EXPECT_TRUE(rewrite && png(true, reference, view.width, view.height, got)) << "cannot read " << reference;
            continue;
        }
        int differing = 0;
        for (size_t i = 0; i < got.size(); i += 3) {
            const bool differs = std::max({std::abs(got[i] - want[i]), std::abs(got[i + 1] - want[i + 1]),
                                           std::abs(got[i + 2] - want[i + 2])}) > 2;
            differing += differs;
            for (size_t c = 0; c < 3; ++c) diff[i + c] = differs ? (c == 0) * 255 : want[i + c] / 4;
        }
        if (differing <= 4) continue;
        std::filesystem::create_directories(out);
        png(true, path + ".png", view.width, view.height, got);
        png(true, path + "-diff.png", view.width, view.height, diff);
        ADD_FAILURE() << differing << " pixels differ from " << reference << ": see " << path << "-diff.png and .png";
    }
}

// The game started in a folder holding all the files of data/ but `missing`.
TEST(Startup, MissingDataIsReportedOneLineEach) {
    const struct {
        std::vector<std::string> missing;
        int status;
        std::vector<std::string> lines;  // after "boneyard: ", DIR for the folder
    } cases[] = {{{}, 0, {}},
                 {{"moon.bmp"}, 1,
                  {"cannot load texture \"moon.bmp\" from DIR: cannot open: No such file or directory"}},
                 {{"walk.txt", "car4x4.obj", "toy.obj"}, 0,
                  {"\"walk.txt\" in DIR", "\"car4x4.obj\" in DIR", "\"toy.obj\" in DIR"}}};
    for (const auto& c : cases) {
        TempDir dir;
        for (const auto& file : std::filesystem::directory_iterator(BONEYARD_DATA_DIR)) {
            const std::string name = file.path().filename();
            if (std::count(c.missing.begin(), c.missing.end(), name) == 0) {
                std::filesystem::copy_file(file, dir.path() / name);
            }
        }
        FILE* run = popen(("cd " + dir.path().string() + " && BONEYARD_RENDER_STARTUP_ONLY=1 " +
                           std::filesystem::read_symlink("/proc/self/exe").string() + " 2>&1").c_str(), "r");
        std::string errors(4096, '\0');
        errors.resize(fread(errors.data(), 1, errors.size(), run));
        EXPECT_EQ(WEXITSTATUS(pclose(run)), c.status) << errors;
        size_t lines = 0;
        for (size_t at = 0; (at = errors.find("boneyard:", at)) != std::string::npos; ++at) ++lines;
        EXPECT_EQ(lines, c.lines.size()) << errors;
        for (std::string line : c.lines) {
            line.replace(line.find("DIR"), 3, dir.path().string());
            EXPECT_NE(errors.find(line), std::string::npos) << errors << "wants: " << line;
        }
    }
}

}  // namespace
