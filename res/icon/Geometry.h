// Outlines in pixel coordinates (y down), flattened to polygons so that a
// sample is either inside a shape or not.
#pragma once

#include <vector>

struct Point {
  double x;
  double y;
};

using Polygon = std::vector<Point>;

// Even-odd rule; the polygon closes itself.
bool contains(const Polygon& polygon, Point p);
// Distance from p to the nearest edge of the closed polygon.
double distanceToEdge(const Polygon& polygon, Point p);
// Append a cubic curve from the polygon's last point through c1, c2 to end.
void appendCubic(Polygon& polygon, Point c1, Point c2, Point end, int steps);
// Append an arc around centre, angles in radians (y down, so positive turns
// clockwise on screen), excluding its starting point.
void appendArc(Polygon& polygon, Point centre, double radius, double from, double to,
               int steps);
