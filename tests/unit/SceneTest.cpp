#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Scene.h"
#include "TempDir.h"

namespace {

// Built in an empty folder, so neither OBJ prop loads.
class SceneTest : public ::testing::Test {
protected:
    SceneTest() {
        ScopedChdir inEmpty(dir.path());
        scene = std::make_unique<Scene>(20);
    }
    int bonesLeft() { return scene->checkBones(0, 0, 100); }  // reaches no bone
    bool taken(int i) const { return scene->getBone(i).isCollected(); }
    TempDir dir;
    std::unique_ptr<Scene> scene;
};

}  // namespace

TEST_F(SceneTest, CountsCapacitiesAndSlotOrder) {
    const std::vector<int> counts = {scene->getNumTrees(), scene->getNumBounds(), scene->getNumBushes(),
        bonesLeft(), scene->getMaxTrees(), scene->getMaxBushes(), scene->getMaxBones()};
    EXPECT_EQ((std::vector<int>{13, 12, 17, 13, 20, 30, 20}), counts);
    float x, y = -1, z, cx, cz;
    scene->getTree(0).getPos(x, y, z);
    scene->getBound(11).getCorner(3, cx, cz);
    EXPECT_TRUE(x == 2 && y == 0 && z == -60 && cx == -9.5f && cz == 38);
    scene->getBush(16).getPos(x, y, z);
    EXPECT_TRUE(x == 24 && z == 43) << x << ", " << z;
    EXPECT_EQ(objReader::ERROR_OPEN, scene->getCar().getError());
    EXPECT_EQ(objReader::ERROR_OPEN, scene->getToy().getError());
}

TEST_F(SceneTest, CollisionAcrossTheYard) {
    const struct { const char* what; float x, y, z; bool blocked; int bound; } cases[] = {
        {"start", 0, 0, 0, 0, -1},       {"house 1", -20, 0, -30, 1, 0},   {"house 3", -10, 0, -70, 1, 1},
        {"house 4", 15, 0, -60, 1, 2},   {"house 2", 60, 0, 55, 1, 3},     {"pool", 0, 0, -30, 1, 4},
        {"toy 1", 30, 0, 20, 1, 9},      {"toy 2", 45, 0, -63, 1, 10},     {"car", -1, 0, 44, 1, 11},
        {"high up", -20, 50, -30, 1, 0}, {"fence", -28.5f, 0, 0, 1, 5},    {"yard", -26.5f, 0, 0, 0, -1},
        {"fence", 78.5f, 0, 0, 1, 6},    {"yard", 76.5f, 0, 0, 0, -1},     {"fence", 0, 0, -78, 1, 7},
        {"yard", 0, 0, -76.5f, 0, -1},   {"fence", 0, 0, 78, 1, 8},        {"yard", 0, 0, 76.5f, 0, -1},
        {"fence end", -28.5f, 0, 76, 1, 5}, {"fence end", 78.5f, 0, -76, 1, 6}, {"fence end", 75, 0, -78.5f, 1, 7},
        {"fence end", -25, 0, 78.5f, 1, 8},
        {"tree 8", 7, 0, 15, 1, -1},     {"tree 8", 9.9f, 0, 17.9f, 1, -1}, {"tree 8 edge", 10, 0, 15, 0, -1},
        {"over tree", 7, 3, 15, 0, -1},  {"tree 12", 28, 0, 54.9f, 1, -1},  {"bush 5", 5, 0, -7, 0, -1},
        {"bone 0", 25, 0, 25, 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " at " << c.x << ", " << c.y << ", " << c.z);
        EXPECT_EQ(c.blocked, scene->checkCollision(c.x, c.y, c.z));
        if (c.bound >= 0) {
            EXPECT_EQ(1, scene->getBound(c.bound).checkCollision(c.x, c.y, c.z));
        }
    }
}

TEST_F(SceneTest, CheckBonesTruncatesTowardZeroAndCountsInTheSameCall) {
    // Bone 12 at (-3, -5): -0.5 is tested as 0, outside; flooring would give -1, inside.
    EXPECT_EQ(13, scene->checkBones(-0.5f, 0, -5));
    EXPECT_EQ(13, scene->checkBones(-0.9f, 0, -5));
    EXPECT_EQ(12, scene->checkBones(-3, 0, -7.9f));  // -7, inside; flooring gives -8
    EXPECT_TRUE(taken(12));
    // Bone 0 at (25, 25): x 22.9 is tested as 22 and y 3.49 as 3, both outside.
    EXPECT_EQ(12, scene->checkBones(22.9f, 0, 25));
    EXPECT_EQ(12, scene->checkBones(25, 3.49f, 25));
    EXPECT_EQ(11, scene->checkBones(24.9f, 2.9f, 27.9f));
    EXPECT_EQ(11, scene->checkBones(25, 0, 25));  // not taken twice
    // Bone 2 at (-18, -70) lies on bound 1's edge: reached from outside it.
    EXPECT_FALSE(scene->checkCollision(-19.5f, 0, -70));
    EXPECT_EQ(10, scene->checkBones(-19.5f, 0, -70));
    EXPECT_TRUE(taken(0) && taken(2));
}

TEST_F(SceneTest, EveryBoneOnceThenResetThenSeveralInOneCall) {
    for (int i = 0; i < 13; i++) {
        int x, y, z;
        scene->getBone(i).getPos(x, y, z);
        EXPECT_EQ(12 - i, scene->checkBones(x, 0, z)) << "bone " << i;
    }
    EXPECT_EQ(0, bonesLeft());
    scene->resetBones();
    for (int i = 0; i < 13; i++) EXPECT_FALSE(taken(i)) << "bone " << i;
    EXPECT_EQ(12, scene->checkBones(-20, 0, 60));

    scene->addBone(100, 0, 100, 1, 1, 1);
    scene->addBone(102, 0, 101, 1, 1, 1);
    scene->addBone(104, 0, 100, 1, 1, 1);  // out of reach of x = 101
    EXPECT_EQ(13, scene->checkBones(101, 0, 100));
    EXPECT_TRUE(taken(13) && taken(14) && !taken(15));
    scene->addBone(-0.9f, 1.99f, -1.5f, 0, 0, 0);  // truncated toward zero
    int x, y, z;
    scene->getBone(16).getPos(x, y, z);
    EXPECT_TRUE(x == 0 && y == 1 && z == -1) << x << ", " << y << ", " << z;
}

TEST_F(SceneTest, ItemsPastCapacityAreIgnored) {
    for (int i = 0; i < 7; i++) scene->addTree(-100.0f - 10 * i, 0, 0, 1, 1);
    EXPECT_TRUE(scene->checkCollision(-160, 0, 0));  // slot 19
    scene->addTree(-200, 0, 0, 1, 1);
    EXPECT_EQ(20, scene->getNumTrees());
    EXPECT_FALSE(scene->checkCollision(-200, 0, 0));

    for (int i = 0; i < 14; i++) scene->addBush(static_cast<float>(i), 0, 0);
    EXPECT_EQ(30, scene->getNumBushes());
    float x, y, z;
    scene->getBush(29).getPos(x, y, z);
    EXPECT_FLOAT_EQ(12, x);

    for (int i = 0; i < 8; i++) scene->addBone(200.0f + 10 * i, 0, 0, 1, 1, 1);
    EXPECT_EQ(20, scene->getNumBones());
    EXPECT_EQ(20, scene->checkBones(270, 0, 0));
    EXPECT_EQ(19, scene->checkBones(260, 0, 0));  // slot 19

    for (int i = 0; i < 9; i++) {
        const float bx = 400.0f + 10 * i;
        scene->addBound(0, bx + 1, 1, bx + 1, -1, bx - 1, -1, bx - 1, 1);
    }
    EXPECT_EQ(Scene::BOUND_SLOTS, scene->getNumBounds());
    EXPECT_TRUE(scene->checkCollision(470, 0, 0));  // slot 19
    EXPECT_FALSE(scene->checkCollision(480, 0, 0));
}

TEST(SceneTreeCapacity, ConstructorArgumentLimitsTheYardsTrees) {
    TempDir dir;
    ScopedChdir inEmpty(dir.path());
    Scene small(5), bare(0);
    EXPECT_EQ(5, small.getNumTrees());
    EXPECT_TRUE(small.checkCollision(51, 0, -30));   // tree 4
    EXPECT_FALSE(small.checkCollision(43, 0, -30));  // tree 5 found no slot
    EXPECT_EQ(12, small.getNumBounds());
    EXPECT_EQ(13, small.getNumBones());
    EXPECT_EQ(0, bare.getNumTrees());
    EXPECT_FALSE(bare.checkCollision(7, 0, 15));
}
