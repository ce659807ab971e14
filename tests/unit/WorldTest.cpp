#include <gtest/gtest.h>

#include <utility>

#include "Bone.h"
#include "Bound.h"
#include "Scene.h"
#include "TempDir.h"
#include "Tree.h"

// Corners 1 and 3 limit the first box in x, 2 and 4 in z; the other four the second. Edges are free.
TEST(BoundCollision, OpenBoxBetweenTheCorners) {
    const Bound bounds[] = {Bound(0, 10, 10, 12, -10, -10, -12, -12, 8), Bound(0, 12, 8, 10, -12, -12, -10, -10, 10)};
    const struct { float x, y, z; int hit; } probes[] = {
        {9.9f, 0, 7.9f, 1}, {-9.9f, -57, -9.9f, 1}, {10, 0, 0, 0}, {-10, 0, 0, 0}, {0, 0, 8, 0}, {0, 0, -10, 0}};
    for (const Bound& bound : bounds)
        for (const auto& p : probes)
            EXPECT_EQ(bound.checkCollision(p.x, p.y, p.z), p.hit) << &bound - bounds << ": " << p.x << ", " << p.z;
}

// A tree blocks, and a bone is collected, in the open cube of half-side 3 around (10, 5, -20);
// a bone spins half a degree a draw and shows 360 once before it wraps.
TEST(TreeAndBone, OpenCubeOfHalfSideThreeAndTheSpin) {
    const struct { int dx, dy, dz, hit; } probes[] = {
        {2, 2, -2, 1}, {-2, -2, 2, 1}, {3, 0, 0, 0}, {-3, 0, 0, 0}, {0, 3, 0, 0}, {0, -3, 0, 0}, {0, 0, 3, 0}, {0, 0, -3, 0}};
    for (const auto& p : probes) {
        Tree tree(10, 5, -20, 1, 1);
        Bone bone(10, 5, -20, 1, 1, 1);
        EXPECT_EQ(tree.checkCollision(10 + p.dx, 5 + p.dy, -20 + p.dz), p.hit) << p.dx << p.dy << p.dz;
        EXPECT_EQ(bone.checkCollect(10 + p.dx, 5 + p.dy, -20 + p.dz), p.hit) << p.dx << p.dy << p.dz;
        EXPECT_EQ(bone.isCollected(), p.hit == 1);
        for (int i = 0; i < 720; i++) bone.advanceSpin();
        EXPECT_EQ(bone.getAngle(), 360.0f);
        bone.advanceSpin();
        EXPECT_EQ(bone.getAngle(), 0.5f);
        tree.release();
        bone.release();
    }
}

// Built in an empty folder, so neither prop loads. The yard fills 13 of 20 tree slots, 12 of 20
// boxes and 13 of 20 bones; items past the last slot are ignored. Each of the yard's boxes, in
// slot order, stops the dog just inside each of its edges and not just outside (a box a unit
// too big stops the dog a unit short).
TEST(Scene, SlotsCollisionAndBones) {
    TempDir dir;
    ScopedChdir inEmpty(dir.path());
    Scene scene(20);
    EXPECT_EQ(scene.getCar().getError(), objReader::ERROR_OPEN);
    const struct { const char* what; float minX, maxX, minZ, maxZ; } boxes[] = {
        {"house 1", -28, -12, -38, -22}, {"house 3", -18, -2, -78, -62}, {"house 4", 7.6f, 23, -68, -52},
        {"house 2", 52, 67.5f, 47.5f, 63}, {"pool", -6.7f, 6.7f, -41.7f, -21.4f}, {"fence x = -30", -30, -27, -80, 80},
        {"fence x = 80", 77, 80, -80, 80}, {"fence z = -80", -30, 80, -80, -77}, {"fence z = 80", -30, 80, 77, 80},
        {"toy at (30, 20)", 25.5f, 34, 15.5f, 24.5f}, {"toy at (45, -63)", 40.5f, 49, -67, -59},
        {"car", -9.5f, 7.5f, 38, 49.5f}};
    ASSERT_EQ(scene.getNumBounds(), 12);
    for (const auto& b : boxes)
        for (float in : {0.05f, -0.05f}) {  // just inside, then just outside
            const float midX = (b.minX + b.maxX) / 2, midZ = (b.minZ + b.maxZ) / 2;
            for (auto [x, z] : {std::pair{b.minX + in, midZ}, {b.maxX - in, midZ}, {midX, b.minZ + in}, {midX, b.maxZ - in}})
                EXPECT_EQ(scene.getBound(&b - boxes).checkCollision(x, 0, z), in > 0) << b.what << " at " << x << ", " << z;
        }
    for (int i = 0; i < 8; i++) scene.addTree(-100.0f - 10 * i, 0, 0, 1, 1);
    for (int i = 0; i < 9; i++) scene.addBound(0, 401.0f + 10 * i, 1, 401.0f + 10 * i, -1, 399.0f + 10 * i, -1, 399.0f + 10 * i, 1);
    // The yard's first tree (2, -60) blocks below 3, its first box (house 1) at any height.
    const struct { float x, y, z; bool blocked; } probes[] = {
        {0, 0, 0, false}, {2, 0, -60, true}, {2, 3, -60, false}, {-20, 50, -30, true},
        {-160, 0, 0, true}, {-170, 0, 0, false}, {470, 0, 0, true}, {480, 0, 0, false}};
    for (const auto& p : probes) EXPECT_EQ(scene.checkCollision(p.x, p.y, p.z), p.blocked) << p.x << ", " << p.z;

    // Bones stand on whole units, truncated toward zero like the dog's position; each row: where
    // the dog stands and the bones left after it looked there.
    const float added[][3] = {{100, 0, 100}, {102, 0, 101}, {104, 0, 100}, {-102.9f, 1.9f, -100.5f},
                              {200, 0, 0}, {210, 0, 0}, {220, 0, 0}, {300, 0, 0}};
    for (const auto& b : added) scene.addBone(b[0], b[1], b[2], 1, 1, 1);
    const struct { float x, z; int left; } steps[] = {
        {0, 100, 20}, {101, 100, 18}, {101, 100, 18}, {-99.5f, -100, 18}, {-100.9f, -100, 17},
        {300, 0, 17}, {220, 0, 16}, {25, 25, 15}};
    for (const auto& s : steps) EXPECT_EQ(scene.checkBones(s.x, 0, s.z), s.left) << s.x << ", " << s.z;
    scene.resetBones();
    EXPECT_EQ(scene.checkBones(0, 0, 100), 20);
}

