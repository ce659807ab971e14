// What a player sees: whole frames through the real callbacks against the pictures in
// references/ (BONEYARD_WRITE_REFERENCES set, as scripts/references does, writes them anew),
// and the window reshaped to nothing and beyond the memory.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <sstream>

#include "RenderSupport.h"
#include "ShadowReference.h"

namespace {

std::size_t allocationLimit = SIZE_MAX;  // bytes: anything larger fails, as without the memory

// Each reshape gives back the kept light image's memory, and so does the shadow key; the next
// shadowed frame draws it anew. Without the memory for the depth arrays (3 MB at 1024 x 768, the
// limit 2 MB) a reshape warns once and frames go unshadowed, the key idle, till a reshape has it;
// without the memory for the kept image alone, the frame is the same.
TEST(FrameTest, ReshapesAndTheShadowKeyKeepDrawing) {
    resetShellState();
    testing::internal::CaptureStderr();
    for (auto [width, height, limit] : {std::tuple{1024, 0, SIZE_MAX}, {0, 0, SIZE_MAX}, {1024, 768, std::size_t(2 << 20)},
                                        {1024, 768, std::size_t(2 << 20)}, {640, 480, SIZE_MAX}}) {
        shadow = true;  // the light pass reads w x h depths
        frame();
        allocationLimit = limit, myReshape(width, height), allocationLimit = SIZE_MAX;
        const size_t pixels = limit == SIZE_MAX ? size_t(w * h) : 0;
        EXPECT_EQ(std::vector<size_t>({size_t(w), size_t(h), light_depth.size(), camera_depth.size(),
                                       keptLightDepth().capacity()}),
                  std::vector<size_t>({size_t(std::max(width, 1)), size_t(std::max(height, 1)), pixels, pixels, 0}));
        frame();
        EXPECT_EQ(keptLightDepth().size(), pixels);
        press('h');
        EXPECT_EQ(std::vector<size_t>({keptLightDepth().capacity(), shadow}), std::vector<size_t>({0, pixels == 0}));
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "boneyard: warning: no memory for shadows in a 1024 x 768 window: no shadows until it is smaller\n");
    std::vector<unsigned char> frames[2];
    for (std::size_t limit : {SIZE_MAX, std::size_t(1 << 20)}) {  // 640 x 480: 1.2 MB
        resetShellState(), shadow = true, dropKeptLightDepth(), allocationLimit = limit, frame(), allocationLimit = SIZE_MAX;
        frames[limit == SIZE_MAX] = readFrame();
    }
    EXPECT_TRUE(frames[0] == frames[1] && keptLightDepth().empty());
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
    {"light-moved", 400, 300, "qhy", [] { light4_pos[0] = 20; }},  // the light's image is drawn anew
    {"walked-off", 400, 300, "qh" + std::string(20, 'e') + std::string(20, 's') + std::string(20, 'e'), [] {
         aimCamera(-1, 0, -3, 0, 35, 40);  // the start and the dog, picked up the bone at (-3, -5)
     }},
    {"posed-dog", 300, 240, "q", [] {  // every joint turned, those the shipped walk leaves at 0 too
         std::istringstream walk("0 0 0 0 20 30 -20 25 -30 10 30 -10 -25 15 25 -15 -30 40 30\n");
         dog.~Dog();
         new (&dog) Dog(0.0f, 0.0f, 0.0f, &walk);
         aimCamera(0, 2, 0, 60, 15, 12);
     }},
};

// The frame of `view` from the program's start state, the bones turned 30 degrees, drawn by
// `last`. A running game's clock shows its full length: the frame is drawn again should the
// second change.
std::vector<unsigned char> drawView(const View& view, void (*last)() = frame) {
    for (time_t now = 0;; ) {
        resetShellState();
        myReshape(view.width, view.height);
        for (int i = 0; i < 60; ++i) scene.drawBones();
        for (char key : view.keys) press(key), frame();
        view.setup();
        seconds = started ? (now = std::time(nullptr)) + initialTime : seconds;
        last();
        if (!started || std::time(nullptr) == now) return readFrame();
    }
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
        if (shadow) {  // the frame's shadow mask is the literal reference's
            ShadowInputs in;
            readShadowMatrices(in);
            in.cameraDepth = camera_depth.data(), in.lightDepth = light_depth.data();
            std::vector<std::uint8_t> mask, literal;
            EXPECT_GT(referenceShadowMask(in, literal), 200) << view.name;
            computeShadowMask(in, mask);
            EXPECT_TRUE(mask == literal) << view.name;
            // and its light depths, kept yard and all, are the whole yard's drawn from the light
            const std::vector<float> kept = light_depth;
            drawView(view, [] { glClear(GL_DEPTH_BUFFER_BIT), wholeYardLightDepth(); });
            EXPECT_TRUE(light_depth == kept) << view.name << ": the kept light image is not the whole yard's";
        }
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

}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {  // the GL driver's, freed by the plain delete
    return size <= allocationLimit ? std::malloc(size ? size : 1) : nullptr;
}
void* operator new(std::size_t size) {
    if (void* block = operator new(size, std::nothrow)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
