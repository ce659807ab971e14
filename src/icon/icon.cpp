// The icon's picture as one table of shapes, and the two things made from it: the SVG text
// (tools/make_icon writes it to packaging/boneyard.svg) and pixels at any size (make_icon draws
// the window's _NET_WM_ICON with them when the game is built). Every coordinate is a whole number, so the SVG text never depends on how a
// float is printed.
#include "icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Colour { int r, g, b; };
constexpr Colour SKY_TOP{0x0b, 0x10, 0x30}, SKY_BOTTOM{0x2a, 0x3a, 0x78};
constexpr Colour STAR{0xe8, 0xec, 0xff}, MOON{0xf3, 0xef, 0xd2}, GRASS{0x2f, 0x5b, 0x2a};
constexpr Colour BONE_RIM{0x4a, 0x3b, 0x22}, BONE_FILL{0xf4, 0xea, 0xd0};

constexpr int MARGIN = 4;   // around the rounded tile
constexpr int CORNER = 22;  // tile corner radius

// The bone, drawn level and then turned: a shaft between two pairs of knobs.
constexpr int BONE_X      = 64;   // centre
constexpr int BONE_Y      = 70;
constexpr int BONE_HALF   = 32;   // from the centre to the knobs' centres, along the shaft
constexpr int SHAFT_HALF  = 9;    // half the shaft's thickness
constexpr int KNOB_APART  = 11;   // from the shaft's axis to each knob's centre
constexpr int KNOB_RADIUS = 13;
constexpr int BONE_TURN   = -30;  // degrees, counter-clockwise on screen: lifts the right end
constexpr int OUTLINE     = 4;    // the dark rim, drawn under the fill at twice this stroke

enum class Kind { Rect, Circle, Ellipse };

// One shape, in viewBox units (y grows downward). Rect: (x, y) its top-left corner, a and b
// its width and height, corner the radius of its round corners. Circle: (x, y) the centre,
// a the radius. Ellipse: (x, y) the centre, a and b the radii.
struct Shape {
    Kind   kind;
    int    x, y, a, b, corner;
    Colour fill;
    bool   sky;      // filled with the sky's gradient instead: SKY_TOP at its top edge, SKY_BOTTOM at its bottom
    int    stroke;   // width of an outline in the fill colour, centred on the edge; 0: none
    bool   clipped;  // cut to the tile
    int    turn;     // degrees, clockwise on screen, about the bone's centre
};

constexpr Shape TILE{Kind::Rect, MARGIN, MARGIN, ICON_UNITS - 2 * MARGIN, ICON_UNITS - 2 * MARGIN, CORNER,
                     SKY_TOP, true, 0, false, 0};

struct Star { int x, y, r; };
constexpr Star STARS[] = {{62, 18, 2}, {84, 12, 1}, {108, 20, 1}, {70, 40, 1}, {16, 62, 1}, {50, 30, 1}};

// Painted in order, each over the ones before.
std::vector<Shape> picture() {
    std::vector<Shape> shapes{TILE};
    for (const Star& s : STARS) shapes.push_back({Kind::Circle, s.x, s.y, s.r, 0, 0, STAR, false, 0, false, 0});
    shapes.push_back({Kind::Circle, 32, 32, 13, 0, 0, MOON, false, 0, false, 0});
    // The grass: a low hill whose top is hidden behind the bone's middle.
    shapes.push_back({Kind::Ellipse, ICON_UNITS / 2, ICON_UNITS + 8, ICON_UNITS, 40, 0, GRASS, false, 0, true, 0});
    // The rim pass and the fill pass draw the same shapes, so the rim shows only round the
    // outside, never where shaft and knobs overlap.
    for (const auto& [paint, stroke] : {std::pair{BONE_RIM, 2 * OUTLINE}, std::pair{BONE_FILL, 0}}) {
        shapes.push_back({Kind::Rect, BONE_X - BONE_HALF, BONE_Y - SHAFT_HALF, 2 * BONE_HALF, 2 * SHAFT_HALF,
                          SHAFT_HALF / 2, paint, false, stroke, false, BONE_TURN});
        for (int end : {-1, 1})
            for (int side : {-1, 1})
                shapes.push_back({Kind::Circle, BONE_X + end * BONE_HALF, BONE_Y + side * KNOB_APART, KNOB_RADIUS, 0,
                                  0, paint, false, stroke, false, BONE_TURN});
    }
    return shapes;
}

// --- SVG ---------------------------------------------------------------------------

std::string format(const char* pattern, int a, int b = 0, int c = 0, int d = 0, int e = 0) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c, d, e);
    return text;
}

std::string hex(Colour c) { return format("#%02x%02x%02x", c.r, c.g, c.b); }

std::string element(const Shape& s) {
    switch (s.kind) {
    case Kind::Rect:
        return format("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"%d\"", s.x, s.y, s.a, s.b, s.corner);
    case Kind::Circle: return format("<circle cx=\"%d\" cy=\"%d\" r=\"%d\"", s.x, s.y, s.a);
    case Kind::Ellipse: return format("<ellipse cx=\"%d\" cy=\"%d\" rx=\"%d\" ry=\"%d\"", s.x, s.y, s.a, s.b);
    }
    return "";
}

std::string paint(const Shape& s) {
    std::string text = s.sky ? " fill=\"url(#sky)\"" : " fill=\"" + hex(s.fill) + "\"";
    if (s.stroke > 0) text += " stroke=\"" + hex(s.fill) + "\"" + format(" stroke-width=\"%d\"", s.stroke);
    if (s.clipped) text += " clip-path=\"url(#tile)\"";
    return text;
}

// --- pixels --------------------------------------------------------------------------

constexpr int SAMPLES = 8;  // per pixel and axis
constexpr double PI = 3.14159265358979323846;

// Whether the point (x, y) lies in the shape, its outline included.
bool covers(const Shape& s, double x, double y) {
    if (s.turn != 0) {  // turn the point back instead of the shape
        const double angle = -s.turn * PI / 180.0, dx = x - BONE_X, dy = y - BONE_Y;
        x = BONE_X + dx * std::cos(angle) - dy * std::sin(angle);
        y = BONE_Y + dx * std::sin(angle) + dy * std::cos(angle);
    }
    const double grow = s.stroke / 2.0;
    switch (s.kind) {
    case Kind::Rect: {
        // Within `grow` of a rectangle with round corners is a larger one with rounder corners.
        const double halfW = s.a / 2.0 + grow, halfH = s.b / 2.0 + grow;
        const double radius = std::min({s.corner + grow, halfW, halfH});
        const double dx = std::abs(x - (s.x + s.a / 2.0)), dy = std::abs(y - (s.y + s.b / 2.0));
        if (dx > halfW || dy > halfH) return false;
        const double cx = dx - (halfW - radius), cy = dy - (halfH - radius);
        return cx <= 0 || cy <= 0 || cx * cx + cy * cy <= radius * radius;
    }
    case Kind::Circle: return std::hypot(x - s.x, y - s.y) <= s.a + grow;
    case Kind::Ellipse: {  // no outline on an ellipse: grow is 0
        const double u = (x - s.x) / s.a, v = (y - s.y) / s.b;
        return u * u + v * v <= 1.0;
    }
    }
    return false;
}

Colour colourAt(const Shape& s, double y) {
    if (!s.sky) return s.fill;
    const double t = std::clamp((y - s.y) / s.b, 0.0, 1.0);
    const auto mix = [t](int top, int bottom) { return static_cast<int>(std::lround(top + (bottom - top) * t)); };
    return {mix(SKY_TOP.r, SKY_BOTTOM.r), mix(SKY_TOP.g, SKY_BOTTOM.g), mix(SKY_TOP.b, SKY_BOTTOM.b)};
}

}  // namespace

std::string iconSvg() {
    std::string svg = format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                             "viewBox=\"0 0 %d %d\">\n", ICON_UNITS, ICON_UNITS, ICON_UNITS, ICON_UNITS);
    svg += "  <defs>\n"
           "    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
           "      <stop offset=\"0\" stop-color=\"" + hex(SKY_TOP) + "\"/>\n"
           "      <stop offset=\"1\" stop-color=\"" + hex(SKY_BOTTOM) + "\"/>\n"
           "    </linearGradient>\n"
           "    <clipPath id=\"tile\">\n"
           "      " + element(TILE) + "/>\n"
           "    </clipPath>\n"
           "  </defs>\n";
    int turn = 0;  // the open group's turn; 0: none open
    for (const Shape& s : picture()) {
        if (s.turn != turn) {
            if (turn != 0) svg += "  </g>\n";
            if (s.turn != 0) svg += format("  <g transform=\"rotate(%d %d %d)\">\n", s.turn, BONE_X, BONE_Y);
            turn = s.turn;
        }
        svg += (turn != 0 ? "    " : "  ") + element(s) + paint(s) + "/>\n";
    }
    if (turn != 0) svg += "  </g>\n";
    return svg + "</svg>\n";
}

std::vector<std::uint32_t> iconPixels(int size) {
    const std::vector<Shape> shapes = picture();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size) * size);
    const double unitsPerSample = static_cast<double>(ICON_UNITS) / size / SAMPLES;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            int covered = 0, r = 0, g = 0, b = 0;
            for (int i = 0; i < SAMPLES * SAMPLES; ++i) {
                const double x = (column * SAMPLES + i % SAMPLES + 0.5) * unitsPerSample;
                const double y = (row * SAMPLES + i / SAMPLES + 0.5) * unitsPerSample;
                const Shape* top = nullptr;
                for (const Shape& s : shapes)
                    if (covers(s, x, y) && (!s.clipped || covers(TILE, x, y))) top = &s;
                if (top == nullptr) continue;
                const Colour c = colourAt(*top, y);
                ++covered, r += c.r, g += c.g, b += c.b;
            }
            if (covered == 0) continue;  // transparent
            const auto average = [covered](int sum) { return static_cast<std::uint32_t>((sum + covered / 2) / covered); };
            const std::uint32_t alpha = (covered * 255 + SAMPLES * SAMPLES / 2) / (SAMPLES * SAMPLES);
            pixels[static_cast<std::size_t>(row) * size + column] =
                alpha << 24 | average(r) << 16 | average(g) << 8 | average(b);
        }
    }
    return pixels;
}
