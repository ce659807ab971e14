#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Dog.h"
#include "TempDir.h"

namespace {

std::unique_ptr<Dog> dogReading(const TempDir& dir, const std::string& walk) {
    dir.write("walk.txt", walk);
    ScopedChdir inDir(dir.path());
    return std::make_unique<Dog>(0.0f, 0.0f, 0.0f);
}

std::vector<float> joints(const Dog& dog) {
    std::vector<float> out(Dog::JOINTS);
    dog.getJoints(out.data());
    return out;
}

// Joint indices in declared order.
enum { BODY_PITCH, NECK_PITCH, NECK_TWIST, HEAD_PITCH, HEAD_YAW, FL_SWING, FL_SPLAY, FR_SWING,
       FR_SPLAY, BL_SWING, BL_SPLAY, BR_SWING, BR_SPLAY, TAIL_PITCH, TAIL_WAG };

const char* COUNTING = "0.25 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n";

}  // namespace

// A single key frame is entered and held, so the pose shows what the line gave.

TEST(WalkFileFields, AngleFieldsLandInTheirJointsWithNeckTwistLast) {
    TempDir dir;
    auto dog = dogReading(dir, COUNTING);
    ASSERT_EQ(dog->getFrameCount(), 1);
    const std::vector<float> expected = {1, 2, 15, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    EXPECT_EQ(joints(*dog), expected);
    const KeyFrame& frame = dog->getKeyFrames()[0];
    EXPECT_EQ(frame.value[0], 0.25f);
    for (int j = 0; j < Dog::JOINTS; ++j) EXPECT_EQ(frame.value[j + 1], expected[j]) << "element " << j + 1;
}

TEST(WalkFileFields, AnglesAreWholeDegreesAsAtoiReadsThem) {
    TempDir dir;
    auto dog = dogReading(dir, "0.00 0 0 0 7.9 -15 paw +3 12.7 -0.5 -7.9 0 0 0 0 0 0 0 9x\n");
    const std::vector<float> got = joints(*dog);
    EXPECT_EQ(got[BODY_PITCH], 7.0f);
    EXPECT_EQ(got[NECK_PITCH], -15.0f);
    EXPECT_EQ(got[HEAD_PITCH], 0.0f);  // a word
    EXPECT_EQ(got[HEAD_YAW], 3.0f);
    EXPECT_EQ(got[FL_SWING], 12.0f);
    EXPECT_EQ(got[FL_SPLAY], 0.0f);
    EXPECT_EQ(got[FR_SWING], -7.0f);
    EXPECT_EQ(got[NECK_TWIST], 9.0f);
}

TEST(WalkFileFields, NumbersBeyondAnIntAreClamped) {
    TempDir dir;
    auto dog = dogReading(dir, "1e39 0 0 0 99999999999999999999 -99999999999999999999 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
    const std::vector<float> got = joints(*dog);
    EXPECT_EQ(got[BODY_PITCH], static_cast<float>(INT_MAX));
    EXPECT_EQ(got[NECK_PITCH], static_cast<float>(INT_MIN));
}

TEST(WalkFileFields, UnusedFieldsChangeNothing) {
    TempDir plain, words;
    auto a = dogReading(plain, COUNTING);
    auto b = dogReading(words, "0.25 walk -9 x=1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n");
    for (int e = 0; e < 16; ++e)
        EXPECT_EQ(a->getKeyFrames()[0].value[e], b->getKeyFrames()[0].value[e]) << "element " << e;
}

TEST(WalkFileFields, CarriageReturnBeforeLineFeedIsHarmless) {
    TempDir dir;
    auto dog = dogReading(dir, "0.00 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\r\n"
                               "0.10 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 -5\r\n");
    ASSERT_EQ(dog->getFrameCount(), 2);
    EXPECT_EQ(dog->getKeyFrames()[0].value[3], 15.0f);
    EXPECT_EQ(dog->getKeyFrames()[1].value[3], -5.0f);
    EXPECT_EQ(dog->getKeyFrames()[1].value[0], 0.10f);
}

// Lines with fewer than 19 fields keep 0 for what they lack and never borrow from the next line.
TEST(WalkFileShortLines, MissingAnglesReadAsZero) {
    TempDir dir;
    auto dog = dogReading(dir, "0.50 0 0 0 7 8 9\n"
                               "0.60 0 0 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n");
    ASSERT_EQ(dog->getFrameCount(), 2);
    const KeyFrame& frame = dog->getKeyFrames()[0];
    EXPECT_EQ(frame.value[0], 0.5f);
    EXPECT_EQ(frame.value[1], 7.0f);
    EXPECT_EQ(frame.value[2], 8.0f);
    EXPECT_EQ(frame.value[4], 9.0f);
    EXPECT_EQ(frame.value[3], 0.0f);  // neckTwist, the last field
    for (int e = 5; e < 16; ++e) EXPECT_EQ(frame.value[e], 0.0f) << "element " << e;
}

TEST(WalkFileShortLines, FewerThanFiveFieldsGiveNoAngles) {
    for (const char* line : {"0.70\n", "0.70 1\n", "0.70 1 2 3\n", "0.70 1 2 3 \n"}) {
        TempDir dir;
        auto dog = dogReading(dir, std::string(line) + COUNTING);
        ASSERT_EQ(dog->getFrameCount(), 2) << line;
        const KeyFrame& frame = dog->getKeyFrames()[0];
        EXPECT_EQ(frame.value[0], 0.7f) << line;
        for (int e = 1; e < 16; ++e) EXPECT_EQ(frame.value[e], 0.0f) << line << " element " << e;
    }
}

TEST(WalkFileLines, EveryLineFeedEndsOneKeyFrame) {
    TempDir dir;
    auto dog = dogReading(dir, std::string(COUNTING) + COUNTING + COUNTING);
    EXPECT_EQ(dog->getFrameCount(), 3);
    EXPECT_TRUE(dog->arePosesLoaded());
}

TEST(WalkFileLines, LastLineWithoutLineFeedIsNotRead) {
    TempDir dir;
    auto dog = dogReading(dir, "0.00 0 0 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\n"
                               "0.10 0 0 0 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2\n"
                               "0.20 0 0 0 3 3 3 3 3 3 3 3 3 3 3 3 3 3 3");
    ASSERT_EQ(dog->getFrameCount(), 2);
    EXPECT_EQ(dog->getKeyFrames()[1].value[1], 2.0f);
}

TEST(WalkFileLines, BlankLineIsAFrameOfZeros) {
    TempDir dir;
    auto dog = dogReading(dir, std::string(COUNTING) + "\n" + COUNTING);
    ASSERT_EQ(dog->getFrameCount(), 3);
    for (int e = 0; e < 16; ++e) EXPECT_EQ(dog->getKeyFrames()[1].value[e], 0.0f) << "element " << e;
    EXPECT_EQ(dog->getKeyFrames()[2].value[0], 0.25f);
}

TEST(WalkFileMissing, DogStaysUnanimated) {
    TempDir dir;
    ScopedChdir inDir(dir.path());
    Dog dog(0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(dog.hasWalkFile());
    EXPECT_FALSE(dog.arePosesLoaded());
    EXPECT_EQ(dog.getFrameCount(), 0);
    EXPECT_EQ(dog.getKeyFrames(), nullptr);
    EXPECT_EQ(dog.getFrameIndex(), -1);
    EXPECT_EQ(joints(dog), std::vector<float>(Dog::JOINTS, 0.0f));
}

TEST(WalkFileMissing, FileWithoutLineFeedLoadsNoFrames) {
    for (const char* contents : {"", "0.00 0 0 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1"}) {
        TempDir dir;
        auto dog = dogReading(dir, contents);
        EXPECT_TRUE(dog->hasWalkFile());
        EXPECT_TRUE(dog->arePosesLoaded());
        EXPECT_EQ(dog->getFrameCount(), 0);
        EXPECT_EQ(dog->getFrameIndex(), -1);
        for (int i = 0; i < 10; ++i) dog->interpolateAnim();
        EXPECT_EQ(dog->getAnimTime(), 0.0f);
        EXPECT_EQ(joints(*dog), std::vector<float>(Dog::JOINTS, 0.0f));
    }
}

// --- the walk cycle the game ships ------------------------------------------------------

namespace {

std::vector<std::string> shippedLines() {
    std::ifstream in(std::string(BONEYARD_DATA_DIR) + "/walk.txt", std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string> lines;
    std::string::size_type start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start != text.size()) lines.push_back("unterminated: " + text.substr(start));
    return lines;
}

std::unique_ptr<Dog> shippedDog() {
    ScopedChdir inData(BONEYARD_DATA_DIR);
    return std::make_unique<Dog>(0.0f, 0.0f, 0.0f);
}

int sign(float v) { return (v > 0) - (v < 0); }

}  // namespace

TEST(ShippedWalkFile, KeepsEveryFormatRule) {
    const std::vector<std::string> lines = shippedLines();
    ASSERT_GE(lines.size(), 6u);
    const std::regex format(R"((\d+)\.(\d\d)( 0){3}( -?\d+){15})");
    int previous = -1;
    for (const std::string& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, format)) << line;
        const int hundredths = std::stoi(match[1]) * 100 + std::stoi(match[2]);
        EXPECT_GT(hundredths, previous) << line;  // strictly increasing, whole hundredths apart
        previous = hundredths;
    }
}

TEST(ShippedWalkFile, LegsSwingInDiagonalPairs) {
    auto dog = shippedDog();
    const int frames = dog->getFrameCount();
    ASSERT_GE(frames, 6);
    const KeyFrame* key = dog->getKeyFrames();
    auto at = [&](int frame, int joint) { return key[frame].value[joint + 1]; };

    for (int f = 1; f < frames; ++f) {
        const float frontLeft  = at(f, FL_SWING) - at(f - 1, FL_SWING);
        const float frontRight = at(f, FR_SWING) - at(f - 1, FR_SWING);
        const float backLeft   = at(f, BL_SWING) - at(f - 1, BL_SWING);
        const float backRight  = at(f, BR_SWING) - at(f - 1, BR_SWING);
        EXPECT_EQ(sign(frontLeft), sign(backRight)) << "frame " << f;
        EXPECT_EQ(sign(frontRight), sign(backLeft)) << "frame " << f;
        EXPECT_EQ(sign(frontLeft), -sign(frontRight)) << "frame " << f;
    }
    // From one extreme of the stride to the other: each leg's swing covers 20 to 60 degrees.
    for (int leg : {FL_SWING, FR_SWING, BL_SWING, BR_SWING}) {
        const float reach = at(frames - 1, leg) - at(0, leg);
        EXPECT_GE(std::abs(reach), 20.0f) << "joint " << leg;
        EXPECT_LE(std::abs(reach), 60.0f) << "joint " << leg;
    }
    for (int f = 0; f < frames; ++f) {
        for (int splay : {FL_SPLAY, FR_SPLAY, BL_SPLAY, BR_SPLAY}) {
            EXPECT_LE(std::abs(at(f, splay)), 10.0f) << "frame " << f << " joint " << splay;
        }
    }
}

TEST(ShippedWalkFile, HeadAndTailMoveALittle) {
    auto dog = shippedDog();
    const KeyFrame* key = dog->getKeyFrames();
    auto range = [&](int joint) {
        float low = key[0].value[joint + 1], high = low;
        for (int f = 1; f < dog->getFrameCount(); ++f) {
            low  = std::min(low, key[f].value[joint + 1]);
            high = std::max(high, key[f].value[joint + 1]);
        }
        return high - low;
    };
    for (int joint : {NECK_PITCH, HEAD_PITCH}) {
        EXPECT_GE(range(joint), 2.0f) << "joint " << joint;
        EXPECT_LE(range(joint), 10.0f) << "joint " << joint;
    }
    EXPECT_GE(range(TAIL_WAG), 10.0f);
    EXPECT_LE(range(TAIL_WAG), 50.0f);
}

TEST(ShippedWalkFile, PlaysThroughEveryFrameThereAndBack) {
    auto dog = shippedDog();
    const int frames = dog->getFrameCount();
    ASSERT_GE(frames, 2);
    // The constructor's steps may already have entered a frame or two, still going forward.
    ASSERT_EQ(dog->getFrameDir(), 1);
    std::vector<int> expected;
    for (int f = dog->getFrameIndex(); f < frames; ++f) expected.push_back(f);
    for (int f = frames - 2; f >= 0; --f) expected.push_back(f);
    for (int f = 1; f < frames; ++f) expected.push_back(f);

    std::vector<int> entered = {dog->getFrameIndex()};
    for (int step = 0; step < 10000 && entered.size() < expected.size(); ++step) {
        dog->interpolateAnim();
        if (dog->getFrameIndex() != entered.back()) entered.push_back(dog->getFrameIndex());
    }
    EXPECT_EQ(entered, expected);
}
