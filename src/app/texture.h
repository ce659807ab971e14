#ifndef BONEYARD_TEXTURE_H
#define BONEYARD_TEXTURE_H

#include <cstddef>
#include <string>
#include <vector>

constexpr int TEXTURE_SIZE = 128;  // every texture is 128 x 128 texels

// Turns the bytes of a whole BMP file into 128 x 128 RGBA texels, bottom row first so the
// picture shows upright, alpha 255. Reads a 128 x 128 picture of 24 or 32 bits a pixel,
// uncompressed (32-bit with the usual blue-green-red-alpha bit fields too), with a 40-, 108-
// or 124-byte information header, its pixels where the file header says, rows bottom-up or
// top-down. Returns "" on success; otherwise why the bytes are no such picture ("is
// compressed"), and `rgba` is empty. Never reads outside `bytes`.
std::string decodeBmp(const unsigned char* bytes, std::size_t size, std::vector<unsigned char>& rgba);

// Reads and decodes a texture file, reading only its headers and its pixels however long it
// is. On failure returns false and sets `error` to "<path>: <reason>"; `rgba` is then empty.
bool readBmpFile(const char* path, std::vector<unsigned char>& rgba, std::string& error);

// Makes 128 x 128 RGBA texels (as readBmpFile gives them) the image of texture object
// `slot`, bound by number, not generated. Needs a current GL context.
void uploadImage(const std::vector<unsigned char>& rgba, int slot);

// Reads the file and makes it the image of texture object `slot` (bound by number,
// not generated). Needs a current GL context. Returns false with `error` set when
// the file cannot be read; GL is then left untouched.
bool loadImage(const char* path, int slot, std::string& error);

#endif
