// Colour tables of the palette images: the fixed 16 colours every display
// can show, and a 256-colour table fitted to one picture.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb8 {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
};

// The standard 16-colour order, so that a 4-bit image looks the same on a
// 16-colour display, which uses this table whatever the file says.
const std::array<Rgb8, 16>& classicPalette();

// Names of the classic entries the artwork uses.
enum Classic : int {
  kClassicBlack = 0,
  kClassicNavy = 4,
  kClassicSilver = 7,
  kClassicGrey = 8,
  kClassicBlue = 12,
  kClassicWhite = 15,
};

// At most maxColours colours that stand for the given ones (median cut,
// weighted by how often each colour occurs); exact when few enough.
std::vector<Rgb8> fitPalette(const std::vector<Rgb8>& colours, std::size_t maxColours);

std::size_t nearestEntry(const std::vector<Rgb8>& palette, Rgb8 colour);
