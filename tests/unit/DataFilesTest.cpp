#include <gtest/gtest.h>

#include "Scene.h"
#include "TempDir.h"
#include "objreader.h"
#include "texture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const TEXTURES[] = {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp",
                                "quorlinstarrynight.bmp", "moon.bmp"};
const char* const MODELS[] = {"car4x4.obj", "toy.obj"};

std::string shipped(const std::string& name) { return std::string(BONEYARD_DATA_DIR) + "/" + name; }

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned le16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
unsigned le32(const std::string& b, std::size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

}  // namespace

TEST(DataFiles, CommittedFilesAreExactlyTheirMakersOutput) {
    const struct {
        const char* maker;
        std::vector<std::string> names;
        std::string folder;  // where the committed files live
    } makers[] = {{MAKE_TEXTURES, {std::begin(TEXTURES), std::end(TEXTURES)}, BONEYARD_DATA_DIR},
                  {MAKE_MODELS, {std::begin(MODELS), std::end(MODELS)}, BONEYARD_DATA_DIR},
                  {MAKE_WALK, {"walk.txt"}, BONEYARD_DATA_DIR},
                  {MAKE_ICON, {"boneyard.svg"}, BONEYARD_PACKAGING_DIR}};
    for (const auto& m : makers) {
        TempDir dir;
        const std::string command = std::string("'") + m.maker + "' '" + dir.path().string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (const std::string& name : m.names) {
            const std::string fresh = slurp(dir.file(name));
            ASSERT_FALSE(fresh.empty()) << name << " was not made";
            EXPECT_TRUE(fresh == slurp(m.folder + "/" + name))
                << name << " differs from its maker's output: run the maker into " << m.folder;
        }
    }
}

class ShippedTexture : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedTexture, IsA128By128By24BitBmpThatDecodesOpaque) {
    const std::string b = slurp(shipped(GetParam()));
    ASSERT_EQ(b.size(), std::size_t(BMP_PIXEL_OFFSET + BMP_PIXEL_BYTES));
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(le32(b, 10), unsigned(BMP_PIXEL_OFFSET));
    EXPECT_EQ(le32(b, 18), unsigned(TEXTURE_SIZE));
    EXPECT_EQ(le32(b, 22), unsigned(TEXTURE_SIZE));  // positive: bottom row first
    EXPECT_EQ(le16(b, 28), 24u);

    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(shipped(GetParam()).c_str(), rgba, error)) << error;
    unsigned lowest = 255, highest = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_EQ(rgba[i + 3], 255) << "texel " << i / 4;
        lowest = std::min<unsigned>(lowest, rgba[i + 1]);
        highest = std::max<unsigned>(highest, rgba[i + 1]);
    }
    EXPECT_GT(highest - lowest, 40u) << "a flat colour, not a picture";
}

INSTANTIATE_TEST_SUITE_P(AllSix, ShippedTexture, ::testing::ValuesIn(TEXTURES));

class ShippedModel : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedModel, LoadsWithFacets8AndNormalisesToTheUnitBox) {
    const std::string path = shipped(GetParam());
    EXPECT_NE(slurp(path).find("\ng Facets_8\nf "), std::string::npos) << "no faces in a Facets_8 group";
    objReader model;
    model.loadObj(path.c_str());
    ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
    EXPECT_GT(model.getVertexCount(), 50);
    EXPECT_GT(model.getNormalCount(), 10);
    EXPECT_GE(model.getTriangleCount(), 200);
    EXPECT_LE(model.getTriangleCount(), 4000);  // drawn in immediate mode every frame

    model.centerObject();
    model.resizeObject();
    float b[6] = {};
    model.getBoundingVolume(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
    EXPECT_NEAR(std::max({-b[0], b[1], -b[2], b[3], -b[4], b[5]}), 1.0f, 1e-5f);
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(b[2 * axis], -b[2 * axis + 1], 1e-5f) << axis;
}

TEST_P(ShippedModel, EveryTriangleIsWoundTheWayItsNormalsPoint) {
    // Back faces are culled, so a triangle wound against its normals (after the reader
    // turns round the faces of "Facets_8") would show as a hole.
    objReader model;
    model.loadObj(shipped(GetParam()).c_str());
    ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
    const float* v = model.getVertices();
    const float* n = model.getNormals();
    for (int t = 0; t < model.getTriangleCount(); ++t) {
        const ObjFace& f = model.getFaces()[t];
        double e1[3], e2[3], normal[3] = {0, 0, 0};
        for (int a = 0; a < 3; ++a) {
            e1[a] = v[f.vertex[1] * 3 + a] - v[f.vertex[0] * 3 + a];
            e2[a] = v[f.vertex[2] * 3 + a] - v[f.vertex[0] * 3 + a];
            for (int k = 0; k < 3; ++k) normal[a] += n[f.normal[k] * 3 + a];
        }
        const double facing = (e1[1] * e2[2] - e1[2] * e2[1]) * normal[0] +
                              (e1[2] * e2[0] - e1[0] * e2[2]) * normal[1] +
                              (e1[0] * e2[1] - e1[1] * e2[0]) * normal[2];
        ASSERT_GT(facing, 0.0) << "triangle " << t << " is wound against its normals";
    }
}

INSTANTIATE_TEST_SUITE_P(Both, ShippedModel, ::testing::ValuesIn(MODELS));

// Each prop as the yard draws it: the shipped model loaded, centred and resized by the
// scene, then carried by the prop's own placement matrix. The dog is stopped by the box
// alone, so a vertex outside it is a part of the model the dog walks into.
TEST(ShippedProps, EveryVertexLiesInsideItsBoxAndTheLowestOnTheGround) {
    std::unique_ptr<Scene> scene;
    {
        ScopedChdir inData(BONEYARD_DATA_DIR);
        scene = std::make_unique<Scene>(20);
    }
    for (int i = 0; i < Scene::PROP_COUNT; ++i) {
        const PropPlacement& prop = Scene::getProp(i);
        SCOPED_TRACE("prop " + std::to_string(i) + (prop.car ? " (car)" : " (toy)"));
        const objReader& model = prop.car ? scene->getCar() : scene->getToy();
        ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
        float m[16];
        Scene::propMatrix(prop, m);
        const Bound& box = scene->getBound(prop.bound);
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        int outside = 0;
        for (int k = 0; k < model.getVertexCount(); ++k) {
            const float* v = model.getVertices() + 3 * k;
            float world[3];
            for (int a = 0; a < 3; ++a) {
                world[a] = m[a] * v[0] + m[4 + a] * v[1] + m[8 + a] * v[2] + m[12 + a];
                lo[a] = std::min(lo[a], world[a]);
                hi[a] = std::max(hi[a], world[a]);
            }
            if (!box.checkCollision(world[0], world[1], world[2])) ++outside;
        }
        float x1, z1, x3, z3;
        box.getCorner(1, x1, z1);
        box.getCorner(3, x3, z3);
        EXPECT_EQ(outside, 0) << "of " << model.getVertexCount() << " vertices: the model spans x " << lo[0]
                              << ".." << hi[0] << ", z " << lo[2] << ".." << hi[2] << "; bound " << prop.bound
                              << " spans x " << x3 << ".." << x1 << ", z " << z3 << ".." << z1;
        EXPECT_NEAR(lo[1], 0.0f, 1e-4f);
    }
}
