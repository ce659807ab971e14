#ifndef BONEYARD_RENDER_SUPPORT_H
#define BONEYARD_RENDER_SUPPORT_H

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "shell.h"

// RenderMain.cpp opens one 1024 x 768 window per test process and runs the game's init().

// One whole frame, then checks it left no GL error and the GL state as every frame must.
void frame();
std::vector<unsigned char> readFrame();  // what the window shows: RGB, row 0 at the bottom
// Writes `rgb` to the PNG file at `path`, or reads it from there; rows bottom-up, as
// glReadPixels gives them. False unless the picture is `width` x `height`.
bool png(bool write, const std::string& path, int width, int height, std::vector<unsigned char>& rgb);
void resetShellState();  // the globals' values as the program starts, a new dog and yard
void press(unsigned char key, int times = 1);
void aimCamera(float x, float y, float z, float yaw, float pitch, float distance);  // the free camera

#endif
