#include "objreader.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

namespace {

enum class Keyword { NONE, VERTEX, NORMAL, TEXCOORD, FACE, GROUP };

// One line of the file after its keyword is cut off.
struct Statement {
    Keyword     keyword;
    const char* args;  // the arguments, line feed included; empty for NONE
};

// One way of writing a face corner. `values` is how many conversions the pattern must
// make; the second and third value go to the texture or normal index named here
// (-1: the form has none, so the corner keeps index 0).
struct CornerForm {
    const char* pattern;
    int         values;
    int         textureValue;
    int         normalValue;
};

// Tried in this order; a line never goes back to an earlier form once it has left it.
// Decimal, not "%i": "010" is vertex 10. Read wide, so an index too large for an int
// is dropped as out of range instead of wrapping onto an existing record.
constexpr CornerForm CORNER_FORMS[] = {
    {"%lld/%lld/%lld", 3, 1, 2},   // vertex/texture/normal
    {"%lld//%lld",     2, -1, 1},  // vertex//normal
    {"%lld/%lld",      2, 1, -1},  // vertex/texture
    {"%lld",           1, -1, -1}, // vertex
};

constexpr int MAX_CORNERS = 4;  // a quadrilateral; corners after the fourth are ignored

// Reads one whole line, whatever its length, with its line feed if it has one. A carriage
// return before the line feed (or closing the last line) is dropped, so CRLF files read
// exactly like LF files. False when the file has nothing left.
bool readLine(FILE* file, std::string& line) {
    line.clear();
    int ch;
    while ((ch = getc(file)) != EOF) {
        line.push_back(static_cast<char>(ch));
        if (ch == '\n') break;
    }
    if (line.empty()) return false;
    const size_t length = line.size();
    if (length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n') {
        line.erase(length - 2, 1);
    } else if (line[length - 1] == '\r') {
        line.pop_back();
    }
    return true;
}

// Both passes classify lines with this one function, so the counts they reach agree for
// any file that does not change between them. A line of two characters or fewer (line
// feed included) holds nothing. A one-character keyword is followed by a space; otherwise
// the keyword is two characters and the third is skipped whatever it is.
Statement cutKeyword(const char* text) {
    if (std::strlen(text) <= 2) return {Keyword::NONE, ""};
    if (text[1] == ' ') {
        const char* args = text + 2;
        if (text[0] == 'v') return {Keyword::VERTEX, args};
        if (text[0] == 'f') return {Keyword::FACE, args};
        if (text[0] == 'g') return {Keyword::GROUP, args};
        return {Keyword::NONE, ""};
    }
    const char* args = text + 3;  // within the string: its length is at least 3
    if (text[0] == 'v' && text[1] == 'n') return {Keyword::NORMAL, args};
    if (text[0] == 'v' && text[1] == 't') return {Keyword::TEXCOORD, args};
    return {Keyword::NONE, ""};
}

// The group whose faces the modeller wound clockwise.
bool isFlippedGroup(const char* args) {
    return std::strcmp(args, "Facets_8\n") == 0 || std::strcmp(args, "Facets_8") == 0;
}

// An index as written, counting from 1, becomes a 0-based slot only if it names one of
// `count` records; false (and no arithmetic on it) otherwise.
bool toSlot(long long index, int count, int* slot) {
    if (index < 1 || index > count) return false;
    *slot = static_cast<int>(index - 1);
    return true;
}

// max grows by a tenth of its own magnitude, min shrinks by a tenth of its own.
float enlargeMax(float bound) {
    const double value = bound;
    return static_cast<float>(value + 0.1 * std::fabs(value));
}

float enlargeMin(float bound) {
    const double value = bound;
    return static_cast<float>(value - 0.1 * std::fabs(value));
}

}  // namespace

objReader::objReader()
    : vertices(nullptr), normals(nullptr), texCoords(nullptr), faces(nullptr),
      vertexCount(0), normalCount(0), texCoordCount(0), faceCount(0),
      maxX(0.0f), minX(0.0f), maxY(0.0f), minY(0.0f), maxZ(0.0f), minZ(0.0f),
      error(ERROR_NONE), betweenPasses(nullptr) {}

objReader::~objReader() {
    releaseArrays();
}

void objReader::loadObj(const char* path) {
    FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        error = ERROR_OPEN;  // the earlier model, if any, stays as it was
        return;
    }
    load(file, path);
    std::fclose(file);
}

void objReader::loadObj(FILE* file) {
    std::rewind(file);
    load(file, nullptr);
}

void objReader::load(FILE* file, const char* path) {
    Counts counted = {};
    if (!countRecords(file, &counted)) {
        error = ERROR_OPEN;  // unreadable, e.g. a folder: nothing has changed yet
        return;
    }
    vertexCount = counted.vertices;
    normalCount = counted.normals;
    texCoordCount = counted.texCoords;
    faceCount = counted.faceLines;
    releaseArrays();
    allocateArrays(counted);

    if (betweenPasses != nullptr) betweenPasses(path);
    std::rewind(file);
    Counts read = {};
    const bool readAll = parseRecords(file, 2 * counted.faceLines, &read);
    faceCount = read.faceLines;  // from here on: triangles stored, not lines counted

    if (!readAll) {
        error = ERROR_OPEN;
        return;
    }
    if (read.vertices != vertexCount || read.normals != normalCount ||
        read.texCoords != texCoordCount) {
        error = ERROR_COUNT_MISMATCH;  // the file changed between the passes
        return;
    }
    enlargeBounds();
    error = ERROR_NONE;  // a good load leaves no earlier failure behind
}

bool objReader::countRecords(FILE* file, Counts* counts) const {
    std::string line;
    while (readLine(file, line)) {
        switch (cutKeyword(line.c_str()).keyword) {
            case Keyword::VERTEX:   ++counts->vertices;  break;
            case Keyword::NORMAL:   ++counts->normals;   break;
            case Keyword::TEXCOORD: ++counts->texCoords; break;
            case Keyword::FACE:     ++counts->faceLines; break;
            default: break;
        }
    }
    return std::ferror(file) == 0;
}

void objReader::releaseArrays() {
    delete[] vertices;
    delete[] normals;
    delete[] texCoords;
    delete[] faces;
    vertices = normals = texCoords = nullptr;
    faces = nullptr;
}

void objReader::allocateArrays(const Counts& counts) {
    // Value-initialised: unread numbers stay 0, and so do the indices of missing corners.
    if (counts.vertices > 0) vertices = new float[3 * static_cast<size_t>(counts.vertices)]();
    if (counts.normals > 0) normals = new float[3 * static_cast<size_t>(counts.normals)]();
    if (counts.texCoords > 0) texCoords = new float[3 * static_cast<size_t>(counts.texCoords)]();
    // Two triangles per face line, so splitting a quadrilateral never needs more room.
    if (counts.faceLines > 0) faces = new ObjFace[2 * static_cast<size_t>(counts.faceLines)]();
}

// `read` counts records of each kind, including any beyond the room the first pass
// made (never stored, they only show that the file changed), and the triangles stored.
bool objReader::parseRecords(FILE* file, int faceRoom, Counts* read) {
    bool flipWinding = false;
    std::string line;
    while (readLine(file, line)) {
        const Statement statement = cutKeyword(line.c_str());
        switch (statement.keyword) {
            case Keyword::VERTEX: {
                float xyz[3] = {0.0f, 0.0f, 0.0f};
                std::sscanf(statement.args, "%f%f%f", &xyz[0], &xyz[1], &xyz[2]);
                if (read->vertices < vertexCount) {
                    std::memcpy(&vertices[3 * read->vertices], xyz, sizeof xyz);
                    trackBounds(xyz, read->vertices == 0);
                }
                ++read->vertices;
                break;
            }
            case Keyword::NORMAL: {
                float xyz[3] = {0.0f, 0.0f, 0.0f};
                std::sscanf(statement.args, "%f%f%f", &xyz[0], &xyz[1], &xyz[2]);
                if (read->normals < normalCount) {
                    std::memcpy(&normals[3 * read->normals], xyz, sizeof xyz);
                }
                ++read->normals;
                break;
            }
            case Keyword::TEXCOORD: {
                float uv[2] = {0.0f, 0.0f};  // a w coordinate is not read: the third stays 0
                std::sscanf(statement.args, "%f%f", &uv[0], &uv[1]);
                if (read->texCoords < texCoordCount) {
                    std::memcpy(&texCoords[3 * read->texCoords], uv, sizeof uv);
                }
                ++read->texCoords;
                break;
            }
            case Keyword::FACE:
                parseFace(statement.args, flipWinding, faceRoom, &read->faceLines);
                break;
            case Keyword::GROUP:
                flipWinding = isFlippedGroup(statement.args);
                break;
            case Keyword::NONE:
                break;
        }
    }
    return std::ferror(file) == 0;
}

// Reads up to four corners, splits a quadrilateral into (0, 1, 2) and (0, 2, 3), and
// stores the triangles at *fi unless a corner names a record the file does not have:
// such a face is dropped whole, so drawing never indexes outside an array.
void objReader::parseFace(const char* args, bool flipWinding, int faceRoom, int* fi) {
    // As written in the file, counting from 1; a missing normal or texture index is 1,
    // the file's first record.
    long long vertex[MAX_CORNERS] = {1, 1, 1, 1};
    long long normal[MAX_CORNERS] = {1, 1, 1, 1};
    long long texCoord[MAX_CORNERS] = {1, 1, 1, 1};
    int corners = 0;
    const char* cursor = args;
    for (const CornerForm& form : CORNER_FORMS) {
        while (cursor != nullptr && corners < MAX_CORNERS) {
            long long values[3] = {0, 0, 0};
            if (std::sscanf(cursor, form.pattern, &values[0], &values[1], &values[2]) !=
                form.values) {
                break;  // the next form starts at this same corner
            }
            vertex[corners] = values[0];
            if (form.textureValue >= 0) texCoord[corners] = values[form.textureValue];
            if (form.normalValue >= 0) normal[corners] = values[form.normalValue];
            ++corners;
            cursor = std::strchr(cursor, ' ');  // no further space: the line is finished
            if (cursor != nullptr) ++cursor;
        }
    }

    // A line with fewer than three readable corners still makes one triangle: its missing
    // corners are vertex 1, the zero-filled index 0. Every index is checked before it is
    // turned into a slot; the normal and texture slots of a file without such records are
    // never drawn and stay 0, whatever the line says.
    const int used = corners == MAX_CORNERS ? MAX_CORNERS : 3;
    int vertexSlot[MAX_CORNERS] = {}, normalSlot[MAX_CORNERS] = {}, texCoordSlot[MAX_CORNERS] = {};
    for (int c = 0; c < used; ++c) {
        if (!toSlot(vertex[c], vertexCount, &vertexSlot[c])) return;
        if (normalCount > 0 && !toSlot(normal[c], normalCount, &normalSlot[c])) return;
        if (texCoordCount > 0 && !toSlot(texCoord[c], texCoordCount, &texCoordSlot[c])) return;
    }
    const int triangles = corners == MAX_CORNERS ? 2 : 1;
    if (*fi + triangles > faceRoom) return;  // more face lines than counted: the file changed

    static constexpr int HALVES[2][3] = {{0, 1, 2}, {0, 2, 3}};
    for (int t = 0; t < triangles; ++t) {
        ObjFace& face = faces[*fi + t];
        for (int k = 0; k < 3; ++k) {
            const int c = HALVES[t][k];
            face.vertex[k] = vertexSlot[c];
            face.normal[k] = normalSlot[c];
            face.texCoord[k] = texCoordSlot[c];
        }
        if (flipWinding) {  // swapping two corners reverses the winding
            std::swap(face.vertex[0], face.vertex[1]);
            std::swap(face.normal[0], face.normal[1]);
            std::swap(face.texCoord[0], face.texCoord[1]);
        }
    }
    if (triangles == 2) {  // the first half keeps the fourth corner in its undrawn slot
        faces[*fi].vertex[3] = vertexSlot[3];
        faces[*fi].normal[3] = normalSlot[3];
        faces[*fi].texCoord[3] = texCoordSlot[3];
    }
    *fi += triangles;
}

// Strict comparisons; the first vertex of a load sets all six bounds.
void objReader::trackBounds(const float* vertex, bool first) {
    if (first) {
        maxX = minX = vertex[0];
        maxY = minY = vertex[1];
        maxZ = minZ = vertex[2];
        return;
    }
    if (vertex[0] > maxX) maxX = vertex[0];
    if (vertex[0] < minX) minX = vertex[0];
    if (vertex[1] > maxY) maxY = vertex[1];
    if (vertex[1] < minY) minY = vertex[1];
    if (vertex[2] > maxZ) maxZ = vertex[2];
    if (vertex[2] < minZ) minZ = vertex[2];
}

// Proportional to each bound's distance from the origin, not to the box's size.
void objReader::enlargeBounds() {
    maxX = enlargeMax(maxX);
    minX = enlargeMin(minX);
    maxY = enlargeMax(maxY);
    minY = enlargeMin(minY);
    maxZ = enlargeMax(maxZ);
    minZ = enlargeMin(minZ);
}

void objReader::getBoundingVolume(float* minXOut, float* maxXOut, float* minYOut, float* maxYOut,
                                  float* minZOut, float* maxZOut) const {
    if (error != ERROR_NONE) return;
    *minXOut = minX;
    *maxXOut = maxX;
    *minYOut = minY;
    *maxYOut = maxY;
    *minZOut = minZ;
    *maxZOut = maxZ;
}

int objReader::getTriangleCount() const {
    return error == ERROR_NONE ? faceCount : 0;
}

int objReader::getVertexCount() const {
    return error == ERROR_NONE ? vertexCount : 0;
}

void objReader::centerObject() {
    if (error != ERROR_NONE) return;
    const float cx = static_cast<float>((static_cast<double>(maxX) - minX) / 2.0 + minX);
    const float cy = static_cast<float>((static_cast<double>(maxY) - minY) / 2.0 + minY);
    const float cz = static_cast<float>((static_cast<double>(maxZ) - minZ) / 2.0 + minZ);
    for (int i = 0; i < vertexCount; ++i) {
        vertices[3 * i] -= cx;
        vertices[3 * i + 1] -= cy;
        vertices[3 * i + 2] -= cz;
    }
    minX -= cx;
    maxX -= cx;
    minY -= cy;
    maxY -= cy;
    minZ -= cz;
    maxZ -= cz;
}

void objReader::resizeObject() {
    // After centring, the largest half-extent of the box.
    const float candidates[6] = {-minX, -minY, -minZ, maxX, maxY, maxZ};
    double largest = 0.0;
    for (float candidate : candidates) {
        if (candidate > largest) largest = candidate;
    }
    if (largest == 0.0) return;  // every bound is 0: nothing to scale by
    const float scale = static_cast<float>(1.0 / largest);
    for (int i = 0; i < 3 * vertexCount; ++i) vertices[i] *= scale;
    minX *= scale;
    maxX *= scale;
    minY *= scale;
    maxY *= scale;
    minZ *= scale;
    maxZ *= scale;
}

// One polygon per triangle; the caller sets colour, material, texture and matrices.
void objReader::displayObj() const {
    if (error != ERROR_NONE) return;
    for (int t = 0; t < faceCount; ++t) {
        const ObjFace& face = faces[t];
        glBegin(GL_POLYGON);
            for (int k = 0; k < 3; ++k) {
                sendCornerAttributes(face, k);
                const float* v = &vertices[3 * face.vertex[k]];
                glVertex3f(v[0], v[1], v[2]);
            }
        glEnd();
    }
}

void objReader::sendLastNormal() const {
    if (error != ERROR_NONE || faceCount == 0 || normals == nullptr) return;
    const float* n = &normals[3 * faces[faceCount - 1].normal[2]];
    glNormal3f(n[0], n[1], n[2]);
}

void objReader::sendCornerAttributes(const ObjFace& face, int k) const {
    if (texCoords != nullptr) {
        const float* uvw = &texCoords[3 * face.texCoord[k]];
        glTexCoord3f(uvw[0], uvw[1], uvw[2]);
    }
    if (normals != nullptr) {
        const float* n = &normals[3 * face.normal[k]];
        glNormal3f(n[0], n[1], n[2]);
    }
}
