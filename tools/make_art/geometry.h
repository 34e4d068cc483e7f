#pragma once
// The small amount of plane geometry the pictures need: points, a similarity
// transform from a shape's own coordinates to the picture, and inside tests
// for polygons and ellipses.

#include <cmath>
#include <span>

namespace make_art {

constexpr double kPi = 3.14159265358979323846;

struct Vec {
  double x = 0;
  double y = 0;
};

inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline Vec operator*(Vec a, double s) { return {a.x * s, a.y * s}; }
inline double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
inline Vec Rotate(Vec v, double radians) {
  const double c = std::cos(radians), s = std::sin(radians);
  return {v.x * c - v.y * s, v.x * s + v.y * c};
}
inline Vec Lerp(Vec a, Vec b, double t) { return a + (b - a) * t; }
inline Vec FromAngle(double radians) { return {std::cos(radians), std::sin(radians)}; }

// Maps a figure's own coordinates (x forward, y up, unit = `scale` pixels)
// to picture pixels (y down): shortened along x by `stretch` (a figure seen
// end-on), mirrored left to right when `mirror` is set, turned by `angle`
// (radians, counter-clockwise as seen on the screen), and flattened
// vertically by `squash` (a figure lying on a plane seen at a low angle).
struct Placement {
  Vec origin;
  double scale = 1;
  double angle = 0;
  bool mirror = false;
  double stretch = 1;
  double squash = 1;

  Vec ToLocal(Vec pixel) const {
    Vec v = (pixel - origin) * (1.0 / scale);
    v.y = -v.y / squash;
    v = Rotate(v, -angle);
    if (mirror) v.x = -v.x;
    v.x /= stretch;
    return v;
  }
  Vec ToPixel(Vec local) const {
    local.x *= stretch;
    if (mirror) local.x = -local.x;
    Vec v = Rotate(local, angle);
    v.y = -v.y * squash;
    return origin + v * scale;
  }
};

// Even-odd rule: holes and self-overlaps are left out.
bool InsidePolygon(std::span<const Vec> polygon, Vec p);

bool InsideEllipse(Vec centre, double rx, double ry, double angle, Vec p);

double DistanceToSegment(Vec a, Vec b, Vec p);

}  // namespace make_art
