#include <gtest/gtest.h>

#include "House.h"

namespace {

struct Vec {
    float x, y, z;
};

Vec cross(Vec a, Vec b) {
    Vec n{-1, -1, -1};
    House::normalVector(n.x, n.y, n.z, a.x, a.y, a.z, b.x, b.y, b.z);
    return n;
}

void expectVec(Vec expected, Vec actual) {
    EXPECT_FLOAT_EQ(expected.x, actual.x);
    EXPECT_FLOAT_EQ(expected.y, actual.y);
    EXPECT_FLOAT_EQ(expected.z, actual.z);
}

}  // namespace

TEST(HouseNormalVector, WallExamples) {
    expectVec({56, 0, 0}, cross({0, 0, 8}, {0, -7, 0}));
    expectVec({0, 0, 56}, cross({0, -7, 0}, {8, 0, 0}));
}

TEST(HouseNormalVector, RightHandedAndUnscaled) {
    expectVec({0, 0, 1}, cross({1, 0, 0}, {0, 1, 0}));
    expectVec({-3, 6, -3}, cross({1, 2, 3}, {4, 5, 6}));
    expectVec({3, -6, 3}, cross({4, 5, 6}, {1, 2, 3}));  // swapped operands flip it
}

// The yard's house of wall height 7: P1 (4, 4), P2 (-4, 4), P3 (4, -4), P4 (-4, -4),
// V from the eaves down to the foot, the ridge at (0, 12).
TEST(HouseNormalVector, YardHouseFacesPointOutward) {
    const Vec down{0, -7, 0};
    const Vec p1p3{0, 0, 8}, p2p4{0, 0, 8}, p3p4{8, 0, 0}, p1p2{8, 0, 0};
    expectVec({56, 0, 0}, cross(p1p3, down));    // side wall P1-P3 faces +x
    expectVec({-56, 0, 0}, cross(down, p2p4));   // side wall P2-P4 faces -x
    expectVec({0, 0, -56}, cross(p3p4, down));   // back wall faces -z
    expectVec({0, 0, 56}, cross(down, p1p2));    // front faces +z
    expectVec({40, 32, 0}, cross(p1p3, {4, -5, 0}));    // first roof plane: (5, 4, 0)
    expectVec({-40, 32, 0}, cross({-4, -5, 0}, p2p4));  // second roof plane: (-5, 4, 0)
}

TEST(HouseShape, RidgeFiveAboveTheWalls) {
    const House low(7, 0, 4, 4, -4, 4, 4, -4, -4, -4);
    const House tall(10, 0, 4, 4, -4, 4, 4, -4, -4, -4);
    EXPECT_FLOAT_EQ(7, low.getTop());
    EXPECT_FLOAT_EQ(0, low.getBottom());
    EXPECT_FLOAT_EQ(12, low.getRidgeHeight());
    EXPECT_FLOAT_EQ(15, tall.getRidgeHeight());
    EXPECT_FLOAT_EQ(0, low.getRidgeX());
}

TEST(HouseShape, DoorTwoWideFourHighJustInFront) {
    const House low(7, 0, 4, 4, -4, 4, 4, -4, -4, -4);
    EXPECT_FLOAT_EQ(-1, low.getDoorLeftX());
    EXPECT_FLOAT_EQ(1, low.getDoorRightX());
    EXPECT_FLOAT_EQ(4, low.getDoorTop());
    EXPECT_FLOAT_EQ(4.01f, low.getDoorZ());
}

TEST(HouseShape, DerivedValuesFollowAnOffsetFootprint) {
    // Raised foot, front edge from x = 10 to x = 2 at z = -3.
    const House house(9, 2, 10, -3, 2, -3, 10, -9, 2, -9);
    EXPECT_FLOAT_EQ(9, house.getTop());
    EXPECT_FLOAT_EQ(2, house.getBottom());
    EXPECT_FLOAT_EQ(6, house.getRidgeX());
    EXPECT_FLOAT_EQ(14, house.getRidgeHeight());
    EXPECT_FLOAT_EQ(5, house.getDoorLeftX());
    EXPECT_FLOAT_EQ(7, house.getDoorRightX());
    EXPECT_FLOAT_EQ(6, house.getDoorTop());  // four above the foot, not the ground
    EXPECT_FLOAT_EQ(-2.99f, house.getDoorZ());
}
