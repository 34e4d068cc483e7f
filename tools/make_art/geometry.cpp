#include "tools/make_art/geometry.h"

#include <algorithm>

namespace make_art {

bool InsidePolygon(std::span<const Vec> polygon, Vec p) {
  bool inside = false;
  for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
    const Vec a = polygon[i], b = polygon[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
  }
  return inside;
}

bool InsideEllipse(Vec centre, double rx, double ry, double angle, Vec p) {
  const Vec q = Rotate(p - centre, -angle);
  return (q.x * q.x) / (rx * rx) + (q.y * q.y) / (ry * ry) <= 1.0;
}

double DistanceToSegment(Vec a, Vec b, Vec p) {
  const Vec ab = b - a;
  const double len2 = Dot(ab, ab);
  const double t = len2 > 0 ? std::clamp(Dot(p - a, ab) / len2, 0.0, 1.0) : 0.0;
  const Vec d = p - (a + ab * t);
  return std::sqrt(Dot(d, d));
}

}  // namespace make_art
