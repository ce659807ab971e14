// Objects out of view send no geometry, yet leave GL's state as their drawing does, so frames
// drawn with culling on and off are the same pixels over a sweep of cameras.
#include <algorithm>
#include <ctime>
#include <functional>
#include <sstream>

#include "Frustum.h"
#include "RenderSupport.h"

namespace {

// The polygons `draw` sends, each a list of x, y, z in its own coordinates. Feedback mode hands
// back what the drawing sends; an orthographic projection of `scale` units a pixel, clipping
// nothing, maps it straight back.
std::vector<std::vector<float>> polygonsSent(const std::string& what, float scale, const std::function<void()>& draw) {
    static std::vector<GLfloat> feedback(1 << 22);
    const float depth = 512 * scale;
    glMatrixMode(GL_PROJECTION), glLoadIdentity();
    glOrtho(-scale * w / 2, scale * w / 2, -scale * h / 2, scale * h / 2, -depth, depth);
    glMatrixMode(GL_MODELVIEW), glLoadIdentity();
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data()), glRenderMode(GL_FEEDBACK);
    draw();
    const int values = glRenderMode(GL_RENDER);  // -1 had the buffer overflowed
    EXPECT_GT(values, 0) << what;
    std::vector<std::vector<float>> polygons;
    for (int i = 0, corners = 0; i < values; i += 2 + 3 * corners) {
        EXPECT_EQ(feedback[i], GL_POLYGON_TOKEN) << what;  // all the drawing sends
        if (feedback[i] != GL_POLYGON_TOKEN) break;
        corners = static_cast<int>(feedback[i + 1]);
        polygons.emplace_back();
        for (const GLfloat* p = &feedback[i + 2]; p < &feedback[i + 2 + 3 * corners]; p += 3)
            polygons.back().insert(polygons.back().end(), {(p[0] - w / 2.0f) * scale, (p[1] - h / 2.0f) * scale, depth * (1 - 2 * p[2])});
    }
    return polygons;
}

// Every vertex `draw` sends lies in `box`, within the feedback's rounding (a halved bound misses by units).
void expectInside(const std::string& what, const Box& box, float scale, const std::function<void()>& draw) {
    float worst = 0.0f;
    for (const auto& polygon : polygonsSent(what, scale, draw))
        for (size_t i = 0; i < polygon.size(); ++i) worst = std::max({worst, box.min[i % 3] - polygon[i], polygon[i] - box.max[i % 3]});
    EXPECT_LT(worst, 1e-3f) << what << ": a vertex lies " << worst << " outside its bound";
}

// The pool in its own coordinates: its faces' areas, each toward the side its corners turn
// counter-clockwise for, add up to the rim's and the water's, 162 in all, 116 of it upward and
// none left over sideways. A corner moved, or a face turned round, breaks the sums.
TEST(CullBounds, ThePoolsFacesAddUpToItsRimAndWater) {
    resetShellState();
    myReshape(1024, 768);
    glDisable(GL_CULL_FACE);
    double area = 0, facing[3] = {};
    for (const auto& polygon : polygonsSent("pool", 0.05f, [] { scene.drawPool(); })) {
        double normal[3] = {};  // Newell's: twice the area
        for (size_t v = 0; v < polygon.size(); v += 3) {
            const float *p = &polygon[v], *q = &polygon[(v + 3) % polygon.size()];
            for (int c = 0; c < 3; ++c) normal[c] += (p[(c + 1) % 3] - q[(c + 1) % 3]) * (p[(c + 2) % 3] + q[(c + 2) % 3]);
        }
        area += std::hypot(normal[0], normal[1], normal[2]) / 2;
        for (int c = 0; c < 3; ++c) facing[c] += normal[c] / 2;
    }
    EXPECT_NEAR(area, 162, 1e-3);
    EXPECT_NEAR(std::abs(facing[0]) + std::abs(facing[1] - 116) + std::abs(facing[2]), 0, 1e-3);
    glEnable(GL_CULL_FACE), myReshape(1024, 768);
}

// The models in their own coordinates: their placement carries the box.
TEST(CullBounds, EveryVertexAnObjectSendsLiesInItsBound) {
    constexpr float WORLD = 0.25f, MODEL = 0.005f;  // units a pixel: the yard, a normalised model
    resetShellState();
    myReshape(1024, 768);
    Frustum::culling = false;
    glDisable(GL_CULL_FACE);  // back faces too
    for (int i = 0; i < scene.getNumTrees(); ++i)
        expectInside("tree " + std::to_string(i), scene.getTree(i).getBounds(), WORLD, [i] { scene.getTree(i).drawTree(); });
    for (int i = 0; i < scene.getNumBushes(); ++i)
        expectInside("bush " + std::to_string(i), scene.getBush(i).getBounds(), WORLD, [i] { scene.getBush(i).drawBush(); });
    Bone bone(-7, 2, 11, 1, 1, 1);
    for (int step = 0; step < 8 * 90; ++step)  // a draw turns it too
        if (step % 90) bone.advanceSpin();
        else expectInside("bone turned " + std::to_string(bone.getAngle()), bone.getBounds(), WORLD, [&] { bone.draw(); });
    bone.release();
    for (const objReader* model : {&scene.getCar(), &scene.getToy()}) {
        Box box;
        model->getBoundingVolume(&box.min[0], &box.max[0], &box.min[1], &box.max[1], &box.min[2], &box.max[2]);
        expectInside(model == &scene.getCar() ? "car" : "toy", box, MODEL, [&] { model->displayObj(); });
    }
    ASSERT_EQ(dog.getFrameCount(), 7);  // the shipped walk, there and back
    dog.setTurnRate(37);
    for (int step = 0; step < 14; ++step, dog.interpolateAnim(), dog.turnLeft())
        expectInside("walk step " + std::to_string(step), dog.getBounds(), WORLD, [] { dog.draw(); });
    std::istringstream pose("0 0 0 0 -90 120 -45 -150 60 -170 170 -135 135 -100 100 -80 80 -160 -75\n");
    Dog posed(12, 0.5f, -3, &pose);
    for (int turn = 0; turn < 4; ++turn, posed.turnLeft())
        expectInside("every joint turned", posed.getBounds(), WORLD, [&] { posed.draw(); });
    glEnable(GL_CULL_FACE), myReshape(1024, 768);
    Frustum::culling = true;
}

// What an object out of view still owes the drawing after it: the colour, texture binding,
// matrices and materials its drawing leaves, the walk and the bones' spin, and for a prop the
// normal its model sends last, which lights a model without normals drawn next. Nothing else
// reads the normal or texture coordinate it finds: every drawing, and the shadow points, sends
// its own before its first vertex.
std::vector<float> stateLeft(bool prop) {
    std::vector<float> state(4 * 4 + 16 + 2 * 4 * 4);
    float* next = state.data();
    for (GLenum what : {GL_CURRENT_COLOR, GL_TEXTURE_BINDING_2D, GL_MODELVIEW_STACK_DEPTH, GL_MODELVIEW_MATRIX})
        glGetFloatv(what, next), next += 4;
    for (GLenum face : {GL_FRONT, GL_BACK})
        for (GLenum what : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_SHININESS}) glGetMaterialfv(face, what, next), next += 4;
    state.push_back(dog.getAnimTime());
    for (int i = 0; i < scene.getNumBones(); ++i) state.push_back(scene.getBone(i).getAngle());
    if (prop) state.resize(state.size() + 3), glGetFloatv(GL_CURRENT_NORMAL, &state[state.size() - 3]);
    return state;
}

// Each kind of object drawn wholly out of view leaves what it owes as its drawing does.
TEST(Culling, AnObjectOutOfViewLeavesWhatItsDrawingLeaves) {
    const struct { const char* name; void (*draw)(); bool prop = false; } kinds[] = {{"tree", [] { scene.drawTrees(); }},
        {"bush", [] { scene.drawBushes(); }}, {"bones", [] { scene.drawBones(); }}, {"toy", [] { scene.drawProp(0); }, true},
        {"car", [] { scene.drawProp(2); }, true}, {"ground", [] { scene.drawRoads(); }}, {"dog", [] { dog.draw(); }}};
    for (const auto& kind : kinds) {
        std::vector<float> left[2];
        for (int culled = 0; culled < 2; ++culled) {
            resetShellState();
            myReshape(1024, 768);
            dog.move(0.5f, 0.0f, 0.0f);  // so that a draw advances the walk
            glTranslatef(0.0f, 0.0f, 1000.0f);  // the whole yard behind the eye
            ASSERT_FALSE(Frustum::current().mayShow(Box{{-100, -10, -100}, {100, 100, 100}}));
            glColor4f(0.1f, 0.2f, 0.3f, 0.4f), glNormal3f(0.5f, 0.6f, 0.7f);
            Frustum::culling = culled;  // on again after the last
            kind.draw();
            left[culled] = stateLeft(kind.prop);
        }
        EXPECT_EQ(left[0], left[1]) << kind.name;
    }
}

// The free camera's set-up (in blimp view the distance sets the height); keys first, a frame after each.
struct Shot { std::string name; float x, y, z, yaw, pitch, distance; bool shadows; std::string keys = ""; int width = 512, height = 384; };

// Culling changes no pixel: with the dog out of view too, the shadow points' shade is the same.
// Shadowed, the reshape lets the light's image of the still yard go, so it is
// drawn anew (and culled). Both frames are drawn again should the clock's second change between.
TEST(Culling, SameFramesOnAndOffOverASweepOfCameras) {
    std::vector<Shot> shots = {
        {"car", -1, 1.5f, 44, 0, 0, 9, true}, {"toy 1", 30, 1, 20, 45, 5, 5, false}, {"in bush 5", 5, 1, -7, 0, 0, 0.5f, false},
        {"bushes 8, 10, 11", 59, 1, -51, 120, 10, 3, true}, {"bone 12, left edge", 1, 1.8f, -9, 90, 0, 2, true},
        {"bone 12, bottom edge", -3, 3.3f, -5, 180, 20, 4, false}, {"dog's head, left edge", 6, 2, -3, 45, 0, 6, true},
        {"dog's back, right edge", -6, 2, -3, 315, 0, 6, false}, {"dog out of view, behind", 0, 10, 15, 105, 20, 15, true},
        {"dog out of view, below", 0, 10, 15, 135, 35, 15, true}, {"dog walks out of view", 0, 10, 15, 180, 10, 20, false, "qeeeeeeeey"},
        {"blimp view", 0, 10, 15, 0, 0, 20, true, "y"}, {"blimp, high", 0, 10, 15, 0, 0, 80, true, "y"},
        {"a tall window", 0, 10, 15, 30, 10, 20, true, "", 300, 500},
    };
    for (int i = 0; i < 24; ++i) {  // pitches and distances in turn
        const float pitch[] = {10, 25, 35, 45}, distance[] = {15, 30, 60}, lowPitch[] = {5, -5, 15}, yaw = 15.0f * i;
        shots.push_back({"start pivot, yaw " + std::to_string(yaw), 0, 10, 15, yaw, pitch[i % 4], distance[i % 3], i % 2 == 0});
        shots.push_back({"mid-yard, yaw " + std::to_string(yaw + 7.5f), 25, 4, 0, yaw + 7.5f, lowPitch[i % 3], i % 2 ? 25.0f : 8.0f, i % 3 == 1});
    }
    for (const Shot& shot : shots) {
        std::vector<unsigned char> frames[2];
        for (time_t now = 0; now != std::time(nullptr);) {
            now = std::time(nullptr);
            for (int culled = 0; culled < 2; ++culled) {
                Frustum::culling = culled;
                resetShellState();
                myReshape(shot.width, shot.height);
                aimCamera(shot.x, shot.y, shot.z, shot.yaw, shot.pitch, shot.distance);
                shadow = shot.shadows;
                for (char key : shot.keys) press(key), frame();
                seconds = started ? now + initialTime : seconds;
                frame();
                frames[culled] = readFrame();  // culling on again after the last
            }
        }
        int differing = 0;
        for (size_t i = 0; i < frames[0].size(); i += 3) differing += !std::equal(&frames[0][i], &frames[0][i] + 3, &frames[1][i]);
        EXPECT_EQ(differing, 0) << shot.name;
    }
}

}  // namespace
