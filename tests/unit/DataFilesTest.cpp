#include <gtest/gtest.h>

#include "TempDir.h"
#include "objreader.h"
#include "texture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
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

// Runs `maker` with `folder` as its only argument; true when it exits with 0.
bool runMaker(const char* maker, const std::filesystem::path& folder) {
    const std::string command = std::string("'") + maker + "' '" + folder.string() + "'";
    return std::system(command.c_str()) == 0;
}

void expectSameAsShipped(const TempDir& made, const std::string& name) {
    const std::string fresh = slurp(made.file(name));
    const std::string committed = slurp(shipped(name));
    ASSERT_FALSE(fresh.empty()) << name << " was not made";
    EXPECT_TRUE(fresh == committed) << name << " differs from its maker's output: run the maker into data/";
}

unsigned le16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
unsigned le32(const std::string& b, std::size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

}  // namespace

// ---- the committed files are exactly what their makers write ----------------------

TEST(DataFilesRegenerate, TexturesMatchTheirMaker) {
    TempDir dir;
    ASSERT_TRUE(runMaker(MAKE_TEXTURES, dir.path()));
    for (const char* name : TEXTURES) expectSameAsShipped(dir, name);
}

TEST(DataFilesRegenerate, ModelsMatchTheirMaker) {
    TempDir dir;
    ASSERT_TRUE(runMaker(MAKE_MODELS, dir.path()));
    for (const char* name : MODELS) expectSameAsShipped(dir, name);
}

TEST(DataFilesRegenerate, WalkMatchesItsMaker) {
    TempDir dir;
    ASSERT_TRUE(runMaker(MAKE_WALK, dir.path()));
    expectSameAsShipped(dir, "walk.txt");
}

TEST(DataFilesRegenerate, MakersRefuseAMissingFolder) {
    TempDir dir;
    EXPECT_FALSE(runMaker(MAKE_TEXTURES, dir.path() / "absent"));
    EXPECT_FALSE(runMaker(MAKE_MODELS, dir.path() / "absent"));
}

// ---- the shipped textures ------------------------------------------------------------

class ShippedTexture : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedTexture, HeaderIsA24BitBmpOf128By128WithPixelsAt54) {
    const std::string b = slurp(shipped(GetParam()));
    ASSERT_EQ(b.size(), std::size_t(BMP_PIXEL_OFFSET + BMP_PIXEL_BYTES));
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(le32(b, 2), b.size());              // file size
    EXPECT_EQ(le32(b, 10), unsigned(BMP_PIXEL_OFFSET));
    EXPECT_EQ(le32(b, 14), 40u);                  // BITMAPINFOHEADER
    EXPECT_EQ(le32(b, 18), unsigned(TEXTURE_SIZE));
    EXPECT_EQ(le32(b, 22), unsigned(TEXTURE_SIZE));  // positive: bottom row first
    EXPECT_EQ(le16(b, 26), 1u);                   // planes
    EXPECT_EQ(le16(b, 28), 24u);                  // bits per pixel
    EXPECT_EQ(le32(b, 30), 0u);                   // uncompressed
    EXPECT_EQ(le32(b, 34), unsigned(BMP_PIXEL_BYTES));
}

TEST_P(ShippedTexture, DecodesAsAnOpaquePicture) {
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(shipped(GetParam()).c_str(), rgba, error)) << error;
    ASSERT_EQ(rgba.size(), std::size_t(TEXTURE_SIZE * TEXTURE_SIZE * 4));
    unsigned lowest = 255, highest = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_EQ(rgba[i + 3], 255) << "texel " << i / 4;
        const unsigned grey = (rgba[i] + rgba[i + 1] + rgba[i + 2]) / 3;
        lowest = std::min(lowest, grey);
        highest = std::max(highest, grey);
    }
    EXPECT_GT(highest - lowest, 40u) << "a flat colour, not a picture";
}

INSTANTIATE_TEST_SUITE_P(AllSix, ShippedTexture, ::testing::ValuesIn(TEXTURES));

namespace {

// The mean difference between two neighbouring lines of texels, for every pair inside
// the picture and for the pair that meets when it repeats (last and first). Board and
// course edges are sharp on purpose, so the seam is held against the sharpest line
// inside, not the average: a seam shows as an edge sharper than any inside.
void expectSeamless(const char* name) {
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(shipped(name).c_str(), rgba, error)) << error;
    auto grey = [&](int x, int y) {
        const unsigned char* t = &rgba[(std::size_t(y) * TEXTURE_SIZE + x) * 4];
        return (t[0] + t[1] + t[2]) / 3.0;
    };
    for (int vertical = 0; vertical <= 1; ++vertical) {
        auto lineStep = [&](int a, int b) {
            double sum = 0.0;
            for (int i = 0; i < TEXTURE_SIZE; ++i)
                sum += vertical ? std::fabs(grey(i, a) - grey(i, b)) : std::fabs(grey(a, i) - grey(b, i));
            return sum / TEXTURE_SIZE;
        };
        double sharpest = 0.0;
        for (int k = 0; k + 1 < TEXTURE_SIZE; ++k) sharpest = std::max(sharpest, lineStep(k, k + 1));
        const double seam = lineStep(TEXTURE_SIZE - 1, 0);
        EXPECT_LE(seam, sharpest * 1.1 + 1.0) << name << (vertical ? " top to bottom" : " left to right");
    }
}

double meanBrightness(const char* name) {
    std::vector<unsigned char> rgba;
    std::string error;
    EXPECT_TRUE(readBmpFile(shipped(name).c_str(), rgba, error)) << error;
    double sum = 0.0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) sum += (rgba[i] + rgba[i + 1] + rgba[i + 2]) / 3.0;
    return sum / (rgba.size() / 4);
}

}  // namespace

TEST(ShippedTextureTiling, RepeatedTexturesHaveNoSeam) {
    // The gable repeats the siding twice, the roof 2 x 2, the ground 300 times.
    for (const char* name : {"sides.bmp", "roof.bmp", "ground.bmp"}) expectSeamless(name);
}

TEST(ShippedTextureTone, TintedTexturesAreLightEnoughToShowTheirTint) {
    // Drawn multiplied by the lit colour: a dark texture would turn the yard black.
    for (const char* name : {"sides.bmp", "roof.bmp", "ground.bmp", "stones.bmp", "quorlinstarrynight.bmp"})
        EXPECT_GT(meanBrightness(name), 120.0) << name;
}

TEST(ShippedTextureTone, MoonIsABrightDiscOnTheDarkNight) {
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(shipped("moon.bmp").c_str(), rgba, error)) << error;
    auto grey = [&](int x, int y) {
        const unsigned char* t = &rgba[(std::size_t(y) * TEXTURE_SIZE + x) * 4];
        return (t[0] + t[1] + t[2]) / 3;
    };
    for (int corner : {0, TEXTURE_SIZE - 1}) {
        EXPECT_LT(grey(corner, corner), 40);
        EXPECT_LT(grey(corner, TEXTURE_SIZE - 1 - corner), 40);
    }
    double disc = 0.0;  // the middle of the disc, seas and craters included
    for (int y = 44; y < 84; ++y)
        for (int x = 44; x < 84; ++x) disc += grey(x, y) / 1600.0;
    EXPECT_GT(disc, 150.0);
}

// ---- the shipped models -------------------------------------------------------------

class ShippedModel : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedModel, StaysWithinTheReadersSubset) {
    std::istringstream text(slurp(shipped(GetParam())));
    ASSERT_FALSE(text.str().empty());
    EXPECT_EQ(text.str().find('\r'), std::string::npos);
    EXPECT_EQ(text.str().find('\t'), std::string::npos);
    EXPECT_EQ(text.str().back(), '\n');
    int vertices = 0, normals = 0, faces = 0, lineNumber = 0;
    std::string line;
    std::vector<std::string> faceLines;
    while (std::getline(text, line)) {
        ++lineNumber;
        ASSERT_LT(line.size(), 79u) << "line " << lineNumber;  // the reader's buffer holds 79
        ASSERT_EQ(line.find("  "), std::string::npos) << "line " << lineNumber;
        const std::string keyword = line.substr(0, line.find(' '));
        if (keyword == "v") ++vertices;
        else if (keyword == "vn") ++normals;
        else if (keyword == "f") faceLines.push_back(line);
        else ASSERT_TRUE(keyword == "g" || keyword == "#") << "line " << lineNumber << ": " << line;
    }
    for (const std::string& f : faceLines) {
        std::istringstream corners(f.substr(2));
        std::string corner;
        int count = 0;
        while (corners >> corner) {
            ++count;
            int v = 0, n = 0;
            char tail = 0;
            ASSERT_EQ(std::sscanf(corner.c_str(), "%d//%d%c", &v, &n, &tail), 2) << f;
            ASSERT_TRUE(v >= 1 && v <= vertices) << f;
            ASSERT_TRUE(n >= 1 && n <= normals) << f;
        }
        ASSERT_TRUE(count == 3 || count == 4) << f;
        ++faces;
    }
    EXPECT_GT(faces, 100);
}

TEST_P(ShippedModel, HasAFacets8GroupWithFaces) {
    const std::string text = slurp(shipped(GetParam()));
    const std::size_t group = text.find("\ng Facets_8\n");
    ASSERT_NE(group, std::string::npos);
    EXPECT_EQ(text.compare(group + 12, 2, "f "), 0) << "the group has no faces";
}

TEST_P(ShippedModel, LoadsWithoutErrorAndSensibleCounts) {
    objReader model;
    std::string path = shipped(GetParam());
    model.loadObj(path.data());
    ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
    EXPECT_GT(model.getVertexCount(), 50);
    EXPECT_GT(model.getNormalCount(), 10);
    EXPECT_GE(model.getTriangleCount(), 200);
    EXPECT_LE(model.getTriangleCount(), 4000);  // drawn in immediate mode every frame
}

TEST_P(ShippedModel, EveryTriangleFacesTheWayItsNormalsPoint) {
    // Back faces are culled: a triangle wound against its normals would be a hole. This
    // holds after the reader has turned round the faces of "Facets_8".
    objReader model;
    std::string path = shipped(GetParam());
    model.loadObj(path.data());
    ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
    const float* v = model.getVertices();
    const float* n = model.getNormals();
    const ObjFace* faces = model.getFaces();
    for (int t = 0; t < model.getTriangleCount(); ++t) {
        const ObjFace& f = faces[t];
        float corner[3][3];
        double nsum[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k) {
            ASSERT_GE(f.vertex[k], 0);
            ASSERT_LT(f.vertex[k], model.getVertexCount());
            ASSERT_GE(f.normal[k], 0);
            ASSERT_LT(f.normal[k], model.getNormalCount());
            for (int a = 0; a < 3; ++a) {
                corner[k][a] = v[f.vertex[k] * 3 + a];
                nsum[a] += n[f.normal[k] * 3 + a];
            }
        }
        double e1[3], e2[3];
        for (int a = 0; a < 3; ++a) {
            e1[a] = corner[1][a] - corner[0][a];
            e2[a] = corner[2][a] - corner[0][a];
        }
        const double geometric[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                     e1[0] * e2[1] - e1[1] * e2[0]};
        const double facing = geometric[0] * nsum[0] + geometric[1] * nsum[1] + geometric[2] * nsum[2];
        ASSERT_GT(facing, 0.0) << "triangle " << t << " is wound against its normals";
    }
}

TEST_P(ShippedModel, NormalisedLargestHalfExtentIsOne) {
    objReader model;
    std::string path = shipped(GetParam());
    model.loadObj(path.data());
    ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
    model.centerObject();
    model.resizeObject();
    float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    model.getBoundingVolume(&minX, &maxX, &minY, &maxY, &minZ, &maxZ);
    const float largest = std::max({-minX, maxX, -minY, maxY, -minZ, maxZ});
    EXPECT_NEAR(largest, 1.0f, 1e-5f);
    EXPECT_NEAR(minX, -maxX, 1e-5f);
    EXPECT_NEAR(minY, -maxY, 1e-5f);
    EXPECT_NEAR(minZ, -maxZ, 1e-5f);
}

TEST_P(ShippedModel, RestsOnTheGrassWhereTheYardLiftsIt) {
    // The yard lifts each normalised model by 0.4 before scaling it, with model +z up:
    // the lowest vertex then touches the ground.
    objReader model;
    std::string path = shipped(GetParam());
    model.loadObj(path.data());
    ASSERT_EQ(model.getError(), objReader::ERROR_NONE);
    model.centerObject();
    model.resizeObject();
    float lowest = 1e9f, highest = -1e9f;
    for (int i = 0; i < model.getVertexCount(); ++i) {
        lowest = std::min(lowest, model.getVertices()[i * 3 + 2]);
        highest = std::max(highest, model.getVertices()[i * 3 + 2]);
    }
    EXPECT_NEAR(lowest, -0.4f, 0.01f);
    EXPECT_NEAR(highest, 0.4f, 0.01f);
}

INSTANTIATE_TEST_SUITE_P(Both, ShippedModel, ::testing::ValuesIn(MODELS));
