// The product's picture: a blue shield, split light and dark down its
// middle, carrying a silver disk platter with a dark spindle hole.
#pragma once

#include <cstdint>
#include <vector>

struct Rgba8 {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
  std::uint8_t a;  // straight, not premultiplied
};

struct Artwork {
  int size = 0;
  // Row by row from the top, anti-aliased, for the 32-bit and 8-bit images.
  std::vector<Rgba8> pixels;
  // The same picture in classic colours without anti-aliasing, for the
  // 4-bit image: each pixel takes the part of the design covering most of
  // it. -1 is transparent.
  std::vector<int> classic;
};

// Drawn for each size rather than scaled, so that edges fall on whole
// pixels and the small sizes stay sharp.
Artwork drawProductIcon(int size);
