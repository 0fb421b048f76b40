#include "ProductArt.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "Geometry.h"
#include "Palette.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
  double r, g, b;
};

Colour mix(Colour a, Colour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// What one sample point of the design shows.
struct Hit {
  bool covered = false;
  Colour colour{};
  int classic = -1;
};

class Design {
public:
  explicit Design(int size) {
    const double s = size;
    const double margin = std::round(s * 0.06);
    left_ = margin;
    right_ = s - margin;
    top_ = margin;
    tip_ = s - margin * 0.25;
    centreX_ = s / 2;
    // One pixel of edge up to 24x24; wider edges look heavy at small sizes.
    edge_ = std::max(1.0, std::floor(s / 16 + 0.25));
    detailed_ = size >= 32;

    const double height = tip_ - top_;
    const double corner = s * 0.08;
    const double shoulder = top_ + height * 0.42;
    const double bend = (tip_ - shoulder) * 0.45;
    const double pull = (right_ - left_) * 0.22;
    shield_.push_back({left_, top_ + corner});
    appendArc(shield_, {left_ + corner, top_ + corner}, corner, kPi, 1.5 * kPi, 6);
    shield_.push_back({right_ - corner, top_});
    appendArc(shield_, {right_ - corner, top_ + corner}, corner, 1.5 * kPi, 2 * kPi, 6);
    shield_.push_back({right_, shoulder});
    appendCubic(shield_, {right_, shoulder + bend}, {centreX_ + pull, tip_ - height * 0.12},
                {centreX_, tip_}, 24);
    appendCubic(shield_, {centreX_ - pull, tip_ - height * 0.12}, {left_, shoulder + bend},
                {left_, shoulder}, 24);

    // Whole-pixel centre and radius keep the platter's outermost rows crisp.
    disc_ = {centreX_, std::round(top_ + height * 0.42)};
    radius_ = std::round(s * 0.26);
    rim_ = std::max(1.0, s / 28);
    hole_ = std::max(1.0, s * 0.06);
  }

  Hit at(Point p) const {
    if (!contains(shield_, p)) return {};
    if (distanceToEdge(shield_, p) < edge_) return {true, {11, 42, 92}, kClassicBlack};

    const double dx = p.x - disc_.x, dy = p.y - disc_.y;
    const double d = std::hypot(dx, dy);
    if (d <= radius_) return platter(dx, dy, d);

    // Light falls from the upper left: the left half is the lit face.
    const double down = (p.y - top_) / (tip_ - top_);
    if (p.x < centreX_) return {true, mix({96, 166, 242}, {44, 118, 212}, down), kClassicBlue};
    return {true, mix({40, 106, 194}, {20, 72, 150}, down), kClassicNavy};
  }

private:
  Hit platter(double dx, double dy, double d) const {
    if (d > radius_ - rim_) return {true, {88, 100, 116}, kClassicGrey};
    if (d <= hole_) return {true, {16, 52, 112}, kClassicNavy};
    if (detailed_ && d <= hole_ * 2.2) return {true, {140, 152, 168}, kClassicGrey};
    if (detailed_ && std::abs(d - radius_ * 0.66) < 0.5) {
      return {true, {160, 170, 184}, kClassicGrey};
    }
    // A crescent of reflected light along the upper-left edge.
    const double shift = radius_ * 0.28;
    if (std::hypot(dx - shift, dy - shift) > radius_ * 0.97) {
      return {true, {252, 253, 255}, kClassicWhite};
    }
    const double across = (dx + dy) / (4 * radius_) + 0.5;
    return {true, mix({238, 242, 246}, {170, 182, 196}, across), kClassicSilver};
  }

  double left_, right_, top_, tip_, centreX_, edge_;
  bool detailed_;
  Polygon shield_;
  Point disc_{};
  double radius_, rim_, hole_;
};

std::uint8_t channel(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

Artwork drawProductIcon(int size) {
  const Design design(size);
  constexpr int kSamples = 8;  // per axis, per pixel
  Artwork art;
  art.size = size;
  art.pixels.reserve(static_cast<std::size_t>(size) * size);
  art.classic.reserve(static_cast<std::size_t>(size) * size);

  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double r = 0, g = 0, b = 0, covered = 0;
      std::array<int, 17> votes{};  // [0] transparent, [1 + i] classic entry i
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Hit hit = design.at({x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples});
          ++votes[static_cast<std::size_t>(hit.classic + 1)];
          if (!hit.covered) continue;
          r += hit.colour.r;
          g += hit.colour.g;
          b += hit.colour.b;
          covered += 1;
        }
      }
      const double alpha = covered / (kSamples * kSamples);
      if (covered > 0) {
        art.pixels.push_back({channel(r / covered), channel(g / covered), channel(b / covered),
                              channel(alpha * 255)});
      } else {
        art.pixels.push_back({0, 0, 0, 0});
      }
      const auto winner = std::max_element(votes.begin(), votes.end()) - votes.begin();
      art.classic.push_back(static_cast<int>(winner) - 1);
    }
  }
  return art;
}
