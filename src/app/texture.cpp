#include "texture.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int TEXEL_BYTES = 4;  // red, green, blue, alpha
constexpr std::size_t TEXEL_COUNT = std::size_t(TEXTURE_SIZE) * TEXTURE_SIZE;

constexpr std::size_t FILE_HEADER = 14;                // "BM", file size, reserved, pixel offset
constexpr std::size_t MAX_HEADERS = FILE_HEADER + 124;  // up to the largest information header, V5's
constexpr std::uint32_t BI_RGB = 0, BI_BITFIELDS = 3;  // uncompressed; uncompressed with colour masks
// The masks that put a 32-bit pixel's bytes in the order blue, green, red, alpha (or unused).
constexpr std::uint32_t RED_MASK = 0x00ff0000, GREEN_MASK = 0x0000ff00, BLUE_MASK = 0x000000ff;
const char* const CUT_SHORT = "ends before its pixels do";

// Where a checked file keeps its pixels and how they lie.
struct BmpLayout {
    std::size_t pixelOffset;  // from the start of the file, as its file header says
    std::size_t pixelBytes;   // all the rows, each padded to a multiple of 4 bytes
    int bytesPerPixel;        // 3 or 4: blue, green, red (and alpha or nothing)
    bool topDown;             // a negative height: the first row stored is the top one
};

std::uint32_t le16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t le32(const unsigned char* p) { return le16(p) | le16(p + 2) << 16; }

// Checks the first `size` bytes of a file (the headers, at least) and says where its pixels
// are; returns why it is no picture the game reads, or "".
std::string checkHeaders(const unsigned char* bytes, std::size_t size, BmpLayout& layout) {
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M') return "is not a BMP picture";
    if (size < FILE_HEADER + 4) return CUT_SHORT;
    const std::uint32_t infoSize = le32(bytes + 14);
    if (infoSize != 40 && infoSize != 108 && infoSize != 124)
        return "has a " + std::to_string(infoSize) + "-byte BMP header; the game reads 40-, 108- and 124-byte ones";
    if (size < FILE_HEADER + infoSize) return CUT_SHORT;
    const std::uint32_t compression = le32(bytes + 30);
    // A 40-byte header with masks is followed by three of them; the longer headers hold theirs.
    if (compression == BI_BITFIELDS && size < FILE_HEADER + 52) return CUT_SHORT;

    const std::int64_t width = std::int32_t(le32(bytes + 18)), height = std::int32_t(le32(bytes + 22));
    const std::int64_t rows = height < 0 ? -height : height;
    if (width != TEXTURE_SIZE || rows != TEXTURE_SIZE)
        return "is " + std::to_string(width) + " x " + std::to_string(rows) + " pixels; the game needs 128 x 128";
    if (compression != BI_RGB && compression != BI_BITFIELDS) return "is compressed";
    const std::uint32_t bits = le16(bytes + 28);
    if (bits != 24 && bits != 32)
        return "has " + std::to_string(bits) + " bits a pixel" + (bits != 0 && bits <= 8 ? " and a palette" : "") +
               "; the game needs 24 or 32";
    if (compression == BI_BITFIELDS &&
        (bits != 32 || le32(bytes + 54) != RED_MASK || le32(bytes + 58) != GREEN_MASK || le32(bytes + 62) != BLUE_MASK))
        return "keeps its colours in an order the game does not read";

    layout.pixelOffset = le32(bytes + 10);
    layout.pixelBytes = std::size_t(TEXTURE_SIZE) * ((TEXTURE_SIZE * bits + 31) / 32 * 4);
    layout.bytesPerPixel = int(bits / 8);
    layout.topDown = height < 0;
    return "";
}

void decodePixels(const unsigned char* pixels, const BmpLayout& layout, std::vector<unsigned char>& rgba) {
    const std::size_t rowBytes = layout.pixelBytes / TEXTURE_SIZE;
    rgba.resize(TEXEL_COUNT * TEXEL_BYTES);
    for (int row = 0; row < TEXTURE_SIZE; ++row) {
        // Texture row 0 is the picture's bottom row, which a top-down file stores last.
        const unsigned char* in = pixels + std::size_t(layout.topDown ? TEXTURE_SIZE - 1 - row : row) * rowBytes;
        unsigned char* out = &rgba[std::size_t(row) * TEXTURE_SIZE * TEXEL_BYTES];
        for (int x = 0; x < TEXTURE_SIZE; ++x, in += layout.bytesPerPixel, out += TEXEL_BYTES) {
            out[0] = in[2];  // blue, green, red become red, green, blue; any alpha is dropped
            out[1] = in[1];
            out[2] = in[0];
            out[3] = 255;
        }
    }
}

std::string describeFailure(const char* path, const char* what, int errnum) {
    std::string message = std::string(path) + ": " + what;
    if (errnum != 0) message += std::string(": ") + std::strerror(errnum);
    return message;
}

}  // namespace

std::string decodeBmp(const unsigned char* bytes, std::size_t size, std::vector<unsigned char>& rgba) {
    rgba.clear();
    BmpLayout layout;
    std::string reason = checkHeaders(bytes, size, layout);
    if (reason.empty() && (layout.pixelOffset > size || size - layout.pixelOffset < layout.pixelBytes))
        reason = CUT_SHORT;
    if (reason.empty()) decodePixels(bytes + layout.pixelOffset, layout, rgba);
    return reason;
}

bool readBmpFile(const char* path, std::vector<unsigned char>& rgba, std::string& error) {
    rgba.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        error = describeFailure(path, "cannot open", errno);
        return false;
    }

    // The headers, then only the pixels they point to: whatever else a file holds is not read.
    unsigned char headers[MAX_HEADERS];
    BmpLayout layout;
    std::vector<unsigned char> pixels;
    const std::size_t got = std::fread(headers, 1, sizeof headers, file);
    const std::string reason = checkHeaders(headers, got, layout);
    bool readFailed = std::ferror(file) != 0, cutShort = false;
    if (!readFailed && reason.empty()) {
        pixels.resize(layout.pixelBytes);
        readFailed = std::fseek(file, static_cast<long>(layout.pixelOffset), SEEK_SET) != 0;
        cutShort = !readFailed && std::fread(pixels.data(), 1, pixels.size(), file) != pixels.size();
        readFailed = readFailed || std::ferror(file) != 0;
    }
    const int readErrno = errno;
    std::fclose(file);
    if (readFailed || cutShort || !reason.empty()) {
        error = readFailed ? describeFailure(path, "cannot read", readErrno)
                           : describeFailure(path, cutShort ? CUT_SHORT : reason.c_str(), 0);
        return false;
    }
    decodePixels(pixels.data(), layout, rgba);
    return true;
}

void uploadImage(const std::vector<unsigned char>& rgba, int slot) {
    // The slot is the texture name itself; slot 0 is the default texture object.
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(slot));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);  // no mipmaps are made
    // Texels are multiplied by the lit colour; the mode belongs to the unit, and every
    // draw expects to find it.
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, TEXTURE_SIZE, TEXTURE_SIZE, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

bool loadImage(const char* path, int slot, std::string& error) {
    std::vector<unsigned char> rgba;
    if (!readBmpFile(path, rgba, error)) return false;
    uploadImage(rgba, slot);
    return true;
}
