#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Scene.h"
#include "TempDir.h"
#include "texture.h"

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(DataFiles, CommittedFilesAreExactlyTheirMakersOutput) {
    const struct { const char* maker; std::vector<std::string> names; std::string folder; } makers[] = {
        {MAKE_TEXTURES, {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp", "moon.bmp"},
         BONEYARD_DATA_DIR},
        {MAKE_MODELS, {"car4x4.obj", "toy.obj"}, BONEYARD_DATA_DIR}, {MAKE_WALK, {"walk.txt"}, BONEYARD_DATA_DIR},
        {MAKE_ICON, {"boneyard.svg"}, BONEYARD_PACKAGING_DIR}};
    for (const auto& m : makers) {
        TempDir dir;
        const std::string command = std::string("'") + m.maker + "' '" + dir.path.string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (const std::string& name : m.names) {
            const std::string fresh = slurp(dir.file(name));
            EXPECT_TRUE(!fresh.empty() && fresh == slurp(m.folder + "/" + name))
                << name << " differs from its maker's output: run the maker into " << m.folder;
        }
    }
}

// Each prop as the yard draws it: the shipped model loaded, centred and resized by the
// scene, then carried by the prop's placement matrix. The dog is stopped by the box alone,
// so every vertex must lie inside it, and the lowest on the ground.
TEST(ShippedProps, EveryVertexLiesInsideItsBoxAndTheLowestOnTheGround) {
    std::unique_ptr<Scene> scene;
    {
        ScopedChdir inData(BONEYARD_DATA_DIR);
        scene = std::make_unique<Scene>(20);
    }
    for (int i = 0; i < Scene::PROP_COUNT; ++i) {
        const PropPlacement& prop = Scene::getProp(i);
        const objReader& model = prop.car ? scene->getCar() : scene->getToy();
        ASSERT_EQ(model.getError(), objReader::ERROR_NONE) << "prop " << i;
        float m[16], low = 1e9f;
        Scene::propMatrix(prop, m);
        for (int k = 0; k < model.getVertexCount(); ++k) {
            const float* v = model.getVertices() + 3 * k;
            float w[3];
            for (int a = 0; a < 3; ++a) w[a] = m[a] * v[0] + m[4 + a] * v[1] + m[8 + a] * v[2] + m[12 + a];
            low = std::min(low, w[1]);
            ASSERT_TRUE(scene->getBound(prop.bound).checkCollision(w[0], w[1], w[2]))
                << "prop " << i << " vertex " << k << " at " << w[0] << ", " << w[2] << " is outside box " << prop.bound;
        }
        EXPECT_NEAR(low, 0.0f, 1e-4f) << "prop " << i;
    }
}

// Pixels start at byte 54, blue, green, red; the header is not read. A short file fills
// the texels its whole pixels cover and leaves the rest 0; a long file's tail is ignored.
TEST(BmpReadFile, TakesWholePixelsAfterTheHeader) {
    TempDir dir;
    std::string bytes(BMP_PIXEL_OFFSET, '\x02');  // a header claiming 2 x 2 pixels of 8 bits
    for (int i = 0; i < BMP_PIXEL_BYTES + 5000; ++i) bytes += static_cast<char>(i * 7 + i / 3 + 1);
    for (int size : {0, 54, 57, 54 + 1000, 54 + BMP_PIXEL_BYTES - 1, 54 + BMP_PIXEL_BYTES + 5000}) {
        std::vector<unsigned char> rgba;
        std::string error;
        ASSERT_TRUE(readBmpFile(dir.write("t.bmp", bytes.substr(0, size)).c_str(), rgba, error)) << error;
        const int covered = std::min(std::max(size - 54, 0) / 3, TEXTURE_SIZE * TEXTURE_SIZE);
        std::vector<unsigned char> want(rgba.size(), 0);
        for (int i = 0; i < covered; ++i)
            for (int c = 0; c < 4; ++c) want[4 * i + c] = c == 3 ? 255 : bytes[54 + 3 * i + 2 - c];
        ASSERT_EQ(rgba.size(), 4u * TEXTURE_SIZE * TEXTURE_SIZE) << size;
        EXPECT_TRUE(rgba == want) << size;
    }
}

// A failure leaves no texels and names the file as given and the reason.
TEST(BmpReadFile, FailureNamesTheFileAndTheReason) {
    TempDir dir;
    std::vector<unsigned char> rgba(8, 1);
    std::string error;
    EXPECT_FALSE(readBmpFile(dir.path.c_str(), rgba, error));
    EXPECT_EQ(error, dir.path.string() + ": cannot read: Is a directory");
    EXPECT_TRUE(rgba.empty());
    EXPECT_FALSE(loadImage("absent.bmp", 0, error));
    EXPECT_EQ(error, "absent.bmp: cannot open: No such file or directory");
}
