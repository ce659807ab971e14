// Start-up GL state, the reshape handler and the frame itself.
#include "shadows.h"
#include "shell.h"
#include "TextureSlots.h"
#include "texture.h"

#include <GL/glut.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr float FIELD_OF_VIEW = 35.0f;  // vertical, degrees
constexpr float NEAR_PLANE = 1.0f;
constexpr float FAR_PLANE = 100.0f;
constexpr float WORLD_SCALE = 0.5f;     // halves eye distances: depth reaches 200 world units
constexpr float BLIMP_HEIGHT = 30.0f;   // eye height over the dog at zoom 20
constexpr float LIGHT0_HEIGHT = 20.0f;  // the dog's spotlight hangs this far above it

std::string currentDirectory() {
    char path[PATH_MAX];
    if (getcwd(path, sizeof path) == nullptr) return std::string("(unknown directory)");
    return std::string(path);
}

// loadImage's error reads "<file>: <reason>"; the reason alone goes into our line.
std::string failureReason(const char* file, const std::string& error) {
    const std::string prefix = std::string(file) + ": ";
    if (error.compare(0, prefix.size(), prefix) == 0) return error.substr(prefix.size());
    return error;
}

void setLight(GLenum light, const GLfloat ambient[4], const GLfloat diffuse[4],
              const GLfloat specular[4]) {
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
}

// The six pictures, decoded in TEXTURE_FILES order, between readTextures and their upload.
std::vector<unsigned char> decodedTextures[std::size(TEXTURE_FILES)];
bool texturesRead = false;

// init runs in a GL context: the pictures go to their slots, read here if main has not
// read them already (the render tests call init without main), then their memory goes.
void uploadTextures() {
    if (!texturesRead) readTextures();
    for (std::size_t i = 0; i < std::size(TEXTURE_FILES); ++i) {
        uploadImage(decodedTextures[i], TEXTURE_FILES[i].slot);
        std::vector<unsigned char>().swap(decodedTextures[i]);
    }
    texturesRead = false;
}

struct Camera {
    float eyeX, eyeY, eyeZ;
    float atX, atY, atZ;
};

// Normal view: a free camera `zoom` units behind the pivot. Blimp view: straight above the
// dog, looking down and a little toward -z so the up vector (0, 1, 0) stays usable.
Camera cameraFor(float dogX, float dogY, float dogZ) {
    if (blimpView) {
        return {dogX, dogY + zoom / 20.0f * BLIMP_HEIGHT, dogZ, dogX, dogY, dogZ - 1.0f};
    }
    const float p = angleUpDown * CONVERT;
    const float q = angleLeftRight * CONVERT;
    const float dx = -sinf(q) * cosf(p);
    const float dy = -sinf(p);
    const float dz = -cosf(q) * cosf(p);
    const float length = sqrtf(dx * dx + dy * dy + dz * dz);
    return {transX - zoom * dx, transY - zoom * dy, transZ - zoom * dz,
            transX + length * dx, transY + length * dy, transZ + length * dz};
}

void placeCamera(const Camera& camera) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(WORLD_SCALE, WORLD_SCALE, WORLD_SCALE);
    gluLookAt(camera.eyeX, camera.eyeY, camera.eyeZ, camera.atX, camera.atY, camera.atZ,
              0.0, 1.0, 0.0);
}

// Given under the camera transform, so these are world positions. The spot directions of
// lights 2 to 4 were fixed in eye space by init and are not repeated here.
void placeLights(float dogX, float dogY, float dogZ) {
    static const GLfloat light2Pos[4] = {60.0f, 20.0f, 65.0f, 1.0f};
    static const GLfloat light3Pos[4] = {-5.0f, 30.0f, -55.0f, 1.0f};
    static const GLfloat down[3] = {0.0f, -1.0f, 0.0f};
    glLightfv(GL_LIGHT2, GL_POSITION, light2Pos);
    glLightfv(GL_LIGHT3, GL_POSITION, light3Pos);
    glLightfv(GL_LIGHT4, GL_POSITION, light4_pos);
    light_pos[0] = dogX;
    light_pos[1] = dogY + LIGHT0_HEIGHT;
    light_pos[2] = dogZ;
    light_pos[3] = 1.0f;
    glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, down);
}

// Stops the countdown in this same frame without the game-over banner.
void showWin() {
    glColor3f(1.0f, 1.0f, 1.0f);
    renderBitmapString(w / 2 - 90, h / 2, GLUT_BITMAP_TIMES_ROMAN_24, "CONGRATULATIONS");
    renderBitmapString(w / 2 - 28, h / 2 + 30, GLUT_BITMAP_TIMES_ROMAN_24, "YOU WON");
    won = true;
    seconds = 0;
}

void showBonesLeft(int bonesLeft) {
    glColor3f(1.0f, 1.0f, 1.0f);
    renderBitmapString(30, 70, GLUT_BITMAP_HELVETICA_18, "Bones Left: " + std::to_string(bonesLeft));
}

// The old arrays go first, so the memory of both sizes is never held at once. Without the
// memory (a window as large as a wall of screens) the game plays on without shadows: one
// warning when they go, and they come back with a reshape that can have them.
bool warnedNoShadowMemory = false;
void allocateDepthArrays(std::size_t pixels) {
    std::vector<float>().swap(light_depth);
    std::vector<float>().swap(camera_depth);
    try {
        light_depth.resize(pixels);
        camera_depth.resize(pixels);
        warnedNoShadowMemory = false;
    } catch (const std::bad_alloc&) {
        std::vector<float>().swap(light_depth);
        if (!warnedNoShadowMemory) {
            std::fprintf(stderr, "boneyard: warning: no memory for shadows in a %d x %d window: no shadows "
                                 "until it is smaller\n", w, h);
        }
        warnedNoShadowMemory = true;
    }
}

}  // namespace

void init() {
    static const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    static const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const GLfloat dim[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    static const GLfloat sceneAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    static const GLfloat behindViewer[4] = {0.0f, 1.0f, 1.0f, 0.0f};  // directional
    static const GLfloat down[3] = {0.0f, -1.0f, 0.0f};

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, sceneAmbient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, white);

    // The model-view matrix is still the identity: light 1 stays fixed to the viewer, and
    // the spot directions below point along the viewer's -y for the whole run.
    glLightfv(GL_LIGHT1, GL_POSITION, behindViewer);
    setLight(GL_LIGHT1, black, dim, black);
    glEnable(GL_LIGHT1);

    // The dog's spotlight; displayCallback places and aims it every frame.
    setLight(GL_LIGHT0, black, white, white);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 75.0f);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 2.0f);
    glEnable(GL_LIGHT0);

    for (GLenum lamp : {GL_LIGHT2, GL_LIGHT3, GL_LIGHT4}) {
        setLight(lamp, black, white, black);
        glLightf(lamp, GL_SPOT_CUTOFF, 55.0f);
        glLightf(lamp, GL_SPOT_EXPONENT, 2.0f);
        glLightfv(lamp, GL_SPOT_DIRECTION, down);
        glEnable(lamp);
    }

    glFogfv(GL_FOG_COLOR, black);
    glFogf(GL_FOG_START, 75.0f);
    glFogf(GL_FOG_END, 100.0f);
    glFogi(GL_FOG_MODE, GL_LINEAR);

    // Blending stays off: only the shadow pass switches it on, with these factors.
    glBlendFunc(GL_SRC_COLOR, GL_DST_COLOR);

    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_CULL_FACE);

    uploadTextures();
}

void readTextures() {
    for (std::size_t i = 0; i < std::size(TEXTURE_FILES); ++i) {
        std::string error;
        if (!readBmpFile(TEXTURE_FILES[i].name, decodedTextures[i], error)) {
            // The game cannot be drawn without its pictures: say which and where, and stop.
            std::fprintf(stderr, "boneyard: cannot load texture \"%s\" from %s: %s\n", TEXTURE_FILES[i].name,
                         currentDirectory().c_str(), failureReason(TEXTURE_FILES[i].name, error).c_str());
            std::exit(1);
        }
    }
    texturesRead = true;
}

void reportMissingData() {
    const std::string here = currentDirectory();
    if (!dog.hasWalkFile()) {
        std::fprintf(stderr, "boneyard: warning: cannot open \"walk.txt\" in %s: the dog will not be animated\n",
                     here.c_str());
    }
    if (dog.isWalkCut()) {
        std::fprintf(stderr, "boneyard: warning: \"walk.txt\" in %s holds more than %d key frames: the dog walks the first %d\n",
                     here.c_str(), Dog::MAX_KEY_FRAMES, Dog::MAX_KEY_FRAMES);
    }
    if (scene.getCar().getError() == objReader::ERROR_OPEN) {
        std::fprintf(stderr, "boneyard: warning: cannot open \"car4x4.obj\" in %s: the car will be missing\n",
                     here.c_str());
    }
    if (scene.getToy().getError() == objReader::ERROR_OPEN) {
        std::fprintf(stderr, "boneyard: warning: cannot open \"toy.obj\" in %s: the toys will be missing\n",
                     here.c_str());
    }
}

void myReshape(int width, int height) {
    // A minimised window reports 0: one row (and column) keeps the aspect finite and the
    // depth arrays non-empty.
    w = width > 0 ? width : 1;
    h = height > 0 ? height : 1;
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW, static_cast<double>(w) / h, NEAR_PLANE, FAR_PLANE);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Both arrays are replaced at the new size; their contents wait for the next depth read.
    // The light's kept image was drawn for the old size: it goes, memory and all.
    dropKeptLightDepth();
    allocateDepthArrays(static_cast<std::size_t>(w) * h);
}

bool shadowsAvailable() {
    return !light_depth.empty();
}

void displayCallback() {
    float x, y, z;
    dog.getPos(x, y, z);
    const Camera camera = cameraFor(x, y, z);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    placeCamera(camera);
    placeLights(x, y, z);
    const bool shading = shadow && shadowsAvailable();
    if (shading) renderLightDepth();

    scene.drawScene();
    dog.draw();

    const int bonesLeft = scene.checkBones(x, y, z);
    if (bonesLeft == 0) showWin();
    displayTime();
    if (help) displayHelp();
    if (shading) shadows();
    showBonesLeft(bonesLeft);

    glutSwapBuffers();
}

void idleCallback() {
    glutPostRedisplay();
}

void windowStatusCallback(int state) {
    const bool visible = state != GLUT_HIDDEN && state != GLUT_FULLY_COVERED;
    glutIdleFunc(visible ? idleCallback : nullptr);  // without an idle callback GLUT sleeps until an event
    if (visible) glutPostRedisplay();
}
