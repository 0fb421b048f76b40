#include "Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

bool contains(const Polygon& polygon, Point p) {
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const Point a = polygon[i];
    const Point b = polygon[j];
    if ((a.y > p.y) != (b.y > p.y) &&
        p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) {
      inside = !inside;
    }
  }
  return inside;
}

namespace {

double distanceToSegment(Point p, Point a, Point b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

double distanceToEdge(const Polygon& polygon, Point p) {
  double nearest = std::numeric_limits<double>::max();
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    nearest = std::min(nearest, distanceToSegment(p, polygon[j], polygon[i]));
  }
  return nearest;
}

void appendCubic(Polygon& polygon, Point c1, Point c2, Point end, int steps) {
  const Point start = polygon.back();
  for (int i = 1; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double u = 1 - t;
    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    polygon.push_back({a * start.x + b * c1.x + c * c2.x + d * end.x,
                       a * start.y + b * c1.y + c * c2.y + d * end.y});
  }
}

void appendArc(Polygon& polygon, Point centre, double radius, double from, double to,
               int steps) {
  for (int i = 1; i <= steps; ++i) {
    const double angle = from + (to - from) * i / steps;
    polygon.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
  }
}
