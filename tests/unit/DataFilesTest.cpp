#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Scene.h"
#include "TempDir.h"
#include "shell.h"
#include "texture.h"

TEST(DataFiles, CommittedFilesAreExactlyTheirMakersOutput) {
    const struct { const char* maker; std::vector<std::string> names; std::string folder; } makers[] = {
        {MAKE_TEXTURES, {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp", "moon.bmp"},
         BONEYARD_DATA_DIR},
        {MAKE_MODELS, {"car4x4.obj", "toy.obj"}, BONEYARD_DATA_DIR}, {MAKE_WALK, {"walk.txt"}, BONEYARD_DATA_DIR},
        {MAKE_ICON, {"boneyard.svg"}, BONEYARD_PACKAGING_DIR}};
    for (const auto& m : makers) {
        TempDir dir;
        ASSERT_EQ(std::system(("'" + std::string(m.maker) + "' '" + dir.path().string() + "'").c_str()), 0) << m.maker;
        for (const std::string& name : m.names)
            EXPECT_EQ(std::system(("cmp '" + dir.file(name) + "' '" + m.folder + "/" + name + "'").c_str()), 0)
                << name << " differs from its maker's output: run the maker into " << m.folder;
    }
}

// The dog is stopped by a prop's box alone. Placed as the game places them, every vertex lies
// strictly inside the box, the lowest on the ground; the box is at most SLACK wider on any side.
TEST(ShippedProps, StandOnTheGroundInsideBoxesThatFitThem) {
    constexpr float SLACK = 4.0f;  // the toys leave up to 3.8 free, across their short side
    ScopedChdir inData(BONEYARD_DATA_DIR);
    Scene scene(20);
    for (int i = 0; i < Scene::PROP_COUNT; ++i) {
        const PropPlacement& prop = Scene::getProp(i);
        const objReader& model = prop.car ? scene.getCar() : scene.getToy();
        const Bound& box = scene.getBound(prop.bound);
        ASSERT_EQ(model.getError(), objReader::ERROR_NONE) << "prop " << i;
        float m[16], w[3], low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
        Scene::propMatrix(prop, m);
        for (int k = 0; k < model.getVertexCount(); ++k) {
            const float* v = model.getVertices() + 3 * k;
            for (int a = 0; a < 3; ++a) w[a] = m[a] * v[0] + m[4 + a] * v[1] + m[8 + a] * v[2] + m[12 + a];
            ASSERT_TRUE(box.checkCollision(w[0], w[1], w[2]))
                << "prop " << i << " vertex " << k << " at " << w[0] << ", " << w[2] << " is outside box " << prop.bound;
            for (int a = 0; a < 3; ++a) low[a] = std::min(low[a], w[a]), high[a] = std::max(high[a], w[a]);
        }
        EXPECT_NEAR(low[1], 0.0f, 1e-4f) << "prop " << i;
        const float midX = (low[0] + high[0]) / 2, midZ = (low[2] + high[2]) / 2;
        for (auto [x, z] : {std::pair{low[0] - SLACK, midZ}, {high[0] + SLACK, midZ}, {midX, low[2] - SLACK}, {midX, high[2] + SLACK}})
            EXPECT_FALSE(box.checkCollision(x, 0, z)) << "prop " << i << ": box " << prop.bound << " reaches " << x << ", " << z;
    }
}

// Pixels start at byte 54, blue, green, red; the header is not read. A short file fills
// the texels its whole pixels cover, the rest stay 0; a long file's tail is ignored. A
// file that cannot be read leaves no texels and names the file as given and the reason.
TEST(BmpReadFile, TakesWholePixelsAfterTheHeader) {
    TempDir dir;
    std::string bytes(BMP_PIXEL_OFFSET, '\x02');  // a header claiming 2 x 2 pixels of 8 bits
    for (int i = 0; i < BMP_PIXEL_BYTES + 5000; ++i) bytes += static_cast<char>(i * 7 + i / 3 + 1);
    std::vector<unsigned char> rgba;
    std::string error;
    for (int size : {0, 54, 57, 54 + 1000, 54 + BMP_PIXEL_BYTES - 1, 54 + BMP_PIXEL_BYTES + 5000}) {
        ASSERT_TRUE(readBmpFile(dir.write("t.bmp", bytes.substr(0, size)).c_str(), rgba, error)) << error;
        std::vector<unsigned char> want(4 * TEXTURE_SIZE * TEXTURE_SIZE, 0);
        for (int i = 0; i < std::min(std::max(size - 54, 0) / 3, TEXTURE_SIZE * TEXTURE_SIZE); ++i)
            for (int c = 0; c < 4; ++c) want[4 * i + c] = c == 3 ? 255 : bytes[54 + 3 * i + 2 - c];
        EXPECT_TRUE(rgba == want) << size;
    }
    EXPECT_FALSE(readBmpFile(dir.path().c_str(), rgba, error));
    EXPECT_EQ(error, dir.path().string() + ": cannot read: Is a directory");
    EXPECT_TRUE(rgba.empty());
    EXPECT_FALSE(loadImage("absent.bmp", 0, error));
    EXPECT_EQ(error, "absent.bmp: cannot open: No such file or directory");
}

// The game cannot start without a texture: one line names the first missing file, the folder it
// looked in and why, and the game exits with status 1.
TEST(BmpReadFile, AMissingTextureStopsTheGameWithOneLine) {
    TempDir dir;
    EXPECT_EXIT({ ScopedChdir inEmpty(dir.path()); readTextures(); }, ::testing::ExitedWithCode(1),
                "^boneyard: cannot load texture \"sides.bmp\" from " + dir.path().string() +
                    ": cannot open: No such file or directory\n$");
}
