#include "objreader.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <string>

namespace {

using Corners = std::array<int, 3>;

Corners vertexCorners(const ObjFace& face) { return {face.vertex[0], face.vertex[1], face.vertex[2]}; }
Corners normalCorners(const ObjFace& face) { return {face.normal[0], face.normal[1], face.normal[2]}; }
Corners texCorners(const ObjFace& face) { return {face.texCoord[0], face.texCoord[1], face.texCoord[2]}; }

// Four vertices of a unit square, enough for every face line below.
const std::string SQUARE = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

// One reader and one temp folder per case; the model is written to a real file.
class ObjReaderTest : public ::testing::Test {
protected:
    void load(const std::string& contents) { reader.loadObj(dir.write("model.obj", contents).c_str()); }
    const ObjFace& face(int index) const { return reader.getFaces()[index]; }

    TempDir   dir;
    objReader reader;
};

class ObjReaderEmpty : public ObjReaderTest {};
class ObjReaderOpen : public ObjReaderTest {};
class ObjReaderRecords : public ObjReaderTest {};
class ObjReaderFaceForms : public ObjReaderTest {};
class ObjReaderSplit : public ObjReaderTest {};
class ObjReaderFlip : public ObjReaderTest {};
class ObjReaderIndices : public ObjReaderTest {};
class ObjReaderLongLines : public ObjReaderTest {};
class ObjReaderPasses : public ObjReaderTest {};
class ObjReaderBounds : public ObjReaderTest {};
class ObjReaderNormalise : public ObjReaderTest {};

// --- empty and failed readers ------------------------------------------------------

TEST_F(ObjReaderEmpty, FileWithoutRecordsLoadsWithNullArrays) {
    load("# only a comment\no car\n\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getVertexCount(), 0);
    EXPECT_EQ(reader.getTriangleCount(), 0);
    EXPECT_EQ(reader.getVertices(), nullptr);
    EXPECT_EQ(reader.getNormals(), nullptr);
    EXPECT_EQ(reader.getTexCoords(), nullptr);
    EXPECT_EQ(reader.getFaces(), nullptr);
}

TEST_F(ObjReaderOpen, MissingFileIsError4AndGettersReportNothing) {
    reader.loadObj(dir.file("absent.obj").c_str());
    EXPECT_EQ(reader.getError(), objReader::ERROR_OPEN);
    EXPECT_EQ(reader.getTriangleCount(), 0);
    EXPECT_EQ(reader.getVertexCount(), 0);
    float bounds[6] = {7, 7, 7, 7, 7, 7};
    reader.getBoundingVolume(&bounds[0], &bounds[1], &bounds[2], &bounds[3], &bounds[4], &bounds[5]);
    for (float bound : bounds) EXPECT_EQ(bound, 7.0f);
}

TEST_F(ObjReaderOpen, UnreadablePathIsError4NotAnEmptyModel) {
    reader.loadObj(dir.path().c_str());  // a folder opens, but cannot be read
    EXPECT_EQ(reader.getError(), objReader::ERROR_OPEN);
}

TEST_F(ObjReaderOpen, FailedLoadKeepsTheEarlierArraysAndStaysFailed) {
    load(SQUARE + "f 1 2 3\n");
    const float* earlier = reader.getVertices();
    reader.loadObj(dir.file("absent.obj").c_str());
    EXPECT_EQ(reader.getVertices(), earlier);
    EXPECT_EQ(reader.getRawFaceCount(), 1);

    load(SQUARE + "f 1 2 3\n");  // a good file does not clear the failure
    EXPECT_EQ(reader.getError(), objReader::ERROR_OPEN);
    EXPECT_EQ(reader.getTriangleCount(), 0);
}

TEST_F(ObjReaderOpen, NewLoadReplacesTheEarlierModel) {
    load(SQUARE + "f 1 2 3 4\n");
    load("v 5 5 5\nf 1 1 1\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getVertexCount(), 1);
    EXPECT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(reader.getVertices()[0], 5.0f);
}

// --- "v", "vn", "vt" and the keyword cut ----------------------------------------------

TEST_F(ObjReaderRecords, StoresEachKindInFileOrder) {
    load("v 1.5 -2 3e1\nvn 0 0 1\nvt 0.25 0.75\nv 4 5 6\nvn 0 1 0\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getVertexCount(), 2);
    ASSERT_EQ(reader.getNormalCount(), 2);
    ASSERT_EQ(reader.getTexCoordCount(), 1);
    const float* v = reader.getVertices();
    EXPECT_FLOAT_EQ(v[0], 1.5f);
    EXPECT_FLOAT_EQ(v[1], -2.0f);
    EXPECT_FLOAT_EQ(v[2], 30.0f);
    EXPECT_FLOAT_EQ(v[5], 6.0f);
    EXPECT_FLOAT_EQ(reader.getNormals()[4], 1.0f);
    EXPECT_FLOAT_EQ(reader.getTexCoords()[1], 0.75f);
}

TEST_F(ObjReaderRecords, TextureLineWithThreeValuesKeepsTwo) {
    load("vt 0.5 0.25 0.9\n");
    ASSERT_EQ(reader.getTexCoordCount(), 1);
    EXPECT_FLOAT_EQ(reader.getTexCoords()[0], 0.5f);
    EXPECT_FLOAT_EQ(reader.getTexCoords()[1], 0.25f);
    EXPECT_EQ(reader.getTexCoords()[2], 0.0f);
}

TEST_F(ObjReaderRecords, UnreadableNumbersStayZeroAndStillCount) {
    load("v 1 abc 3\nv\t9 9 9\nv 2\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getVertexCount(), 2);  // the tab line is neither counted nor read
    const float* v = reader.getVertices();
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(v[2], 0.0f);  // reading stops at the first unreadable value
    EXPECT_EQ(v[3], 2.0f);
    EXPECT_EQ(v[4], 0.0f);
}

TEST_F(ObjReaderRecords, OtherKeywordsAreIgnored) {
    load("# v 1 2 3\nvp 1 2\nvx 1 2 3\nvv 1\ns 1\nusemtl red\nv 1 2 3\nff 1 2 3\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getVertexCount(), 1);
    EXPECT_EQ(reader.getNormalCount(), 0);
    EXPECT_EQ(reader.getTexCoordCount(), 0);
    EXPECT_EQ(reader.getTriangleCount(), 0);
}

TEST_F(ObjReaderRecords, TwoLetterKeywordSkipsWhateverFollowsIt) {
    load("vn\t0 0 1\nvt9 0.5\n");  // the third character is dropped, tab or digit
    ASSERT_EQ(reader.getNormalCount(), 1);
    ASSERT_EQ(reader.getTexCoordCount(), 1);
    EXPECT_FLOAT_EQ(reader.getNormals()[2], 1.0f);
    EXPECT_FLOAT_EQ(reader.getTexCoords()[0], 0.5f);
}

TEST_F(ObjReaderRecords, BareTextureKeywordOnTheLastLineIsNotAMismatch) {
    load("vt 0.5 0.5\nvt");  // two characters, no line feed: neither pass reads it
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getTexCoordCount(), 1);
}

TEST_F(ObjReaderRecords, BareTextureKeywordWithLineFeedIsAZeroRecord) {
    load("vt\nvt 0.5 0.5\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getTexCoordCount(), 2);
    EXPECT_EQ(reader.getTexCoords()[0], 0.0f);
    EXPECT_EQ(reader.getTexCoords()[3], 0.5f);
}

TEST_F(ObjReaderRecords, CrlfFileReadsLikeLfFile) {
    const std::string lf = SQUARE + "vn 0 0 1\nvt 0.5 0.5\ng Facets_8\nf 1/1/1 2/1/1 3/1/1 4/1/1\n";
    std::string crlf;
    for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    objReader lfReader;
    lfReader.loadObj(dir.write("lf.obj", lf).c_str());
    load(crlf);
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getVertexCount(), lfReader.getVertexCount());
    ASSERT_EQ(reader.getTriangleCount(), lfReader.getTriangleCount());
    for (int i = 0; i < 3 * reader.getVertexCount(); ++i) {
        EXPECT_EQ(reader.getVertices()[i], lfReader.getVertices()[i]);
    }
    for (int t = 0; t < reader.getTriangleCount(); ++t) {
        EXPECT_EQ(vertexCorners(face(t)), vertexCorners(lfReader.getFaces()[t]));
    }
}

// --- face-line forms -----------------------------------------------------------------

TEST_F(ObjReaderFaceForms, VertexTextureNormal) {
    load(SQUARE + "vn 0 0 1\nvn 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nf 1/3/2 2/2/1 4/1/2\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 3}));
    EXPECT_EQ(texCorners(face(0)), (Corners{2, 1, 0}));
    EXPECT_EQ(normalCorners(face(0)), (Corners{1, 0, 1}));
}

TEST_F(ObjReaderFaceForms, VertexNormalPairsWithTheSharedNormal) {
    load(SQUARE + "vn 0 0 1\nf 1//1 2//1 3//1\nf 1//1 3//1 4//1\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 2}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 2, 3}));
    for (int t = 0; t < 2; ++t) {
        EXPECT_EQ(normalCorners(face(t)), (Corners{0, 0, 0}));
        EXPECT_EQ(texCorners(face(t)), (Corners{0, 0, 0}));
    }
    EXPECT_EQ(reader.getTexCoords(), nullptr);
}

TEST_F(ObjReaderFaceForms, VertexTextureLeavesNormalZero) {
    load(SQUARE + "vn 0 0 1\nvn 1 0 0\nvt 0 0\nvt 1 1\nf 2/2 3/1 4/2\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 2, 3}));
    EXPECT_EQ(texCorners(face(0)), (Corners{1, 0, 1}));
    EXPECT_EQ(normalCorners(face(0)), (Corners{0, 0, 0}));
}

TEST_F(ObjReaderFaceForms, PlainVertexLeavesBothZero) {
    load(SQUARE + "vn 0 0 1\nvn 1 0 0\nvt 0 0\nvt 1 1\nf 4 3 2\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{3, 2, 1}));
    EXPECT_EQ(texCorners(face(0)), (Corners{0, 0, 0}));
    EXPECT_EQ(normalCorners(face(0)), (Corners{0, 0, 0}));
}

TEST_F(ObjReaderFaceForms, MixedLineNeverReturnsToAnEarlierForm) {
    // After "1//3" the line reads vertex//normal or later: "2/2/2" can only be read as
    // vertex/texture, so its normal stays 0 rather than becoming 1.
    load(SQUARE + "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\nvt 0 0\nvt 1 0\nf 1//3 2/2/2 3//1\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 2}));
    EXPECT_EQ(normalCorners(face(0)), (Corners{2, 0, 0}));
    EXPECT_EQ(texCorners(face(0)), (Corners{0, 1, 0}));
}

TEST_F(ObjReaderFaceForms, FewerThanThreeCornersStillMakeOneTriangle) {
    load(SQUARE + "f 3\nf \n");
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{2, 0, 0}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 0, 0}));
}

TEST_F(ObjReaderFaceForms, DoubleSpaceReadsTheNextCornerTwice) {
    load(SQUARE + "f 1  2 3\n");  // corners 1, 2, 2, 3: a quadrilateral
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 1}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 1, 2}));
}

TEST_F(ObjReaderFaceForms, TabBetweenCornersSkipsToTheNextSpace) {
    load(SQUARE + "f 2\t3 4\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 3, 0}));
}

// --- splitting -----------------------------------------------------------------------

TEST_F(ObjReaderSplit, QuadrilateralBecomesTwoTriangles) {
    load(SQUARE + "f 1 2 3 4\n");
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 2}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 2, 3}));
}

TEST_F(ObjReaderSplit, SecondHalfCarriesNormalsAndTexturesOfItsCorners) {
    load(SQUARE + "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\nvn 1 1 1\n"
                  "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/4/1 2/3/2 3/2/3 4/1/4\n");
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(normalCorners(face(1)), (Corners{0, 2, 3}));
    EXPECT_EQ(texCorners(face(1)), (Corners{3, 1, 0}));
}

TEST_F(ObjReaderSplit, TrianglesAndQuadrilateralsCountTogether) {
    load(SQUARE + "f 1 2 3\nf 1 2 3 4\nf 2 3 4\nf 1 3 4 2\nf 4 3 1\n");
    EXPECT_EQ(reader.getTriangleCount(), 7);
    EXPECT_EQ(vertexCorners(face(6)), (Corners{3, 2, 0}));  // order kept after the splits
}

// --- winding flip --------------------------------------------------------------------

TEST_F(ObjReaderFlip, Facets8GroupSwapsFirstTwoCornersOfBothHalves) {
    load(SQUARE + "g Facets_8\nf 1 2 3 4\n");
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 0, 2}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{2, 0, 3}));
}

TEST_F(ObjReaderFlip, NormalsAndTexturesMoveWithTheirVertex) {
    load(SQUARE + "vn 0 0 1\nvn 0 1 0\nvt 0 0\nvt 1 1\ng Facets_8\nf 1/1/1 2/2/2 3/1/1\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 0, 2}));
    EXPECT_EQ(normalCorners(face(0)), (Corners{1, 0, 0}));
    EXPECT_EQ(texCorners(face(0)), (Corners{1, 0, 0}));
}

TEST_F(ObjReaderFlip, AnotherGroupTurnsItOffAgain) {
    load(SQUARE + "g Facets_8\nf 1 2 3\ng Facets_9\nf 1 2 3\n");
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 0, 2}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 1, 2}));
}

TEST_F(ObjReaderFlip, NameMustMatchExactly) {
    load(SQUARE + "g facets_8\nf 1 2 3\ng Facets_8 \nf 1 2 3\ng Facets_80\nf 1 2 3\n");
    ASSERT_EQ(reader.getTriangleCount(), 3);
    for (int t = 0; t < 3; ++t) EXPECT_EQ(vertexCorners(face(t)), (Corners{0, 1, 2})) << t;
}

TEST_F(ObjReaderFlip, CrlfGroupLineTurnsItOn) {
    load(SQUARE + "g Facets_8\r\nf 1 2 3\r\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 0, 2}));
}

TEST_F(ObjReaderFlip, GroupLineWithoutASpaceLeavesTheFlagAlone) {
    load(SQUARE + "g Facets_8\ngFacets_9\ng\nf 1 2 3\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 0, 2}));
}

// --- indices: decimal, bounded, validated ----------------------------------------------

TEST_F(ObjReaderIndices, LeadingZeroIsStillDecimal) {
    std::string text;
    for (int i = 0; i < 12; ++i) text += "v " + std::to_string(i) + " 0 0\n";
    load(text + "f 010 011 012\nf 08 09 1\n");  // octal would read 8 and drop "08"
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{9, 10, 11}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{7, 8, 0}));
}

TEST_F(ObjReaderIndices, CornersPastTheFourthAreIgnored) {
    load(SQUARE + "v 2 2 2\nf 1 2 3 4 5\nf 4 3 2\n");
    ASSERT_EQ(reader.getTriangleCount(), 3);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 2}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 2, 3}));
    EXPECT_EQ(vertexCorners(face(2)), (Corners{3, 2, 1}));  // the next line's record is intact
}

TEST_F(ObjReaderIndices, FaceNamingAMissingVertexIsDroppedAndTheRestLoads) {
    load(SQUARE + "f 1 2 3\nf 0 1 2\nf 1 2 5\nf -1 2 3\nf 1 2 3 9\nf 2 3 4\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 2}));
    EXPECT_EQ(vertexCorners(face(1)), (Corners{1, 2, 3}));
}

TEST_F(ObjReaderIndices, LastVertexIsInRange) {
    load(SQUARE + "f 4 4 4\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{3, 3, 3}));
}

TEST_F(ObjReaderIndices, DroppedFaceLeavesNoTraceInTheNextRecord) {
    load(SQUARE + "f 4 4 4 9\nf 2\n");  // the second line relies on the zero fill
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{1, 0, 0}));
}

TEST_F(ObjReaderIndices, NormalAndTextureIndicesAreCheckedWhenTheFileHasThem) {
    load(SQUARE + "vn 0 0 1\nvt 0 0\nf 1/1/2 2/1/1 3/1/1\nf 1/2/1 2/1/1 3/1/1\n"
                  "f 1//0 2//1 3//1\nf 1/1/1 2/1/1 3/1/1\n");
    ASSERT_EQ(reader.getTriangleCount(), 1);
    EXPECT_EQ(vertexCorners(face(0)), (Corners{0, 1, 2}));
}

TEST_F(ObjReaderIndices, NormalAndTextureIndicesAreFreeWhenTheFileHasNone) {
    load(SQUARE + "f 1/7/9 2/7/9 3/7/9\n");  // none is sent, so none can be read
    EXPECT_EQ(reader.getTriangleCount(), 1);
}

TEST_F(ObjReaderIndices, ZeroFilledCornerNeedsAFirstRecord) {
    load("vn 0 0 1\nf 1\nf\n");  // no vertices: even index 0 names nothing
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getTriangleCount(), 0);
}

TEST_F(ObjReaderIndices, HugeIndexIsDroppedNotWrapped) {
    load(SQUARE + "f 1 2 99999999999999999999999\nf -9223372036854775808 1 2\nf 4294967297 1 2\n");
    EXPECT_EQ(reader.getTriangleCount(), 0);
}

// --- lines of any length ------------------------------------------------------------

TEST_F(ObjReaderLongLines, CornersPastEightyCharactersAreRead) {
    const std::string pad(30, '0');  // "000...01" is still vertex 1
    const std::string line = "f " + pad + "1 " + pad + "2 " + pad + "3 " + pad + "4\n";
    ASSERT_GT(line.size(), 120u);
    load(SQUARE + line);
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    ASSERT_EQ(reader.getTriangleCount(), 2);
    EXPECT_EQ(vertexCorners(face(1)), (Corners{0, 2, 3}));
}

TEST_F(ObjReaderLongLines, CoordinatesPastEightyCharactersAreRead) {
    load("v 1" + std::string(100, ' ') + "2 3\n");
    ASSERT_EQ(reader.getVertexCount(), 1);
    EXPECT_EQ(reader.getVertices()[1], 2.0f);
    EXPECT_EQ(reader.getVertices()[2], 3.0f);
}

TEST_F(ObjReaderLongLines, TailOfALongLineIsNotARecord) {
    // Cut at 79 characters, the tail would start with "v " and count as a vertex.
    const std::string comment = "#" + std::string(78, 'x') + "v 9 9 9\n";
    load(comment + SQUARE + "#" + std::string(78, 'y') + "f 1 2 3\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getVertexCount(), 4);
    EXPECT_EQ(reader.getTriangleCount(), 0);
}

// --- the two passes ------------------------------------------------------------------

std::string replacement;  // what the hook writes over the file between the passes
void rewriteFile(const char* path) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << replacement;
}

TEST_F(ObjReaderPasses, FileThatGainsAVertexIsError2) {
    replacement = SQUARE + "v 9 9 9\nf 1 2 5\n";
    reader.setBetweenPassesHook(rewriteFile);
    load(SQUARE + "f 1 2 3\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_COUNT_MISMATCH);
    EXPECT_EQ(reader.getVertexCount(), 0);
    EXPECT_EQ(reader.getTriangleCount(), 0);
    EXPECT_EQ(reader.getRawFaceCount(), 0);  // the face names the vertex that has no room
    float bounds[6] = {7, 7, 7, 7, 7, 7};
    reader.getBoundingVolume(&bounds[0], &bounds[1], &bounds[2], &bounds[3], &bounds[4], &bounds[5]);
    for (float bound : bounds) EXPECT_EQ(bound, 7.0f);
}

TEST_F(ObjReaderPasses, FileThatLosesANormalIsError2) {
    replacement = SQUARE + "vn 0 0 1\n";
    reader.setBetweenPassesHook(rewriteFile);
    load(SQUARE + "vn 0 0 1\nvn 0 1 0\n");
    EXPECT_EQ(reader.getError(), objReader::ERROR_COUNT_MISMATCH);
}

TEST_F(ObjReaderPasses, ExtraFaceLinesFindNoRoomAndAreNotStored) {
    replacement = SQUARE + "f 1 2 3 4\nf 1 2 3 4\nf 1 2 3 4\n";
    reader.setBetweenPassesHook(rewriteFile);
    load(SQUARE + "f 1 2 3\n");  // room for two triangles
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    EXPECT_EQ(reader.getTriangleCount(), 2);
}

// --- bounding volume ------------------------------------------------------------------

// Enlarged bounds come from double arithmetic stored once as float: within 4 ulps.
// Centred and resized ones are float arithmetic: within float precision, `tolerance`.
void expectBounds(const objReader& reader, float minX, float maxX, float minY, float maxY,
                  float minZ, float maxZ, float tolerance = 0.0f) {
    const float expected[6] = {minX, maxX, minY, maxY, minZ, maxZ};
    float b[6] = {};
    reader.getBoundingVolume(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
    for (int i = 0; i < 6; ++i) {
        if (tolerance > 0.0f) EXPECT_NEAR(b[i], expected[i], tolerance) << "bound " << i;
        else EXPECT_FLOAT_EQ(b[i], expected[i]) << "bound " << i;
    }
}

TEST_F(ObjReaderBounds, EachBoundGrowsByATenthOfItsOwnMagnitude) {
    load("v 1 2 3\nv -4 5 0\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_NONE);
    expectBounds(reader, -4.4f, 1.1f, 1.8f, 5.5f, 0.0f, 3.3f);
}

TEST_F(ObjReaderBounds, FirstVertexSetsEveryBound) {
    load("v 5 6 7\nv 8 9 10\n");  // all positive: no minimum may stay at 0
    expectBounds(reader, 4.5f, 8.8f, 5.4f, 9.9f, 6.3f, 11.0f);
}

TEST_F(ObjReaderBounds, NegativeMaximumMovesTowardsZero) {
    load("v -10 -20 -30\nv -5 -2 -1\n");
    expectBounds(reader, -11.0f, -4.5f, -22.0f, -1.8f, -33.0f, -0.9f);
}

TEST_F(ObjReaderBounds, NewLoadStartsFromItsOwnFirstVertex) {
    load("v 100 100 100\n");
    load("v 1 1 1\n");
    expectBounds(reader, 0.9f, 1.1f, 0.9f, 1.1f, 0.9f, 1.1f);
}

// --- centring and resizing -------------------------------------------------------------

TEST_F(ObjReaderNormalise, CentresOnTheEnlargedBoxThenScalesToOne) {
    load("v 10 0 0\nv 12 0 0\n");
    expectBounds(reader, 9.0f, 13.2f, 0.0f, 0.0f, 0.0f, 0.0f);

    reader.centerObject();  // cx = 11.1, the centre of the enlarged box
    EXPECT_NEAR(reader.getVertices()[0], -1.1f, 1e-5);
    EXPECT_NEAR(reader.getVertices()[3], 0.9f, 1e-5);
    expectBounds(reader, -2.1f, 2.1f, 0.0f, 0.0f, 0.0f, 0.0f, 1e-5f);

    reader.resizeObject();
    EXPECT_NEAR(reader.getVertices()[0], -0.5238f, 1e-4);
    EXPECT_NEAR(reader.getVertices()[3], 0.4286f, 1e-4);
    expectBounds(reader, -1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1e-5f);
}

TEST_F(ObjReaderNormalise, LargestBoundWinsWhicheverAxisAndSign) {
    load("v 0 -10 0\nv 1 1 1\n");
    reader.centerObject();
    reader.resizeObject();
    float b[6] = {};
    reader.getBoundingVolume(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5]);
    EXPECT_NEAR(b[2], -1.0f, 1e-6);
    EXPECT_NEAR(b[3], 1.0f, 1e-6);
    EXPECT_LT(b[1], 1.0f);
    EXPECT_GT(b[0], -1.0f);
}

TEST_F(ObjReaderNormalise, SecondResizeChangesNothing) {
    load("v -3 1 2\nv 7 4 -1\n");
    reader.centerObject();
    reader.resizeObject();
    const float x = reader.getVertices()[3];
    reader.resizeObject();
    EXPECT_NEAR(reader.getVertices()[3], x, 1e-6);
}

TEST_F(ObjReaderNormalise, AllZeroBoundsLeaveTheModelUnscaled) {
    load("v 0 0 0\nv 0 0 0\nf 1 2 1\n");
    reader.centerObject();
    reader.resizeObject();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(reader.getVertices()[i], 0.0f);
    expectBounds(reader, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(ObjReaderNormalise, ModelWithoutVerticesStaysEmpty) {
    load("f 1 2 3\n");
    reader.centerObject();
    reader.resizeObject();
    EXPECT_EQ(reader.getError(), objReader::ERROR_NONE);
    expectBounds(reader, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(ObjReaderNormalise, FailedReaderIsNotCentred) {
    replacement = "v 1 1 1\nv 3 3 3\n";
    reader.setBetweenPassesHook(rewriteFile);
    load("v 1 1 1\n");
    ASSERT_EQ(reader.getError(), objReader::ERROR_COUNT_MISMATCH);
    reader.centerObject();
    EXPECT_EQ(reader.getVertices()[0], 1.0f);
}

}  // namespace
