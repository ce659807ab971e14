// make_icon: writes the desktop icon, "boneyard.svg", into the folder given as the only
// argument. The output is the same bytes on every run.
//
// A cream bone lies across a night sky with the moon above a strip of grass: the yard
// at night, and what the dog is after. Every coordinate is a whole number in a 128-unit
// square, so the text never depends on how a float is printed.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int SIZE   = 128;  // viewBox units; the menu scales the picture to any size
constexpr int MARGIN = 4;    // around the rounded tile
constexpr int CORNER = 22;   // tile corner radius

// The bone, drawn level and then turned: a shaft between two pairs of knobs.
constexpr int BONE_X      = 64;   // centre
constexpr int BONE_Y      = 70;
constexpr int BONE_HALF   = 32;   // from the centre to the knobs' centres, along the shaft
constexpr int SHAFT_HALF  = 9;    // half the shaft's thickness
constexpr int KNOB_APART  = 11;   // from the shaft's axis to each knob's centre
constexpr int KNOB_RADIUS = 13;
constexpr int BONE_TURN   = -30;  // degrees, counter-clockwise on screen: lifts the right end
constexpr int OUTLINE     = 4;    // the dark rim, drawn under the fill at twice this stroke

struct Star { int x, y, r; };
constexpr Star STARS[] = {{62, 18, 2}, {84, 12, 1}, {108, 20, 1}, {70, 40, 1}, {16, 62, 1}, {50, 30, 1}};

std::string format(const char* pattern, int a, int b = 0, int c = 0, int d = 0, int e = 0) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b, c, d, e);
    return text;
}

// The bone's shapes with the given paint: the rim pass and the fill pass draw the same
// shapes, so the rim shows only round the outside, never where shaft and knobs overlap.
std::string boneShapes(const std::string& paint) {
    std::string shapes;
    shapes += format("    <rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"%d\"",
                     BONE_X - BONE_HALF, BONE_Y - SHAFT_HALF, 2 * BONE_HALF, 2 * SHAFT_HALF, SHAFT_HALF / 2) +
              paint + "/>\n";
    for (int end : {-1, 1})
        for (int side : {-1, 1})
            shapes += format("    <circle cx=\"%d\" cy=\"%d\" r=\"%d\"", BONE_X + end * BONE_HALF,
                             BONE_Y + side * KNOB_APART, KNOB_RADIUS) +
                      paint + "/>\n";
    return shapes;
}

std::string icon() {
    std::string svg;
    svg += format("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" viewBox=\"0 0 %d %d\">\n",
                  SIZE, SIZE, SIZE, SIZE);
    svg += "  <defs>\n"
           "    <linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
           "      <stop offset=\"0\" stop-color=\"#0b1030\"/>\n"
           "      <stop offset=\"1\" stop-color=\"#2a3a78\"/>\n"
           "    </linearGradient>\n"
           "    <clipPath id=\"tile\">\n";
    const std::string tile = format("x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" rx=\"%d\"", MARGIN, MARGIN,
                                    SIZE - 2 * MARGIN, SIZE - 2 * MARGIN, CORNER);
    svg += "      <rect " + tile + "/>\n    </clipPath>\n  </defs>\n";
    svg += "  <rect " + tile + " fill=\"url(#sky)\"/>\n";
    for (const Star& s : STARS) svg += format("  <circle cx=\"%d\" cy=\"%d\" r=\"%d\" fill=\"#e8ecff\"/>\n", s.x, s.y, s.r);
    svg += "  <circle cx=\"32\" cy=\"32\" r=\"13\" fill=\"#f3efd2\"/>\n";
    // The grass: a low hill whose top is hidden behind the bone's middle.
    svg += format("  <ellipse cx=\"%d\" cy=\"%d\" rx=\"%d\" ry=\"%d\" fill=\"#2f5b2a\" clip-path=\"url(#tile)\"/>\n",
                  SIZE / 2, SIZE + 8, SIZE, 40);
    svg += format("  <g transform=\"rotate(%d %d %d)\">\n", BONE_TURN, BONE_X, BONE_Y);
    svg += boneShapes(format(" fill=\"#4a3b22\" stroke=\"#4a3b22\" stroke-width=\"%d\"", 2 * OUTLINE));
    svg += boneShapes(" fill=\"#f4ead0\"");
    svg += "  </g>\n</svg>\n";
    return svg;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string contents = icon();
    const std::string path = std::string(argv[1]) + "/boneyard.svg";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "make_icon: %s: cannot open: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    const int  writeError = errno;
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_icon: %s: cannot write: %s\n", path.c_str(),
                     std::strerror(written ? errno : writeError));
        return 1;
    }
    return 0;
}
