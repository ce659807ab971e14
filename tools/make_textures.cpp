// Writes the game's six textures as 128 x 128, 24-bit uncompressed BMP files into the
// folder given as the only argument.
//
// Every picture is drawn from integer-hash noise with nothing but +, -, *, / and sqrt
// in double precision (all correctly rounded in IEEE arithmetic), so the bytes are the
// same on every run and every machine. Textures are multiplied by the lit colour when
// drawn, so they are kept light.

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF  // no fused multiply-add: it would change the bytes
#endif

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int SIZE = 128;

struct Color {
    double r, g, b;
};

Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Color operator*(Color a, double k) { return {a.r * k, a.g * k, a.b * k}; }
Color mix(Color a, Color b, double t) { return a * (1.0 - t) + b * t; }

double clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
double smoothstep(double e0, double e1, double v) {
    double t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}
double fract(double v) { return v - std::floor(v); }
int wrap(int v, int period) { return ((v % period) + period) % period; }

// x (0 = left) and y (0 = bottom row, the texture's t = 0) address the picture.
class Picture {
public:
    Picture() : pixels(SIZE * SIZE, Color{0.0, 0.0, 0.0}) {}
    Color&       at(int x, int y)       { return pixels[wrap(y, SIZE) * SIZE + wrap(x, SIZE)]; }
    const Color& at(int x, int y) const { return pixels[wrap(y, SIZE) * SIZE + wrap(x, SIZE)]; }
    // Blends `c` in with weight `alpha`; coordinates wrap, so strokes cross the edges.
    void blend(int x, int y, Color c, double alpha) { at(x, y) = mix(at(x, y), c, clamp01(alpha)); }

private:
    std::vector<Color> pixels;
};

// ---- deterministic noise ---------------------------------------------------------

std::uint32_t hash32(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

std::uint32_t hash3(int a, int b, std::uint32_t seed) {
    return hash32(static_cast<std::uint32_t>(a) ^ hash32(static_cast<std::uint32_t>(b) ^ hash32(seed)));
}

// In [0, 1).
double random01(int a, int b, std::uint32_t seed) { return (hash3(a, b, seed) >> 8) / 16777216.0; }

// Value noise in [0, 1] over the picture with `cellsX` by `cellsY` lattice cells that
// repeat at the picture's edges, so any sum of such layers tiles without a seam.
double tileNoise(double px, double py, int cellsX, int cellsY, std::uint32_t seed) {
    const double u = px * cellsX / SIZE;
    const double v = py * cellsY / SIZE;
    const int i = static_cast<int>(std::floor(u));
    const int j = static_cast<int>(std::floor(v));
    const double fu = u - i;
    const double fv = v - j;
    const double su = fu * fu * fu * (fu * (fu * 6.0 - 15.0) + 10.0);
    const double sv = fv * fv * fv * (fv * (fv * 6.0 - 15.0) + 10.0);
    auto corner = [&](int di, int dj) {
        return random01(wrap(i + di, cellsX), wrap(j + dj, cellsY), seed);
    };
    const double bottom = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * su;
    const double top = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * su;
    return bottom + (top - bottom) * sv;
}

// Octaves of tileNoise, each twice as fine and half as strong; result in [0, 1].
double fractal(double px, double py, int cellsX, int cellsY, int octaves, std::uint32_t seed) {
    double sum = 0.0, weight = 0.0, amplitude = 1.0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * tileNoise(px, py, cellsX << o, cellsY << o, seed + 101U * o);
        weight += amplitude;
        amplitude *= 0.5;
    }
    return sum / weight;
}

// ---- BMP output ------------------------------------------------------------------

void put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}
void put32(std::string& out, unsigned v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
unsigned char toByte(double v) { return static_cast<unsigned char>(clamp01(v) * 255.0 + 0.5); }

bool writeBmp(const std::string& path, const Picture& picture) {
    constexpr unsigned pixelBytes = SIZE * SIZE * 3;  // rows of 384 bytes need no padding
    std::string out;
    out += "BM";
    put32(out, 54 + pixelBytes);  // file size
    put32(out, 0);                // reserved
    put32(out, 54);               // pixel data offset
    put32(out, 40);               // BITMAPINFOHEADER
    put32(out, SIZE);             // width
    put32(out, SIZE);             // height, positive: bottom row first
    put16(out, 1);                // planes
    put16(out, 24);               // bits per pixel
    put32(out, 0);                // BI_RGB, uncompressed
    put32(out, pixelBytes);
    put32(out, 2835);             // 72 dpi, in pixels per metre
    put32(out, 2835);
    put32(out, 0);                // palette colours
    put32(out, 0);                // important colours
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const Color& c = picture.at(x, y);
            out += static_cast<char>(toByte(c.b));
            out += static_cast<char>(toByte(c.g));
            out += static_cast<char>(toByte(c.r));
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

// ---- sides.bmp: painted clapboards -------------------------------------------------

// Eight boards of 16 rows; each lip casts a shadow on the top of the board below it.
// Grain and joints wrap, so the gable's two repeats across meet without a seam.
Picture makeSides() {
    constexpr int BOARD = 16;
    const Color paint{0.96, 0.94, 0.88};
    Picture p;
    for (int y = 0; y < SIZE; ++y) {
        const int board = y / BOARD;
        const int row = y % BOARD;  // 0: the board's lower edge, the lip
        double shade = 0.86 + 0.1 * row / (BOARD - 1.0);
        if (row == 0) shade = 0.62;
        else if (row == 1) shade = 0.8;
        else if (row == BOARD - 1) shade = 0.7;  // under the next board's lip
        else if (row == BOARD - 2) shade = 0.82;
        const double boardTone = 0.96 + 0.05 * random01(board, 0, 11);
        for (int x = 0; x < SIZE; ++x) {
            const double grain = fractal(x, y, 4, 64, 3, 12 + board);
            double v = shade * boardTone * (0.93 + 0.1 * grain);
            // One butt joint per board, the boards' joints staggered.
            const int joint = static_cast<int>(random01(board, 1, 13) * SIZE);
            if (row > 0 && row < BOARD - 1 && wrap(x - joint, SIZE) == 0) v *= 0.7;
            if (row > 0 && row < BOARD - 1 && wrap(x - joint, SIZE) == 1) v *= 1.04;
            p.at(x, y) = paint * v;
        }
    }
    return p;
}

// ---- roof.bmp: shingles -------------------------------------------------------------

// Eight courses of 16 rows, eight shingles of uneven width in each; the eaves are at the
// bottom (t = 0), so every course overlaps the top of the one below it. Slots between
// shingles are placed on a circle of 128 columns, so the 2 x 2 repeat shows no seam.
Picture makeRoof() {
    constexpr int COURSE = 16;
    constexpr int PER_COURSE = 8;
    constexpr int SHINGLE = SIZE / PER_COURSE;
    const Color shake{0.9, 0.86, 0.8};
    Picture p;
    for (int y = 0; y < SIZE; ++y) {
        const int course = y / COURSE;
        const int row = y % COURSE;  // 0: the shingle's lower edge
        const int shift = (course % 2) * (SHINGLE / 2);
        int slots[PER_COURSE];
        for (int k = 0; k < PER_COURSE; ++k)
            slots[k] = k * SHINGLE + shift + static_cast<int>(random01(k, course, 21) * 9.0) - 4;
        for (int x = 0; x < SIZE; ++x) {
            // The shingle is the one whose slot lies nearest to the left of x.
            int shingle = 0, col = SIZE;
            for (int k = 0; k < PER_COURSE; ++k) {
                const int d = wrap(x - slots[k], SIZE);
                if (d < col) {
                    col = d;
                    shingle = k;
                }
            }
            const double tone = 0.8 + 0.2 * random01(shingle, course, 22);
            double v = tone * (0.86 + 0.14 * row / (COURSE - 1.0));
            if (row == 0) v *= 0.5;             // the thick lower edge
            else if (row == 1) v *= 0.78;
            else if (row >= COURSE - 4) v *= 0.7 + 0.075 * (COURSE - 1 - row);  // shadow of the course above
            if (col == 0) v *= 0.45;            // slot between two shingles
            else if (col == 1) v *= 0.8;
            const double grain = fractal(x, y, 64, 4, 2, 23 + shingle + PER_COURSE * course);
            v *= 0.92 + 0.14 * grain + 0.05 * (random01(x, y, 24) - 0.5);
            p.at(x, y) = shake * v;
        }
    }
    return p;
}

// ---- ground.bmp: grass ---------------------------------------------------------------

// Light and nearly grey: the ground tints it green and the pool blue. Blades are short
// strokes that wrap at the edges, so the 300 tiles show no seam.
Picture makeGround() {
    const Color soil{0.74, 0.82, 0.66};
    const Color blade{0.88, 0.98, 0.8};
    const Color shadowed{0.6, 0.7, 0.56};
    Picture p;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const double patch = fractal(x, y, 4, 4, 4, 31);
            p.at(x, y) = soil * (0.86 + 0.3 * patch);
        }
    }
    constexpr int BLADES = 1400;
    for (int i = 0; i < BLADES; ++i) {
        const double x0 = random01(i, 0, 32) * SIZE;
        const double y0 = random01(i, 1, 32) * SIZE;
        const double length = 3.0 + 5.0 * random01(i, 2, 32);
        const double lean = (random01(i, 3, 32) - 0.5) * 1.2;  // sideways per unit up
        const bool light = random01(i, 4, 32) < 0.6;
        const Color colour = light ? blade : shadowed;
        const int steps = static_cast<int>(length * 2.0);
        for (int s = 0; s <= steps; ++s) {
            const double t = static_cast<double>(s) / steps;
            const double px = x0 + lean * length * t * t;  // blades bend as they rise
            const double py = y0 + length * t;
            p.blend(static_cast<int>(std::floor(px)), static_cast<int>(std::floor(py)), colour,
                    0.55 * (1.0 - 0.5 * t));
        }
    }
    return p;
}

// ---- stones.bmp: paving stones ---------------------------------------------------------

// One stone around each jittered point of a 6 x 6 grid (which wraps), mortar where two
// stones are about equally near, and a bevel that darkens each stone toward its joint.
Picture makeStones() {
    constexpr int GRID = 6;
    constexpr double CELL = static_cast<double>(SIZE) / GRID;
    const Color mortar{0.5, 0.48, 0.45};
    Picture p;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            double nearest = 1e9, second = 1e9;
            int nearestI = 0, nearestJ = 0;
            const int ci = static_cast<int>(x / CELL);
            const int cj = static_cast<int>(y / CELL);
            for (int dj = -1; dj <= 1; ++dj) {
                for (int di = -1; di <= 1; ++di) {
                    const int i = ci + di, j = cj + dj;
                    const int wi = wrap(i, GRID), wj = wrap(j, GRID);
                    const double fx = (i + 0.2 + 0.6 * random01(wi, wj, 41)) * CELL;
                    const double fy = (j + 0.2 + 0.6 * random01(wi, wj, 42)) * CELL;
                    const double d = std::sqrt((fx - x) * (fx - x) + (fy - y) * (fy - y));
                    if (d < nearest) {
                        second = nearest;
                        nearest = d;
                        nearestI = wi;
                        nearestJ = wj;
                    } else if (d < second) {
                        second = d;
                    }
                }
            }
            const double edge = second - nearest;  // about twice the distance to the joint
            const double hue = random01(nearestI, nearestJ, 43);
            const Color stone = mix(Color{0.92, 0.9, 0.86}, Color{0.86, 0.82, 0.74}, hue) *
                                (0.88 + 0.12 * random01(nearestI, nearestJ, 44));
            const double grain = 0.9 + 0.14 * fractal(x, y, 16, 16, 3, 45) +
                                 0.05 * (random01(x, y, 46) - 0.5);
            const double bevel = 0.78 + 0.22 * smoothstep(1.5, 7.0, edge);
            const Color c = stone * (grain * bevel);
            const double joint = smoothstep(1.2, 2.6, edge);  // 0 in the mortar
            p.at(x, y) = mix(mortar * (0.9 + 0.2 * random01(x, y, 47)), c, joint);
        }
    }
    return p;
}

// ---- quorlinstarrynight.bmp: a swirling night-sky painting ------------------------------

struct Swirl {
    double x, y;       // centre, pixels
    double strength;   // positive turns counter-clockwise
    double core;       // radius of the calm centre, pixels
    double reach;      // radius beyond which it fades, pixels
};

const Swirl SWIRLS[] = {
    {52, 80, 1.6, 7, 30},  {80, 72, -1.3, 6, 24},  // the great double swirl
    {38, 108, 0.6, 4, 14}, {104, 100, 0.5, 4, 12}, {36, 52, -0.5, 4, 12},
    {96, 50, 0.5, 4, 12},  {66, 112, -0.5, 4, 12},
};

struct Star {
    double x, y, radius;  // core radius, pixels; the halo is three times as wide
};

const Star STARS[] = {
    {38, 108, 4.0}, {66, 113, 3.2}, {36, 52, 3.0},  {96, 50, 3.4},
    {124, 60, 2.6},  {84, 96, 2.6},  {124, 80, 2.4}, {46, 118, 2.2},
};

constexpr double MOON_X = 110, MOON_Y = 108, MOON_R = 9;
constexpr double CYPRESS_X = 20;

// Direction of the brush at a point: a wind blowing left to right, bent into the swirls.
void flow(double x, double y, double& fx, double& fy) {
    fx = 1.0;
    fy = 0.35 * (tileNoise(x, y, 3, 2, 51) - 0.5);
    for (const Swirl& s : SWIRLS) {
        const double dx = x - s.x, dy = y - s.y;
        const double r2 = dx * dx + dy * dy;
        const double fade = 1.0 - smoothstep(s.reach * 0.6, s.reach, std::sqrt(r2));
        const double k = s.strength * s.reach * fade / (r2 + s.core * s.core);
        fx += -dy * k;
        fy += dx * k;
    }
    const double len = std::sqrt(fx * fx + fy * fy) + 1e-9;
    fx /= len;
    fy /= len;
}

double paintNoise(double x, double y) {
    return tileNoise(x, y, 64, 64, 52) * 0.7 + tileNoise(x, y, 32, 32, 53) * 0.3;
}

// Line integral convolution: the noise averaged along the flow gives brush strokes.
double stroke(double x, double y) {
    constexpr int STEPS = 9;
    double sum = paintNoise(x, y), weight = 1.0;
    for (int dir = -1; dir <= 1; dir += 2) {
        double px = x, py = y;
        for (int s = 1; s <= STEPS; ++s) {
            double fx, fy;
            flow(px, py, fx, fy);
            px += dir * fx;
            py += dir * fy;
            const double w = 1.0 - static_cast<double>(s) / (STEPS + 1);
            sum += w * paintNoise(px, py);
            weight += w;
        }
    }
    const double v = sum / weight;
    return clamp01((v - 0.5) * 3.2 + 0.5);  // the averaging flattens contrast; restore it
}

// Angle-like value in [0, 1) around a point without trigonometry ("diamond angle").
double turnOf(double dx, double dy) {
    const double ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    const double sum = ax + ay;
    if (sum == 0.0) return 0.0;
    double a;
    if (dy >= 0) a = dx >= 0 ? dy / sum : 1.0 - dx / sum;
    else a = dx < 0 ? 2.0 - dy / sum : 3.0 + dx / sum;
    return a / 4.0;
}

double triangleWave(double v) {
    const double f = fract(v);
    return f < 0.5 ? f * 2.0 : 2.0 - f * 2.0;
}

// Distant hills behind the village, rolling down toward the right.
double hillHeight(double x) { return 30.0 + 9.0 * tileNoise(x, 0, 3, 1, 54) - 0.05 * x; }

constexpr double VILLAGE_GROUND = 7.0;  // the village stands on this line

struct Building {
    double left, right, eaves;  // walls, pixels
    double roof;                // ridge height above the eaves
};

std::vector<Building> village() {
    std::vector<Building> houses;
    double x = 40.0;
    for (int i = 0; x < SIZE - 2.0; ++i) {
        const double width = 5.0 + 4.0 * random01(i, 0, 57);
        const double eaves = VILLAGE_GROUND + 5.0 + 6.0 * random01(i, 1, 57);
        houses.push_back({x, x + width, eaves, 1.5 + 2.5 * random01(i, 2, 57)});
        x += width + 1.0 + 2.0 * random01(i, 3, 57);
    }
    houses.push_back({74.0, 79.0, VILLAGE_GROUND + 14.0, 22.0});  // the church and its spire
    return houses;
}

// The colour of the village at a point, or false where the sky and hills show through.
bool villageColour(const std::vector<Building>& houses, double x, double y, Color& out) {
    for (std::size_t i = 0; i < houses.size(); ++i) {
        const Building& b = houses[i];
        if (x < b.left || x > b.right || y < 0.0) continue;
        const double half = (b.right - b.left) / 2.0;
        const double fromMiddle = x - (b.left + half);
        const double ridge = b.eaves + b.roof * (1.0 - (fromMiddle < 0 ? -fromMiddle : fromMiddle) / half);
        if (y > ridge) continue;
        if (y > b.eaves) {
            out = Color{0.16, 0.2, 0.36};
            return true;
        }
        out = Color{0.34, 0.38, 0.56};
        // Lit windows two pixels square on a grid of three.
        const int wx = static_cast<int>(std::floor((x - b.left - 1.0) / 3.0));
        const int wy = static_cast<int>(std::floor((y - VILLAGE_GROUND - 1.0) / 3.0));
        const double inX = x - b.left - 1.0 - wx * 3.0, inY = y - VILLAGE_GROUND - 1.0 - wy * 3.0;
        if (wx >= 0 && wy >= 0 && x < b.right - 1.0 && y < b.eaves - 1.0 && inX < 2.0 && inY < 2.0 &&
            random01(wx + 16 * static_cast<int>(i), wy, 58) < 0.45)
            out = Color{1.0, 0.88, 0.45};
        return true;
    }
    return false;
}

// The cypress: a dark flame from the bottom edge to near the top, its edge in lobes.
constexpr double CYPRESS_TOP = 112.0;

double cypressEdge(double x, double y) {
    if (y > CYPRESS_TOP) return -1e9;
    const double t = y / CYPRESS_TOP;
    const double half = 15.0 * (1.0 - t) * (0.6 + 1.2 * t) * (1.0 - 0.4 * t);
    const double sway = 3.0 * (tileNoise(0, y, 1, 4, 56) - 0.5) * (0.4 + t);
    const std::uint32_t side = x < CYPRESS_X ? 66 : 67;
    const double lobes = 5.0 * (tileNoise(0, y, 1, 12, side) - 0.5) * (1.0 - 0.6 * t);
    const double off = x - CYPRESS_X - sway;
    return half + lobes - (off < 0 ? -off : off);  // positive inside
}

Color skyColour(double x, double y, double s) {
    const Color deep{0.16, 0.3, 0.6};
    const Color light{0.42, 0.62, 0.84};
    const Color pale{0.88, 0.94, 1.0};
    const Color teal{0.42, 0.7, 0.74};
    // Brighter bands wind in spirals around the great swirls.
    double band = 0.0;
    for (int i = 0; i < 2; ++i) {
        const Swirl& w = SWIRLS[i];
        const double dx = x - w.x, dy = y - w.y;
        const double r = std::sqrt(dx * dx + dy * dy);
        const double turn = turnOf(dx, dy) * (w.strength > 0 ? 1.0 : -1.0);
        const double spiral = triangleWave(r / 8.0 + turn);
        band += spiral * spiral * (1.0 - smoothstep(w.reach * 0.8, w.reach * 1.15, r));
    }
    band = clamp01(band);
    // Long light streams along the wind in the upper sky.
    const double stream = triangleWave(y / 14.0 + 0.6 * tileNoise(x, y, 4, 2, 59));
    Color c = mix(deep, light, clamp01(0.2 + 0.5 * s + 0.3 * stream * (y / SIZE)));
    c = mix(c, teal, 0.3 * smoothstep(0.6, 0.9, tileNoise(x, y, 4, 4, 60)) * s);
    return mix(c, pale, band * (0.3 + 0.7 * smoothstep(0.3, 0.8, s)));
}

Picture makeStarryNight() {
    // White enough to stay the brightest things under the walls' blue light.
    const Color starCore{1.0, 1.0, 1.0};
    const Color halo{1.0, 1.0, 0.9};
    const std::vector<Building> houses = village();
    Picture p;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double s = stroke(cx, cy);
            Color c = skyColour(cx, cy, s);

            // Stars: a white core ringed by brush-stroked halos.
            for (const Star& st : STARS) {
                const double dx = cx - st.x, dy = cy - st.y;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double outer = st.radius * 3.2;
                if (r < outer) {
                    const double ring = triangleWave(r / (st.radius * 0.9));
                    const double reachHalo = 1.0 - smoothstep(st.radius, outer, r);
                    c = mix(c, halo, reachHalo * (0.35 + 0.45 * ring) * (0.6 + 0.4 * s));
                }
                c = mix(c, starCore, 1.0 - smoothstep(st.radius * 0.55, st.radius, r));
            }

            // The crescent moon in its rings of glow.
            {
                const double dx = cx - MOON_X, dy = cy - MOON_Y;
                const double r = std::sqrt(dx * dx + dy * dy);
                const double glow = 1.0 - smoothstep(MOON_R, MOON_R * 2.2, r);
                c = mix(c, halo, glow * (0.5 + 0.3 * triangleWave(r / 4.0)));
                const double bx = cx - (MOON_X + 4.5), by = cy - (MOON_Y + 2.5);
                const double bite = std::sqrt(bx * bx + by * by);
                const double body = (1.0 - smoothstep(MOON_R - 1.0, MOON_R, r)) *
                                    smoothstep(MOON_R * 0.75 - 1.0, MOON_R * 0.75, bite);
                c = mix(c, Color{1.0, 0.96, 0.86}, body);
            }

            // Distant hills, then the village and the dark ground it stands on.
            const double hill = hillHeight(cx);
            if (cy < hill + 1.0) {
                const double depth = clamp01((hill - cy) / hill);
                const Color h = mix(Color{0.3, 0.4, 0.66}, Color{0.18, 0.26, 0.5}, depth) * (0.8 + 0.4 * s);
                c = mix(c, h, smoothstep(0.0, 1.0, hill - cy + 0.5));
            }
            if (cy < VILLAGE_GROUND) c = Color{0.12, 0.18, 0.3} * (0.8 + 0.4 * s);
            Color building;
            if (villageColour(houses, cx, cy, building)) c = building * (0.9 + 0.2 * s);

            const double inside = cypressEdge(cx, cy);
            if (inside > -1.0) {
                const double streak = triangleWave((cx - CYPRESS_X) / 3.0 + 2.0 * tileNoise(0, cy, 1, 8, 68));
                const Color tree = mix(Color{0.07, 0.12, 0.1}, Color{0.24, 0.32, 0.22}, 0.6 * s + 0.4 * streak);
                c = mix(c, tree, smoothstep(-1.0, 0.5, inside));
            }
            p.at(x, y) = c;
        }
    }
    return p;
}

// ---- moon.bmp: a full moon ---------------------------------------------------------------

struct Crater {
    double x, y, radius;  // pixels
};

// Dark seas, placed as the near side shows them: a wide band across the upper left,
// smaller seas to the right.
struct Sea {
    double x, y, radius;
};

const Sea SEAS[] = {
    {40, 84, 15}, {30, 62, 13}, {62, 88, 11}, {80, 82, 10}, {86, 64, 9},
    {64, 70, 8},  {48, 44, 8},  {96, 46, 6},  {74, 52, 7},
};

constexpr double MOON_CX = 64.0, MOON_CY = 64.0, MOON_RADIUS = 52.0;
constexpr double RAYS_X = 58.0, RAYS_Y = 28.0;  // the young crater whose rays cross the disc

double seaCover(double x, double y) {
    double cover = 0.0;
    for (const Sea& m : SEAS) {
        const double dx = x - m.x, dy = y - m.y;
        const double d = std::sqrt(dx * dx + dy * dy) / m.radius;
        const double ragged = d + 0.35 * (tileNoise(x, y, 16, 16, 64) - 0.5);
        cover += 1.0 - smoothstep(0.75, 1.05, ragged);
    }
    return clamp01(cover);
}

Color moonSurface(const std::vector<Crater>& craters, double x, double y) {
    const Color highland{0.96, 0.95, 0.9};
    const Color sea{0.62, 0.63, 0.64};
    Color c = mix(highland, sea, 0.85 * seaCover(x, y));
    c = c * (0.92 + 0.1 * fractal(x, y, 16, 16, 2, 63));

    // Bright rays from one young crater, in bins of the angle around it.
    const double rx = x - RAYS_X, ry = y - RAYS_Y;
    const double rr = std::sqrt(rx * rx + ry * ry);
    const int ray = static_cast<int>(turnOf(rx, ry) * 128.0);
    if (random01(ray, 0, 65) < 0.18 && rr > 4.0) c = c * (1.0 + 0.08 * (1.0 - smoothstep(6.0, 45.0, rr)));

    for (const Crater& k : craters) {
        const double dx = x - k.x, dy = y - k.y;
        const double d = std::sqrt(dx * dx + dy * dy) / k.radius;
        if (d > 1.35) continue;
        // Sunlight from the upper left: it lights the bowl's far wall and the rim's near slope.
        const double toLight = d > 0.0 ? (dx - dy) / (d * k.radius * 1.414) : 0.0;
        if (d < 1.0) c = c * (0.86 + 0.26 * toLight * d);
        else c = c * (1.0 - 0.2 * toLight * (1.35 - d) / 0.35);
    }
    return c;
}

// Shown unlit and untinted: real colours, a pale disc on the dark night with a faint glow.
Picture makeMoon() {
    const Color night{0.02, 0.03, 0.09};
    const Color glowColour{0.25, 0.3, 0.42};

    std::vector<Crater> craters = {{RAYS_X, RAYS_Y, 3.0}};
    for (int i = 0; craters.size() < 22; ++i) {
        const double radius = 1.5 + 5.0 * random01(i, 2, 61) * random01(i, 3, 61);
        const double x = MOON_CX + (random01(i, 0, 61) - 0.5) * 2.0 * MOON_RADIUS;
        const double y = MOON_CY + (random01(i, 1, 61) - 0.5) * 2.0 * MOON_RADIUS;
        const double dx = x - MOON_CX, dy = y - MOON_CY;
        const double limit = MOON_RADIUS - radius - 3.0;
        if (dx * dx + dy * dy < limit * limit) craters.push_back({x, y, radius});
    }

    Picture p;
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            // Four samples a pixel keep the limb smooth.
            Color sum{0.0, 0.0, 0.0};
            for (int sub = 0; sub < 4; ++sub) {
                const double px = x + 0.25 + 0.5 * (sub % 2);
                const double py = y + 0.25 + 0.5 * (sub / 2);
                const double dx = px - MOON_CX, dy = py - MOON_CY;
                const double r = std::sqrt(dx * dx + dy * dy);
                if (r > MOON_RADIUS) {
                    const double glow = (MOON_RADIUS * 0.12) / (r - MOON_RADIUS + MOON_RADIUS * 0.12);
                    sum = sum + mix(night, glowColour, glow * glow * 0.8);
                } else {
                    const double limb = std::sqrt(1.0 - (r / MOON_RADIUS) * (r / MOON_RADIUS));
                    sum = sum + moonSurface(craters, px, py) * (0.74 + 0.26 * limb);
                }
            }
            p.at(x, y) = sum * 0.25;
        }
    }
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    struct Output {
        const char* name;
        Picture (*make)();
    };
    const Output outputs[] = {
        {"sides.bmp", makeSides},   {"roof.bmp", makeRoof},
        {"ground.bmp", makeGround}, {"stones.bmp", makeStones},
        {"quorlinstarrynight.bmp", makeStarryNight}, {"moon.bmp", makeMoon},
    };
    for (const Output& o : outputs) {
        const std::string path = folder + "/" + o.name;
        if (!writeBmp(path, o.make())) {
            std::fprintf(stderr, "make_textures: %s: cannot write\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
