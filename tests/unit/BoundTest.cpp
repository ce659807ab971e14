#include <gtest/gtest.h>

#include <cmath>

#include "Bound.h"

namespace {

// The yard's first bound: it blocks the open rectangle -28 < x < -12, -38 < z < -22.
Bound houseBound() {
    return Bound(0.0f, -12, -22, -12, -38, -28, -38, -28, -22);
}

}  // namespace

TEST(BoundCollision, InsideHitsAtAnyHeight) {
    const Bound bound = houseBound();
    EXPECT_EQ(1, bound.checkCollision(-20, 0, -30));
    EXPECT_EQ(1, bound.checkCollision(-20, 57, -30));
    EXPECT_EQ(1, bound.checkCollision(-20, -1000, -30));
}

TEST(BoundCollision, EdgesAndCornersAreFree) {
    const Bound bound = houseBound();
    EXPECT_EQ(0, bound.checkCollision(-12, 0, -30));  // largest x
    EXPECT_EQ(0, bound.checkCollision(-28, 0, -30));  // smallest x
    EXPECT_EQ(0, bound.checkCollision(-20, 0, -22));  // largest z
    EXPECT_EQ(0, bound.checkCollision(-20, 0, -38));  // smallest z
    EXPECT_EQ(0, bound.checkCollision(-12, 0, -22));
    EXPECT_EQ(0, bound.checkCollision(-12, 0, -38));
    EXPECT_EQ(0, bound.checkCollision(-28, 0, -38));
    EXPECT_EQ(0, bound.checkCollision(-28, 0, -22));
}

TEST(BoundCollision, TenthInsideHitsTenthOutsideIsFree) {
    const Bound bound = houseBound();
    EXPECT_EQ(1, bound.checkCollision(-12.1f, 0, -30));
    EXPECT_EQ(0, bound.checkCollision(-11.9f, 0, -30));
    EXPECT_EQ(1, bound.checkCollision(-27.9f, 0, -30));
    EXPECT_EQ(0, bound.checkCollision(-28.1f, 0, -30));
    EXPECT_EQ(1, bound.checkCollision(-20, 0, -22.1f));
    EXPECT_EQ(0, bound.checkCollision(-20, 0, -21.9f));
    EXPECT_EQ(1, bound.checkCollision(-20, 0, -37.9f));
    EXPECT_EQ(0, bound.checkCollision(-20, 0, -38.1f));
    EXPECT_EQ(1, bound.checkCollision(-12.1f, 0, -37.9f));  // just inside a corner
}

TEST(BoundCollision, NaNIsFreeExceptInTheIgnoredHeight) {
    const Bound bound = houseBound();
    const float nan = std::nanf("");
    EXPECT_EQ(0, bound.checkCollision(nan, 0, -30));
    EXPECT_EQ(0, bound.checkCollision(-20, 0, nan));
    EXPECT_EQ(1, bound.checkCollision(-20, nan, -30));
}

TEST(BoundCollision, CornerOrderDecides) {
    // Corners 1 and 3 swapped: no point can be both above -12 and below -28.
    const Bound swapped(0.0f, -28, -38, -12, -38, -12, -22, -28, -22);
    EXPECT_EQ(0, swapped.checkCollision(-20, 0, -30));
    EXPECT_EQ(0, swapped.checkCollision(-12.1f, 0, -37.9f));
    // Walked the other way round, (+x,+z) then (-x,+z): empty as well.
    const Bound reversed(0.0f, -12, -22, -28, -22, -28, -38, -12, -38);
    EXPECT_EQ(0, reversed.checkCollision(-20, 0, -30));
}

// Each corner limits x and z only from its own side, so a skewed footprint blocks the
// open box max(x3, x4) < x < min(x1, x2), max(z2, z3) < z < min(z1, z4).
TEST(BoundCollision, SkewedFootprintBlocksTheInnerBox) {
    const Bound skewed(0.0f, 10, 10, 12, -10, -10, -12, -12, 8);
    EXPECT_EQ(1, skewed.checkCollision(9.9f, 0, 0));
    EXPECT_EQ(0, skewed.checkCollision(10, 0, 0));    // x1 limits, not x2
    EXPECT_EQ(1, skewed.checkCollision(-9.9f, 0, 0));
    EXPECT_EQ(0, skewed.checkCollision(-10, 0, 0));   // x3 limits, not x4
    EXPECT_EQ(1, skewed.checkCollision(0, 0, 7.9f));
    EXPECT_EQ(0, skewed.checkCollision(0, 0, 8));     // z4 limits, not z1
    EXPECT_EQ(1, skewed.checkCollision(0, 0, -9.9f));
    EXPECT_EQ(0, skewed.checkCollision(0, 0, -10));   // z2 limits, not z3
}

TEST(BoundStorage, KeepsHeightAndCornersInOrder) {
    const Bound bound(1.5f, 1, 2, 3, 4, 5, 6, 7, 8);
    EXPECT_FLOAT_EQ(1.5f, bound.getY());
    for (int i = 1; i <= 4; i++) {
        float cx = 0, cz = 0;
        bound.getCorner(i, cx, cz);
        EXPECT_FLOAT_EQ(2.0f * i - 1.0f, cx) << "corner " << i;
        EXPECT_FLOAT_EQ(2.0f * i, cz) << "corner " << i;
    }
}
