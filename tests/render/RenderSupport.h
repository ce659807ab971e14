#ifndef BONEYARD_RENDER_SUPPORT_H
#define BONEYARD_RENDER_SUPPORT_H

#include <string>
#include <vector>

#include "shell.h"

// RenderMain.cpp opens one 1024 x 768 window per test process and runs the game's init().

// One whole frame, then checks it left no GL error and the GL state as every frame must.
void frame(void (*lightRender)() = renderLightDepth);
std::vector<unsigned char> readFrame();  // the back buffer, RGB, row 0 at the bottom
// The game as the program starts it: its globals' initial values, a new dog and yard.
void resetShellState();
void press(unsigned char key, int times = 1);
// The free camera `distance` from (x, y, z), turned by `yaw`, tilted down by `pitch`.
void aimCamera(float x, float y, float z, float yaw, float pitch, float distance);

#endif
