#include "objreader.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Corners = std::array<int, 3>;
using CornerList = std::vector<Corners>;

const std::string SQUARE = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

CornerList corners(const objReader& r, int (ObjFace::*slot)[4]) {
    CornerList out;
    for (int t = 0; t < r.getTriangleCount(); ++t) {
        const int* c = r.getFaces()[t].*slot;
        out.push_back({c[0], c[1], c[2]});
    }
    return out;
}

std::vector<float> bounds(const objReader& r) {
    std::vector<float> b(6, 7.0f);
    r.getBoundingVolume(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
    return b;
}

void expectBounds(const objReader& r, const std::vector<float>& expected, float tolerance = 1e-6f) {
    const std::vector<float> b = bounds(r);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(b[i], expected[i], tolerance) << "bound " << i;
}

std::string replacement;  // written over the file between the two passes
void rewriteFile(const char* path) { std::ofstream(path, std::ios::binary | std::ios::trunc) << replacement; }

class ObjReaderTest : public ::testing::Test {
protected:
    void load(const std::string& text, objReader& r) { r.loadObj(dir.write("model.obj", text).c_str()); }
    void load(const std::string& text) { load(text, reader); }

    TempDir   dir;
    objReader reader;
};

TEST_F(ObjReaderTest, FileWithoutRecordsLoadsWithNullArrays) {
    load("# only a comment\no car\n\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getVertexCount() + reader.getTriangleCount(), 0);
    EXPECT_TRUE(!reader.getVertices() && !reader.getNormals() && !reader.getTexCoords() && !reader.getFaces());
}

TEST_F(ObjReaderTest, UnopenableFileIsError4AndReportsNothing) {
    for (const std::string& path : {dir.file("absent.obj"), dir.path().string()}) {
        objReader r;
        r.loadObj(path.c_str());
        EXPECT_EQ(r.getError(), objReader::ERROR_OPEN) << path;
        EXPECT_EQ(r.getTriangleCount() + r.getVertexCount(), 0) << path;
        EXPECT_EQ(bounds(r), std::vector<float>(6, 7.0f)) << path;
    }
}

TEST_F(ObjReaderTest, LaterLoadsReplaceTheModelUntilOneFails) {
    load(SQUARE + "v 100 100 100\nf 1 2 3 4\n");
    load("v 1 1 1\nf 1 1 1\n");
    EXPECT_EQ(reader.getVertexCount(), 1);
    EXPECT_EQ(reader.getTriangleCount(), 1);
    expectBounds(reader, {0.9f, 1.1f, 0.9f, 1.1f, 0.9f, 1.1f});
    const float* earlier = reader.getVertices();
    reader.loadObj(dir.file("absent.obj").c_str());  // keeps the arrays...
    EXPECT_EQ(reader.getVertices(), earlier);
    EXPECT_EQ(reader.getRawFaceCount(), 1);
    load(SQUARE + "f 1 2 3\n");  // ...and a good file does not clear the failure
    EXPECT_EQ(reader.getError(), objReader::ERROR_OPEN);
    EXPECT_EQ(reader.getTriangleCount(), 0);
}

TEST_F(ObjReaderTest, RecordsAreStoredInFileOrder) {
    load("v 1.5 -2 3e1\nvn 0 0 1\nvt 0.25 0.75 0.9\nv 4 5 6\nvn 0 1 0\n"
         "# v 1 2 3\nvp 1 2\nvx 1 2 3\ns 1\nusemtl red\nff 1 2 3\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getVertexCount(), 2);
    ASSERT_EQ(reader.getNormalCount(), 2);
    ASSERT_EQ(reader.getTexCoordCount(), 1);
    EXPECT_EQ(reader.getTriangleCount(), 0);
    const float* v = reader.getVertices();
    EXPECT_EQ(std::vector<float>(v, v + 6), (std::vector<float>{1.5f, -2, 30, 4, 5, 6}));
    EXPECT_EQ(reader.getNormals()[4], 1.0f);
    const float* t = reader.getTexCoords();
    EXPECT_EQ(std::vector<float>(t, t + 3), (std::vector<float>{0.25f, 0.75f, 0}));  // third value dropped
}

TEST_F(ObjReaderTest, OddRecordLines) {
    // A tab after "v" is no vertex; a number that does not read stops the line; a
    // two-letter keyword drops its third character, whatever it is.
    load("v 1 abc 3\nv\t9 9 9\nv 2\nvn\t0 0 1\nvt9 0.5\nvt\nvt");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);  // the bare "vt" at the end is read by neither pass
    ASSERT_EQ(reader.getVertexCount(), 2);
    ASSERT_EQ(reader.getNormalCount(), 1);
    ASSERT_EQ(reader.getTexCoordCount(), 2);
    const float* v = reader.getVertices();
    EXPECT_EQ(std::vector<float>(v, v + 6), (std::vector<float>{1, 0, 0, 2, 0, 0}));
    EXPECT_EQ(reader.getNormals()[2], 1.0f);
    const float* t = reader.getTexCoords();
    EXPECT_EQ(std::vector<float>(t, t + 6), (std::vector<float>{0.5f, 0, 0, 0, 0, 0}));
}

TEST_F(ObjReaderTest, CrlfFileReadsLikeLfFile) {
    const std::string lf = SQUARE + "vn 0 0 1\nvt 0.5 0.5\ng Facets_8\nf 1/1/1 2/1/1 3/1/1 4/1/1\n";
    std::string crlf;
    for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    objReader lfReader;
    load(lf, lfReader);
    load(crlf);
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getVertexCount(), 4);
    EXPECT_EQ(std::vector<float>(reader.getVertices(), reader.getVertices() + 12),
              std::vector<float>(lfReader.getVertices(), lfReader.getVertices() + 12));
    EXPECT_EQ(corners(reader, &ObjFace::vertex), (CornerList{{1, 0, 2}, {2, 0, 3}}));
}

// Face lines: the triangles stored, as 0-based vertex corners and, when given, normal and
// texture corners.
struct FaceCase {
    const char* name;
    std::string text;
    CornerList vertex, normal, tex;
};

TEST_F(ObjReaderTest, FaceLines) {
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += "v " + std::to_string(i) + " 0 0\n";
    const std::string pad(30, '0');
    const std::string NT = SQUARE + "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\nvn 1 1 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    const CornerList zero1 = {{0, 0, 0}}, quad = {{0, 1, 2}, {0, 2, 3}};
    const FaceCase cases[] = {
        {"v/t/n", NT + "f 1/3/2 2/2/1 4/1/2\n", {{0, 1, 3}}, {{1, 0, 1}}, {{2, 1, 0}}},
        {"v//n", NT + "f 1//2 2//1 3//2\n", {{0, 1, 2}}, {{1, 0, 1}}, zero1},
        {"v/t", NT + "f 2/2 3/1 4/2\n", {{1, 2, 3}}, zero1, {{1, 0, 1}}},
        {"v", NT + "f 4 3 2\n", {{3, 2, 1}}, zero1, zero1},
        // after "1//3" the line never returns to v/t/n: "2/2/2" reads as vertex/texture
        {"mixed forms", NT + "f 1//3 2/2/2 3//1\n", {{0, 1, 2}}, {{2, 0, 0}}, {{0, 1, 0}}},
        {"short lines", SQUARE + "f 3\nf \n", {{2, 0, 0}, {0, 0, 0}}, {}, {}},
        {"double space", SQUARE + "f 1  2 3\n", {{0, 1, 1}, {0, 1, 2}}, {}, {}},
        {"tab", SQUARE + "f 2\t3 4\n", {{1, 3, 0}}, {}, {}},
        {"quad split", NT + "f 1/4/1 2/3/2 3/2/3 4/1/4\n", quad, quad, {{3, 2, 1}, {3, 1, 0}}},
        {"order kept", SQUARE + "f 1 2 3\nf 1 2 3 4\nf 2 3 4\nf 1 3 4 2\nf 4 3 1\n",
         {{0, 1, 2}, {0, 1, 2}, {0, 2, 3}, {1, 2, 3}, {0, 2, 3}, {0, 3, 1}, {3, 2, 0}}, {}, {}},
        {"Facets_8 quad", SQUARE + "g Facets_8\nf 1 2 3 4\n", {{1, 0, 2}, {2, 0, 3}}, {}, {}},
        {"Facets_8 carries n/t", NT + "g Facets_8\nf 1/1/1 2/2/2 3/1/1\n", {{1, 0, 2}}, {{1, 0, 0}}, {{1, 0, 0}}},
        {"Facets_8 CRLF, then off", SQUARE + "g Facets_8\r\nf 1 2 3\ng Facets_9\nf 1 2 3\n",
         {{1, 0, 2}, {0, 1, 2}}, {}, {}},
        {"names match exactly", SQUARE + "g facets_8\nf 1 2 3\ng Facets_8 \nf 1 2 3\ng Facets_80\nf 1 2 3\n",
         {{0, 1, 2}, {0, 1, 2}, {0, 1, 2}}, {}, {}},
        {"g without space", SQUARE + "g Facets_8\ngFacets_9\ng\nf 1 2 3\n", {{1, 0, 2}}, {}, {}},
        {"decimal", twelve + "f 010 011 012\nf 08 09 1\n", {{9, 10, 11}, {7, 8, 0}}, {}, {}},
        {"past the fourth", SQUARE + "v 2 2 2\nf 1 2 3 4 5\nf 4 3 2\n", {{0, 1, 2}, {0, 2, 3}, {3, 2, 1}}, {}, {}},
        {"bad vertex dropped", SQUARE + "f 1 2 3\nf 0 1 2\nf 1 2 5\nf -1 2 3\nf 1 2 3 9\nf 4 4 4\n",
         {{0, 1, 2}, {3, 3, 3}}, {}, {}},
        {"drop leaves no trace", SQUARE + "f 4 4 4 9\nf 2\n", {{1, 0, 0}}, {}, {}},
        {"bad n/t dropped", NT + "f 1/1/5 2/1/1 3/1/1\nf 1/5/1 2/1/1 3/1/1\nf 1//0 2//1 3//1\nf 1/4/4 2/1/1 3/1/1\n",
         {{0, 1, 2}}, {{3, 0, 0}}, {{3, 0, 0}}},
        {"n/t free without records", SQUARE + "f 1/7/9 2/7/9 3/7/9\n", {{0, 1, 2}}, zero1, zero1},
        {"huge n without records", SQUARE + "f 1//-9223372036854775808 2//1 3//1\n", {{0, 1, 2}}, zero1, {}},
        {"huge t without records", SQUARE + "f 1/-9223372036854775808 2/1 3/1\n", {{0, 1, 2}}, {}, zero1},
        {"no vertices", "vn 0 0 1\nf 1\nf\n", {}, {}, {}},
        {"huge", SQUARE + "f 1 2 99999999999999999999999\nf -9223372036854775808 1 2\nf 4294967297 1 2\n",
         {}, {}, {}},
        {"long line", SQUARE + "f " + pad + "1 " + pad + "2 " + pad + "3 " + pad + "4\n", quad, {}, {}},
    };
    for (const FaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        objReader r;
        load(c.text, r);
        ASSERT_EQ(r.getError(), objReader::ERROR_NONE);
        EXPECT_EQ(corners(r, &ObjFace::vertex), c.vertex);
        if (!c.normal.empty()) {
            EXPECT_EQ(corners(r, &ObjFace::normal), c.normal);
        }
        if (!c.tex.empty()) {
            EXPECT_EQ(corners(r, &ObjFace::texCoord), c.tex);
        }
    }
}

TEST_F(ObjReaderTest, LongLinesAreReadWhole) {
    // Cut at 79 characters, each comment's tail would be a record.
    load("v 1" + std::string(100, ' ') + "2 3\n#" + std::string(78, 'x') + "v 9 9 9\n#" +
         std::string(78, 'y') + "f 1 1 1\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getVertexCount(), 1);
    EXPECT_EQ(reader.getTriangleCount(), 0);
    EXPECT_EQ(reader.getVertices()[1], 2.0f);
    EXPECT_EQ(reader.getVertices()[2], 3.0f);
}

TEST_F(ObjReaderTest, FileChangedBetweenPassesIsError2OnlyWhenCountsDiffer) {
    const struct {
        std::string before, after;
        int error, triangles;
    } cases[] = {
        {SQUARE + "f 1 2 3\n", SQUARE + "v 9 9 9\nf 1 2 5\n", objReader::ERROR_COUNT_MISMATCH, 0},
        {SQUARE + "vn 0 0 1\nvn 0 1 0\n", SQUARE + "vn 0 0 1\n", objReader::ERROR_COUNT_MISMATCH, 0},
        // extra face lines find no room and are not stored
        {SQUARE + "f 1 2 3\n", SQUARE + "f 1 2 3 4\nf 1 2 3 4\nf 1 2 3 4\n", objReader::ERROR_NONE, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        objReader r;
        r.setBetweenPassesHook(rewriteFile);
        replacement = c.after;
        load(c.before, r);
        EXPECT_EQ(r.getError(), c.error);
        EXPECT_EQ(r.getTriangleCount(), c.triangles);
        if (c.error != objReader::ERROR_NONE) {
            EXPECT_EQ(r.getVertexCount() + r.getRawFaceCount(), 0);
            EXPECT_EQ(bounds(r), std::vector<float>(6, 7.0f));
            r.centerObject();  // a failed reader is not centred
            EXPECT_EQ(r.getVertices()[3], 1.0f);
        }
    }
}

TEST_F(ObjReaderTest, BoundsGrowByATenthOfTheirOwnMagnitude) {
    const struct {
        const char* text;
        std::vector<float> expected;
    } cases[] = {
        {"v 1 2 3\nv -4 5 0\n", {-4.4f, 1.1f, 1.8f, 5.5f, 0.0f, 3.3f}},
        {"v 5 6 7\nv 8 9 10\n", {4.5f, 8.8f, 5.4f, 9.9f, 6.3f, 11.0f}},  // no minimum stays at 0
        {"v -10 -20 -30\nv -5 -2 -1\n", {-11.0f, -4.5f, -22.0f, -1.8f, -33.0f, -0.9f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        objReader r;
        load(c.text, r);
        expectBounds(r, c.expected);
    }
}

TEST_F(ObjReaderTest, CentresOnTheEnlargedBoxThenScalesLargestBoundToOne) {
    load("v 10 0 0\nv 12 0 0\n");
    reader.centerObject();  // the enlarged box is [9, 13.2], centre 11.1
    EXPECT_NEAR(reader.getVertices()[0], -1.1f, 1e-5);
    EXPECT_NEAR(reader.getVertices()[3], 0.9f, 1e-5);
    EXPECT_NEAR(bounds(reader)[1], 2.1f, 1e-5);
    reader.resizeObject();
    EXPECT_NEAR(reader.getVertices()[0], -0.5238f, 1e-4);
    EXPECT_NEAR(reader.getVertices()[3], 0.4286f, 1e-4);
    EXPECT_NEAR(bounds(reader)[0], -1.0f, 1e-5);

    objReader r;  // the largest bound is on y, and negative
    load("v 0 -10 0\nv 1 1 1\n", r);
    r.centerObject();
    r.resizeObject();
    expectBounds(r, {-0.0909f, 0.0909f, -1, 1, -0.0909f, 0.0909f}, 1e-4f);
}

TEST_F(ObjReaderTest, AllZeroBoundsAreNotRescaled) {
    for (const char* text : {"v 0 0 0\nv 0 0 0\nf 1 2 1\n", "f 1 2 3\n"}) {
        objReader r;
        load(text, r);
        r.centerObject();
        r.resizeObject();
        EXPECT_EQ(r.getError(), objReader::ERROR_NONE) << text;
        EXPECT_EQ(bounds(r), std::vector<float>(6, 0.0f)) << text;
        for (int i = 0; i < 3 * r.getVertexCount(); ++i) EXPECT_EQ(r.getVertices()[i], 0.0f) << text;
    }
}

}  // namespace
