#ifndef BONEYARD_TEXTURE_H
#define BONEYARD_TEXTURE_H

#include <cstddef>
#include <string>
#include <vector>

constexpr int TEXTURE_SIZE = 128;                        // every texture is 128 x 128 texels
constexpr int BMP_PIXEL_OFFSET = 54;                     // pixel data start after the two headers
constexpr int BMP_PIXEL_BYTES = TEXTURE_SIZE * TEXTURE_SIZE * 3;

// Turns BMP file bytes into 128 x 128 RGBA texels, rows bottom first as the file stores
// them. Texels the bytes do not cover are 0. Never reads outside `bytes`.
std::vector<unsigned char> decodeBmp(const unsigned char* bytes, std::size_t size);

// Reads and decodes a texture file. On failure returns false and sets `error` to
// "<path>: <reason>"; `rgba` is then empty.
bool readBmpFile(const char* path, std::vector<unsigned char>& rgba, std::string& error);

// Makes 128 x 128 RGBA texels (as readBmpFile gives them) the image of texture object
// `slot`, bound by number, not generated. Needs a current GL context.
void uploadImage(const std::vector<unsigned char>& rgba, int slot);

// Reads the file and makes it the image of texture object `slot` (bound by number,
// not generated). Needs a current GL context. Returns false with `error` set when
// the file cannot be read; GL is then left untouched.
bool loadImage(const char* path, int slot, std::string& error);

#endif
