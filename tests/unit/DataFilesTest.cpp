#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Scene.h"
#include "TempDir.h"
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

// Each prop's shipped model as the yard loads and places it: the dog is stopped by the
// box alone, so every vertex must lie inside it.
TEST(ShippedProps, EveryVertexLiesInsideItsBox) {
    ScopedChdir inData(BONEYARD_DATA_DIR);
    Scene scene(20);
    for (int i = 0; i < Scene::PROP_COUNT; ++i) {
        const PropPlacement& prop = Scene::getProp(i);
        const objReader& model = prop.car ? scene.getCar() : scene.getToy();
        ASSERT_EQ(model.getError(), objReader::ERROR_NONE) << "prop " << i;
        float m[16], w[3];
        Scene::propMatrix(prop, m);
        for (int k = 0; k < model.getVertexCount(); ++k) {
            const float* v = model.getVertices() + 3 * k;
            for (int a = 0; a < 3; ++a) w[a] = m[a] * v[0] + m[4 + a] * v[1] + m[8 + a] * v[2] + m[12 + a];
            ASSERT_TRUE(scene.getBound(prop.bound).checkCollision(w[0], w[1], w[2]))
                << "prop " << i << " vertex " << k << " at " << w[0] << ", " << w[2] << " is outside box " << prop.bound;
        }
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
