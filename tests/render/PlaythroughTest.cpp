// A whole game through the real key and display callbacks: routes planned on the yard's own
// collision test walk the dog to all thirteen bones, and the frames drawn on the way do the
// collecting. With BONEYARD_SCREENSHOT_DIR set, the winning frame is kept there as "win.ppm".
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include "RenderSupport.h"
#include "shell.h"

namespace {

// The planner's grid: one walking step per cell over the fenced yard, x from -30 to 80 and
// z from -80 to 80. A state is a cell and a heading in quarter turns (0 faces -z, "s" adds 1).
constexpr float CELL = 0.2f;
constexpr int MIN_I = -150, MAX_I = 400, MIN_K = -400, MAX_K = 400;
constexpr int COLS = MAX_I - MIN_I + 1, STATES = COLS * (MAX_K - MIN_K + 1) * 4;
constexpr float SLACK = 0.05f;  // margin against float drift along a route
constexpr int TURN_COST = 8, TURN_PRESSES = 45, FRAME_EVERY = 25;
constexpr int DI[4] = {0, -1, 0, 1}, DK[4] = {-1, 0, 1, 0};

int stateOf(int i, int k, int d) { return ((k - MIN_K) * COLS + i - MIN_I) * 4 + d; }
int cellI(int s) { return s / 4 % COLS + MIN_I; }
int cellK(int s) { return s / 4 / COLS + MIN_K; }

// The game's pick-up rule: every truncated coordinate within 2 of the bone's.
bool inReach(float x, float y, float z, const Bone& bone) {
    int bx, by, bz;
    bone.getPos(bx, by, bz);
    return std::abs(int(x) - bx) <= 2 && std::abs(int(y) - by) <= 2 && std::abs(int(z) - bz) <= 2;
}

// True when the yard refuses any point within SLACK of the cell (indexed by state / 4).
std::vector<char> blockedCells() {
    std::vector<char> blocked(STATES / 4, 0);
    for (int s = 0; s < STATES; s += 4) {
        for (float ox : {-SLACK, 0.0f, SLACK}) {
            for (float oz : {-SLACK, 0.0f, SLACK}) {
                blocked[s / 4] |= scene.checkCollision(cellI(s) * CELL + ox, 0, cellK(s) * CELL + oz);
            }
        }
    }
    return blocked;
}

// A* from `start` to the first state that reaches the bone despite drift; a step costs 1,
// a quarter turn TURN_COST. Returns the states after each action.
std::vector<int> planRoute(const std::vector<char>& blocked, int start, const Bone& bone) {
    int bx, by, bz;
    bone.getPos(bx, by, bz);
    const auto goal = [&](int s) {
        for (float ox : {-SLACK, SLACK}) {
            for (float oz : {-SLACK, SLACK}) {
                if (!inReach(cellI(s) * CELL + ox, 0, cellK(s) * CELL + oz, bone)) return false;
            }
        }
        return true;
    };
    const auto estimate = [&](int s) {  // reach spans 9 cells either side of the bone
        return std::max(0, std::abs(cellI(s) - int(std::lround(bx / CELL))) - 9) +
               std::max(0, std::abs(cellK(s) - int(std::lround(bz / CELL))) - 9);
    };
    std::vector<int> cost(STATES, -1), parent(STATES, -1);
    std::vector<char> closed(STATES, 0);
    using Entry = std::pair<int, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    cost[start] = 0;
    open.push({estimate(start), start});
    while (!open.empty()) {
        const int s = open.top().second;
        open.pop();
        if (closed[s]) continue;
        closed[s] = 1;
        if (goal(s)) {
            std::vector<int> route;
            for (int r = s; r != start; r = parent[r]) route.push_back(r);
            std::reverse(route.begin(), route.end());
            return route;
        }
        const int i = cellI(s), k = cellK(s), d = s % 4;
        const int next[4][4] = {  // left turn, right turn, forward, backward: i, k, heading, cost
            {i, k, (d + 1) % 4, TURN_COST}, {i, k, (d + 3) % 4, TURN_COST},
            {i + DI[d], k + DK[d], d, 1}, {i - DI[d], k - DK[d], d, 1}};
        for (const auto& n : next) {
            if (n[0] < MIN_I || n[0] > MAX_I || n[1] < MIN_K || n[1] > MAX_K) continue;
            const int t = stateOf(n[0], n[1], n[2]), c = cost[s] + n[3];
            if (closed[t] || blocked[t / 4] || (cost[t] >= 0 && cost[t] <= c)) continue;
            cost[t] = c;
            parent[t] = s;
            open.push({c + estimate(t), t});
        }
    }
    return {};
}

std::array<float, 3> pose() {  // x, z and heading in degrees
    float x, y, z;
    dog.getPos(x, y, z);
    return {x, z, float(dog.getAngle())};
}

int dogState() {
    const auto p = pose();
    return stateOf(int(std::lround(p[0] / CELL)), int(std::lround(p[1] / CELL)), (int(p[2]) / 90 % 4 + 4) % 4);
}

int bonesLeft() {
    int left = 0;
    for (int b = 0; b < scene.getNumBones(); ++b) left += !scene.getBone(b).isCollected();
    return left;
}

// The tail of "CONGRATULATIONS" past the end of "GAME OVER"; the head of "PRESS Q" before "YOU WON".
bool winTail() { return hasWhiteIn(w / 2 + 80, h / 2 - 17, w / 2 + 135, h / 2); }
bool pressQHead() { return hasWhiteIn(w / 2 - 70, h / 2 + 13, w / 2 - 32, h / 2 + 30); }

class Playthrough : public testing::Test {
protected:
    // The bones taken so far and those the dog now stands in reach of.
    std::vector<bool> reachable() const {
        float x, y, z;
        dog.getPos(x, y, z);
        std::vector<bool> r = collected;
        for (int b = 0; b < scene.getNumBones(); ++b) r[b] = r[b] || inReach(x, y, z, scene.getBone(b));
        return r;
    }

    // Draws a frame and checks it picked up exactly the bones the dog stood in reach of.
    void frame() {
        const std::vector<bool> expected = reachable();
        if (bonesLeft() == 1) bannerBeforeWin = winTail();  // in the frame this one may replace
        renderFrame();
        std::vector<bool> actual;
        for (int b = 0; b < scene.getNumBones(); ++b) actual.push_back(scene.getBone(b).isCollected());
        ASSERT_EQ(actual, expected) << "at state " << dogState();
        collected = actual;
        if (bonesLeft() != counts.back()) counts.push_back(bonesLeft());
    }

    // Walks the route, running over straight stretches while stamina lasts, drawing a frame
    // near every bone and every FRAME_EVERY actions, and checking where each action led.
    void follow(const std::vector<int>& route) {
        for (size_t n = 0; n < route.size(); ++presses) {
            const int from = dogState(), to = route[n], d = from % 4;
            const bool turn = d != to % 4;
            const bool run = !turn && n + 1 < route.size() && route[n + 1] - to == to - from &&
                             dog.getStamina() > 2;
            if (run != dog.isRunning()) keyCallback('r', 0, 0);
            if (turn) {
                const char key = to % 4 == (d + 1) % 4 ? 's' : 'f';
                for (int p = 0; p < TURN_PRESSES; ++p) keyCallback(key, 0, 0);
            } else {
                const bool ahead = cellI(to) - cellI(from) == DI[d] && cellK(to) - cellK(from) == DK[d];
                keyCallback(ahead ? 'e' : 'd', 0, 0);
            }
            n += run ? 2 : 1;
            const int at = route[n - 1];
            const auto p = pose();
            ASSERT_TRUE(int(p[2]) % 90 == 0 && dogState() % 4 == at % 4) << "heading " << p[2];
            ASSERT_NEAR(p[0], cellI(at) * CELL, 0.01) << "a step refused or misplaced";
            ASSERT_NEAR(p[1], cellK(at) * CELL, 0.01) << "a step refused or misplaced";
            if (reachable() != collected || presses % FRAME_EVERY == 0) {
                ASSERT_NO_FATAL_FAILURE(frame());
            }
        }
    }

    std::vector<bool> collected = std::vector<bool>(scene.getNumBones(), false);
    bool bannerBeforeWin = true;
    std::vector<int> counts{13};  // the bones counter each time it changed
    int presses = 0;
};

TEST_F(Playthrough, CollectsAllThirteenBonesOneAtATimeThenQStartsAgain) {
    resetShellState();
    keyCallback('q', 0, 0);
    ASSERT_TRUE(started);
    const std::vector<char> blocked = blockedCells();
    ASSERT_FALSE(blocked[dogState() / 4]) << "the dog starts inside an obstacle";
    ASSERT_NO_FATAL_FAILURE(frame());
    while (bonesLeft() > 0) {
        ASSERT_TRUE(started) << "the game ended with bones left";
        int target = -1;  // the nearest bone still lying, as the crow flies
        float best = 1e9f;
        for (int b = 0; b < scene.getNumBones(); ++b) {
            int bx, by, bz;
            scene.getBone(b).getPos(bx, by, bz);
            const float d = std::hypot(bx - pose()[0], bz - pose()[1]);
            if (!collected[b] && d < best) best = d, target = b;
        }
        const std::vector<int> route = planRoute(blocked, dogState(), scene.getBone(target));
        ASSERT_FALSE(route.empty()) << "no way to bone " << target;
        ASSERT_NO_FATAL_FAILURE(follow(route));
        ASSERT_TRUE(collected[target]) << "the route ended out of reach of bone " << target;
    }
    EXPECT_EQ(counts, (std::vector<int>{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));

    // The frame that picked up the last bone shows the win.
    EXPECT_TRUE(won);
    EXPECT_FALSE(started);
    EXPECT_TRUE(winTail()) << "no CONGRATULATIONS in the winning frame";
    EXPECT_FALSE(bannerBeforeWin) << "a banner before the win";
    EXPECT_FALSE(pressQHead()) << "the game-over banner shows after a win";
    EXPECT_TRUE(hasWhiteIn(w / 2 - 28, h / 2 + 13, w / 2 + 60, h / 2 + 30)) << "no YOU WON";
    if (const char* folder = std::getenv("BONEYARD_SCREENSHOT_DIR")) {
        const std::vector<unsigned char> winning = readFrame();
        FILE* out = std::fopen((std::string(folder) + "/win.ppm").c_str(), "wb");
        ASSERT_NE(out, nullptr) << folder;
        std::fprintf(out, "P6\n%d %d\n255\n", w, h);
        for (int row = h - 1; row >= 0; --row) {  // GL rows run bottom-up, PPM rows top-down
            std::fwrite(&winning[static_cast<size_t>(row) * w * 3], 1, static_cast<size_t>(w) * 3, out);
        }
        std::fclose(out);
    }

    // Won: the movement keys do nothing, and the banner stays until "q".
    const std::array<float, 3> still = pose();
    for (unsigned char key : {'e', 'd', 's', 'f', 'r', 'e'}) keyCallback(key, 0, 0);
    renderFrame();
    EXPECT_EQ(pose(), still);
    EXPECT_TRUE(winTail()) << "the win banner went before q";

    // "q" starts a fresh game: every bone back, the dog home, the banner gone, the keys live.
    keyCallback('q', 0, 0);
    EXPECT_TRUE(started);
    EXPECT_FALSE(won);
    EXPECT_EQ(pose(), (std::array<float, 3>{0, 0, 0}));
    renderFrame();
    EXPECT_EQ(bonesLeft(), 13);
    EXPECT_FALSE(winTail()) << "the win banner outlived the new game";
    keyCallback('e', 0, 0);
    EXPECT_NEAR(pose()[1], -0.2f, 1e-6) << "the new game does not move the dog";
}

}  // namespace
