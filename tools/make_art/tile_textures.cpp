#include "tools/make_art/tile_textures.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/make_art/hash_noise.h"

namespace make_art {
namespace {

constexpr int N = kTextureSize;

using Texels = std::vector<Rgb>;  // N x N, top row first

// The face of a tile that has no texture yet: plain slate.
Rgb Blank(int, int) { return {62, 68, 88}; }

Rgb Grass(int x, int y) {
  const Rgb base{92, 156, 66}, dark{58, 112, 50}, light{148, 196, 86};
  const double h = Hash01(x, y, 11);
  // Tufts: a dark blade with a light tip above it.
  if (Hash01(x, y + 1, 11) < 0.16) return light;
  if (h < 0.16 || Hash01(x, y - 1, 11) < 0.16) return dark;
  return base;
}

Rgb Brick(int x, int y) {
  const Rgb mortar{198, 184, 160};
  if (y % 4 == 3) return mortar;
  const int shift = (y / 4) % 2 ? 4 : 0;
  if ((x + shift) % 8 == 7) return mortar;
  const int brick = (x + shift) / 8 + 3 * (y / 4);
  const double tone = 0.88 + 0.22 * Hash01(brick, 5, 3);
  Rgb c = Shade({172, 74, 54}, tone);
  if (y % 4 == 0) c = Shade(c, 1.15);
  return c;
}

Rgb Water(int x, int y) {
  const Rgb deep{44, 98, 172}, crest{132, 190, 236}, mid{70, 134, 206};
  const int wave = static_cast<int>(std::lround(1.5 * std::sin((x + 0.5) * 2 * 3.14159265 / 8)));
  const int row = (y + wave) % 6;
  if ((row + 6) % 6 == 0) return crest;
  if ((row + 6) % 6 == 1) return mid;
  return deep;
}

Rgb Cobble(int x, int y) {
  // Stones on a jittered 4 x 4 grid; each texel belongs to its nearest stone
  // centre, and texels almost as near to a second centre are mortar.
  double best = 1e9, second = 1e9;
  int stone = 0;
  for (int gy = -1; gy <= 4; ++gy)
    for (int gx = -1; gx <= 4; ++gx) {
      const int sx = (gx + 4) % 4, sy = (gy + 4) % 4;  // cells repeat, so neighbouring tiles meet
      const double cx = gx * 4 + 0.8 + 2.4 * Hash01(sx, sy, 21);
      const double cy = gy * 4 + 0.8 + 2.4 * Hash01(sx, sy, 22);
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      if (d < best) {
        second = best;
        best = d;
        stone = sx + 4 * sy;
      } else if (d < second) {
        second = d;
      }
    }
  if (second - best < 0.9) return {78, 78, 90};
  return Shade({138, 136, 146}, 0.85 + 0.3 * Hash01(stone, 1, 23));
}

Rgb Planks(int x, int y) {
  const int plank = x / 4;
  if (x % 4 == 3) return {88, 56, 30};
  Rgb c = plank % 2 ? Rgb{170, 116, 62} : Rgb{154, 102, 54};
  if ((y + plank * 5) % 7 == 0 && x % 4 == 1) c = {118, 78, 40};  // a knot of grain
  if ((y + plank * 3) % 11 == 4) return {88, 56, 30};             // the end of a board
  return c;
}

Rgb Sand(int x, int y) {
  const int ripple = (x + 2 * y + static_cast<int>(2 * std::sin(y * 0.9))) % 8;
  if (ripple == 0) return {196, 164, 104};
  if (ripple == 1) return {236, 214, 156};
  return {222, 196, 134};
}

Rgb Lava(int x, int y) {
  const double a = std::sin(x * 0.9 + std::sin(y * 0.7) * 2.0) + std::cos(y * 0.8 - x * 0.3);
  if (std::fabs(a) < 0.35) return {255, 214, 96};
  if (std::fabs(a) < 0.75) return {240, 120, 36};
  return Shade({70, 30, 26}, 0.9 + 0.2 * Hash01(x / 2, y / 2, 31));
}

Rgb Metal(int x, int y) {
  const Rgb base{148, 158, 172};
  if ((x == 2 || x == 13) && (y == 2 || y == 13)) return {230, 234, 240};  // rivets
  if ((x == 3 || x == 14) && (y == 3 || y == 14)) return {90, 96, 108};
  // Raised tread diamonds.
  const int a = (x + y) % 6, b = (x - y + 60) % 6;
  if (x > 3 && x < 12 && y > 3 && y < 12 && a == 0 && b < 3) return {196, 204, 214};
  if (x > 3 && x < 12 && y > 3 && y < 12 && a == 1 && b < 3) return {100, 108, 120};
  return base;
}

Rgb Gold(int x, int y) {
  // Four gold plates with a bright rim, the tile the kestrel lands on.
  const int lx = x % 8, ly = y % 8;
  if (lx == 0 || ly == 0) return {255, 236, 140};
  if (lx == 7 || ly == 7) return {168, 100, 28};
  const double t = (lx + ly) / 14.0;
  return Mix({250, 204, 84}, {214, 140, 40}, t);
}

Texels Build(const std::function<Rgb(int, int)>& texel) {
  Texels t(N * N);
  for (int y = 0; y < N; ++y)
    for (int x = 0; x < N; ++x) {
      Rgb c = texel(x, y);
      // A bevel on every tile, so the floor reads as a grid of tiles.
      if (x == 0 || y == 0) c = Shade(c, 1.28);
      if (x == N - 1 || y == N - 1) c = Shade(c, 0.55);
      t[y * N + x] = c;
    }
  return t;
}

struct Pyramid {
  std::array<Texels, kTextureLevels> levels;
};

Pyramid MakePyramid(const std::function<Rgb(int, int)>& texel) {
  Pyramid p;
  p.levels[0] = Build(texel);
  for (int level = 1; level < kTextureLevels; ++level) {
    const int size = N >> level;
    const Texels& up = p.levels[level - 1];
    Texels& t = p.levels[level];
    t.resize(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        int r = 0, g = 0, b = 0;
        for (int k = 0; k < 4; ++k) {
          const Rgb c = up[(2 * y + k / 2) * (2 * size) + 2 * x + k % 2];
          r += c.r;
          g += c.g;
          b += c.b;
        }
        t[y * size + x] = {static_cast<std::uint8_t>(r / 4), static_cast<std::uint8_t>(g / 4),
                           static_cast<std::uint8_t>(b / 4)};
      }
  }
  return p;
}

const Pyramid& PyramidOf(Material material) {
  static const std::array<Pyramid, 10> pyramids = {
      MakePyramid(Blank),  MakePyramid(Grass), MakePyramid(Brick), MakePyramid(Water), MakePyramid(Cobble),
      MakePyramid(Planks), MakePyramid(Sand),  MakePyramid(Lava),  MakePyramid(Metal), MakePyramid(Gold)};
  return pyramids[static_cast<std::size_t>(material)];
}

}  // namespace

Rgb SampleTexture(Material material, double u, double v, int level) {
  level = std::clamp(level, 0, kTextureLevels - 1);
  const int size = N >> level;
  const int x = std::clamp(static_cast<int>(u * size), 0, size - 1);
  const int y = std::clamp(static_cast<int>(v * size), 0, size - 1);
  return PyramidOf(material).levels[level][static_cast<std::size_t>(y) * size + x];
}

}  // namespace make_art
