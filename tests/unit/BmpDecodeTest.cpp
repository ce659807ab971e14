#include <gtest/gtest.h>

#include "TempDir.h"
#include "texture.h"

#include <string>
#include <vector>

namespace {

constexpr std::size_t TEXELS = TEXTURE_SIZE * TEXTURE_SIZE;
constexpr std::size_t FULL_FILE = BMP_PIXEL_OFFSET + BMP_PIXEL_BYTES;

// A header of 54 arbitrary bytes (the decoder reads none of them) followed by `pixels`
// blue-green-red triples.
std::string bmpBytes(const std::vector<unsigned char>& pixelBytes) {
    std::string bytes(BMP_PIXEL_OFFSET, '\x7f');
    bytes.append(pixelBytes.begin(), pixelBytes.end());
    return bytes;
}

// Distinct bytes for each channel of each pixel, so a swap or shift shows.
unsigned char blueOf(std::size_t i) { return static_cast<unsigned char>(i * 7 + 1); }
unsigned char greenOf(std::size_t i) { return static_cast<unsigned char>(i * 13 + 2); }
unsigned char redOf(std::size_t i) { return static_cast<unsigned char>(i * 31 + 3); }

std::vector<unsigned char> patternPixels(std::size_t count) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes.push_back(blueOf(i));
        bytes.push_back(greenOf(i));
        bytes.push_back(redOf(i));
    }
    return bytes;
}

std::vector<unsigned char> decode(const std::string& bytes) {
    return decodeBmp(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

// Texels [0, covered) hold the pattern, opaque; every byte after them is 0.
void expectPatternThenZero(const std::vector<unsigned char>& rgba, std::size_t covered) {
    ASSERT_EQ(rgba.size(), TEXELS * 4);
    for (std::size_t i = 0; i < TEXELS; ++i) {
        const unsigned char* t = &rgba[i * 4];
        if (i < covered) {
            ASSERT_EQ(t[0], redOf(i)) << "texel " << i;
            ASSERT_EQ(t[1], greenOf(i)) << "texel " << i;
            ASSERT_EQ(t[2], blueOf(i)) << "texel " << i;
            ASSERT_EQ(t[3], 255) << "texel " << i;
        } else {
            ASSERT_EQ(t[0] | t[1] | t[2] | t[3], 0) << "texel " << i << " past the data";
        }
    }
}

}  // namespace

TEST(BmpDecodeLayout, FirstStoredPixelPureBlueIsTexelZero) {
    std::vector<unsigned char> pixels(BMP_PIXEL_BYTES, 0x40);
    pixels[0] = 255;  // blue
    pixels[1] = 0;
    pixels[2] = 0;
    const std::vector<unsigned char> rgba = decode(bmpBytes(pixels));
    ASSERT_EQ(rgba.size(), TEXELS * 4);
    EXPECT_EQ(rgba[0], 0);
    EXPECT_EQ(rgba[1], 0);
    EXPECT_EQ(rgba[2], 255);
    EXPECT_EQ(rgba[3], 255);
    EXPECT_EQ(rgba[4], 0x40);  // the next texel is the next stored pixel
}

TEST(BmpDecodeLayout, EveryPixelSwapsBlueAndRedAndIsOpaque) {
    expectPatternThenZero(decode(bmpBytes(patternPixels(TEXELS))), TEXELS);
}

TEST(BmpDecodeLayout, RowsStayInFileOrderBottomFirst) {
    std::vector<unsigned char> pixels(BMP_PIXEL_BYTES, 0);
    const std::size_t secondRow = TEXTURE_SIZE * 3;         // file row 1, column 0
    const std::size_t lastPixel = BMP_PIXEL_BYTES - 3;      // file row 127, column 127
    pixels[secondRow + 2] = 200;                            // red
    pixels[lastPixel + 1] = 100;                            // green
    const std::vector<unsigned char> rgba = decode(bmpBytes(pixels));
    EXPECT_EQ(rgba[TEXTURE_SIZE * 4 + 0], 200);             // texture row t = 1
    EXPECT_EQ(rgba[(TEXELS - 1) * 4 + 1], 100);             // the top right texel
    EXPECT_EQ(rgba[0], 0);
}

TEST(BmpDecodeLayout, HeaderIsNotValidated) {
    // A header that claims 2 x 2 pixels of 8 bits: the bytes from 54 on are read anyway.
    std::string bytes = bmpBytes(patternPixels(TEXELS));
    bytes.replace(0, 2, "XX");
    bytes[18] = 2;
    bytes[22] = 2;
    bytes[28] = 8;
    expectPatternThenZero(decode(bytes), TEXELS);
}

// A file cut short anywhere, down to empty and up to one byte short: the whole pixels it
// holds are decoded, everything after them, alpha too, is 0.
class BmpDecodeShortFile : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BmpDecodeShortFile, CoveredTexelsDecodedRestZero) {
    const std::size_t size = GetParam();
    const std::string full = bmpBytes(patternPixels(TEXELS));
    const std::string cut = full.substr(0, size);
    const std::size_t covered = size > std::size_t(BMP_PIXEL_OFFSET) ? (size - BMP_PIXEL_OFFSET) / 3 : 0;
    expectPatternThenZero(decode(cut), covered);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpDecodeShortFile,
                         ::testing::Values(std::size_t(0), std::size_t(1), std::size_t(53), std::size_t(54),
                                           std::size_t(55), std::size_t(57), std::size_t(54 + 1000),
                                           FULL_FILE - 3, FULL_FILE - 1));

TEST(BmpDecodeShortFileEdges, NullBytesGiveAnAllZeroImage) {
    const std::vector<unsigned char> rgba = decodeBmp(nullptr, 0);
    expectPatternThenZero(rgba, 0);
}

TEST(BmpDecodeShortFileEdges, ReadsNothingPastTheGivenSize) {
    // The bytes after the given size are valid memory but must not show in the image.
    const std::string full = bmpBytes(patternPixels(TEXELS));
    const std::size_t size = BMP_PIXEL_OFFSET + 30;
    const std::vector<unsigned char> rgba =
        decodeBmp(reinterpret_cast<const unsigned char*>(full.data()), size);
    expectPatternThenZero(rgba, 10);
}

TEST(BmpDecodeLongFile, ReadsOnlyTheFirst49152PixelBytes) {
    std::string bytes = bmpBytes(patternPixels(TEXELS));
    bytes.append(3000, '\xab');
    expectPatternThenZero(decode(bytes), TEXELS);
}

TEST(BmpReadFile, ReadsAFileFromDisk) {
    TempDir dir;
    const std::string path = dir.write("pattern.bmp", bmpBytes(patternPixels(TEXELS)));
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(path.c_str(), rgba, error)) << error;
    expectPatternThenZero(rgba, TEXELS);
}

TEST(BmpReadFile, ShortFileOnDiskStillLoadsWithZeros) {
    TempDir dir;
    const std::string path = dir.write("short.bmp", bmpBytes(patternPixels(40)) + "\x01");
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(path.c_str(), rgba, error)) << error;
    expectPatternThenZero(rgba, 40);
}

TEST(BmpReadFile, LongFileOnDiskIgnoresTheTail) {
    TempDir dir;
    const std::string path = dir.write("long.bmp", bmpBytes(patternPixels(TEXELS)) + std::string(5000, '\xcd'));
    std::vector<unsigned char> rgba;
    std::string error;
    ASSERT_TRUE(readBmpFile(path.c_str(), rgba, error)) << error;
    expectPatternThenZero(rgba, TEXELS);
}

TEST(BmpReadFile, MissingFileFailsNamingFileAndReason) {
    TempDir dir;
    const std::string path = dir.file("moon.bmp");
    std::vector<unsigned char> rgba(8, 1);
    std::string error;
    EXPECT_FALSE(readBmpFile(path.c_str(), rgba, error));
    EXPECT_EQ(error, path + ": cannot open: No such file or directory");
    EXPECT_TRUE(rgba.empty());
}

TEST(BmpReadFile, RelativeNameIsReportedAsGiven) {
    TempDir dir;
    ScopedChdir inside(dir.path());
    std::vector<unsigned char> rgba;
    std::string error;
    EXPECT_FALSE(readBmpFile("ground.bmp", rgba, error));
    EXPECT_EQ(error, "ground.bmp: cannot open: No such file or directory");
}

TEST(BmpReadFile, DirectoryFailsWithTheReason) {
    TempDir dir;
    std::vector<unsigned char> rgba;
    std::string error;
    const std::string path = dir.path().string();
    EXPECT_FALSE(readBmpFile(path.c_str(), rgba, error));
    EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
    EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
    EXPECT_TRUE(rgba.empty());
}

TEST(BmpLoadImage, MissingFileIsReportedNotPassedForSuccess) {
    TempDir dir;
    const std::string path = dir.file("sides.bmp");
    std::string error;
    EXPECT_FALSE(loadImage(path.c_str(), 0, error));
    EXPECT_EQ(error, path + ": cannot open: No such file or directory");
}
