#include "texture.h"

#include <GL/gl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr int TEXEL_BYTES = 4;  // red, green, blue, alpha
constexpr std::size_t TEXEL_COUNT = std::size_t(TEXTURE_SIZE) * TEXTURE_SIZE;

std::string describeFailure(const char* path, const char* what, int errnum) {
    std::string message = std::string(path) + ": " + what;
    if (errnum != 0) message += std::string(": ") + std::strerror(errnum);
    return message;
}

}  // namespace

std::vector<unsigned char> decodeBmp(const unsigned char* bytes, std::size_t size) {
    // Zero-filled, so a short file leaves its uncovered texels black and transparent.
    std::vector<unsigned char> rgba(TEXEL_COUNT * TEXEL_BYTES, 0);
    if (bytes == nullptr || size <= std::size_t(BMP_PIXEL_OFFSET)) return rgba;

    // Only whole pixels are taken: a pixel cut short by the end of the file stays 0.
    const std::size_t available = (size - BMP_PIXEL_OFFSET) / 3;
    const std::size_t pixels = available < TEXEL_COUNT ? available : TEXEL_COUNT;
    const unsigned char* bgr = bytes + BMP_PIXEL_OFFSET;
    for (std::size_t i = 0; i < pixels; ++i) {
        unsigned char* texel = &rgba[i * TEXEL_BYTES];
        texel[0] = bgr[i * 3 + 2];
        texel[1] = bgr[i * 3 + 1];
        texel[2] = bgr[i * 3 + 0];
        texel[3] = 255;
    }
    return rgba;
}

bool readBmpFile(const char* path, std::vector<unsigned char>& rgba, std::string& error) {
    rgba.clear();
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        error = describeFailure(path, "cannot open", errno);
        return false;
    }

    // One read of everything the decoder can use; bytes past the pixel data are never
    // needed, and a short file simply fills less of the buffer.
    std::vector<unsigned char> bytes(std::size_t(BMP_PIXEL_OFFSET) + BMP_PIXEL_BYTES);
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    std::fclose(file);
    if (failed) {
        error = describeFailure(path, "cannot read", readErrno);
        return false;
    }

    rgba = decodeBmp(bytes.data(), got);
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
