#ifndef BONEYARD_WINDOW_ICON_H
#define BONEYARD_WINDOW_ICON_H

#include <cstddef>

// The window's icon, _NET_WM_ICON's value: for each size its width, its height and its pixels
// (rows from the top, 0xAARRGGBB), each value in an unsigned long, as Xlib takes a 32-bit
// property. tools/make_icon draws it from the picture in icon.h when the game is built and
// writes it as windowicon.cpp in the build folder, so no start of the game pays for drawing it.

constexpr int WINDOW_ICON_SIZES[] = {16, 32, 48, 64};  // what docks and task bars pick from

extern const unsigned long WINDOW_ICON[];
extern const std::size_t   WINDOW_ICON_LENGTH;  // 2 + size * size values for each size

#endif
