#include <gtest/gtest.h>

#include <memory>

#include "Scene.h"
#include "TempDir.h"

namespace {

// The yard as it should come out of the constructor, slot by slot.
struct Spot {
    float x, z;
};
const Spot TREES[] = {
    {2, -60}, {25, -60}, {65, -30}, {58, -30}, {51, -30}, {43, -30}, {44, 50},
    {-20, 43}, {7, 15}, {55, 2}, {42, 22}, {58, 16}, {28, 52},
};
const Spot BUSHES[] = {
    {-17, -22}, {-22, -23}, {-15, -65}, {45, 20}, {47, 15}, {5, -7}, {29, -19}, {45, -45},
    {58, -53}, {39, -65}, {61, -51}, {57, -49}, {48, 33}, {30, 0}, {-4, 30}, {-20, 18},
    {24, 43},
};
struct BoneSpot {
    int x, z;
    float r, g, b;
};
const BoneSpot BONES[] = {
    {25, 25, 1, 0, 0}, {-20, -40, 0, 1, 0}, {-18, -70, 1, 1, 0}, {30, -65, 0, 0, 1},
    {58, -50, 0, 0.4f, 0}, {60, -15, 0, 1, 1}, {70, 70, 0.6f, 1, 0.9f},
    {60, 20, 0.2f, 0.2f, 0.7f}, {-20, 60, 0.7f, 0.4f, 0.7f}, {20, 70, 0.3f, 0.8f, 0.3f},
    {-3, 13, 0.9f, 0.7f, 0.6f}, {10, -20, 0.6f, 0.5f, 0.7f}, {-3, -5, 0.3f, 0.6f, 0.7f},
};
const float BOUNDS[][8] = {
    {-12, -22, -12, -38, -28, -38, -28, -22},
    {-2, -62, -2, -78, -18, -78, -18, -62},
    {23, -52, 23, -68, 7.6f, -68, 7.6f, -52},
    {67.5f, 63, 67.5f, 47.5f, 52, 47.5f, 52, 63},
    {6.7f, -21.4f, 6.7f, -41.7f, -6.7f, -41.7f, -6.7f, -21.4f},
    {-27, 80, -27, -80, -30, -80, -30, 80},
    {80, 80, 80, -80, 77, -80, 77, 80},
    {80, -77, 80, -80, -30, -80, -30, -77},
    {80, 80, 80, 77, -30, 77, -30, 80},
    {34, 24.5f, 34, 15.5f, 25.5f, 15.5f, 25.5f, 24.5f},
    {49, -59, 49, -67, 40.5f, -67, 40.5f, -59},
    {7.5f, 49.5f, 7.5f, 38, -9.5f, 38, -9.5f, 49.5f},
};

const float FAR_X = 0, FAR_Z = 100;  // reaches no bone

// A scene built in an empty folder: it finds no OBJ files there, as in a test run.
class SceneTest : public ::testing::Test {
protected:
    SceneTest() {
        ScopedChdir inEmpty(dir.path());
        scene = std::make_unique<Scene>(20);
    }
    TempDir dir;
    std::unique_ptr<Scene> scene;
};

using SceneLayout = SceneTest;
using SceneCollision = SceneTest;
using SceneCheckBones = SceneTest;
using SceneCapacity = SceneTest;

}  // namespace

TEST_F(SceneLayout, HoldsThirteenTreesTwelveBoundsSeventeenBushesThirteenBones) {
    EXPECT_EQ(13, scene->getNumTrees());
    EXPECT_EQ(12, scene->getNumBounds());
    EXPECT_EQ(17, scene->getNumBushes());
    EXPECT_EQ(13, scene->getNumBones());
    EXPECT_EQ(20, scene->getMaxTrees());
    EXPECT_EQ(30, scene->getMaxBushes());
    EXPECT_EQ(20, scene->getMaxBones());
}

TEST_F(SceneLayout, TreesInSlotOrder) {
    for (int i = 0; i < 13; i++) {
        float x = 0, y = -1, z = 0;
        scene->getTree(i).getPos(x, y, z);
        EXPECT_FLOAT_EQ(TREES[i].x, x) << "tree " << i;
        EXPECT_FLOAT_EQ(0, y) << "tree " << i;
        EXPECT_FLOAT_EQ(TREES[i].z, z) << "tree " << i;
        EXPECT_FLOAT_EQ(1, scene->getTree(i).getTrunkTopRadius());
        EXPECT_FLOAT_EQ(1, scene->getTree(i).getTrunkBottomRadius());
    }
}

TEST_F(SceneLayout, BoundsInSlotOrder) {
    for (int i = 0; i < 12; i++) {
        EXPECT_FLOAT_EQ(0, scene->getBound(i).getY());
        for (int c = 1; c <= 4; c++) {
            float x = 0, z = 0;
            scene->getBound(i).getCorner(c, x, z);
            EXPECT_FLOAT_EQ(BOUNDS[i][2 * c - 2], x) << "bound " << i << " corner " << c;
            EXPECT_FLOAT_EQ(BOUNDS[i][2 * c - 1], z) << "bound " << i << " corner " << c;
        }
    }
}

TEST_F(SceneLayout, BushesInSlotOrder) {
    for (int i = 0; i < 17; i++) {
        float x = 0, y = -1, z = 0;
        scene->getBush(i).getPos(x, y, z);
        EXPECT_FLOAT_EQ(BUSHES[i].x, x) << "bush " << i;
        EXPECT_FLOAT_EQ(0, y) << "bush " << i;
        EXPECT_FLOAT_EQ(BUSHES[i].z, z) << "bush " << i;
    }
}

TEST_F(SceneLayout, BonesInSlotOrderUncollected) {
    for (int i = 0; i < 13; i++) {
        const Bone& bone = scene->getBone(i);
        int x = 0, y = -1, z = 0;
        bone.getPos(x, y, z);
        EXPECT_EQ(BONES[i].x, x) << "bone " << i;
        EXPECT_EQ(0, y) << "bone " << i;
        EXPECT_EQ(BONES[i].z, z) << "bone " << i;
        float r = 0, g = 0, b = 0;
        bone.getColor(r, g, b);
        EXPECT_FLOAT_EQ(BONES[i].r, r) << "bone " << i;
        EXPECT_FLOAT_EQ(BONES[i].g, g) << "bone " << i;
        EXPECT_FLOAT_EQ(BONES[i].b, b) << "bone " << i;
        EXPECT_FALSE(bone.isCollected());
    }
}

TEST_F(SceneLayout, PlacedObjectsStandInsideTheirBounds) {
    struct Placed {
        const char* what;
        float x, z;
        int bound;
    };
    const Placed placed[] = {
        {"house 1", -20, -30, 0}, {"house 3", -10, -70, 1}, {"house 4", 15, -60, 2},
        {"house 2", 60, 55, 3},   {"pool", 0, -30, 4},      {"toy 1", 30, 20, 9},
        {"toy 2", 45, -63, 10},   {"car", -1, 44, 11},
    };
    for (const Placed& p : placed) {
        EXPECT_EQ(1, scene->getBound(p.bound).checkCollision(p.x, 0, p.z)) << p.what;
        EXPECT_TRUE(scene->checkCollision(p.x, 0, p.z)) << p.what;
    }
}

TEST_F(SceneLayout, MissingModelsLeaveThePropsEmpty) {
    EXPECT_EQ(objReader::ERROR_OPEN, scene->getCar().getError());
    EXPECT_EQ(objReader::ERROR_OPEN, scene->getToy().getError());
    EXPECT_EQ(0, scene->getCar().getTriangleCount());
    EXPECT_TRUE(scene->checkCollision(-1, 0, 44));  // the car's place stays blocked
    EXPECT_EQ(13, scene->checkBones(FAR_X, 0, FAR_Z));
}

TEST_F(SceneCollision, StartPositionIsFree) {
    EXPECT_FALSE(scene->checkCollision(0, 0, 0));
}

TEST_F(SceneCollision, FenceStripsBlockThreeInsideTheRails) {
    EXPECT_TRUE(scene->checkCollision(-28.5f, 0, 0));
    EXPECT_FALSE(scene->checkCollision(-26.5f, 0, 0));
    EXPECT_TRUE(scene->checkCollision(78.5f, 0, 0));
    EXPECT_FALSE(scene->checkCollision(76.5f, 0, 0));
    EXPECT_TRUE(scene->checkCollision(0, 0, 78));
    EXPECT_FALSE(scene->checkCollision(0, 0, 76.5f));
    EXPECT_TRUE(scene->checkCollision(0, 0, -78));
    EXPECT_FALSE(scene->checkCollision(0, 0, -76.5f));
}

TEST_F(SceneCollision, TreesTestHeightBoundsDoNot) {
    EXPECT_TRUE(scene->checkCollision(7, 0, 15));       // tree 8
    EXPECT_TRUE(scene->checkCollision(9.9f, 0, 17.9f));
    EXPECT_FALSE(scene->checkCollision(10, 0, 15));
    EXPECT_FALSE(scene->checkCollision(7, 3, 15));      // above the cube
    EXPECT_TRUE(scene->checkCollision(28, 0, 54.9f));   // tree 12, the last slot
    EXPECT_TRUE(scene->checkCollision(-20, 50, -30));   // bound 0, high above
}

TEST_F(SceneCollision, BushesAndBonesDoNotBlock) {
    EXPECT_FALSE(scene->checkCollision(5, 0, -7));    // bush 5
    EXPECT_FALSE(scene->checkCollision(-4, 0, 30));   // bush 14
    EXPECT_FALSE(scene->checkCollision(25, 0, 25));   // bone 0
    EXPECT_FALSE(scene->checkCollision(-3, 0, -5));   // bone 12
}

TEST_F(SceneCheckBones, StandingOnABoneDropsTheCountInTheSameCall) {
    EXPECT_EQ(12, scene->checkBones(25, 0, 25));
    EXPECT_TRUE(scene->getBone(0).isCollected());
    EXPECT_EQ(12, scene->checkBones(25, 0, 25));  // not taken twice
    EXPECT_EQ(12, scene->checkBones(FAR_X, 0, FAR_Z));
}

TEST_F(SceneCheckBones, PositionIsTruncatedTowardZero) {
    // Bone 12 at (-3, -5): -0.5 is tested as 0, on the edge of its reach; -1 is inside.
    EXPECT_EQ(13, scene->checkBones(-0.5f, 0, -5));
    EXPECT_EQ(13, scene->checkBones(-0.9f, 0, -5));
    EXPECT_FALSE(scene->getBone(12).isCollected());
    // -7.9 is tested as -7, inside; rounding down would reach -8, outside.
    EXPECT_EQ(12, scene->checkBones(-3, 0, -7.9f));
    EXPECT_TRUE(scene->getBone(12).isCollected());
}

TEST_F(SceneCheckBones, FractionsAboveAreDropped) {
    // Bone 0 at (25, 25): 22.9 is tested as 22, outside; 27.9 as 27, inside.
    EXPECT_EQ(13, scene->checkBones(22.9f, 0, 25));
    EXPECT_EQ(13, scene->checkBones(25, 2.99f + 0.5f, 25));  // 3.49 is tested as 3: outside
    EXPECT_EQ(12, scene->checkBones(24.9f, 2.9f, 27.9f));
    EXPECT_TRUE(scene->getBone(0).isCollected());
}

TEST_F(SceneCheckBones, BoneOnABoundEdgeIsReachedFromOutside) {
    // Bone 2 at (-18, -70) on the edge of bound 1, which spans x from -18 to -2.
    EXPECT_FALSE(scene->checkCollision(-19.5f, 0, -70));
    EXPECT_EQ(12, scene->checkBones(-19.5f, 0, -70));
    EXPECT_TRUE(scene->getBone(2).isCollected());
}

TEST_F(SceneCheckBones, EveryBoneOnceThenZeroThenResetToThirteen) {
    for (int i = 0; i < 13; i++) {
        EXPECT_EQ(12 - i, scene->checkBones(BONES[i].x, 0, BONES[i].z)) << "bone " << i;
    }
    EXPECT_EQ(0, scene->checkBones(FAR_X, 0, FAR_Z));
    EXPECT_EQ(0, scene->checkBones(25, 0, 25));

    scene->resetBones();
    for (int i = 0; i < 13; i++) EXPECT_FALSE(scene->getBone(i).isCollected()) << "bone " << i;
    EXPECT_EQ(13, scene->checkBones(FAR_X, 0, FAR_Z));
    EXPECT_EQ(12, scene->checkBones(-20, 0, 60));
}

TEST_F(SceneCheckBones, SeveralBonesInReachGoInOneCall) {
    scene->addBone(100, 0, 100, 1, 1, 1);
    scene->addBone(102, 0, 101, 1, 1, 1);
    scene->addBone(104, 0, 100, 1, 1, 1);  // out of reach of x = 101
    ASSERT_EQ(16, scene->getNumBones());
    EXPECT_EQ(14, scene->checkBones(101, 0, 100));
    EXPECT_TRUE(scene->getBone(13).isCollected());
    EXPECT_TRUE(scene->getBone(14).isCollected());
    EXPECT_FALSE(scene->getBone(15).isCollected());
}

TEST_F(SceneCapacity, AddBoneTruncatesTowardZero) {
    scene->addBone(-0.9f, 1.99f, -1.5f, 0.1f, 0.2f, 0.3f);
    int x = 9, y = 9, z = 9;
    scene->getBone(13).getPos(x, y, z);
    EXPECT_EQ(0, x);
    EXPECT_EQ(1, y);
    EXPECT_EQ(-1, z);
}

TEST_F(SceneCapacity, TwentyFirstTreeIsIgnored) {
    for (int i = 0; i < 7; i++) scene->addTree(-100.0f - 10 * i, 0, 0, 1, 1);
    ASSERT_EQ(20, scene->getNumTrees());
    EXPECT_TRUE(scene->checkCollision(-160, 0, 0));  // slot 19 blocks
    scene->addTree(-200, 0, 0, 1, 1);
    EXPECT_EQ(20, scene->getNumTrees());
    EXPECT_FALSE(scene->checkCollision(-200, 0, 0));
    float x = 0, y = 0, z = 0;
    scene->getTree(19).getPos(x, y, z);
    EXPECT_FLOAT_EQ(-160, x);
}

TEST_F(SceneCapacity, ThirtyFirstBushIsIgnored) {
    for (int i = 0; i < 13; i++) scene->addBush(static_cast<float>(i), 0, 0);
    ASSERT_EQ(30, scene->getNumBushes());
    scene->addBush(-500, 0, 0);
    EXPECT_EQ(30, scene->getNumBushes());
    float x = 0, y = 0, z = 0;
    scene->getBush(29).getPos(x, y, z);
    EXPECT_FLOAT_EQ(12, x);
}

TEST_F(SceneCapacity, TwentyFirstBoneIsIgnored) {
    for (int i = 0; i < 7; i++) scene->addBone(200.0f + 10 * i, 0, 0, 1, 1, 1);
    ASSERT_EQ(20, scene->getNumBones());
    scene->addBone(300, 0, 0, 1, 1, 1);
    EXPECT_EQ(20, scene->getNumBones());
    EXPECT_EQ(20, scene->checkBones(300, 0, 0));  // nothing lies there
    EXPECT_EQ(19, scene->checkBones(260, 0, 0));  // slot 19
}

TEST_F(SceneCapacity, TwentyFirstBoundIsIgnored) {
    for (int i = 0; i < 8; i++) {
        const float x = 200.0f + 10 * i;
        scene->addBound(0, x + 1, 1, x + 1, -1, x - 1, -1, x - 1, 1);
    }
    ASSERT_EQ(Scene::BOUND_SLOTS, scene->getNumBounds());
    EXPECT_TRUE(scene->checkCollision(270, 0, 0));  // slot 19 blocks
    scene->addBound(0, 301, 1, 301, -1, 299, -1, 299, 1);
    EXPECT_EQ(Scene::BOUND_SLOTS, scene->getNumBounds());
    EXPECT_FALSE(scene->checkCollision(300, 0, 0));
}

TEST(SceneTreeCapacity, ConstructorArgumentLimitsTheYardsTrees) {
    TempDir dir;
    ScopedChdir inEmpty(dir.path());
    Scene small(5);
    EXPECT_EQ(5, small.getMaxTrees());
    EXPECT_EQ(5, small.getNumTrees());
    EXPECT_TRUE(small.checkCollision(51, 0, -30));    // tree 4
    EXPECT_FALSE(small.checkCollision(43, 0, -30));   // tree 5 found no slot
    EXPECT_EQ(12, small.getNumBounds());              // the other lists are whole
    EXPECT_EQ(13, small.getNumBones());

    Scene bare(0);
    EXPECT_EQ(0, bare.getNumTrees());
    EXPECT_FALSE(bare.checkCollision(7, 0, 15));
    EXPECT_TRUE(bare.checkCollision(-28.5f, 0, 0));
}
