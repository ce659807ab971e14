#ifndef BONEYARD_ICON_H
#define BONEYARD_ICON_H

#include <cstdint>
#include <string>
#include <vector>

// The game's icon: a cream bone across a night sky with the moon above a strip of grass,
// described once as a list of shapes in a 128-unit square. The desktop's SVG file and the
// window's pixel icons are both made from that list, so they cannot drift apart.

constexpr int ICON_UNITS = 128;  // the picture's square, in SVG viewBox units

// The SVG text of the picture: the same bytes on every run.
std::string iconSvg();

// The picture drawn at `size` x `size` pixels (size >= 1), rows from the top, each pixel
// 0xAARRGGBB with straight (not premultiplied) alpha, as _NET_WM_ICON holds it. Edges are
// smoothed by 8 x 8 samples a pixel; outside the rounded tile it is transparent.
std::vector<std::uint32_t> iconPixels(int size);

#endif
