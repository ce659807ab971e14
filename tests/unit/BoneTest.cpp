#include <gtest/gtest.h>

#include "Bone.h"

namespace {

// Owns the quadric of the bone it holds, as the Scene's slot would.
struct OwnedBone {
    Bone bone;
    OwnedBone(int x, int y, int z) : bone(x, y, z, 1.0f, 1.0f, 1.0f) {}
    ~OwnedBone() { bone.release(); }
};

}  // namespace

TEST(BoneCollect, RangeIsStrictOnEverySide) {
    OwnedBone b(10, 0, 10);
    EXPECT_EQ(0, b.bone.checkCollect(7, 0, 10));  // 10 - 3 is outside
    EXPECT_EQ(0, b.bone.checkCollect(13, 0, 10));
    EXPECT_EQ(0, b.bone.checkCollect(10, 3, 10));
    EXPECT_EQ(0, b.bone.checkCollect(10, -3, 10));
    EXPECT_EQ(0, b.bone.checkCollect(10, 0, 7));
    EXPECT_EQ(0, b.bone.checkCollect(10, 0, 13));
    EXPECT_FALSE(b.bone.isCollected());
}

TEST(BoneCollect, TwoAwayOnEachAxisPicksUp) {
    const int inReach[][3] = {
        {8, 0, 10}, {12, 0, 10}, {10, 2, 10}, {10, -2, 10}, {10, 0, 8}, {10, 0, 12},
        {12, 2, 8}, {8, -2, 12},  // corners of the 5 x 5 x 5 block
    };
    for (const auto& p : inReach) {
        OwnedBone b(10, 0, 10);
        EXPECT_EQ(1, b.bone.checkCollect(p[0], p[1], p[2])) << p[0] << ", " << p[1] << ", " << p[2];
        EXPECT_TRUE(b.bone.isCollected());
    }
}

TEST(BoneCollect, EachAxisAgainstItsOwnCoordinate) {
    OwnedBone b(10, 0, -20);
    EXPECT_EQ(0, b.bone.checkCollect(-20, 0, 10));  // x and z swapped
    EXPECT_EQ(0, b.bone.checkCollect(13, 0, -20));
    EXPECT_EQ(0, b.bone.checkCollect(10, 0, -23));
    EXPECT_FALSE(b.bone.isCollected());
    EXPECT_EQ(1, b.bone.checkCollect(8, 0, -22));
}

TEST(BoneCollect, HeightIsMeasuredFromTheBone) {
    OwnedBone b(0, 5, 0);
    EXPECT_EQ(0, b.bone.checkCollect(0, 2, 0));
    EXPECT_EQ(1, b.bone.checkCollect(0, 3, 0));
}

TEST(BoneCollect, MissLeavesTheFlagAsItWas) {
    OwnedBone b(10, 0, 10);
    EXPECT_EQ(0, b.bone.checkCollect(20, 0, 10));
    EXPECT_FALSE(b.bone.isCollected());
    b.bone.setCollected(true);
    EXPECT_EQ(0, b.bone.checkCollect(20, 0, 10));
    EXPECT_TRUE(b.bone.isCollected());
}

TEST(BoneCollect, CollectedBoneAnswersOneAgain) {
    OwnedBone b(10, 0, 10);
    EXPECT_EQ(1, b.bone.checkCollect(10, 0, 10));
    EXPECT_EQ(1, b.bone.checkCollect(11, 0, 9));
    EXPECT_TRUE(b.bone.isCollected());
    b.bone.setCollected(false);
    EXPECT_FALSE(b.bone.isCollected());
}

TEST(BoneSpin, FullTurnIsKeptOnceThenWraps) {
    OwnedBone b(0, 0, 0);
    EXPECT_EQ(0.0f, b.bone.getAngle());
    b.bone.advanceSpin();
    EXPECT_EQ(0.5f, b.bone.getAngle());
    for (int i = 1; i < 720; i++) b.bone.advanceSpin();
    EXPECT_EQ(360.0f, b.bone.getAngle());  // exactly, not wrapped to 0
    b.bone.advanceSpin();
    EXPECT_EQ(0.5f, b.bone.getAngle());
    for (int i = 0; i < 719; i++) b.bone.advanceSpin();
    EXPECT_EQ(360.0f, b.bone.getAngle());  // the second turn ends on 360 as well
}

TEST(BoneSpin, RotateFalseStopsAndTrueResumes) {
    OwnedBone b(0, 0, 0);
    EXPECT_TRUE(b.bone.isRotating());
    b.bone.rotate(false);
    EXPECT_FALSE(b.bone.isRotating());
    b.bone.rotate(true);
    EXPECT_TRUE(b.bone.isRotating());
}

TEST(BoneStorage, KeepsPositionAndColourInOrder) {
    Bone bone(-18, 1, -70, 0.2f, 0.4f, 0.6f);
    int x = 0, y = 0, z = 0;
    bone.getPos(x, y, z);
    EXPECT_EQ(-18, x);
    EXPECT_EQ(1, y);
    EXPECT_EQ(-70, z);
    float r = 0, g = 0, b = 0;
    bone.getColor(r, g, b);
    EXPECT_FLOAT_EQ(0.2f, r);
    EXPECT_FLOAT_EQ(0.4f, g);
    EXPECT_FLOAT_EQ(0.6f, b);
    bone.release();
}
