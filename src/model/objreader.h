#ifndef BONEYARD_OBJREADER_H
#define BONEYARD_OBJREADER_H

#include <cstdio>

// One stored triangle: 0-based indices of corners 0 to 3 into the reader's arrays.
// Only corners 0, 1 and 2 are drawn; slot 3 holds a quadrilateral's fourth corner
// until the line is split.
struct ObjFace {
    int vertex[4];
    int normal[4];
    int texCoord[4];
};

// One polygon model read from a Wavefront OBJ file: "v", "vn", "vt", "f" and "g" lines;
// quadrilaterals are split, faces in the group "Facets_8" have their winding reversed.
class objReader {
public:
    static constexpr int ERROR_NONE = 0;
    static constexpr int ERROR_COUNT_MISMATCH = 2;  // the passes read different numbers of records
    static constexpr int ERROR_OPEN = 4;            // the file cannot be opened

    objReader();
    ~objReader();
    objReader(const objReader&) = delete;
    objReader& operator=(const objReader&) = delete;

    void loadObj(const char* path);  // success or failure shows only in getError()
    // The same from an open stream the caller closes, read from its start; it is read twice,
    // so it must allow rewinding (a file, or fmemopen over a buffer).
    void loadObj(FILE* file);
    int  getError() const { return error; }

    void getBoundingVolume(float* minX, float* maxX, float* minY, float* maxY,
                           float* minZ, float* maxZ) const;  // writes nothing unless error is 0
    int  getTriangleCount() const;  // 0 unless error is 0
    int  getVertexCount() const;    // 0 unless error is 0
    void centerObject();    // moves the centre of the bounding volume to the origin
    void resizeObject();    // scales so the largest bound is 1; a model with all bounds 0 is left as is
    void displayObj() const;  // one GL_POLYGON per triangle with the current colour and matrices
    // The normal displayObj sends last, without any vertex: what a model out of view sends, so
    // that a model without normals drawn next is lit as it is when this one is drawn.
    void sendLastNormal() const;

    // Raw views of the loaded data, whatever the error state.
    int getNormalCount() const   { return normalCount; }
    int getTexCoordCount() const { return texCoordCount; }
    const float*   getVertices() const  { return vertices; }   // 3 floats per vertex
    const float*   getNormals() const   { return normals; }    // 3 floats per normal
    const float*   getTexCoords() const { return texCoords; }  // u, v, 0 per record
    const ObjFace* getFaces() const     { return faces; }      // getRawFaceCount() triangles
    int getRawFaceCount() const { return faceCount; }

    // Test seam: called once between the counting pass and the parsing pass with the
    // path being loaded (null for a stream), so a test can change the file under the
    // reader. Null by default.
    void setBetweenPassesHook(void (*hook)(const char* path)) { betweenPasses = hook; }

private:
    struct Counts {
        int vertices;
        int normals;
        int texCoords;
        int faceLines;
    };

    void load(FILE* file, const char* path);
    bool countRecords(FILE* file, Counts* counts) const;  // false on a read error
    void releaseArrays();
    void allocateArrays(const Counts& counts);
    bool parseRecords(FILE* file, int faceRoom, Counts* read);  // false on a read error
    void parseFace(const char* args, bool flipWinding, int faceRoom, int* fi);
    void trackBounds(const float* vertex, bool first);
    void sendCornerAttributes(const ObjFace& face, int k) const;  // those the file gave
    void enlargeBounds();

    float*   vertices;
    float*   normals;
    float*   texCoords;
    ObjFace* faces;
    int vertexCount;
    int normalCount;
    int texCoordCount;
    int faceCount;
    float maxX, minX, maxY, minY, maxZ, minZ;
    int error;
    void (*betweenPasses)(const char* path);
};

#endif
