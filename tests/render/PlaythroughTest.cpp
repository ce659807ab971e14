// A whole game played through the real key and display callbacks: "q" starts it, a
// route planned on the yard's own collision test walks the dog to all thirteen bones,
// and the frames drawn on the way do the collecting, as they do in the game.
//
// Set BONEYARD_SCREENSHOT_DIR to a folder to keep the winning frame there as "win.ppm".
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "RenderSupport.h"
#include "shell.h"

namespace {

// ---- the route planner: a grid of dog steps over the fenced yard ----------------------

constexpr float CELL = 0.2f;               // one walking step of "e" or "d"
constexpr int   MIN_I = -150, MAX_I = 400;  // x from -30 to 80 in steps
constexpr int   MIN_K = -400, MAX_K = 400;  // z from -80 to 80
constexpr int   COLS = MAX_I - MIN_I + 1;
constexpr int   ROWS = MAX_K - MIN_K + 1;
constexpr float CLEARANCE = 0.05f;  // float drift over a route stays far below this
constexpr int   TURN_COST = 8;      // in steps: prefer straight runs to staircases
constexpr int   TURN_PRESSES = 45;  // a quarter turn at 2 degrees per walking turn
constexpr int   REACH = 2;          // whole units between the truncated dog and a bone, per axis
constexpr int   FRAME_EVERY = 25;   // steps between frames away from the bones

// Headings in quarter turns: 0 faces -z, and each left turn ("s") adds 90 degrees.
constexpr int DIR_DI[4] = {0, -1, 0, 1};
constexpr int DIR_DK[4] = {-1, 0, 1, 0};

enum class Action { Forward, Backward, TurnLeft, TurnRight };

struct Step {
    Action action;
    int    i, k, dir;  // the state after the action
};

int cellIndex(int i, int k) { return (k - MIN_K) * COLS + (i - MIN_I); }

// Blocked when the yard refuses the cell's point or any point CLEARANCE around it,
// so the rounding of a long walk cannot carry the dog onto an edge the plan used.
std::vector<char> blockedCells() {
    std::vector<char> blocked(static_cast<size_t>(COLS) * ROWS, 0);
    for (int k = MIN_K; k <= MAX_K; ++k) {
        for (int i = MIN_I; i <= MAX_I; ++i) {
            const float x = i * CELL, z = k * CELL;
            bool hit = false;
            for (float ox : {-CLEARANCE, 0.0f, CLEARANCE}) {
                for (float oz : {-CLEARANCE, 0.0f, CLEARANCE}) {
                    hit = hit || scene.checkCollision(x + ox, 0.0f, z + oz);
                }
            }
            blocked[cellIndex(i, k)] = hit;
        }
    }
    return blocked;
}

// The game's pick-up rule, from the dog's side: every truncated coordinate within
// REACH of the bone's.
bool inReach(float x, float y, float z, const Bone& bone) {
    int bx, by, bz;
    bone.getPos(bx, by, bz);
    return std::abs(static_cast<int>(x) - bx) <= REACH && std::abs(static_cast<int>(y) - by) <= REACH &&
           std::abs(static_cast<int>(z) - bz) <= REACH;
}

// True when the cell is in reach of the bone even after a little drift either way.
bool cellReaches(int i, int k, const Bone& bone) {
    const float x = i * CELL, z = k * CELL;
    for (float o : {-CLEARANCE, CLEARANCE}) {
        if (!inReach(x + o, 0.0f, z + o, bone) || !inReach(x - o, 0.0f, z + o, bone)) return false;
    }
    return true;
}

// A* over (cell, heading): a step costs 1 forward or backward, a quarter turn TURN_COST.
// Returns the actions from (i, k, dir) to the first state in reach of the bone.
std::vector<Step> planRoute(const std::vector<char>& blocked, int i0, int k0, int dir0, const Bone& bone) {
    int bx, by, bz;
    bone.getPos(bx, by, bz);
    const auto heuristic = [&](int i, int k) {
        const int di = std::abs(i - static_cast<int>(std::lround(bx / CELL)));
        const int dk = std::abs(k - static_cast<int>(std::lround(bz / CELL)));
        const int slack = static_cast<int>(REACH / CELL) - 1;
        return std::max(0, di - slack) + std::max(0, dk - slack);
    };
    const size_t states = static_cast<size_t>(COLS) * ROWS * 4;
    std::vector<int> cost(states, -1);
    std::vector<int> parent(states, -1);
    std::vector<char> closed(states, 0);
    using Entry = std::pair<int, int>;  // (estimated total, state)
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    const auto stateOf = [](int i, int k, int d) { return cellIndex(i, k) * 4 + d; };

    const int start = stateOf(i0, k0, dir0);
    cost[start] = 0;
    open.push({heuristic(i0, k0), start});
    int goal = -1;
    while (!open.empty()) {
        const int s = open.top().second;
        open.pop();
        if (closed[s]) continue;
        closed[s] = 1;
        const int d = s % 4, cell = s / 4;
        const int i = cell % COLS + MIN_I, k = cell / COLS + MIN_K;
        if (cellReaches(i, k, bone)) {
            goal = s;
            break;
        }
        const int next[4] = {
            stateOf(i, k, (d + 1) % 4), stateOf(i, k, (d + 3) % 4),
            (i + DIR_DI[d] >= MIN_I && i + DIR_DI[d] <= MAX_I && k + DIR_DK[d] >= MIN_K && k + DIR_DK[d] <= MAX_K)
                ? stateOf(i + DIR_DI[d], k + DIR_DK[d], d) : -1,
            (i - DIR_DI[d] >= MIN_I && i - DIR_DI[d] <= MAX_I && k - DIR_DK[d] >= MIN_K && k - DIR_DK[d] <= MAX_K)
                ? stateOf(i - DIR_DI[d], k - DIR_DK[d], d) : -1,
        };
        const int stepCost[4] = {TURN_COST, TURN_COST, 1, 1};
        for (int n = 0; n < 4; ++n) {
            const int t = next[n];
            if (t < 0 || closed[t] || blocked[t / 4]) continue;
            const int c = cost[s] + stepCost[n];
            if (cost[t] >= 0 && cost[t] <= c) continue;
            cost[t] = c;
            parent[t] = s;
            const int tc = t / 4;
            open.push({c + heuristic(tc % COLS + MIN_I, tc / COLS + MIN_K), t});
        }
    }
    std::vector<Step> route;
    if (goal < 0) return route;
    for (int s = goal; s != start; s = parent[s]) {
        const int p = parent[s];
        const int d = s % 4, pd = p % 4;
        const int cell = s / 4;
        const int i = cell % COLS + MIN_I, k = cell / COLS + MIN_K;
        Action a;
        if (d != pd) {
            a = d == (pd + 1) % 4 ? Action::TurnLeft : Action::TurnRight;
        } else {
            const int pcell = p / 4;
            const int pi = pcell % COLS + MIN_I, pk = pcell / COLS + MIN_K;
            a = (i - pi == DIR_DI[d] && k - pk == DIR_DK[d]) ? Action::Forward : Action::Backward;
        }
        route.push_back({a, i, k, d});
    }
    std::reverse(route.begin(), route.end());
    return route;
}

// ---- the game as the player sees it ------------------------------------------------------

int bonesLeft() {
    int left = 0;
    for (int b = 0; b < scene.getNumBones(); ++b) left += scene.getBone(b).isCollected() ? 0 : 1;
    return left;
}

float dogX() { float x, y, z; dog.getPos(x, y, z); return x; }
float dogZ() { float x, y, z; dog.getPos(x, y, z); return z; }

// White pixels in a box given from the top-left, as the HUD places its text.
int whiteCount(const std::vector<unsigned char>& rgb, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
        const int row = h - 1 - y;
        for (int x = x0; x <= x1; ++x) {
            const unsigned char* p = &rgb[(static_cast<size_t>(row) * w + x) * 3];
            count += p[0] > 230 && p[1] > 230 && p[2] > 230;
        }
    }
    return count;
}

// The tail of "CONGRATULATIONS", past where the shorter "GAME OVER" ends, and the
// head of "PRESS Q", before where "YOU WON" begins.
int winTailWhite(const std::vector<unsigned char>& rgb) {
    return whiteCount(rgb, w / 2 + 80, h / 2 - 17, w / 2 + 135, h / 2);
}
int pressQHeadWhite(const std::vector<unsigned char>& rgb) {
    return whiteCount(rgb, w / 2 - 70, h / 2 + 13, w / 2 - 32, h / 2 + 30);
}

void writePpm(const std::vector<unsigned char>& rgb, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr) << path;
    std::fprintf(out, "P6\n%d %d\n255\n", w, h);
    for (int row = h - 1; row >= 0; --row) {  // GL rows run bottom-up, PPM rows top-down
        std::fwrite(&rgb[static_cast<size_t>(row) * w * 3], 1, static_cast<size_t>(w) * 3, out);
    }
    std::fclose(out);
}

class Playthrough : public testing::Test {
protected:
    void SetUp() override {
        resetShellState();
        keyCallback('q', 0, 0);
        ASSERT_TRUE(started);
        ASSERT_EQ(bonesLeft(), 13);
        collected.assign(scene.getNumBones(), false);
        counts.push_back(bonesLeft());
    }

    // Draws one frame and checks that it picked up exactly the bones the dog reached.
    void frame() {
        float x, y, z;
        dog.getPos(x, y, z);
        std::vector<bool> expected = collected;
        for (int b = 0; b < scene.getNumBones(); ++b) {
            if (!collected[b] && inReach(x, y, z, scene.getBone(b))) expected[b] = true;
        }
        if (bonesLeft() == 1) beforeWin = readFrame();  // the frame this one may replace
        renderFrame();
        ++frames;
        for (int b = 0; b < scene.getNumBones(); ++b) {
            ASSERT_EQ(scene.getBone(b).isCollected(), expected[b])
                << "bone " << b << " after a frame with the dog at (" << x << ", " << z << ")";
        }
        collected = expected;
        if (bonesLeft() != counts.back()) counts.push_back(bonesLeft());
    }

    bool nearUncollectedBone() const {
        float x, y, z;
        dog.getPos(x, y, z);
        for (int b = 0; b < scene.getNumBones(); ++b) {
            if (!collected[b] && inReach(x, y, z, scene.getBone(b))) return true;
        }
        return false;
    }

    // Presses the keys for one planned action and checks the dog went where planned.
    void perform(const Step& step) {
        const bool straight = step.action == Action::Forward || step.action == Action::Backward;
        if (!straight && dog.isRunning()) keyCallback('r', 0, 0);  // walk through turns: 2 degrees each
        switch (step.action) {
        case Action::TurnLeft:
            for (int n = 0; n < TURN_PRESSES; ++n) keyCallback('s', 0, 0);
            break;
        case Action::TurnRight:
            for (int n = 0; n < TURN_PRESSES; ++n) keyCallback('f', 0, 0);
            break;
        case Action::Forward: keyCallback('e', 0, 0); break;
        case Action::Backward: keyCallback('d', 0, 0); break;
        }
        ASSERT_EQ(((dog.getAngle() / 90) % 4 + 4) % 4, step.dir) << "heading " << dog.getAngle();
        ASSERT_EQ(dog.getAngle() % 90, 0);
        ASSERT_NEAR(dogX(), step.i * CELL, 0.01) << "step refused or misplaced";
        ASSERT_NEAR(dogZ(), step.k * CELL, 0.01) << "step refused or misplaced";
        ++presses;
    }

    // Walks a planned route, running ("r") over straight stretches of two cells or more.
    void follow(const std::vector<Step>& route) {
        size_t n = 0;
        while (n < route.size()) {
            const Step& s = route[n];
            const bool straight = s.action == Action::Forward || s.action == Action::Backward;
            size_t same = 1;
            while (straight && n + same < route.size() && route[n + same].action == s.action) ++same;
            const bool run = same >= 2 && dog.getStamina() > 2;
            if (straight && run != dog.isRunning()) keyCallback('r', 0, 0);
            const Step& target = (straight && run) ? route[n + 1] : s;
            ASSERT_NO_FATAL_FAILURE(perform(target));
            n += (straight && run) ? 2 : 1;
            if (nearUncollectedBone() || presses % FRAME_EVERY == 0) {
                ASSERT_NO_FATAL_FAILURE(frame());
            }
        }
    }

    std::vector<bool> collected;
    std::vector<unsigned char> beforeWin;  // the last frame drawn with one bone left
    std::vector<int>  counts;  // the bones counter each time it changed
    int frames = 0;
    int presses = 0;
};

TEST_F(Playthrough, CollectsAllThirteenBonesOneAtATimeThenQStartsAgain) {
    const std::time_t began = std::time(nullptr);
    const std::vector<char> blocked = blockedCells();
    ASSERT_FALSE(blocked[cellIndex(0, 0)]) << "the dog starts inside an obstacle";

    ASSERT_NO_FATAL_FAILURE(frame());
    while (bonesLeft() > 0) {
        // The nearest bone still lying, as the crow flies.
        int target = -1;
        float best = 1e9f;
        for (int b = 0; b < scene.getNumBones(); ++b) {
            if (collected[b]) continue;
            int bx, by, bz;
            scene.getBone(b).getPos(bx, by, bz);
            const float d = std::hypot(bx - dogX(), bz - dogZ());
            if (d < best) best = d, target = b;
        }
        const int i = static_cast<int>(std::lround(dogX() / CELL));
        const int k = static_cast<int>(std::lround(dogZ() / CELL));
        const int dir = ((dog.getAngle() / 90) % 4 + 4) % 4;
        const std::vector<Step> route = planRoute(blocked, i, k, dir, scene.getBone(target));
        ASSERT_FALSE(route.empty()) << "no way to bone " << target;
        ASSERT_NO_FATAL_FAILURE(follow(route));
        ASSERT_TRUE(collected[target]) << "the route ended out of reach of bone " << target;
        if (bonesLeft() > 0) {
            ASSERT_TRUE(started) << "the game ended with bones left";
        }
    }
    std::printf("[ route    ] %d moves and turns, %d frames, %ld s\n", presses, frames,
                static_cast<long>(std::time(nullptr) - began));
    EXPECT_LT(std::time(nullptr) - began, initialTime) << "too slow: the clock ran out first";

    // The counter fell 13, 12, ... 0, one bone per change.
    std::vector<int> expected;
    for (int n = 13; n >= 0; --n) expected.push_back(n);
    EXPECT_EQ(counts, expected);

    // The frame that picked up the last bone shows the win and stops the clock.
    const std::vector<unsigned char> winning = readFrame();
    EXPECT_TRUE(won);
    EXPECT_FALSE(started);
    EXPECT_GT(winTailWhite(winning), 40) << "no CONGRATULATIONS in the winning frame";
    EXPECT_EQ(winTailWhite(beforeWin), 0) << "a banner before the win";
    EXPECT_EQ(pressQHeadWhite(winning), 0) << "the game-over banner shows after a win";
    EXPECT_TRUE(hasWhiteIn(w / 2 - 28, h / 2 + 13, w / 2 + 60, h / 2 + 30)) << "no YOU WON";
    if (const char* folder = std::getenv("BONEYARD_SCREENSHOT_DIR")) {
        writePpm(winning, std::string(folder) + "/win.ppm");
    }

    // Won: the movement keys do nothing, and the banner stays.
    float x0, y0, z0;
    dog.getPos(x0, y0, z0);
    const int angle0 = dog.getAngle();
    for (unsigned char key : {'e', 'd', 's', 'f', 'r', 'e'}) keyCallback(key, 0, 0);
    renderFrame();
    float x1, y1, z1;
    dog.getPos(x1, y1, z1);
    EXPECT_EQ(x1, x0);
    EXPECT_EQ(z1, z0);
    EXPECT_EQ(dog.getAngle(), angle0);
    EXPECT_GT(winTailWhite(readFrame()), 40) << "the win banner went before q";

    // "q" starts a fresh game: every bone back, the dog home, the banner gone.
    zoom = 17.0f;
    keyCallback('q', 0, 0);
    EXPECT_TRUE(started);
    EXPECT_FALSE(won);
    EXPECT_EQ(bonesLeft(), 13);
    dog.getPos(x1, y1, z1);
    EXPECT_EQ(x1, 0.0f);
    EXPECT_EQ(z1, 0.0f);
    EXPECT_EQ(dog.getAngle(), 0);
    EXPECT_FALSE(dog.isRunning());
    EXPECT_EQ(transZ, 15.0f);
    EXPECT_EQ(zoom, 17.0f) << "a new game keeps the zoom";
    renderFrame();
    const std::vector<unsigned char> fresh = readFrame();
    EXPECT_EQ(bonesLeft(), 13);
    EXPECT_FALSE(won);
    EXPECT_EQ(winTailWhite(fresh), 0) << "the win banner outlived the new game";
    EXPECT_EQ(pressQHeadWhite(fresh), 0);
    keyCallback('e', 0, 0);
    EXPECT_NEAR(dogZ(), -0.2f, 1e-6) << "the new game does not move the dog";
}

}  // namespace
