#include <gtest/gtest.h>

#include "House.h"

namespace {

struct Vec {
    float x, y, z;
};

}  // namespace

// Right-handed and unscaled. The yard's house spans x and z from -4 to 4, walls 7 high,
// `down` from the eaves to the foot, the ridge at (0, 12): every face points outward.
TEST(HouseNormalVector, CrossProductAndYardHouseFaces) {
    const Vec down{0, -7, 0}, alongZ{0, 0, 8}, alongX{8, 0, 0};
    const struct { const char* what; Vec a, b, n; } cases[] = {
        {"x cross y", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {"general", {1, 2, 3}, {4, 5, 6}, {-3, 6, -3}},
        {"swapped operands", {4, 5, 6}, {1, 2, 3}, {3, -6, 3}},
        {"side wall P1-P3", alongZ, down, {56, 0, 0}},  {"side wall P2-P4", down, alongZ, {-56, 0, 0}},
        {"back wall", alongX, down, {0, 0, -56}},       {"front wall", down, alongX, {0, 0, 56}},
        {"first roof plane", alongZ, {4, -5, 0}, {40, 32, 0}},
        {"second roof plane", {-4, -5, 0}, alongZ, {-40, 32, 0}},
    };
    for (const auto& c : cases) {
        Vec n{-1, -1, -1};
        House::normalVector(n.x, n.y, n.z, c.a.x, c.a.y, c.a.z, c.b.x, c.b.y, c.b.z);
        EXPECT_TRUE(n.x == c.n.x && n.y == c.n.y && n.z == c.n.z)
            << c.what << ": " << n.x << ", " << n.y << ", " << n.z;
    }
}

// Ridge five above the walls over the middle of the front; a door two wide and four high
// just in front, standing on the foot of the walls.
TEST(HouseShape, DerivedValues) {
    const struct { House house; float top, bottom, ridgeX, ridgeH, doorL, doorR, doorTop, doorZ; } cases[] = {
        {House(7, 0, 4, 4, -4, 4, 4, -4, -4, -4), 7, 0, 0, 12, -1, 1, 4, 4.01f},
        {House(10, 0, 4, 4, -4, 4, 4, -4, -4, -4), 10, 0, 0, 15, -1, 1, 4, 4.01f},
        {House(9, 2, 10, -3, 2, -3, 10, -9, 2, -9), 9, 2, 6, 14, 5, 7, 6, -2.99f},
    };
    for (const auto& c : cases) {
        const House& h = c.house;
        SCOPED_TRACE(c.top);
        EXPECT_FLOAT_EQ(c.top, h.getTop());
        EXPECT_FLOAT_EQ(c.bottom, h.getBottom());
        EXPECT_FLOAT_EQ(c.ridgeX, h.getRidgeX());
        EXPECT_FLOAT_EQ(c.ridgeH, h.getRidgeHeight());
        EXPECT_FLOAT_EQ(c.doorL, h.getDoorLeftX());
        EXPECT_FLOAT_EQ(c.doorR, h.getDoorRightX());
        EXPECT_FLOAT_EQ(c.doorTop, h.getDoorTop());
        EXPECT_FLOAT_EQ(c.doorZ, h.getDoorZ());
    }
}
