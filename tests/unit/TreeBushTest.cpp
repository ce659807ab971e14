#include <gtest/gtest.h>

#include <cmath>

#include "Tree.h"

namespace {

// Owns the quadric of the tree it holds, as the Scene's slot would.
struct OwnedTree {
    Tree tree;
    OwnedTree(float x, float y, float z, float top = 1.0f, float bottom = 1.0f)
        : tree(x, y, z, top, bottom) {}
    ~OwnedTree() { tree.release(); }
};

}  // namespace

// x and z differ, so a swapped coordinate shows.
TEST(TreeCollision, OpenCubeAlongX) {
    OwnedTree t(10, 0, -20);
    EXPECT_EQ(1, t.tree.checkCollision(12.9f, 0, -20));
    EXPECT_EQ(0, t.tree.checkCollision(13, 0, -20));
    EXPECT_EQ(1, t.tree.checkCollision(7.1f, 0, -20));
    EXPECT_EQ(0, t.tree.checkCollision(7, 0, -20));
}

TEST(TreeCollision, OpenCubeAlongZ) {
    OwnedTree t(10, 0, -20);
    EXPECT_EQ(1, t.tree.checkCollision(10, 0, -17.1f));
    EXPECT_EQ(0, t.tree.checkCollision(10, 0, -17));
    EXPECT_EQ(1, t.tree.checkCollision(10, 0, -22.9f));
    EXPECT_EQ(0, t.tree.checkCollision(10, 0, -23));
}

TEST(TreeCollision, HeightCountsAroundTheFoot) {
    OwnedTree ground(10, 0, 10);
    EXPECT_EQ(1, ground.tree.checkCollision(10, 2.9f, 10));
    EXPECT_EQ(0, ground.tree.checkCollision(10, 3, 10));
    EXPECT_EQ(1, ground.tree.checkCollision(10, -2.9f, 10));
    EXPECT_EQ(0, ground.tree.checkCollision(10, -3, 10));

    OwnedTree raised(0, 5, 0);  // the cube follows the foot, not the ground
    EXPECT_EQ(0, raised.tree.checkCollision(0, 0, 0));
    EXPECT_EQ(0, raised.tree.checkCollision(0, 2, 0));
    EXPECT_EQ(1, raised.tree.checkCollision(0, 2.1f, 0));
    EXPECT_EQ(1, raised.tree.checkCollision(0, 7.9f, 0));
    EXPECT_EQ(0, raised.tree.checkCollision(0, 8, 0));
}

TEST(TreeCollision, CornerRegionOfTheCubeCounts) {
    OwnedTree t(10, 0, 10);
    EXPECT_EQ(1, t.tree.checkCollision(12, 0, 12));
    EXPECT_EQ(1, t.tree.checkCollision(7.1f, 2.9f, 12.9f));
    EXPECT_EQ(0, t.tree.checkCollision(13, 0, 13));
}

TEST(TreeCollision, NaNIsFree) {
    OwnedTree t(0, 0, 0);
    const float nan = std::nanf("");
    EXPECT_EQ(0, t.tree.checkCollision(nan, 0, 0));
    EXPECT_EQ(0, t.tree.checkCollision(0, nan, 0));
    EXPECT_EQ(0, t.tree.checkCollision(0, 0, nan));
}

TEST(TreeCollision, HalfSideIsThreeWhateverTheTrunk) {
    OwnedTree thin(0, 0, 0, 0.1f, 0.2f);
    OwnedTree thick(0, 0, 0, 10.0f, 8.0f);
    for (const Tree* tree : {&thin.tree, &thick.tree}) {
        EXPECT_FLOAT_EQ(3.0f, tree->getCollisionRadius());
        EXPECT_EQ(1, tree->checkCollision(2.9f, 0, 0));
        EXPECT_EQ(0, tree->checkCollision(3, 0, 0));
        EXPECT_EQ(0, tree->checkCollision(5, 0, 0));
    }
}

TEST(TreeStorage, KeepsPositionAndTrunkRadiiInOrder) {
    OwnedTree t(1, 2, 3, 0.5f, 1.5f);
    float x = 0, y = 0, z = 0;
    t.tree.getPos(x, y, z);
    EXPECT_FLOAT_EQ(1, x);
    EXPECT_FLOAT_EQ(2, y);
    EXPECT_FLOAT_EQ(3, z);
    EXPECT_FLOAT_EQ(0.5f, t.tree.getTrunkTopRadius());
    EXPECT_FLOAT_EQ(1.5f, t.tree.getTrunkBottomRadius());
}
