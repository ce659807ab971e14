#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "Bound.h"

namespace {

struct Probe {
    float x, y, z;
    int hit;
};

void expectHits(const Bound& bound, std::initializer_list<Probe> probes) {
    for (const Probe& p : probes) {
        EXPECT_EQ(p.hit, bound.checkCollision(p.x, p.y, p.z)) << p.x << ", " << p.y << ", " << p.z;
    }
}

}  // namespace

// The yard's first bound blocks the open box -28 < x < -12, -38 < z < -22, at any height.
TEST(BoundCollision, OpenBoxWhateverTheHeight) {
    const float nan = std::nanf("");
    expectHits(Bound(0.0f, -12, -22, -12, -38, -28, -38, -28, -22), {
        {-20, 0, -30, 1}, {-20, 57, -30, 1}, {-20, -1000, -30, 1}, {-20, nan, -30, 1},
        {nan, 0, -30, 0}, {-20, 0, nan, 0}, {-12, 0, -30, 0}, {-28, 0, -30, 0},
        {-20, 0, -22, 0}, {-20, 0, -38, 0}, {-12, 0, -22, 0}, {-12, 0, -38, 0},
        {-28, 0, -38, 0}, {-28, 0, -22, 0}, {-12.1f, 0, -30, 1}, {-11.9f, 0, -30, 0},
        {-27.9f, 0, -30, 1}, {-28.1f, 0, -30, 0}, {-20, 0, -22.1f, 1}, {-20, 0, -21.9f, 0},
        {-20, 0, -37.9f, 1}, {-20, 0, -38.1f, 0}, {-12.1f, 0, -37.9f, 1},
    });
}

TEST(BoundCollision, CornerOrderDecides) {
    // Corners 1 and 3 swapped, or walked the other way round: nothing is blocked.
    expectHits(Bound(0.0f, -28, -38, -12, -38, -12, -22, -28, -22), {{-20, 0, -30, 0}, {-12.1f, 0, -37.9f, 0}});
    expectHits(Bound(0.0f, -12, -22, -28, -22, -28, -38, -12, -38), {{-20, 0, -30, 0}});
    // Skewed: max(x3, x4) < x < min(x1, x2) and max(z2, z3) < z < min(z1, z4).
    expectHits(Bound(0.0f, 10, 10, 12, -10, -10, -12, -12, 8), {
        {9.9f, 0, 0, 1}, {10, 0, 0, 0}, {-9.9f, 0, 0, 1}, {-10, 0, 0, 0},
        {0, 0, 7.9f, 1}, {0, 0, 8, 0}, {0, 0, -9.9f, 1}, {0, 0, -10, 0},
    });
}

TEST(BoundStorage, KeepsHeightAndCornersInOrder) {
    const Bound bound(1.5f, 1, 2, 3, 4, 5, 6, 7, 8);
    EXPECT_FLOAT_EQ(1.5f, bound.getY());
    for (int i = 1; i <= 4; i++) {
        float cx = 0, cz = 0;
        bound.getCorner(i, cx, cz);
        EXPECT_TRUE(cx == 2 * i - 1 && cz == 2 * i) << "corner " << i;
    }
}
