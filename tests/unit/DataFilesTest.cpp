#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

// Each row: a shipped picture (128 x 128, 24 bits, pixels at 54) as ImageMagick's convert writes it
// with `args`, then edited by hand into forms convert does not write. Every form the game reads gives
// the shipped file's pixels in file order, blue-green-red to red-green-blue, alpha 255; any other
// gives no texels and says why after the file's name, as does a file that cannot be read.
TEST(BmpReadFile, EditorsFormsShowThePictureOthersSayWhy) {
    const std::string source = std::string(BONEYARD_DATA_DIR) + "/quorlinstarrynight.bmp";
    const struct { const char* args; void (*edit)(std::string&); std::string reason; } cases[] = {
        {"BMP3:", nullptr, ""}, {"-type TrueColor BMP:", nullptr, ""}, {"-type TrueColorAlpha BMP:", nullptr, ""},  // V5's, 24 and 32
        {"-type TrueColorAlpha -define bmp3:alpha=true BMP3:", nullptr, ""},  // 32 bits without bit fields
        {"-type TrueColorAlpha BMP:", [](std::string& b) { b.erase(122, 16), b[10] = 122, b[14] = 108; }, ""},  // V4's
        {"-flip -type TrueColor BMP:", [](std::string& b) { b.replace(22, 4, "\x80\xff\xff\xff"); }, ""},  // top-down
        {"-type TrueColorAlpha BMP:", [](std::string& b) { b[56] = 0; }, "keeps its colours in an order the game does not read"},
        {"-scale 200% BMP:", nullptr, "is 256 x 256 pixels; the game needs 128 x 128"}, {"-type Palette BMP3:", nullptr, "is compressed"},
        {"-type Palette -compress None BMP3:", nullptr, "has 8 bits a pixel and a palette; the game needs 24 or 32"},
        {"-define bmp:subtype=RGB565 BMP:", nullptr, "has 16 bits a pixel; the game needs 24 or 32"},
        {"BMP3:", [](std::string& b) { b[14] = 12; }, "has a 12-byte BMP header; the game reads 40-, 108- and 124-byte ones"},
        {"BMP3:", [](std::string& b) { b.pop_back(); }, "ends before its pixels do"},
        {"BMP3:", [](std::string& b) { b.resize(53); }, "ends before its pixels do"}, {"PNG:", nullptr, "is not a BMP picture"}};
    auto slurp = [](const std::string& p) { std::ifstream f(p, std::ios::binary); return std::string(std::istreambuf_iterator<char>(f), {}); };
    const std::string shipped = slurp(source);
    std::string want;
    for (int i = 0; i < TEXTURE_SIZE * TEXTURE_SIZE * 4; ++i) want += i % 4 == 3 ? '\xff' : shipped[54 + i / 4 * 3 + 2 - i % 4];
    TempDir dir;
    std::vector<unsigned char> rgba, decoded;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args + std::string(c.edit ? ", edited" : ""));
        const std::string path = dir.file("t.bmp");
        ASSERT_EQ(std::system(("convert '" + source + "' " + c.args + "'" + path + "'").c_str()), 0);
        std::string bytes = slurp(path), error;
        if (c.edit) c.edit(bytes);
        EXPECT_EQ(readBmpFile(dir.write("t.bmp", bytes).c_str(), rgba, error), c.reason.empty());
        EXPECT_EQ(error, c.reason.empty() ? "" : path + ": " + c.reason);
        EXPECT_TRUE(std::string(rgba.begin(), rgba.end()) == (c.reason.empty() ? want : "")) << "texels differ";
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        EXPECT_TRUE(decodeBmp(data, bytes.size(), decoded) == c.reason && decoded == rgba) << "decodeBmp differs";
    }
    std::string error;
    EXPECT_TRUE(!readBmpFile(dir.path().c_str(), rgba, error) && error == dir.path().string() + ": cannot read: Is a directory") << error;
    EXPECT_TRUE(!loadImage("absent.bmp", 0, error) && error == "absent.bmp: cannot open: No such file or directory") << error;
}
