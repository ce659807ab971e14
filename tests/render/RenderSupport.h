#ifndef BONEYARD_RENDER_SUPPORT_H
#define BONEYARD_RENDER_SUPPORT_H

#include <GL/glut.h>

#include <array>
#include <string>
#include <vector>

// Helpers for tests that need the game's real GL context. RenderMain.cpp opens one
// 1024 x 768 window per test process, runs the game's init() in data/, and reshapes.

// Draws one frame with the real display callback. The back buffer keeps the frame
// after the swap on this GL stack, so it can be read back afterwards.
void renderFrame();

// The whole back buffer, RGB, row 0 at the bottom (GL order).
std::vector<unsigned char> readFrame();

// Window position of a world point under the camera of the frame just drawn, with y
// from the top-left corner; false if it lies behind the eye or off screen.
bool projectToScreen(float x, float y, float z, int& sx, int& sy);

// Puts the shell's globals back to their start-up values (camera, flags, game clock)
// and the dog and bones to a fresh game state, so each test starts alike.
void resetShellState();

// True if any pixel in the box [x0, x1] x [y0, y1] (top-left coordinates) is near white.
bool hasWhiteIn(int x0, int y0, int x1, int y1);

// True if `text` in `font` stands in white with its baseline starting at (x, y), as
// renderBitmapString places it: white in the glyph band just above the baseline over the
// text's width, none in a strip just left of x or just past the text's end.
bool textShownAt(int x, int y, void* font, const std::string& text);

// Points the free camera at (x, y, z) from `distance` away, turned by `yaw` and tilted
// down by `pitch` degrees; the point then lies at the centre of the next frame.
void aimCamera(float x, float y, float z, float yaw, float pitch, float distance);

// Starts a copy of this program in `dir` that opens the game's window and starts the game
// up as main.cpp does, then exits; returns its exit status and appends its stderr to `errors`.
int runRenderStartupIn(const std::string& dir, std::string& errors);

#endif
