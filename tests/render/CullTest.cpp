// Objects out of view send no geometry: every vertex an object sends lies in its bound (GL's
// feedback mode hands back what the drawing code sends), a culled object leaves GL's state as
// its drawing does, and frames drawn with culling on and off are the same pixels over a sweep
// of cameras.
#include <algorithm>
#include <ctime>
#include <functional>
#include <sstream>

#include "Frustum.h"
#include "RenderSupport.h"

namespace {

// Every vertex `draw` sends lies in `box`, within the feedback's rounding (a halved bound misses
// by units). Drawn whole in feedback mode, back faces too, under an orthographic projection of
// `scale` units a pixel and `depth` units either side of the eye: wide enough to clip nothing,
// so the window coordinates map straight back to the object's.
void expectInside(const std::string& what, const Box& box, float scale, float depth, const std::function<void()>& draw) {
    static std::vector<GLfloat> feedback(1 << 22);
    Frustum::culling = false;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
        glLoadIdentity();
        glOrtho(-scale * w / 2, scale * w / 2, -scale * h / 2, scale * h / 2, -depth, depth);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
            glLoadIdentity();
            glDisable(GL_CULL_FACE);
            glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
            glRenderMode(GL_FEEDBACK);
            draw();
            const int values = glRenderMode(GL_RENDER);  // -1 had the buffer overflowed
            glEnable(GL_CULL_FACE);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    Frustum::culling = true;
    float worst = 0.0f;
    EXPECT_GT(values, 0) << what;
    for (int i = 0; i < values && feedback[i] == GL_POLYGON_TOKEN;) {  // all the drawing sends
        for (int corners = static_cast<int>(feedback[i + 1]), k = (i += 2, 0); k < corners; ++k, i += 3) {
            const float v[3] = {(feedback[i] - w / 2.0f) * scale, (feedback[i + 1] - h / 2.0f) * scale,
                                depth * (1.0f - 2.0f * feedback[i + 2])};
            for (int a = 0; a < 3; ++a) worst = std::max({worst, box.min[a] - v[a], v[a] - box.max[a]});
        }
        EXPECT_TRUE(i >= values || feedback[i] == GL_POLYGON_TOKEN) << what;
    }
    EXPECT_LT(worst, 1e-3f) << what << ": a vertex lies " << worst << " outside its bound";
}

// Each kind of object in the forms it takes: every tree and bush of the yard, a bone at eight
// spins, both models in their own coordinates (their placement carries the box), and the dog
// in every pose of the shipped walk at many headings and in two poses turning every joint.
TEST(CullBounds, EveryVertexAnObjectSendsLiesInItsBound) {
    constexpr float WORLD = 0.25f, MODEL = 0.005f;  // units a pixel: the yard, a normalised model
    resetShellState();
    myReshape(1024, 768);
    for (int i = 0; i < scene.getNumTrees(); ++i)
        expectInside("tree " + std::to_string(i), scene.getTree(i).getBounds(), WORLD, 128, [i] { scene.getTree(i).drawTree(); });
    for (int i = 0; i < scene.getNumBushes(); ++i)
        expectInside("bush " + std::to_string(i), scene.getBush(i).getBounds(), WORLD, 128, [i] { scene.getBush(i).drawBush(); });
    Bone bone(-7, 2, 11, 1, 1, 1);
    for (int turn = 0; turn < 8; ++turn) {
        expectInside("bone turned " + std::to_string(bone.getAngle()), bone.getBounds(), WORLD, 128, [&] { bone.draw(); });
        for (int i = 0; i < 89; ++i) bone.advanceSpin();
    }
    bone.release();
    for (const objReader* model : {&scene.getCar(), &scene.getToy()}) {
        Box box;
        model->getBoundingVolume(&box.min[0], &box.max[0], &box.min[1], &box.max[1], &box.min[2], &box.max[2]);
        expectInside(model == &scene.getCar() ? "car" : "toy", box, MODEL, 2, [&] { model->displayObj(); });
    }
    ASSERT_EQ(dog.getFrameCount(), 7);  // the shipped walk, there and back
    dog.setTurnRate(37);
    for (int step = 0; step < 14; ++step, dog.interpolateAnim(), dog.turnLeft()) {
        expectInside("walk step " + std::to_string(step), dog.getBounds(), WORLD, 128, [] { dog.draw(); });
    }
    const char* poses[] = {"0 0 0 0 20 30 -20 25 -30 10 30 -10 -25 15 25 -15 -30 40 30\n",
                           "0 0 0 0 -90 120 -45 -150 60 -170 170 -135 135 -100 100 -80 80 -160 -75\n"};
    for (const char* pose : poses) {
        std::istringstream walk(pose);
        Dog posed(12, 0.5f, -3, &walk);
        for (int turn = 0; turn < 4; ++turn, posed.turnLeft()) {
            expectInside("pose " + std::to_string(&pose - poses), posed.getBounds(), WORLD, 128, [&] { posed.draw(); });
        }
    }
}

// What a drawing leaves behind: the current colour, normal and texture coordinate, both sides'
// materials, the texture bound, the model-view matrix and its depth, the bones' spins and the
// dog's walk.
std::vector<float> stateLeft() {
    std::vector<float> state(5 * 4 + 16 + 2 * 4 * 4);
    float* next = state.data();
    for (GLenum what : {GL_CURRENT_COLOR, GL_CURRENT_NORMAL, GL_CURRENT_TEXTURE_COORDS, GL_TEXTURE_BINDING_2D,
                        GL_MODELVIEW_STACK_DEPTH, GL_MODELVIEW_MATRIX}) glGetFloatv(what, next), next += 4;
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        for (GLenum what : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_SHININESS}) glGetMaterialfv(face, what, next), next += 4;
    }
    state.push_back(dog.getAnimTime());
    for (int i = 0; i < scene.getNumBones(); ++i) state.push_back(scene.getBone(i).getAngle());
    return state;
}

// Each kind of object drawn wholly out of view, with culling on and off, from the same start:
// both leave the same state, the walk advanced and the bones turned.
TEST(Culling, AnObjectOutOfViewLeavesWhatItsDrawingLeaves) {
    const struct { const char* name; void (*draw)(); } kinds[] = {
        {"tree", [] { scene.drawTrees(); }}, {"bush", [] { scene.drawBushes(); }}, {"bones", [] { scene.drawBones(); }},
        {"toy", [] { scene.drawProp(0); }},  {"car", [] { scene.drawProp(2); }},   {"ground", [] { scene.drawRoads(); }},
        {"dog", [] { dog.draw(); }},
    };
    for (const auto& kind : kinds) {
        std::vector<float> left[2];
        for (int culled = 0; culled < 2; ++culled) {
            resetShellState();
            dog.move(0.5f, 0.0f, 0.0f);  // so that a draw advances the walk
            glPushMatrix();
                glLoadIdentity();
                glTranslatef(0.0f, 0.0f, 1000.0f);  // the whole yard behind the eye
                ASSERT_FALSE(Frustum::current().mayShow(Box{{-100, -10, -100}, {100, 100, 100}}));
                glColor4f(0.1f, 0.2f, 0.3f, 0.4f), glNormal3f(0.5f, 0.6f, 0.7f), glTexCoord4f(5, 6, 7, 8);
                Frustum::culling = culled;
                kind.draw();
                Frustum::culling = true;
                left[culled] = stateLeft();
            glPopMatrix();
        }
        EXPECT_EQ(left[0], left[1]) << kind.name;
    }
}

// A camera set-up: the free camera's pivot, yaw, pitch and distance (in blimp view the distance
// sets the height), shadows, keys pressed first with a frame after each, the window's size.
struct Shot {
    std::string name;
    float x, y, z, yaw, pitch, distance;
    bool shadows;
    std::string keys = "";
    int width = 512, height = 384;
};

std::vector<Shot> sweep() {
    std::vector<Shot> shots;
    // Yaw every 15 degrees about the start pivot, and between those about a low pivot in the
    // middle of the yard, pitches and distances in turn.
    for (int i = 0; i < 24; ++i) {
        const float pitches[] = {10, 25, 35, 45}, distances[] = {15, 30, 60};
        shots.push_back({"start pivot, yaw " + std::to_string(15 * i), 0, 10, 15, 15.0f * i, pitches[i % 4],
                         distances[i % 3], i % 2 == 0});
        const float lowPitches[] = {5, -5, 15}, lowDistances[] = {8, 25};
        shots.push_back({"yard middle, yaw " + std::to_string(15 * i + 7.5), 25, 4, 0, 15.0f * i + 7.5f,
                         lowPitches[i % 3], lowDistances[i % 2], i % 3 == 1});
    }
    const Shot more[] = {
        {"facing the car", -1, 1.5f, 44, 0, 0, 9, true}, {"beside the car", -1, 2, 44, 90, -10, 6, false},
        {"at toy 1", 30, 1, 20, 45, 5, 5, true}, {"at toy 2", 45, 1, -63, -60, 0, 7, false},
        {"between bushes 3 and 4", 46, 1, 17, 200, -5, 4, true}, {"among bushes 8, 10, 11", 59, 1, -51, 120, 10, 3, false},
        {"by bushes 0 and 1, looking up", -19, 1, -21, 30, -15, 5, true}, {"in bush 5", 5, 1, -7, 0, 0, 0.5f, false},
        {"at bone 12", -3, 1.8f, -5, 150, 5, 2, true}, {"bone 12 at the right edge", -7, 1.8f, -9, 0, 0, 2, false},
        {"bone 12 at the left edge", 1, 1.8f, -9, 90, 0, 2, true},
        {"bone 12 at the bottom edge", -3, 3.3f, -5, 180, 20, 4, false},
        {"bone 12 at the top edge, from below the grass", -3, -0.7f, -5, 0, 0, 2, false},
        {"blimp view", 0, 10, 15, 0, 0, 20, true, "y"}, {"blimp view, low", 0, 10, 15, 0, 0, 5, false, "y"},
        {"blimp view, high", 0, 10, 15, 0, 0, 80, true, "y"},
        // The shadow points are lit with the normal the dog leaves, drawn or not; spotlit here.
        {"dog out of view, far to the left", 60, 8, -40, 180, 0, 20, true},
        {"dog out of view, behind", 0, 10, 15, 105, 20, 15, true},
        {"dog out of view, below", 0, 10, 15, 135, 35, 15, true},
        {"dog out of view, below and behind", 0, 10, 15, 172.5f, 35, 30, true},
        {"the dog's head at the right edge", -6, 2, -6, 0, 0, 2, false},
        {"the dog's head at the left edge", 6, 2, -3, 45, 0, 6, true},
        {"the dog's back at the right edge", -6, 2, -3, 315, 0, 6, false},
        // The dog walks while out of view (and not drawn from the light), then blimp view shows its pose.
        {"dog walks out of view", 0, 10, 15, 180, 10, 20, false, "q" + std::string(8, 'e') + "y"},
        {"a tall window", 0, 10, 15, 30, 10, 20, true, "", 300, 500},
    };
    shots.insert(shots.end(), std::begin(more), std::end(more));
    return shots;
}

// The frame of `shot` from the program's start state. Shadowed, the light's image of the still
// yard is drawn anew (the reshape let it go), so that culling draws it too.
std::vector<unsigned char> drawShot(const Shot& shot, bool culled, time_t now) {
    Frustum::culling = culled;
    resetShellState();
    myReshape(shot.width, shot.height);
    aimCamera(shot.x, shot.y, shot.z, shot.yaw, shot.pitch, shot.distance);
    shadow = shot.shadows;
    for (char key : shot.keys) press(key), frame();
    seconds = started ? now + initialTime : seconds;
    frame();
    Frustum::culling = true;
    return readFrame();
}

// Culling changes no pixel. Both frames of a shot are drawn again should the clock's second
// change between them.
TEST(Culling, SameFramesOnAndOffOverASweepOfCameras) {
    const std::vector<Shot> shots = sweep();
    EXPECT_GE(shots.size(), 50u);
    EXPECT_GE(3 * std::count_if(shots.begin(), shots.end(), [](const Shot& s) { return s.shadows; }), shots.size());
    for (const Shot& shot : shots) {
        std::vector<unsigned char> frames[2];
        for (time_t now = 0; now != std::time(nullptr);) {
            now = std::time(nullptr);
            for (int culled = 0; culled < 2; ++culled) frames[culled] = drawShot(shot, culled, now);
        }
        int differing = 0;
        for (size_t i = 0; i < frames[0].size(); i += 3) differing += !std::equal(frames[0].begin() + i, frames[0].begin() + i + 3, frames[1].begin() + i);
        EXPECT_EQ(differing, 0) << shot.name;
    }
}

}  // namespace
