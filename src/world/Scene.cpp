#include "Scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "Frustum.h"
#include "TextureSlots.h"
#include "House.h"

namespace {

// ---- yard layout, in slot order ---------------------------------------------------

struct TreeSpot {
    float x, z;
};
constexpr TreeSpot TREES[] = {
    {2, -60}, {25, -60}, {65, -30}, {58, -30}, {51, -30}, {43, -30}, {44, 50},
    {-20, 43}, {7, 15}, {55, 2}, {42, 22}, {58, 16}, {28, 52},
};

// Corners go (largest x, largest z), (largest x, smallest z), (smallest x, smallest z),
// (smallest x, largest z): the bound's test relies on that order.
struct BoundSpot {
    float x1, z1, x2, z2, x3, z3, x4, z4;
};
constexpr BoundSpot BOUNDS[] = {
    {-12, -22, -12, -38, -28, -38, -28, -22},              // house 1 at (-20, -30)
    {-2, -62, -2, -78, -18, -78, -18, -62},                // house 3 at (-10, -70)
    {23, -52, 23, -68, 7.6f, -68, 7.6f, -52},              // house 4 at (15, -60)
    {67.5f, 63, 67.5f, 47.5f, 52, 47.5f, 52, 63},          // house 2 at (60, 55)
    {6.7f, -21.4f, 6.7f, -41.7f, -6.7f, -41.7f, -6.7f, -21.4f},  // pool and stone pad
    // The fence strips lie 3 units inside the rails, so the dog stops short of them.
    {-27, 80, -27, -80, -30, -80, -30, 80},                // fence side x = -30
    {80, 80, 80, -80, 77, -80, 77, 80},                    // fence side x = 80
    {80, -77, 80, -80, -30, -80, -30, -77},                // fence side z = -80
    {80, 80, 80, 77, -30, 77, -30, 80},                    // fence side z = 80
    {34, 24.5f, 34, 15.5f, 25.5f, 15.5f, 25.5f, 24.5f},    // toy at (30, 20)
    {49, -59, 49, -67, 40.5f, -67, 40.5f, -59},            // toy at (45, -63)
    {7.5f, 49.5f, 7.5f, 38, -9.5f, 38, -9.5f, 49.5f},      // car at (-1, 44)
};

struct BushSpot {
    float x, z;
};
constexpr BushSpot BUSHES[] = {
    {-17, -22}, {-22, -23}, {-15, -65}, {45, 20}, {47, 15}, {5, -7}, {29, -19}, {45, -45},
    {58, -53}, {39, -65}, {61, -51}, {57, -49}, {48, 33}, {30, 0}, {-4, 30}, {-20, 18},
    {24, 43},
};

struct BoneSpot {
    float x, z;
    float r, g, b;
};
constexpr BoneSpot BONES[] = {
    {25, 25, 1, 0, 0},
    {-20, -40, 0, 1, 0},
    {-18, -70, 1, 1, 0},  // on the edge of bound 1: reachable from outside the box
    {30, -65, 0, 0, 1},
    {58, -50, 0, 0.4f, 0},
    {60, -15, 0, 1, 1},
    {70, 70, 0.6f, 1, 0.9f},
    {60, 20, 0.2f, 0.2f, 0.7f},
    {-20, 60, 0.7f, 0.4f, 0.7f},
    {20, 70, 0.3f, 0.8f, 0.3f},
    {-3, 13, 0.9f, 0.7f, 0.6f},
    {10, -20, 0.6f, 0.5f, 0.7f},
    {-3, -5, 0.3f, 0.6f, 0.7f},
};

// ---- houses and props, placed anew on every draw ----------------------------------

struct HousePlacement {
    float x, z;
    float yaw;  // degrees about y
    bool  tall; // walls 10 high instead of 7
};
constexpr HousePlacement HOUSES[] = {
    {-20, -30, 70, false},   // house 1
    {60, 55, -150, false},   // house 2
    {-10, -70, 70, true},    // house 3
    {15, -60, 0, true},      // house 4
};

constexpr PropPlacement PROPS[Scene::PROP_COUNT] = {
    {false, 1.0f, 0.5f, 0.0f, 30, 20, 3, 0, 9},       // toy 1
    {false, 1.0f, 0.5f, 0.0f, 45, -63, 3, 0, 10},     // toy 2
    {true, 0.4f, 0.8f, 0.67f, -1, 44, 7, 104, 11},    // car, its length along the model's y
};

constexpr double DEGREES_TO_RADIANS = 3.14159265358979323846 / 180.0;

// ---- fence, sky and pool geometry -------------------------------------------------

constexpr float RAIL_RADIUS = 0.3f;

// Each side starts at a corner; the rotation turns the cylinder's axis (local +z)
// along the side.
struct FenceSide {
    float x, z;
    float yaw;
    float length;
};
constexpr FenceSide FENCE[] = {
    {-30, 80, 180, 160},   // x = -30, from z = 80 to -80
    {-30, -80, 90, 110},   // z = -80, from x = -30 to 80
    {80, 80, 180, 160},    // x = 80, from z = 80 to -80
    {-30, 80, 90, 110},    // z = 80, from x = -30 to 80
};

struct TexVertex {
    float s, t;
    float x, y, z;
};
struct Vertex {
    float x, y, z;
};
struct Normal {
    float x, y, z;
};

// Normals point into the box and every wall is counter-clockwise seen from inside,
// so from outside the box the walls are culled.
struct SkyWall {
    Normal    normal;
    TexVertex corners[4];
};
constexpr SkyWall SKY[] = {
    {{0, 0, 1},  {{1, 0, 100, 0, -100}, {1, 1, 100, 90, -100}, {0, 1, -50, 90, -100}, {0, 0, -50, 0, -100}}},
    {{0, 0, -1}, {{1, 0, -50, 0, 100}, {1, 1, -50, 90, 100}, {0, 1, 100, 90, 100}, {0, 0, 100, 0, 100}}},
    {{1, 0, 0},  {{0, 0, -50, 0, -100}, {0, 1, -50, 90, -100}, {1, 1, -50, 90, 100}, {1, 0, -50, 0, 100}}},
    {{-1, 0, 0}, {{0, 0, 100, 0, 100}, {0, 1, 100, 90, 100}, {1, 1, 100, 90, -100}, {1, 0, 100, 0, -100}}},
};

// One unit in front of the z = -100 wall.
constexpr Normal    MOON_NORMAL = {0, 0, 1};
constexpr TexVertex MOON[] = {{1, 0, 4, 40, -99}, {1, 1, 4, 44, -99}, {0, 1, 0, 44, -99}, {0, 0, 0, 40, -99}};

// The pool's rim in its own coordinates: four strips one unit wide around the water,
// corners left open; faces against the water or another strip are not drawn.
struct RimFace {
    Normal normal;
    Vertex corners[4];
};
constexpr RimFace POOL_RIM[] = {
    {{0, 1, 0},  {{3, 1, 5}, {-3, 1, 5}, {-3, 1, 6}, {3, 1, 6}}},      // near strip, top
    {{1, 0, 0},  {{3, 1, 6}, {3, 0, 6}, {3, 0, 5}, {3, 1, 5}}},        // near strip, end x = 3
    {{-1, 0, 0}, {{-3, 1, 5}, {-3, 0, 5}, {-3, 0, 6}, {-3, 1, 6}}},    // near strip, end x = -3
    {{0, 0, 1},  {{3, 1, 6}, {-3, 1, 6}, {-3, 0, 6}, {3, 0, 6}}},      // near strip, outer side
    {{0, 1, 0},  {{3, 1, 5}, {4, 1, 5}, {4, 1, -8}, {3, 1, -8}}},      // right strip, top
    {{0, 0, -1}, {{4, 1, -8}, {4, 0, -8}, {3, 0, -8}, {3, 1, -8}}},    // right strip, end z = -8
    {{0, 0, 1},  {{3, 1, 5}, {3, 0, 5}, {4, 0, 5}, {4, 1, 5}}},        // right strip, end z = 5
    {{1, 0, 0},  {{4, 1, 5}, {4, 0, 5}, {4, 0, -8}, {4, 1, -8}}},      // right strip, outer side
    {{0, 1, 0},  {{-3, 1, -8}, {-4, 1, -8}, {-4, 1, 5}, {-3, 1, 5}}},  // left strip, top
    {{0, 0, -1}, {{-3, 1, -8}, {-3, 0, -8}, {-4, 0, -8}, {-4, 1, -8}}},  // left strip, end z = -8
    {{0, 0, 1},  {{-4, 1, 5}, {-4, 0, 5}, {-3, 0, 5}, {-3, 1, 5}}},    // left strip, end z = 5
    {{-1, 0, 0}, {{-4, 1, -8}, {-4, 0, -8}, {-4, 0, 5}, {-4, 1, 5}}},  // left strip, outer side
    {{0, 1, 0},  {{3, 1, -9}, {-3, 1, -9}, {-3, 1, -8}, {3, 1, -8}}},  // far strip, top
    {{1, 0, 0},  {{3, 1, -8}, {3, 0, -8}, {3, 0, -9}, {3, 1, -9}}},    // far strip, end x = 3
    {{-1, 0, 0}, {{-3, 1, -9}, {-3, 0, -9}, {-3, 0, -8}, {-3, 1, -8}}},  // far strip, end x = -3
    {{0, 0, -1}, {{3, 0, -9}, {-3, 0, -9}, {-3, 1, -9}, {3, 1, -9}}},  // far strip, outer side
};

// Flush with the rim tops, drawn after them; the ground texture stretched once.
constexpr Normal    WATER_NORMAL = {0, 1, 0};
constexpr TexVertex WATER[] = {{1, 0, 3, 1, 5}, {1, 1, 3, 1, -8}, {0, 1, -3, 1, -8}, {0, 0, -3, 1, 5}};

// ---- ground -----------------------------------------------------------------------

constexpr int TILE_SIZE = 10;
constexpr int GROUND_MIN_X = -50, GROUND_MAX_X = 100;
constexpr int GROUND_MIN_Z = -100, GROUND_MAX_Z = 100;
constexpr float PAD_HEIGHT = 0.2f;  // above the tiles, so the two never fight in depth
constexpr TexVertex STONE_PAD[] = {
    {0, 1, 7, PAD_HEIGHT, -22}, {1, 1, 7, PAD_HEIGHT, -42},
    {1, 0, -7, PAD_HEIGHT, -42}, {0, 0, -7, PAD_HEIGHT, -22},
};

// One GL_POLYGON with the same normal before every vertex.
template <int N>
void drawTexturedQuad(const Normal& n, const TexVertex (&corners)[N]) {
    glBegin(GL_POLYGON);
        for (const TexVertex& v : corners) {
            glNormal3f(n.x, n.y, n.z);
            glTexCoord2f(v.s, v.t);
            glVertex3f(v.x, v.y, v.z);
        }
    glEnd();
}

}  // namespace

Scene::Scene(int maxTrees)
    : bushes(nullptr), numBushes(0), maxBushes(0),
      bones(nullptr), numBones(0), maxBones(0),
      trees(nullptr), numTrees(0), maxTrees(maxTrees),
      bounds(nullptr), numBounds(0),
      car(), toy(), quadric(nullptr),
      groundTexture(GROUND_TEXTURE), stoneTexture(STONES_TEXTURE), moonTexture(MOON_TEXTURE) {
    trees = new Tree[maxTrees];
    maxBushes = 30;
    bushes = new Bush[maxBushes];
    maxBones = 20;
    bones = new Bone[maxBones];
    bounds = new Bound[BOUND_SLOTS];

    makeScene();

    quadric = gluNewQuadric();  // the fence rails'
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);

    // A model that fails to load keeps its error and draws nothing; its bound still stands.
    car.loadObj("car4x4.obj");
    car.centerObject();
    car.resizeObject();
    toy.loadObj("toy.obj");
    toy.centerObject();
    toy.resizeObject();
}

// The slots' copies are the only owners of the quadrics their temporaries created.
Scene::~Scene() {
    for (int i = 0; i < numTrees; i++) trees[i].release();
    for (int i = 0; i < numBushes; i++) bushes[i].release();
    for (int i = 0; i < numBones; i++) bones[i].release();
    delete[] trees;
    delete[] bushes;
    delete[] bones;
    delete[] bounds;
    if (quadric != nullptr) gluDeleteQuadric(quadric);
}

void Scene::makeScene() {
    for (const TreeSpot& t : TREES) addTree(t.x, 0.0f, t.z, 1.0f, 1.0f);
    for (const BoundSpot& b : BOUNDS) addBound(0.0f, b.x1, b.z1, b.x2, b.z2, b.x3, b.z3, b.x4, b.z4);
    for (const BushSpot& b : BUSHES) addBush(b.x, 0.0f, b.z);
    for (const BoneSpot& b : BONES) addBone(b.x, 0.0f, b.z, b.r, b.g, b.b);
}

void Scene::addTree(float x, float y, float z, float a, float b) {
    if (numTrees >= maxTrees) return;
    trees[numTrees++] = Tree(x, y, z, a, b);
}

void Scene::addBush(float x, float y, float z) {
    if (numBushes >= maxBushes) return;
    bushes[numBushes++] = Bush(x, y, z);
}

void Scene::addBone(float x, float y, float z, float r, float g, float b) {
    if (numBones >= maxBones) return;
    // A bone stands on whole units: truncated toward zero, so -0.9 becomes 0.
    bones[numBones++] = Bone(static_cast<int>(x), static_cast<int>(y), static_cast<int>(z), r, g, b);
}

void Scene::addBound(float y, float x1, float z1, float x2, float z2,
                     float x3, float z3, float x4, float z4) {
    if (numBounds >= BOUND_SLOTS) return;
    bounds[numBounds++] = Bound(y, x1, z1, x2, z2, x3, z3, x4, z4);
}

bool Scene::checkCollision(float x, float y, float z) const {
    for (int i = 0; i < numTrees; i++) {
        if (trees[i].checkCollision(x, y, z)) return true;
    }
    for (int i = 0; i < numBounds; i++) {
        if (bounds[i].checkCollision(x, y, z)) return true;
    }
    return false;
}

// A bone picked up by this call is already left out of the count, so the call that
// takes the last bone returns 0.
int Scene::checkBones(float x, float y, float z) {
    const int ix = static_cast<int>(x);  // truncated toward zero: -0.5 is tested as 0
    const int iy = static_cast<int>(y);
    const int iz = static_cast<int>(z);
    int remaining = 0;
    for (int i = 0; i < numBones; i++) {
        if (bones[i].isCollected()) continue;
        if (!bones[i].checkCollect(ix, iy, iz)) remaining++;
    }
    return remaining;
}

void Scene::resetBones() {
    for (int i = 0; i < numBones; i++) bones[i].setCollected(false);
}

// ---- drawing ----------------------------------------------------------------------

void Scene::drawScene() {
    drawYard(true);
}

void Scene::drawStill() {
    drawYard(false);
}

// The bones come between the bushes and the pool; everything else never moves.
void Scene::drawYard(bool withBones) {
    drawFence();
    drawTrees();
    drawRoads();
    drawBackground();
    drawBushes();
    if (withBones) drawBones();

    const House lowHouse(7, 0, 4, 4, -4, 4, 4, -4, -4, -4);
    const House tallHouse(10, 0, 4, 4, -4, 4, 4, -4, -4, -4);

    glPushMatrix();
        glTranslatef(0.0f, 0.0f, -30.0f);
        drawPool();
    glPopMatrix();

    for (const HousePlacement& h : HOUSES) {
        glPushMatrix();
            glTranslatef(h.x, 0.0f, h.z);
            if (h.yaw != 0.0f) glRotatef(h.yaw, 0.0f, 1.0f, 0.0f);
            (h.tall ? tallHouse : lowHouse).drawHouse();
        glPopMatrix();
    }

    for (int i = 0; i < PROP_COUNT; ++i) drawProp(i);
}

// The colour set for a prop stays current after its bracket closes. Its box is the model's
// own, read through the placement.
void Scene::drawProp(int i) const {
    const PropPlacement& p = PROPS[i];
    const objReader& model = p.car ? car : toy;
    GLfloat placement[16];
    propMatrix(p, placement);
    Box box{};
    model.getBoundingVolume(&box.min[0], &box.max[0], &box.min[1], &box.max[1], &box.min[2], &box.max[2]);
    glPushMatrix();
        glColor3f(p.red, p.green, p.blue);
        glMultMatrixf(placement);
        if (Frustum::inView(box)) model.displayObj();
        else model.sendLastNormal();
    glPopMatrix();
}

const PropPlacement& Scene::getProp(int i) { return PROPS[i]; }

// The product translate(x, 0, z) * scale * translate(0, PROP_LIFT, 0) * rotate(yaw about y)
// * rotate(-90 about x), written out: model (u, v, w) lands at
// (x + s(u cos - v sin), s(w + lift), z - s(u sin + v cos)).
void Scene::propMatrix(const PropPlacement& prop, float matrix[16]) {
    const double c = std::cos(prop.yaw * DEGREES_TO_RADIANS);
    const double sn = std::sin(prop.yaw * DEGREES_TO_RADIANS);
    const double s = prop.scale;
    const double columns[16] = {
        s * c,  0.0, -s * sn, 0.0,  // model x
        -s * sn, 0.0, -s * c, 0.0,  // model y
        0.0,    s,   0.0,     0.0,  // model z: up
        prop.x, s * PROP_LIFT, prop.z, 1.0,
    };
    for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(columns[i]);
}

void Scene::drawTrees() const {
    for (int i = 0; i < numTrees; i++) trees[i].drawTree();
}

void Scene::drawBushes() const {
    for (int i = 0; i < numBushes; i++) bushes[i].drawBush();
}

void Scene::drawBones() {
    for (int i = 0; i < numBones; i++) {
        if (!bones[i].isCollected()) bones[i].draw();
    }
}

void Scene::drawBounds() const {
    for (int i = 0; i < numBounds; i++) bounds[i].drawBound();
}

// Three rails per side at heights 1, 2 and 3, no posts; the fence bounds do the blocking.
void Scene::drawFence() const {
    glColor3f(0.5f, 0.3f, 0.5f);
    for (const FenceSide& side : FENCE) {
        glPushMatrix();
            glTranslatef(side.x, 1.0f, side.z);
            glRotatef(side.yaw, 0.0f, 1.0f, 0.0f);
            for (int rail = 0; rail < 3; rail++) {
                if (rail > 0) glTranslatef(0.0f, 1.0f, 0.0f);
                gluCylinder(quadric, RAIL_RADIUS, RAIL_RADIUS, side.length, 5, 1);
            }
        glPopMatrix();
    }
}

// Grass tiles, counter-clockwise seen from above, then the stone pad around the pool.
void Scene::drawRoads() const {
    glPushMatrix();
        glBindTexture(GL_TEXTURE_2D, groundTexture);
        glEnable(GL_TEXTURE_2D);
        glColor3f(0.0f, 0.57f, 0.0f);
        // A tile out of view sends nothing: the stone pad sends the last normal and texture
        // coordinate either way.
        const Frustum view = Frustum::current();
        for (int x0 = GROUND_MIN_X; x0 <= GROUND_MAX_X - 1; x0 += TILE_SIZE) {
            for (int z0 = GROUND_MIN_Z; z0 <= GROUND_MAX_Z - 1; z0 += TILE_SIZE) {
                const float left = static_cast<float>(x0);
                const float right = static_cast<float>(x0 + TILE_SIZE);
                const float farZ = static_cast<float>(z0);
                const float nearZ = static_cast<float>(z0 + TILE_SIZE);
                if (Frustum::culling && !view.mayShow(Box{{left, 0, farZ}, {right, 0, nearZ}})) continue;
                const TexVertex tile[] = {
                    {0, 0, left, 0, nearZ}, {0, 1, right, 0, nearZ},
                    {1, 1, right, 0, farZ}, {1, 0, left, 0, farZ},
                };
                drawTexturedQuad(Normal{0, 1, 0}, tile);
            }
        }
        glBindTexture(GL_TEXTURE_2D, stoneTexture);
        glColor3f(0.7f, 0.7f, 0.7f);
        drawTexturedQuad(Normal{0, 1, 0}, STONE_PAD);
        glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

void Scene::drawBackground() const {
    glBindTexture(GL_TEXTURE_2D, SKY_TEXTURE);
    glPolygonMode(GL_BACK, GL_LINE);
    glEnable(GL_TEXTURE_2D);
        glColor3f(0.1f, 0.2f, 1.0f);  // the painting tinted by the lit blue (GL_MODULATE)
        for (const SkyWall& wall : SKY) drawTexturedQuad(wall.normal, wall.corners);

        // Under GL_DECAL the opaque moon shows its own colours, unlit and untinted.
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        glBindTexture(GL_TEXTURE_2D, moonTexture);
        glColor3f(1.0f, 1.0f, 0.0f);
        drawTexturedQuad(MOON_NORMAL, MOON);
    glDisable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPolygonMode(GL_BACK, GL_FILL);
}

// In the pool's own coordinates; the caller places it at (0, 0, -30).
void Scene::drawPool() const {
    glColor3f(0.3f, 0.3f, 0.3f);
    for (const RimFace& face : POOL_RIM) {
        glBegin(GL_POLYGON);
            for (const Vertex& v : face.corners) {
                glNormal3f(face.normal.x, face.normal.y, face.normal.z);
                glVertex3f(v.x, v.y, v.z);
            }
        glEnd();
    }
    glBindTexture(GL_TEXTURE_2D, groundTexture);
    glEnable(GL_TEXTURE_2D);
        glColor3f(0.1f, 0.2f, 1.0f);  // the ground texture tinted blue
        drawTexturedQuad(WATER_NORMAL, WATER);
    glDisable(GL_TEXTURE_2D);
}
