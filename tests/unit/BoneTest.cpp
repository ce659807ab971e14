#include <gtest/gtest.h>

#include "Bone.h"

namespace {

// Owns the quadric of the bone it holds, as the Scene's slot would.
struct OwnedBone {
    Bone bone;
    OwnedBone(int x, int y, int z, float r = 1, float g = 1, float b = 1) : bone(x, y, z, r, g, b) {}
    ~OwnedBone() { bone.release(); }
};

}  // namespace

// Bone at (10, 5, -20): reach is strict at 3 on every axis, each against its own coordinate.
TEST(BoneCollect, StrictReachOnEveryAxis) {
    const struct { int x, y, z, hit; } cases[] = {
        {7, 5, -20, 0}, {13, 5, -20, 0}, {10, 2, -20, 0}, {10, 8, -20, 0}, {10, 5, -23, 0},
        {10, 5, -17, 0}, {-20, 5, 10, 0}, {10, 0, -20, 0}, {8, 5, -20, 1}, {12, 5, -20, 1},
        {10, 3, -20, 1}, {10, 7, -20, 1}, {10, 5, -22, 1}, {10, 5, -18, 1}, {12, 7, -22, 1},
        {8, 3, -18, 1},
    };
    for (const auto& c : cases) {
        OwnedBone b(10, 5, -20);
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z);
        EXPECT_EQ(c.hit, b.bone.checkCollect(c.x, c.y, c.z));
        EXPECT_EQ(c.hit == 1, b.bone.isCollected());
    }
}

TEST(BoneCollect, MissKeepsTheFlagAndACollectedBoneAnswersOneAgain) {
    OwnedBone b(10, 0, 10);
    b.bone.setCollected(true);
    EXPECT_EQ(0, b.bone.checkCollect(20, 0, 10));
    EXPECT_TRUE(b.bone.isCollected());
    EXPECT_EQ(1, b.bone.checkCollect(11, 0, 9));
    b.bone.setCollected(false);
    EXPECT_FALSE(b.bone.isCollected());
}

TEST(BoneSpin, FullTurnIsKeptOnceThenWraps) {
    OwnedBone b(0, 0, 0);
    EXPECT_EQ(0.0f, b.bone.getAngle());
    for (int i = 0; i < 720; i++) b.bone.advanceSpin();
    EXPECT_EQ(360.0f, b.bone.getAngle());  // exactly, not wrapped to 0
    b.bone.advanceSpin();
    EXPECT_EQ(0.5f, b.bone.getAngle());
    for (int i = 0; i < 719; i++) b.bone.advanceSpin();
    EXPECT_EQ(360.0f, b.bone.getAngle());
    b.bone.rotate(false);
    EXPECT_FALSE(b.bone.isRotating());
    b.bone.rotate(true);
    EXPECT_TRUE(b.bone.isRotating());
}

TEST(BoneStorage, KeepsPositionAndColourInOrder) {
    OwnedBone b(-18, 1, -70, 0.2f, 0.4f, 0.6f);
    int x, y, z;
    float r, g, bl;
    b.bone.getPos(x, y, z);
    b.bone.getColor(r, g, bl);
    EXPECT_TRUE(x == -18 && y == 1 && z == -70) << x << ", " << y << ", " << z;
    EXPECT_TRUE(r == 0.2f && g == 0.4f && bl == 0.6f) << r << ", " << g << ", " << bl;
}
