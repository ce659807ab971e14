#ifndef BONEYARD_SHELL_H
#define BONEYARD_SHELL_H

#include <ctime>
#include <string>
#include <vector>

#include "Dog.h"
#include "Scene.h"

// The game's shell: its state and its GLUT callbacks, each group under the file that defines
// it. The command line is commandline.h's; the window's name, the quit signals and full screen,
// desktop.h's; the textures, texture.h's; the shadow mask, shadows.h's.

// --- globals.cpp: the game's state, file-scope globals shared by the callbacks, created at
// start-up and living until exit. Only the GLUT thread touches them.
extern float zoom;                    // camera distance; blimp eye height is zoom / 20 * 30
extern float transX, transY, transZ;  // free-camera pivot
extern float angleUpDown;             // pitch, degrees; positive looks further down
extern float angleLeftRight;          // yaw, degrees; 0 looks along -z, positive turns toward -x
extern int   w, h;                    // drawable size in pixels
extern int   initialTime;             // length of one game, whole seconds
extern time_t seconds;                // absolute end time of the running game (C library clock)
extern bool  started, won, blimpView, help, shadow;
extern bool  mouseTrans, mouseRot;
extern int   startTransX, startTransY, startRotX, startRotY, startZoomY;
extern float light_pos[4];
extern float light4_pos[4];
extern std::vector<float> light_depth;   // w * h depths seen from the shadow light, row 0 at the bottom
extern std::vector<float> camera_depth;  // w * h depths of the finished camera frame

extern Dog   dog;    // constructed first
extern Scene scene;  // constructed after the dog

// --- here: the units of angles and of the camera's key steps.

constexpr float CONVERT    = 0.017453292f;  // degrees to radians
constexpr float ZOOMCONST  = 1.0f;
constexpr float ANGLECONST = 3.0f;   // degrees per key press
constexpr float TRANSCONST = 1.2f;   // world units per key press

// --- display.cpp: start-up and the frame.

// Reads and decodes the six textures without GL, so main can call it before the screen
// mode changes or a window exists. Exits with status 1 and one line on stderr when a
// texture file cannot be read.
void readTextures();
// Start-up: permanent GL state, then the six textures into their slots (read first, with
// readTextures' exit on a missing file, unless readTextures has just run).
void init();
// One line on stderr for each optional data file that could not be read
// ("walk.txt", "car4x4.obj", "toy.obj"); the game runs on without it.
void reportMissingData();

// A height of 0 is treated as 1. Without the memory for the depth arrays at the new size
// (two floats a pixel), says so once on stderr and leaves both empty: no shadows till then.
void myReshape(int width, int height);
bool shadowsAvailable();  // the last reshape had the memory for the shadow pass's depth arrays
void displayCallback();  // one whole frame, swap included
void idleCallback();
// Hidden (unmapped, minimised) or fully covered, no frame would show: asks for none until the
// window shows again. The countdown keeps its wall-clock end meanwhile.
void windowStatusCallback(int state);

// --- input.cpp: keys and the mouse.

void keyCallback(unsigned char key, int x, int y);
void mouseCallback(int button, int state, int x, int y);
void motionCallback(int x, int y);
void checkMove(float x, float y, float z, float dx, float dy, float dz);  // refused if the destination collides

// --- hud.cpp: the countdown and the text over the yard.

void resetTime();    // starts a new game unless one is running
time_t timeLeft(time_t now);  // whole seconds from `now` to the end of the game; negative once it is over
void displayTime();  // runs the countdown; draws the time and, when due, the game-over banner
void displayHelp();
void renderBitmapString(float x, float y, void* font, std::string text);  // (x, y) from the top-left, pixels

// --- shadows.cpp: the shadow pass.

// Fills light_depth with the depths the shadow light (light4_pos, looking at the origin,
// with the camera's projection and viewport) sees this frame, the dog and the bones drawn
// now, the rest of the yard kept from an earlier frame. Expects the depth buffer cleared;
// leaves it cleared, and the colour buffer untouched.
void renderLightDepth();
void shadows();  // darkens the pixels of the finished frame that the shadow light cannot see

#endif
