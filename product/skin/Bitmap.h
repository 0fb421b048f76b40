// A true-colour picture in memory, top row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace skin {

struct Rgb {
  uint8_t red, green, blue;
};

inline bool operator==(Rgb a, Rgb b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

class Bitmap {
 public:
  Bitmap(int width, int height, Rgb fill)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

  // Points outside the picture are ignored, so shapes may overhang.
  void Set(int x, int y, Rgb colour) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
      pixels_[static_cast<size_t>(y) * width_ + x] = colour;
    }
  }
  // Right and bottom are exclusive.
  void Fill(int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) Set(x, y, colour);
    }
  }

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

}  // namespace skin
