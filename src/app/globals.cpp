// The game's state. Everything here is created before main runs and lives until exit.
#include "shell.h"

float zoom = 20.0f;
float transX = 0.0f, transY = 10.0f, transZ = 15.0f;
float angleUpDown = 0.0f;
float angleLeftRight = 0.0f;
int   w = 1024, h = 768;
int   initialTime = 210;
time_t seconds = 0;  // 0: the first frame finds the time up and shows the game-over banner
bool  started = false, won = false, blimpView = false, help = false, shadow = false;
bool  mouseTrans = false, mouseRot = false;
int   startTransX = 0, startTransY = 0, startRotX = 0, startRotY = 0, startZoomY = 0;
float light_pos[4] = {0.0f, 0.0f, 0.0f, 0.0f};
float light4_pos[4] = {25.0f, 15.0f, 1.0f, 1.0f};
std::vector<float> light_depth;   // sized by myReshape, which GLUT calls before the first frame
std::vector<float> camera_depth;

// Defined in this order in this one file, so the dog is built (and reads "walk.txt")
// before the yard, and the yard is destroyed first. Neither needs a GL context.
Dog   dog(0.0f, 0.0f, 0.0f);
Scene scene(20);
