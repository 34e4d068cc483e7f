#include "bench/bench_pictures.h"

#include <algorithm>
#include <cmath>

#include "editor/shapes/set_palette.h"

namespace bench {

BYTE Clamp(double v) { return static_cast<BYTE>(std::clamp(v, 0.0, 255.0)); }

std::vector<std::uint32_t> PhotoLike(int width, int height, std::uint32_t seed) {
  Random random(seed);
  double base[3], dx[3], dy[3], wave[3];
  for (int c = 0; c < 3; ++c) {
    base[c] = 40 + random.Unit() * 150;
    dx[c] = (random.Unit() - 0.5) * 200;
    dy[c] = (random.Unit() - 0.5) * 200;
    wave[c] = random.Unit() * 40;
  }
  struct Shape {
    double cx, cy, radius, shift[3];
  } shapes[4];
  for (Shape& s : shapes) {
    s.cx = random.Unit();
    s.cy = random.Unit();
    s.radius = 0.05 + random.Unit() * 0.25;
    for (double& v : s.shift) v = (random.Unit() - 0.5) * 160;
  }
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width;
      const double v = double(y) / height;
      double rgb[3];
      for (int c = 0; c < 3; ++c) rgb[c] = base[c] + dx[c] * u + dy[c] * v + wave[c] * std::sin(7 * u + 5 * v + c);
      for (const Shape& s : shapes)
        if ((u - s.cx) * (u - s.cx) + (v - s.cy) * (v - s.cy) < s.radius * s.radius)
          for (int c = 0; c < 3; ++c) rgb[c] += s.shift[c];
      const double grain = (static_cast<int>(random.Next() % 25) - 12);
      pixels[static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          PaletteEntry(Clamp(rgb[0] + grain), Clamp(rgb[1] + grain), Clamp(rgb[2] + grain));
    }
  }
  return pixels;
}

}  // namespace bench
