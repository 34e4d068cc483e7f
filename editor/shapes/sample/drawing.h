#pragma once
// The small drawing kit behind the sample pictures: palettes made of ramps
// of shades, tileable noise, and pictures painted as (ramp, shade) per pixel.

#include <cstdint>
#include <functional>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "platform/base/win_types.h"

namespace sample_shapes {

// A colour as shown on screen, channels 0 to 255.
struct Shown {
  double red = 0;
  double green = 0;
  double blue = 0;
};

// Shades of one material from its darkest to its brightest colour.
struct Ramp {
  Shown dark;
  Shown middle;
  Shown light;
};

// Every picture uses at most entries 0 to 230: the editor shows higher ones
// as entry 230. Seven ramps of 33 shades fill exactly that much.
constexpr int kRamps = 7;
constexpr int kShades = 33;

// The colour table of a set: the seven ramps, each colour stored so that the
// editor's gamma curve (on by default) shows it as designed, then `count` -
// 231 extra colours (for 256-colour sets) that no picture uses. The 16-bit
// channels are value x 257, as a 16-bit colour system stores 8-bit values.
std::vector<ColourEntry> RampPalette(const Ramp (&ramps)[kRamps], int count);

// What a picture shows at one pixel: a ramp and a shade from 0 (darkest) to
// 1 (brightest).
struct Paint {
  int ramp = 0;
  double shade = 0;
};

// Palette index of a paint at pixel (x, y), with ordered dithering between
// neighbouring shades so that gradients do not band.
BYTE IndexOf(Paint paint, int x, int y);

// Tileable value noise: `cells` lattice cells across `period` pixels in
// both directions, smoothly interpolated, values 0 to 1.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : m_seed(seed) {}
  double Value(double x, double y, int cells, int period) const;
  // Octaves of Value, each with twice the cells and half the weight.
  double Fractal(double x, double y, int cells, int period, int octaves) const;
  // Distances to the nearest and second-nearest of `cells` x `cells`
  // jittered points (one per cell), in cell units; tileable like Value.
  void Cells(double x, double y, int cells, int period, double& nearest, double& second, std::uint32_t& id) const;
  // A hash of integers, 0 to 1.
  double Hash(int a, int b, int c = 0) const {
    std::uint32_t h = m_seed * 0x9E3779B9u + static_cast<std::uint32_t>(a) * 0x85EBCA6Bu +
                      static_cast<std::uint32_t>(b) * 0xC2B2AE35u + static_cast<std::uint32_t>(c) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
  }

 private:
  std::uint32_t m_seed;
};

// A picture of width x height pixels drawn by `paint(x, y)`, y = 0 at the
// top, as the shapes file stores it: with `columns`, column by column from
// the left, each top down; otherwise row by row from the bottom.
std::vector<BYTE> Draw(int width, int height, bool columns, const std::function<Paint(int, int)>& paint);

double Clamp01(double v);
double Smooth(double edge0, double edge1, double v);

}  // namespace sample_shapes
