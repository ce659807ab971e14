#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "TempDir.h"
#include "objreader.h"

using Corners = std::vector<std::array<int, 3>>;
static const std::string SQUARE = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
static std::string replacement;  // written over the file between the reader's two passes

// Each row: the triangles' vertex corners from 0 and (when listed) normal and texture corners.
// A face naming a record the file lacks is dropped; n/t are free (stored 0) with no such records.
TEST(ObjReader, FaceLines) {
    auto corners = [](const objReader& r, int (ObjFace::*slot)[4]) {
        Corners out;
        for (int t = 0; t < r.getTriangleCount(); ++t)
            out.push_back({(r.getFaces()[t].*slot)[0], (r.getFaces()[t].*slot)[1], (r.getFaces()[t].*slot)[2]});
        return out;
    };
    const std::string NT = SQUARE + "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\nvn 1 1 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    const Corners zero1 = {{0, 0, 0}}, zero2 = {{0, 0, 0}, {0, 0, 0}}, quad = {{0, 1, 2}, {0, 2, 3}};
    const Corners flipped = {{1, 0, 2}, {2, 0, 3}, {0, 1, 2}};
    const struct { const char* name; std::string text; Corners vertex, normal, tex; } cases[] = {
        {"v/t/n", NT + "f 1/3/2 2/2/1 4/1/2\n", {{0, 1, 3}}, {{1, 0, 1}}, {{2, 1, 0}}},
        {"v//n", NT + "f 1//2 2//1 3//2 4//1\n", quad, {{1, 0, 1}, {1, 1, 0}}, zero2},
        {"v/t", NT + "f 2/2 3/1 4/2 1/1\n", {{1, 2, 3}, {1, 3, 0}}, zero2, {{1, 0, 1}, {1, 1, 0}}},
        {"mixed forms", NT + "f 1//3 2/2/2 3//1\n", {{0, 1, 2}}, {{2, 0, 0}}, {{0, 1, 0}}},
        {"short lines", SQUARE + "f 3\nf \n", {{2, 0, 0}, {0, 0, 0}}, {}, {}},
        {"decimal", SQUARE + SQUARE + SQUARE + "f 08 09 010\n", {{7, 8, 9}}, {}, {}},
        {"quad split, in order", NT + "f 1/4/1 2/3/2 3/2/3 4/1/4\nf 4 3 1\n", {{0, 1, 2}, {0, 2, 3}, {3, 2, 0}},
         {{0, 1, 2}, {0, 2, 3}, {0, 0, 0}}, {{3, 2, 1}, {3, 1, 0}, {0, 0, 0}}},
        {"Facets_8 in CRLF", NT + "g Facets_8\r\nf 1/1/1 2/2/2 3/3/3 4/4/4\r\ng Facets_80\r\nf 1/1/1 2/2/2 3/3/3\r\n", flipped, flipped, flipped},
        {"past the fourth", SQUARE + "v 2 2 2\nf 1 2 3 4 5\n", quad, {}, {}},
        {"bad vertex", SQUARE + "f 0 1 2\nf 1 2 5\nf 1 2 3 9\nf 4 4 4\n", {{3, 3, 3}}, {}, {}},
        {"bad n/t", NT + "f 1/1/5 2/1/1 3/1/1\nf 1/5/1 2/1/1 3/1/1\nf 1//0 2//1 3//1\nf 1/0/1 2/1/1 3/1/1\n"
                         "f 1/4/4 2/1/1 3/1/1\n", {{0, 1, 2}}, {{3, 0, 0}}, {{3, 0, 0}}},
        {"n/t free without records", SQUARE + "f 1/7/9 2/7/9 3/7/9\n", {{0, 1, 2}}, zero1, zero1},
        {"huge n without records", SQUARE + "f 1//-9223372036854775808 2//1 3//1\n", {{0, 1, 2}}, zero1, {}},
        {"huge t without records", SQUARE + "f 1/-9223372036854775808 2/1 3/1\n", {{0, 1, 2}}, {}, zero1},
        {"huge", SQUARE + "f 1 2 99999999999999999999999\nf -9223372036854775808 1 2\nf 4294967297 1 2\n", {}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        objReader r;
        r.loadObj(dir.write("m.obj", c.text).c_str());
        ASSERT_EQ(r.getError(), objReader::ERROR_NONE);
        EXPECT_EQ(corners(r, &ObjFace::vertex), c.vertex);
        if (!c.normal.empty()) { EXPECT_EQ(corners(r, &ObjFace::normal), c.normal); }
        if (!c.tex.empty()) { EXPECT_EQ(corners(r, &ObjFace::texCoord), c.tex); }
    }
}

// Error 4 for a path that does not open or read, 2 for counts that change between the passes: no model
// either way, until the same reader's next good load. Face lines added in between find no room: two fit.
TEST(ObjReader, ErrorsReportNoModel) {
    TempDir dir;
    objReader r;
    const std::string model = dir.write("m.obj", SQUARE + "vn 0 0 1\nvt 0 0\nf 1 2 3\n");
    const struct { std::string path, after; int error; } cases[] = {
        {dir.file("absent.obj"), "", objReader::ERROR_OPEN}, {dir.path().string(), "", objReader::ERROR_OPEN},
        {model, SQUARE + "vt 0 0\n", objReader::ERROR_COUNT_MISMATCH},  // only the normals' count changed
        {model, SQUARE + "vn 0 0 1\nvt 0 0\nf 1 2 3\nf 1 2 3\nf 1 2 3\n", objReader::ERROR_NONE}};
    for (const auto& c : cases) {
        replacement = c.after;
        r.setBetweenPassesHook([](const char* path) { std::ofstream(path, std::ios::binary) << replacement; });
        r.loadObj(c.path.c_str());
        EXPECT_EQ(r.getError(), c.error) << c.path << c.after;
        EXPECT_EQ(r.getTriangleCount(), c.error ? 0 : 2) << c.path << c.after;
        EXPECT_EQ(r.getVertexCount(), c.error ? 0 : 4) << c.path << c.after;
        dir.write("m.obj", SQUARE + "vn 0 0 1\nvt 0 0\nf 1 2 3\n");
    }
}

// Each row: the box as loaded (grown by a tenth of each bound's magnitude), then after centring
// and scaling the largest half-extent to 1, with the first vertex. All-zero bounds stay, as
// do those of a model without vertices.
TEST(ObjReader, BoundsCentringAndResizing) {
    const struct { const char* text; std::vector<float> loaded, final, first; } cases[] = {
        {"v 1 2 3\nv -4 5 0\n", {-4.4f, 1.1f, 1.8f, 5.5f, 0, 3.3f}, {-1, 1, -0.6727f, 0.6727f, -0.6f, 0.6f}, {0.9636f, -0.6f, 0.4909f}},
        {"v -10 -20 -30\nv -5 -2 -1\n", {-11, -4.5f, -22, -1.8f, -33, -0.9f}, {-0.2025f, 0.2025f, -0.6293f, 0.6293f, -1, 1}, {}},
        {"v 0 -10 0\nv 1 1 1\n", {0, 1.1f, -11, 1.1f, 0, 1.1f}, {-0.0909f, 0.0909f, -1, 1, -0.0909f, 0.0909f}, {-0.0909f, -0.8347f, -0.0909f}},
        {"v 0 0 0\nv 0 0 0\nf 1 2 1\n", {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 0}},
        {"f 1 2 3\n", {0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {}},  // no vertex: the box stays empty
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TempDir dir;
        objReader r;
        r.loadObj(dir.write("m.obj", c.text).c_str());
        for (const auto* want : {&c.loaded, &c.final}) {
            std::vector<float> b(6);
            r.getBoundingVolume(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
            for (int i = 0; i < 6; ++i) EXPECT_NEAR(b[i], (*want)[i], 1e-4) << i;
            r.centerObject();
            r.resizeObject();
        }
        for (size_t i = 0; i < c.first.size(); ++i) EXPECT_NEAR(r.getVertices()[i], c.first[i], 1e-4) << i;
    }
}

// Values a record line leaves out read as 0; a third texture value is not read.
TEST(ObjReader, ShortRecordsReadMissingValuesAsZero) {
    TempDir dir;
    objReader r;
    r.loadObj(dir.write("m.obj", "v 7 8\nvn 1 2\nvt 0.5\nvt 1 2 3\nf 1/1/1 1/2/1 1/1/1\n").c_str());
    ASSERT_EQ(r.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(std::vector<float>(r.getVertices(), r.getVertices() + 3), (std::vector<float>{7, 8, 0}));
    EXPECT_EQ(std::vector<float>(r.getNormals(), r.getNormals() + 3), (std::vector<float>{1, 2, 0}));
    EXPECT_EQ(std::vector<float>(r.getTexCoords(), r.getTexCoords() + 6), (std::vector<float>{0.5f, 0, 0, 1, 2, 0}));
}
