// Writes the game's two OBJ models, "car4x4.obj" (an off-road car) and "toy.obj" (a
// ridged rubber chew bone), into the folder given as the only argument.
//
// The files stay within what the game's reader takes: "v", "vn", "g" and "f" lines with
// "v//n" corners, triangles and quadrilaterals only, single spaces, short lines. Model +z
// is up; the car is long along y with its front at +y, as the yard turns it to stand in
// its collision box. Every face is counter-clockwise seen from outside, except in the
// group "Facets_8", which is written clockwise because the reader turns every face of
// that group round.
//
// Angles come from half-angle formulas and products (no sin or cos), and numbers are
// printed with "%.4f", so the bytes are the same on every run and machine.

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF  // no fused multiply-add: it would change the bytes
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Vec {
    double x, y, z;
};

Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k, a.z * k}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec unit(Vec a) {
    const double len = std::sqrt(dot(a, a));
    return len > 0.0 ? a * (1.0 / len) : a;
}

// cos and sin of k * 360 / steps for steps = 4 * 2^n, built from cos 90 = 0 by halving
// and then by repeated rotation: only +, *, / and sqrt, all correctly rounded.
struct Circle {
    std::vector<double> c, s;
    explicit Circle(int steps) {
        double ch = 0.0;  // cos of the current step angle, starting at 90 degrees
        for (int n = 4; n < steps; n *= 2) ch = std::sqrt((1.0 + ch) / 2.0);
        const double sh = std::sqrt(1.0 - ch * ch);
        double x = 1.0, y = 0.0;
        for (int k = 0; k < steps; ++k) {
            c.push_back(x);
            s.push_back(y);
            const double nx = x * ch - y * sh;
            y = x * sh + y * ch;
            x = nx;
        }
        c.push_back(1.0);  // closes the ring exactly
        s.push_back(0.0);
    }
    int steps() const { return static_cast<int>(c.size()) - 1; }
};

class Mesh {
public:
    void group(const std::string& name) { groups.push_back({name, {}}); }

    // Adds a planar polygon of 3 or 4 corners with one normal per corner. The corners
    // are put in counter-clockwise order seen from the side `outward` points to; in
    // "Facets_8" they are then written clockwise, for the reader to turn round.
    void face(std::vector<Vec> points, std::vector<Vec> norms, Vec outward) {
        Vec newell{0.0, 0.0, 0.0};
        for (std::size_t i = 0; i < points.size(); ++i) {
            const Vec& a = points[i];
            const Vec& b = points[(i + 1) % points.size()];
            newell = newell + cross(a, b);
        }
        bool reverse = dot(newell, outward) < 0.0;
        if (groups.back().name == "Facets_8") reverse = !reverse;
        if (reverse) {
            std::reverse(points.begin(), points.end());
            std::reverse(norms.begin(), norms.end());
        }
        std::vector<Corner> corners;
        for (std::size_t i = 0; i < points.size(); ++i)
            corners.push_back({index(points[i], positions, positionIndex), index(unit(norms[i]), normals, normalIndex)});
        groups.back().faces.push_back(corners);
    }

    // A flat polygon lit with its own normal.
    void flat(const std::vector<Vec>& points, Vec outward) {
        Vec newell{0.0, 0.0, 0.0};
        for (std::size_t i = 0; i < points.size(); ++i) newell = newell + cross(points[i], points[(i + 1) % points.size()]);
        if (dot(newell, outward) < 0.0) newell = newell * -1.0;
        face(points, std::vector<Vec>(points.size(), newell), outward);
    }

    // A convex polygon of any size, cut into quadrilaterals (and one triangle) fanned
    // from its first corner.
    void flatFan(const std::vector<Vec>& points, Vec outward) {
        std::size_t i = 1;
        for (; i + 2 < points.size(); i += 2) flat({points[0], points[i], points[i + 1], points[i + 2]}, outward);
        if (i + 1 < points.size()) flat({points[0], points[i], points[i + 1]}, outward);
    }

    // Turns every vertex and normal a quarter turn about z: +x becomes +y. Exact, so the
    // printed numbers only trade places and signs. Like centre, for after the last face.
    void turnQuarter() {
        for (Vec& p : positions) p = {-p.y, p.x, p.z};
        for (Vec& n : normals) n = {-n.y, n.x, n.z};
    }

    // Moves every vertex so that the bounding box is centred on the origin.
    void centre() {
        Vec lo = positions[0], hi = positions[0];
        for (const Vec& p : positions) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        const Vec mid = (lo + hi) * 0.5;
        for (Vec& p : positions) p = p - mid;
    }

    bool write(const std::string& path, const char* title) const {
        std::FILE* out = std::fopen(path.c_str(), "w");
        if (out == nullptr) return false;
        std::fprintf(out, "# %s, made by make_models\n", title);
        for (const Vec& p : positions) std::fprintf(out, "v %.4f %.4f %.4f\n", tidy(p.x), tidy(p.y), tidy(p.z));
        for (const Vec& n : normals) std::fprintf(out, "vn %.4f %.4f %.4f\n", tidy(n.x), tidy(n.y), tidy(n.z));
        for (const Group& g : groups) {
            std::fprintf(out, "g %s\n", g.name.c_str());
            for (const std::vector<Corner>& f : g.faces) {
                std::fprintf(out, "f");
                for (const Corner& c : f) std::fprintf(out, " %d//%d", c.vertex + 1, c.normal + 1);
                std::fprintf(out, "\n");
            }
        }
        return std::fclose(out) == 0;
    }

private:
    struct Corner {
        int vertex, normal;
    };
    struct Group {
        std::string name;
        std::vector<std::vector<Corner>> faces;
    };

    // Keeps "-0.0000" out of the file.
    static double tidy(double v) { return std::fabs(v) < 0.00005 ? 0.0 : v; }

    // Records that print alike are shared.
    static int index(Vec v, std::vector<Vec>& list, std::map<std::string, int>& seen) {
        char key[96];
        std::snprintf(key, sizeof key, "%.4f %.4f %.4f", tidy(v.x), tidy(v.y), tidy(v.z));
        const auto found = seen.find(key);
        if (found != seen.end()) return found->second;
        list.push_back(v);
        return seen[key] = static_cast<int>(list.size()) - 1;
    }

    std::vector<Vec> positions, normals;
    std::map<std::string, int> positionIndex, normalIndex;
    std::vector<Group> groups;
};

// ---- solids ----------------------------------------------------------------------

// A convex solid given by its eight corners: bottom four then top four, each four in
// order round the rim. All six sides must be planar.
void hexahedron(Mesh& mesh, const Vec (&c)[8]) {
    Vec centre{0.0, 0.0, 0.0};
    for (const Vec& p : c) centre = centre + p * 0.125;
    const int sides[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const auto& s : sides) {
        const std::vector<Vec> pts = {c[s[0]], c[s[1]], c[s[2]], c[s[3]]};
        const Vec mid = (pts[0] + pts[1] + pts[2] + pts[3]) * 0.25;
        mesh.flat(pts, mid - centre);
    }
}

void box(Mesh& mesh, Vec lo, Vec hi) {
    const Vec c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                      {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    hexahedron(mesh, c);
}

// A convex side outline in x and z, extruded across y from y0 to y1.
void prism(Mesh& mesh, const std::vector<Vec>& outline, double y0, double y1) {
    Vec centre{0.0, 0.0, 0.0};
    for (const Vec& p : outline) centre = centre + p * (1.0 / outline.size());
    std::vector<Vec> near, far;
    for (const Vec& p : outline) {
        near.push_back({p.x, y0, p.z});
        far.push_back({p.x, y1, p.z});
    }
    mesh.flatFan(near, {0.0, y0 - y1, 0.0});
    mesh.flatFan(far, {0.0, y1 - y0, 0.0});
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const std::size_t j = (i + 1) % outline.size();
        const Vec mid = (outline[i] + outline[j]) * 0.5;
        mesh.flat({near[i], near[j], far[j], far[i]}, {mid.x - centre.x, 0.0, mid.z - centre.z});
    }
}

// One point of a lathe outline: `along` the axis and `radius` from it.
struct Profile {
    double along, radius;
};

// Turns an outline round an axis. The outline runs with the solid on its right-hand side
// (seen with `along` to the right and `radius` up), so each segment's outward normal is
// its left-hand side. Normals are smooth round the axis and flat along the outline.
// `groupOf` names the group of each segment ("" keeps the current one).
void lathe(Mesh& mesh, Vec centre, Vec axis, Vec across, const std::vector<Profile>& outline,
           const Circle& circle, const std::vector<std::string>& groupOf = {}) {
    const Vec up = cross(axis, across);
    std::string current;
    for (std::size_t k = 0; k + 1 < outline.size(); ++k) {
        if (k < groupOf.size() && !groupOf[k].empty() && groupOf[k] != current) {
            current = groupOf[k];
            mesh.group(current);
        }
        const Profile& a = outline[k];
        const Profile& b = outline[k + 1];
        const double dAlong = b.along - a.along, dRadius = b.radius - a.radius;
        const double nAlong = -dRadius, nRadius = dAlong;  // left-hand side of the segment
        for (int j = 0; j < circle.steps(); ++j) {
            const Vec r0 = across * circle.c[j] + up * circle.s[j];
            const Vec r1 = across * circle.c[j + 1] + up * circle.s[j + 1];
            std::vector<Vec> pts, ns;
            auto add = [&](const Profile& p, Vec radial) {
                const Vec point = centre + axis * p.along + radial * p.radius;
                for (const Vec& q : pts)
                    if (std::fabs(q.x - point.x) + std::fabs(q.y - point.y) + std::fabs(q.z - point.z) < 1e-9) return;
                pts.push_back(point);
                ns.push_back(axis * nAlong + radial * nRadius);
            };
            add(a, r0);
            add(a, r1);
            add(b, r1);
            add(b, r0);
            if (pts.size() < 3) continue;
            const Vec mid = (r0 + r1) * 0.5;
            mesh.face(pts, ns, axis * nAlong + mid * nRadius);
        }
    }
}

// A sphere as a lathe of a half circle, from pole to pole.
void sphere(Mesh& mesh, Vec centre, double radius, const Circle& circle) {
    std::vector<Profile> outline;
    const int half = circle.steps() / 2;
    for (int k = 0; k <= half; ++k)  // from the -x pole over the top to the +x pole
        outline.push_back({-radius * circle.c[k], radius * circle.s[k]});
    lathe(mesh, centre, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, outline, circle);
}

// ---- car4x4.obj ------------------------------------------------------------------------

// A wheel turning about `axis`, which points away from the car. Its outer face carries a
// domed hub cap, kept in "Facets_8"; the rest goes to `group`.
void wheel(Mesh& mesh, const std::string& group, Vec centre, Vec axis, double radius, double width,
           const Circle& circle) {
    const double h = width / 2.0;
    const double shoulder = radius * 0.12;
    const double rim = radius * 0.58;
    const std::vector<Profile> outline = {
        {-h, 0.0},
        {-h, radius - shoulder},
        {-h + shoulder, radius},
        {h - shoulder, radius},
        {h, radius - shoulder},
        {h, rim},
        {h - 0.05, rim},          // the rim steps in
        {h - 0.05, rim * 0.85},
        {h - 0.02, rim * 0.5},    // the hub cap's dome
        {h - 0.005, 0.0},
    };
    const std::vector<std::string> groups = {group, "", "", "", "", "", "", "Facets_8", ""};
    const Vec across = std::fabs(axis.z) > 0.5 ? Vec{1.0, 0.0, 0.0} : Vec{0.0, 0.0, 1.0};
    lathe(mesh, centre, axis, unit(cross(across, axis)), outline, circle, groups);
}

bool writeCar(const std::string& path) {
    constexpr double WHEEL_X = 1.35, WHEEL_Y = 0.82, WHEEL_R = 0.42, WHEEL_W = 0.34;
    constexpr double BODY_Y = 0.85;   // half the body's width
    constexpr double BELT = 1.1;      // top of the bonnet and the doors
    constexpr double ROOF = 1.83;
    constexpr double RACK_TOP = 1.98;  // overall height 0.88 of the length: the wheels touch the ground
    const Circle circle(16);  // chunky wheels, and few enough faces to draw every frame
    Mesh mesh;

    mesh.group("body");
    prism(mesh, {{-1.95, 0, 0.52}, {1.9, 0, 0.52}, {2.02, 0, 0.8}, {1.98, 0, BELT}, {-1.95, 0, BELT}, {-2.0, 0, 0.8}},
          -BODY_Y, BODY_Y);
    for (int side = -1; side <= 1; side += 2) {
        // Fender flares over the wheels, and a step between them.
        for (int end = -1; end <= 1; end += 2) {
            const double x = end * WHEEL_X;
            const double y0 = side * BODY_Y, y1 = side * (BODY_Y + 0.15);
            prism(mesh, {{x - 0.62, 0, 0.72}, {x - 0.4, 0, 0.98}, {x + 0.4, 0, 0.98}, {x + 0.62, 0, 0.72},
                         {x + 0.5, 0, 0.7}, {x - 0.5, 0, 0.7}},
                  std::min(y0, y1), std::max(y0, y1));
        }
        const double y0 = side * BODY_Y, y1 = side * (BODY_Y + 0.13);
        box(mesh, {-0.7, std::min(y0, y1), 0.5}, {0.7, std::max(y0, y1), 0.57});
        // Headlights and a mirror.
        box(mesh, {1.96, side * 0.62 - 0.13, 0.86}, {2.05, side * 0.62 + 0.13, 1.0});
        const double m0 = side * BODY_Y, m1 = side * (BODY_Y + 0.16);
        box(mesh, {0.3, std::min(m0, m1), 1.16}, {0.42, std::max(m0, m1), 1.3});
    }
    mesh.group("bumpers");
    box(mesh, {1.95, -0.92, 0.5}, {2.25, 0.92, 0.72});
    box(mesh, {-2.1, -0.92, 0.5}, {-1.9, 0.92, 0.7});
    box(mesh, {2.0, -0.55, 0.72}, {2.12, 0.55, 0.78});  // the bull bar's top tube
    for (int side = -1; side <= 1; side += 2)
        box(mesh, {2.02, side * 0.5 - 0.05, 0.72}, {2.1, side * 0.5 + 0.05, 1.02});

    mesh.group("cabin");
    const Vec cabin[8] = {{-1.95, -BODY_Y, BELT}, {0.6, -BODY_Y, BELT}, {0.6, BODY_Y, BELT}, {-1.95, BODY_Y, BELT},
                          {-1.9, -0.76, ROOF},    {0.05, -0.76, ROOF},  {0.05, 0.76, ROOF}, {-1.9, 0.76, ROOF}};
    hexahedron(mesh, cabin);
    mesh.group("rack");
    for (int side = -1; side <= 1; side += 2)
        box(mesh, {-1.8, side * 0.62 - 0.04, ROOF}, {-0.05, side * 0.62 + 0.04, RACK_TOP});
    for (int bar = 0; bar < 4; ++bar) {
        const double x = -1.7 + bar * 0.52;
        box(mesh, {x - 0.04, -0.66, ROOF + 0.04}, {x + 0.04, 0.66, RACK_TOP - 0.02});
    }

    for (int end = -1; end <= 1; end += 2)
        for (int side = -1; side <= 1; side += 2)
            wheel(mesh, "wheels", {end * WHEEL_X, side * WHEEL_Y, WHEEL_R}, {0.0, static_cast<double>(side), 0.0},
                  WHEEL_R, WHEEL_W, circle);
    // The spare wheel hangs on the tailgate, facing backwards.
    wheel(mesh, "spare", {-2.0 - 0.125, 0.0, 1.02}, {-1.0, 0.0, 0.0}, 0.38, 0.25, circle);

    mesh.turnQuarter();  // built front to +x above; the yard wants the length along y
    mesh.centre();
    return mesh.write(path, "four-by-four off-road car");
}

// ---- toy.obj ----------------------------------------------------------------------------

// A rubber chew bone standing on its edge along x: a ridged shaft between two pairs of
// knobs, one knob above the other. It is 0.44 times as high as it is long, so lifted as
// the yard lifts it, it rests on the grass. One knob is kept in "Facets_8".
bool writeToy(const std::string& path) {
    constexpr double KNOB_R = 0.25, KNOB_X = 0.75, KNOB_Z = 0.19;
    const Circle circle(16);
    Mesh mesh;

    mesh.group("shaft");
    std::vector<Profile> outline = {{-KNOB_X, 0.0}};
    constexpr int RIDGES = 9;
    for (int k = 0; k <= 2 * RIDGES; ++k) {
        const double along = -KNOB_X + 2.0 * KNOB_X * k / (2.0 * RIDGES);
        outline.push_back({along, k % 2 == 0 ? 0.15 : 0.18});
    }
    outline.push_back({KNOB_X, 0.0});
    lathe(mesh, {0.0, 0.0, 0.0}, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, outline, circle);

    mesh.group("knobs");
    sphere(mesh, {-KNOB_X, 0.0, -KNOB_Z}, KNOB_R, circle);
    sphere(mesh, {-KNOB_X, 0.0, KNOB_Z}, KNOB_R, circle);
    sphere(mesh, {KNOB_X, 0.0, -KNOB_Z}, KNOB_R, circle);
    mesh.group("Facets_8");
    sphere(mesh, {KNOB_X, 0.0, KNOB_Z}, KNOB_R, circle);

    mesh.centre();
    return mesh.write(path, "rubber chew bone");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    if (!writeCar(folder + "/car4x4.obj") || !writeToy(folder + "/toy.obj")) {
        std::fprintf(stderr, "make_models: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
