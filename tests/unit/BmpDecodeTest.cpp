#include <gtest/gtest.h>

#include "TempDir.h"
#include "texture.h"

#include <string>
#include <vector>

namespace {

constexpr std::size_t TEXELS = TEXTURE_SIZE * TEXTURE_SIZE;
constexpr std::size_t FULL_FILE = BMP_PIXEL_OFFSET + BMP_PIXEL_BYTES;

// Blue, green and red of stored pixel i: distinct per channel, so a swap, shift or row
// flip shows.
unsigned char channel(std::size_t i, int c) {
    static const unsigned step[3] = {7, 13, 31};
    return static_cast<unsigned char>(i * step[c] + c + 1);
}

// A header of 54 arbitrary bytes (none is read) and `count` patterned pixels.
std::string bmpBytes(std::size_t count) {
    std::string bytes(BMP_PIXEL_OFFSET, '\x7f');
    for (std::size_t i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) bytes += static_cast<char>(channel(i, c));
    return bytes;
}

// Texels [0, covered) hold the pattern as opaque RGBA; every byte after them is 0.
void expectPatternThenZero(const std::vector<unsigned char>& rgba, std::size_t covered) {
    ASSERT_EQ(rgba.size(), TEXELS * 4);
    for (std::size_t i = 0; i < TEXELS; ++i) {
        const unsigned char* t = &rgba[i * 4];
        if (i < covered) {
            ASSERT_EQ(t[0], channel(i, 2)) << "texel " << i;
            ASSERT_EQ(t[1], channel(i, 1)) << "texel " << i;
            ASSERT_EQ(t[2], channel(i, 0)) << "texel " << i;
            ASSERT_EQ(t[3], 255) << "texel " << i;
        } else {
            ASSERT_EQ(t[0] | t[1] | t[2] | t[3], 0) << "texel " << i << " past the data";
        }
    }
}

std::vector<unsigned char> decode(const std::string& bytes, std::size_t size) {
    return decodeBmp(reinterpret_cast<const unsigned char*>(bytes.data()), size);
}

}  // namespace

TEST(BmpDecode, WholeFileIgnoresHeaderAndTail) {
    std::string bytes = bmpBytes(TEXELS) + std::string(3000, '\xab');
    bytes[18] = 2;  // a header claiming 2 x 2 pixels of 8 bits is not believed
    bytes[22] = 2;
    bytes[28] = 8;
    expectPatternThenZero(decode(bytes, bytes.size()), TEXELS);
}

TEST(BmpDecode, ShortFileDecodesWholePixelsAndLeavesTheRestZero) {
    const std::string full = bmpBytes(TEXELS);
    // The bytes past `size` are valid memory here but must not be read.
    for (std::size_t size : {std::size_t(0), std::size_t(53), std::size_t(54), std::size_t(57),
                             std::size_t(54 + 1000), FULL_FILE - 1}) {
        SCOPED_TRACE(size);
        expectPatternThenZero(decode(full, size), size > 54 ? (size - 54) / 3 : 0);
    }
    expectPatternThenZero(decodeBmp(nullptr, 0), 0);
}

TEST(BmpReadFile, ReadsShortFullAndLongFilesFromDisk) {
    TempDir dir;
    const std::pair<std::string, std::size_t> files[] = {
        {bmpBytes(40) + "\x01", 40}, {bmpBytes(TEXELS), TEXELS}, {bmpBytes(TEXELS) + std::string(5000, '\xcd'), TEXELS}};
    for (const auto& [bytes, covered] : files) {
        std::vector<unsigned char> rgba;
        std::string error;
        ASSERT_TRUE(readBmpFile(dir.write("t.bmp", bytes).c_str(), rgba, error)) << error;
        expectPatternThenZero(rgba, covered);
    }
}

TEST(BmpReadFile, FailureNamesTheFileAsGivenAndTheReason) {
    TempDir dir;
    ScopedChdir inside(dir.path());
    const std::string missing = "cannot open: No such file or directory";
    const std::pair<std::string, std::string> cases[] = {
        {dir.file("moon.bmp"), missing}, {"ground.bmp", missing}, {dir.path().string(), "Is a directory"}};
    for (const auto& [path, reason] : cases) {
        std::vector<unsigned char> rgba(8, 1);
        std::string error;
        EXPECT_FALSE(readBmpFile(path.c_str(), rgba, error));
        EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_TRUE(rgba.empty());
    }
    std::string error;
    EXPECT_FALSE(loadImage("sides.bmp", 0, error));
    EXPECT_EQ(error, "sides.bmp: " + missing);
}
