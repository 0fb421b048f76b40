// The classic icon format: device-independent bitmaps (colour image and
// 1-bit AND mask), gathered in a .ico file, and the directory that a
// resource group of the same images carries.
#pragma once

#include <cstdint>
#include <vector>

#include "ProductArt.h"

struct IconImage {
  int size = 0;
  int bitsPerPixel = 0;
  std::vector<std::uint8_t> dib;  // header, colour table, colour bits, mask bits
};

// bitsPerPixel is 4 (classic colours), 8 (fitted 256-colour table) or 32
// (BGRA with alpha).
IconImage encodeIconImage(const Artwork& art, int bitsPerPixel);

std::vector<std::uint8_t> iconFile(const std::vector<IconImage>& images);

// The icon group directory whose entries name the images as the resource
// ids firstId, firstId + 1, ... in the order given.
std::vector<std::uint8_t> iconGroup(const std::vector<IconImage>& images, unsigned firstId);
