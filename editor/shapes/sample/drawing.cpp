#include "editor/shapes/sample/drawing.h"

#include <algorithm>
#include <cmath>

#include "editor/shapes/gamma.h"

namespace sample_shapes {
namespace {

// The stored channel value that the gamma curve shows closest to `shown`.
BYTE Stored(double shown) {
  const double target = std::clamp(shown, 0.0, 253.0);
  int best = 0;
  for (int v = 0; v < 256; ++v)
    if (std::abs(GammaCorrect(static_cast<BYTE>(v)) - target) <
        std::abs(GammaCorrect(static_cast<BYTE>(best)) - target))
      best = v;
  return static_cast<BYTE>(best);
}

Shown Mix(const Shown& a, const Shown& b, double t) {
  return {a.red + (b.red - a.red) * t, a.green + (b.green - a.green) * t, a.blue + (b.blue - a.blue) * t};
}

ColourEntry Entry(const Shown& shown) {
  const BYTE r = Stored(shown.red), g = Stored(shown.green), b = Stored(shown.blue);
  return {0x0001, static_cast<WORD>(r * 257), static_cast<WORD>(g * 257), static_cast<WORD>(b * 257)};
}

int Wrap(int v, int n) { return ((v % n) + n) % n; }

// 4 x 4 ordered dithering thresholds, -0.5 to 0.5.
constexpr double kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

std::vector<ColourEntry> RampPalette(const Ramp (&ramps)[kRamps], int count) {
  std::vector<ColourEntry> colours;
  for (const Ramp& ramp : ramps)
    for (int s = 0; s < kShades; ++s) {
      const double t = s / double(kShades - 1);
      colours.push_back(Entry(t < 0.5 ? Mix(ramp.dark, ramp.middle, t * 2) : Mix(ramp.middle, ramp.light, t * 2 - 1)));
    }
  // Colours past 230 are in the table but never in a picture: a run of
  // bright signal colours, as game palettes keep for effects.
  for (int i = kRamps * kShades; i < count; ++i) {
    const double t = (i - kRamps * kShades) / 24.0;
    colours.push_back(Entry({255, 80 + 170 * t, 40 + 60 * t}));
  }
  return colours;
}

BYTE IndexOf(Paint paint, int x, int y) {
  const double dither = (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
  const int shade =
      std::clamp(static_cast<int>(std::floor(Clamp01(paint.shade) * (kShades - 1) + 0.5 + dither)), 0, kShades - 1);
  return static_cast<BYTE>(std::clamp(paint.ramp, 0, kRamps - 1) * kShades + shade);
}

double Noise::Value(double x, double y, int cells, int period) const {
  const double u = x * cells / period;
  const double v = y * cells / period;
  const int x0 = static_cast<int>(std::floor(u));
  const int y0 = static_cast<int>(std::floor(v));
  const double fx = u - x0, fy = v - y0;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  auto at = [&](int i, int j) { return Hash(Wrap(x0 + i, cells), Wrap(y0 + j, cells), cells); };
  const double top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
  const double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
  return top + (bottom - top) * sy;
}

double Noise::Fractal(double x, double y, int cells, int period, int octaves) const {
  double sum = 0, weight = 0.5, total = 0;
  for (int o = 0; o < octaves; ++o, cells *= 2, weight *= 0.5) {
    sum += Value(x, y, cells, period) * weight;
    total += weight;
  }
  return sum / total;
}

void Noise::Cells(double x, double y, int cells, int period, double& nearest, double& second, std::uint32_t& id) const {
  const double u = x * cells / period;
  const double v = y * cells / period;
  const int cx = static_cast<int>(std::floor(u));
  const int cy = static_cast<int>(std::floor(v));
  nearest = second = 1e9;
  id = 0;
  for (int j = -1; j <= 1; ++j)
    for (int i = -1; i <= 1; ++i) {
      const int wx = Wrap(cx + i, cells), wy = Wrap(cy + j, cells);
      const double px = cx + i + 0.15 + 0.7 * Hash(wx, wy, 11);
      const double py = cy + j + 0.15 + 0.7 * Hash(wx, wy, 12);
      const double d = std::hypot(px - u, py - v);
      if (d < nearest) {
        second = nearest;
        nearest = d;
        id = static_cast<std::uint32_t>(wy * cells + wx);
      } else if (d < second) {
        second = d;
      }
    }
}

std::vector<BYTE> Draw(int width, int height, bool columns, const std::function<Paint(int, int)>& paint) {
  std::vector<BYTE> stored(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::size_t at =
          columns ? static_cast<std::size_t>(x) * static_cast<std::size_t>(height) + static_cast<std::size_t>(y)
                  : static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x);
      stored[at] = IndexOf(paint(x, y), x, y);
    }
  return stored;
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double Smooth(double edge0, double edge1, double v) {
  const double t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3 - 2 * t);
}

}  // namespace sample_shapes
