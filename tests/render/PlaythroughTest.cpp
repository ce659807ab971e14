// A whole game through the real key and display callbacks: routes planned on the yard's own
// collision test walk the dog, by keys alone, to all thirteen bones; the frames collect them.
// With BONEYARD_SCREENSHOT_DIR set, the won game is kept there as "win.png" at 1024 x 768.
#include <queue>

#include "RenderSupport.h"

namespace {

// Whole-unit cells over the fenced yard; five steps of 0.2 walk from one to the next.
constexpr int MIN_X = -30, COLS = 111, MIN_Z = -80, CELLS = COLS * 161;
constexpr int DX[4] = {0, -1, 0, 1}, DZ[4] = {-1, 0, 1, 0};  // a quarter turn left apart; 0 faces -z

int dogCell() {
    float x, y, z;
    dog.getPos(x, y, z);
    return (std::lround(z) - MIN_Z) * COLS + std::lround(x) - MIN_X;
}

int bonesLeft() {
    int left = 0;
    for (int b = 0; b < scene.getNumBones(); ++b) left += !scene.getBone(b).isCollected();
    return left;
}

// Breadth first to the nearest cell within a unit of a bone still lying, through cells where
// no point a step may land on (within half a unit, on the cell's axes) collides.
std::vector<int> route() {
    std::vector<int> from(CELLS, -1);
    std::queue<int> open;
    open.push(from[dogCell()] = dogCell());
    for (; !open.empty(); open.pop()) {
        const int c = open.front(), x = c % COLS + MIN_X, z = c / COLS + MIN_Z;
        for (int b = 0, bx, by, bz; b < scene.getNumBones(); ++b) {
            scene.getBone(b).getPos(bx, by, bz);
            if (scene.getBone(b).isCollected() || std::abs(x - bx) > 1 || std::abs(z - bz) > 1) continue;
            std::vector<int> cells;
            for (int p = c; p != from[p]; p = from[p]) cells.insert(cells.begin(), p);
            return cells;
        }
        for (int d = 0; d < 4; ++d) {
            const int nx = x + DX[d], nz = z + DZ[d], n = c + DX[d] + DZ[d] * COLS;
            bool free = nx >= MIN_X && nx < MIN_X + COLS && n >= 0 && n < CELLS && from[n] < 0;
            for (int i = -10; free && i <= 10; ++i) {
                free = !scene.checkCollision(nx + i * 0.05f, 0, nz) && !scene.checkCollision(nx, 0, nz + i * 0.05f);
            }
            if (free) from[n] = c, open.push(n);
        }
    }
    return {};
}

TEST(Playthrough, CollectsAllThirteenBonesOneAtATimeThenQStartsAgain) {
    resetShellState();
    myReshape(160, 120);
    press('q');
    std::vector<int> counts{13};  // bones left after each route's frame
    while (bonesLeft() > 0) {
        ASSERT_TRUE(started && !won) << "the game ended with bones left";
        const std::vector<int> cells = route();
        ASSERT_FALSE(cells.empty()) << "no way on from cell " << dogCell();
        for (int next : cells) {
            int d = 0;
            while (dogCell() + DX[d] + DZ[d] * COLS != next) ++d;
            const int quarters = (d - dog.getAngle() / 90 % 4 + 8) % 4;
            quarters == 3 ? press('f', 45) : press('s', 45 * quarters);
            press('e', 5);
            ASSERT_EQ(dogCell(), next) << "a step refused";
        }
        frame();  // collects the bone in reach
        counts.push_back(bonesLeft());
        if (counts.size() == 2) {  // "q" during a game changes nothing
            const time_t end = seconds;
            press('q');
            EXPECT_EQ(std::vector<long>({seconds, bonesLeft(), dogCell()}), std::vector<long>({end, 12, cells.back()}));
        }
    }
    EXPECT_EQ(counts, (std::vector<int>{13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_TRUE(won && !started) << "no win in the frame that took the last bone";
    if (const char* folder = std::getenv("BONEYARD_SCREENSHOT_DIR")) {  // for scripts/screenshots
        myReshape(1024, 768);
        frame();
        std::vector<unsigned char> rgb = readFrame();
        EXPECT_TRUE(png(true, std::string(folder) + "/win.png", w, h, rgb));
    }

    angleUpDown = 30.0f;  // the view carries over into the next game, the pivot does not
    transX = 40.0f;
    press('q');
    frame();
    EXPECT_TRUE(started && !won);
    EXPECT_EQ(std::vector<float>({float(bonesLeft()), angleUpDown, transX}), std::vector<float>({13, 30, 0}));
    EXPECT_EQ(dogCell(), -MIN_Z * COLS - MIN_X);
}

}  // namespace
