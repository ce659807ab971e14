// Loads arbitrary bytes as an OBJ file, normalises the model and checks the guarantee
// drawing relies on: every stored corner names a record that exists.
#include "objreader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// One private file per fuzzing process, rewritten for every input. A plain array, so it
// is still there when the exit handler removes the file.
char scratch[] = "/tmp/fuzz_obj-XXXXXX";

void removeScratch() { unlink(scratch); }

const char* scratchPath() {
    static const bool made = [] {
        const int fd = mkstemp(scratch);
        if (fd < 0) std::abort();
        close(fd);
        std::atexit(removeScratch);
        return true;
    }();
    (void)made;
    return scratch;
}

void writeScratch(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(scratchPath(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

void check(bool condition) {
    if (!condition) std::abort();
}

bool inRange(int index, int count) { return index >= 0 && index < count; }

void checkModel(const objReader& reader) {
    // The file does not change while it is read, so the passes must agree.
    check(reader.getError() == objReader::ERROR_NONE);
    check(reader.getTriangleCount() == reader.getRawFaceCount());
    check((reader.getNormals() != nullptr) == (reader.getNormalCount() > 0));
    check((reader.getTexCoords() != nullptr) == (reader.getTexCoordCount() > 0));
    check((reader.getVertices() != nullptr) == (reader.getVertexCount() > 0));
    const ObjFace* faces = reader.getFaces();
    check(reader.getTriangleCount() == 0 || faces != nullptr);
    for (int t = 0; t < reader.getTriangleCount(); ++t) {
        for (int k = 0; k < 3; ++k) {  // the corners drawing reads
            check(inRange(faces[t].vertex[k], reader.getVertexCount()));
            if (reader.getNormals() != nullptr) check(inRange(faces[t].normal[k], reader.getNormalCount()));
            if (reader.getTexCoords() != nullptr) check(inRange(faces[t].texCoord[k], reader.getTexCoordCount()));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeScratch(data, size);
    objReader reader;
    reader.loadObj(scratchPath());
    checkModel(reader);
    reader.centerObject();
    reader.resizeObject();
    checkModel(reader);

    // A second load into the same reader replaces the arrays and must read the same.
    const int triangles = reader.getTriangleCount();
    reader.loadObj(scratchPath());
    checkModel(reader);
    check(reader.getTriangleCount() == triangles);
    return 0;
}
