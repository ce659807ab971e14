#include <gtest/gtest.h>

#include <cmath>

#include "Tree.h"

namespace {

// Owns the quadric of the tree it holds, as the Scene's slot would.
struct OwnedTree {
    Tree tree;
    OwnedTree(float x, float y, float z, float top = 1, float bottom = 1) : tree(x, y, z, top, bottom) {}
    ~OwnedTree() { tree.release(); }
};

}  // namespace

// The open cube of half-side 3 around the foot at (10, 5, -20), whatever the trunk.
TEST(TreeCollision, OpenCubeAroundTheFoot) {
    const float nan = std::nanf("");
    const struct { float x, y, z; int hit; } cases[] = {
        {12.9f, 5, -20, 1}, {13, 5, -20, 0}, {7.1f, 5, -20, 1}, {7, 5, -20, 0},
        {10, 5, -17.1f, 1}, {10, 5, -17, 0}, {10, 5, -22.9f, 1}, {10, 5, -23, 0},
        {10, 7.9f, -20, 1}, {10, 8, -20, 0}, {10, 2.1f, -20, 1}, {10, 2, -20, 0},
        {10, 0, -20, 0}, {12, 7, -18, 1}, {7.1f, 2.1f, -17.1f, 1}, {13, 5, -17, 0},
        {nan, 5, -20, 0}, {10, nan, -20, 0}, {10, 5, nan, 0}, {-20, 5, 10, 0},
    };
    OwnedTree thin(10, 5, -20, 0.1f, 0.2f), thick(10, 5, -20, 10, 8);
    for (const Tree* tree : {&thin.tree, &thick.tree}) {
        EXPECT_FLOAT_EQ(3.0f, tree->getCollisionRadius());
        for (const auto& c : cases) {
            EXPECT_EQ(c.hit, tree->checkCollision(c.x, c.y, c.z)) << c.x << ", " << c.y << ", " << c.z;
        }
    }
}

TEST(TreeStorage, KeepsPositionAndTrunkRadiiInOrder) {
    OwnedTree t(1, 2, 3, 0.5f, 1.5f);
    float x, y, z;
    t.tree.getPos(x, y, z);
    EXPECT_TRUE(x == 1 && y == 2 && z == 3) << x << ", " << y << ", " << z;
    EXPECT_FLOAT_EQ(0.5f, t.tree.getTrunkTopRadius());
    EXPECT_FLOAT_EQ(1.5f, t.tree.getTrunkBottomRadius());
}
