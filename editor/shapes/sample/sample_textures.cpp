// The four texture sets of the sample file. Each texture is a paint function
// over a 128 x 128 picture that tiles: every pattern repeats a whole number
// of times across the picture and the noise wraps at its edges.

#include <cmath>

#include "editor/shapes/sample/sample_shapes.h"

namespace sample_shapes {
namespace {

constexpr int kSize = 128;
constexpr double kPi = 3.14159265358979323846;

using PaintFunction = std::function<Paint(int, int)>;

double Frac(double v) { return v - std::floor(v); }
int Wrap(int v) { return ((v % kSize) + kSize) % kSize; }

// --- Stone and brick -------------------------------------------------------

struct BrickStyle {
  int height = 16;  // divides 128
  int width = 32;   // divides 128
  int mortar = 2;
  bool stagger = true;
  int brickRamp = 0;
  int mortarRamp = 1;
  double variation = 0.15;
  double roughness = 0.25;
  double moss = 0;  // 0: none; more: more of the mortar and brick grown over
  int mossRamp = 4;
  std::uint32_t seed = 1;
};

PaintFunction Bricks(BrickStyle s) {
  return [s](int x, int y) -> Paint {
    const Noise noise(s.seed);
    const int row = y / s.height;
    const int offset = s.stagger && row % 2 ? s.width / 2 : 0;
    const int bx = Wrap(x + offset);
    const int column = bx / s.width;
    const int lx = bx % s.width, ly = y % s.height;
    const double grain = noise.Fractal(x, y, 16, kSize, 4);
    if (s.moss > 0 && noise.Fractal(x, y, 4, kSize, 4) + grain * 0.3 > 1.05 - s.moss)
      return {s.mossRamp, 0.25 + 0.6 * noise.Fractal(x, y, 32, kSize, 3)};
    if (lx < s.mortar || ly < s.mortar) return {s.mortarRamp, 0.35 + 0.3 * grain};
    double shade = 0.55 + (noise.Hash(row, column) - 0.5) * 2 * s.variation + (grain - 0.5) * 2 * s.roughness;
    // Light from the top left: the upper and left edges of a brick catch
    // it, the lower and right ones fall into shadow.
    if (ly < s.mortar + 2 || lx < s.mortar + 2) shade += 0.15;
    if (ly >= s.height - 2 || lx >= s.width - 2) shade -= 0.2;
    return {s.brickRamp, shade};
  };
}

PaintFunction Cobbles(int cells, int stoneRamp, int groutRamp, std::uint32_t seed, double dome = 0.55) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x, y, cells, kSize, nearest, second, id);
    const double grain = noise.Fractal(x, y, 32, kSize, 3);
    if (second - nearest < 0.09) return {groutRamp, 0.2 + 0.3 * grain};
    const double tint = noise.Hash(static_cast<int>(id), 3) - 0.5;
    return {stoneRamp, 0.8 - nearest * dome + tint * 0.3 + (grain - 0.5) * 0.25};
  };
}

PaintFunction RoughStone(int ramp, std::uint32_t seed, int crackRamp, double cracks) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const double f = noise.Fractal(x, y, 4, kSize, 6);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x, y, 5, kSize, nearest, second, id);
    if (cracks > 0 && second - nearest < 0.03 * cracks + 0.1 * (noise.Value(x, y, 8, kSize) - 0.5))
      return {crackRamp, 0.15};
    const double ridge = 1 - std::abs(2 * noise.Fractal(x, y, 8, kSize, 4) - 1);
    return {ramp, 0.2 + 0.55 * f + 0.3 * ridge * ridge};
  };
}

PaintFunction Marble(int ramp, int veinRamp, int a, int b, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const double turbulence = noise.Fractal(x, y, 4, kSize, 5);
    const double wave = std::sin((x * a + y * b) * 2 * kPi / kSize + turbulence * 9);
    const double vein = std::pow(1 - std::abs(wave), 6);
    if (vein > 0.55) return {veinRamp, 0.25 + 0.3 * (1 - vein)};
    return {ramp, 0.72 + 0.2 * turbulence - 0.35 * vein};
  };
}

PaintFunction FloorTiles(int size, int tileRamp, int groutRamp, std::uint32_t seed, bool checker) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int lx = x % size, ly = y % size;
    if (lx < 2 || ly < 2) return {groutRamp, 0.3 + 0.2 * noise.Value(x, y, 32, kSize)};
    const int tx = x / size, ty = y / size;
    double shade = 0.5 + 0.3 * noise.Fractal(x, y, 8, kSize, 4) + (noise.Hash(tx, ty) - 0.5) * 0.2;
    if (checker && (tx + ty) % 2) shade -= 0.3;
    // A soft sheen across each tile.
    shade += 0.1 * (1 - (lx + ly) / double(2 * size));
    return {tileRamp, shade};
  };
}

PaintFunction Column(int ramp, int flutes, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    // Four columns side by side, each lit from the left.
    const double u = (x % 32) / 32.0;
    const double round = std::sin(u * kPi);
    const double flute = 0.5 + 0.5 * std::cos(u * 2 * kPi * flutes);
    double shade = 0.2 + 0.55 * round * (1.1 - u * 0.6) + 0.12 * flute;
    if (y % 64 < 6) shade = 0.65 - (y % 64) * 0.05;  // the joints between drums
    return {ramp, shade + 0.12 * (noise.Fractal(x, y, 16, kSize, 3) - 0.5)};
  };
}

PaintFunction Frieze(int brickRamp, int bandRamp, std::uint32_t seed) {
  const PaintFunction bricks =
      Bricks({.height = 16, .width = 32, .brickRamp = brickRamp, .mortarRamp = 1, .seed = seed});
  return [=](int x, int y) -> Paint {
    if (y < 40 || y >= 88) return bricks(x, y);
    if (y < 44 || y >= 84) return {bandRamp, y < 44 ? 0.85 : 0.2};
    // A band of raised diamonds.
    const int lx = x % 32, ly = y - 44;
    const double d = std::abs(lx - 16) + std::abs(ly - 20);
    const double shade = d < 14 ? 0.75 - (lx + ly - 36) * 0.012 : 0.35;
    return {bandRamp, d < 14 && d > 11 ? 0.95 : shade};
  };
}

std::vector<PaintFunction> StoneAndBrick() {
  std::vector<PaintFunction> t;
  t.push_back(Bricks({.seed = 1}));
  t.push_back(Bricks({.height = 16, .width = 64, .seed = 2}));
  t.push_back(Bricks({.height = 32, .width = 64, .mortar = 3, .brickRamp = 2, .roughness = 0.35, .seed = 3}));
  t.push_back(Bricks({.moss = 0.35, .seed = 4}));
  t.push_back(Bricks({.height = 16, .width = 32, .brickRamp = 3, .variation = 0.1, .seed = 5}));
  t.push_back(Bricks({.height = 32, .width = 32, .stagger = false, .brickRamp = 3, .seed = 6}));
  t.push_back(Bricks({.height = 32, .width = 64, .brickRamp = 5, .mortarRamp = 2, .roughness = 0.4, .seed = 7}));
  t.push_back(Bricks({.height = 32, .width = 64, .brickRamp = 2, .moss = 0.45, .seed = 8}));
  t.push_back(Bricks({.height = 8, .width = 32, .mortar = 1, .brickRamp = 0, .variation = 0.25, .seed = 9}));
  t.push_back(Cobbles(6, 2, 1, 10));
  t.push_back(Cobbles(10, 3, 4, 11));
  t.push_back(Cobbles(8, 5, 1, 12, 0.7));
  t.push_back(RoughStone(2, 13, 5, 1));
  t.push_back(RoughStone(5, 14, 5, 0));
  t.push_back(RoughStone(3, 15, 0, 1.5));
  t.push_back(Marble(6, 5, 1, 2, 16));
  t.push_back(Marble(6, 4, 2, 1, 17));
  t.push_back(Marble(2, 6, 1, -1, 18));
  t.push_back(FloorTiles(32, 6, 5, 19, true));
  t.push_back(FloorTiles(64, 3, 1, 20, false));
  t.push_back(FloorTiles(16, 2, 1, 21, false));
  t.push_back(Column(6, 3, 22));
  t.push_back(Column(3, 2, 23));
  t.push_back(Frieze(0, 6, 24));
  t.push_back(Frieze(2, 3, 25));
  t.push_back(Cobbles(4, 2, 4, 26, 0.8));
  t.push_back(RoughStone(4, 27, 5, 1));
  t.push_back(Bricks({.height = 16, .width = 16, .stagger = false, .brickRamp = 5, .mortarRamp = 6, .seed = 28}));
  t.push_back(Marble(3, 0, 3, 1, 29));
  t.push_back(Cobbles(16, 5, 2, 30, 0.9));
  return t;
}

// --- Metal -----------------------------------------------------------------

PaintFunction Panels(int size, int ramp, int rivetRamp, std::uint32_t seed, double rust = 0, int rustRamp = 2) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int lx = x % size, ly = y % size;
    if (rust > 0 && noise.Fractal(x, y, 4, kSize, 5) > 1 - rust)
      return {rustRamp, 0.2 + 0.7 * noise.Fractal(x, y, 32, kSize, 3)};
    // Rivets a little in from each corner.
    for (int cx : {5, size - 6})
      for (int cy : {5, size - 6}) {
        const double d = std::hypot(lx - cx, ly - cy);
        if (d < 2.6) return {rivetRamp, 0.9 - (lx - cx + ly - cy) * 0.15};
      }
    if (lx == 0 || ly == 0) return {ramp, 0.15};
    if (lx == 1 || ly == 1) return {ramp, 0.85};
    // Brushed: noise stretched along the rows.
    const double brushed = noise.Value(x, y * 16.0, 32, kSize);
    return {ramp, 0.5 + 0.15 * brushed + 0.1 * noise.Fractal(x, y, 8, kSize, 3) - 0.1 * ly / size};
  };
}

PaintFunction DiamondPlate(int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int cell = 16;
    const int lx = x % cell, ly = y % cell;
    const bool flip = ((x / cell) + (y / cell)) % 2;
    const double u = lx - 7.5, v = ly - 7.5;
    const double along = flip ? (u + v) : (u - v);
    const double across = flip ? (u - v) : (u + v);
    const bool raised = std::abs(along) < 7 && std::abs(across) < 1.8;
    double shade = 0.4 + 0.1 * noise.Fractal(x, y, 16, kSize, 3);
    if (raised) shade = across < 0 ? 0.85 : 0.6;
    return {ramp, shade};
  };
}

PaintFunction Grate(int spacing, int bar, int ramp, bool crossBars, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int lx = x % spacing, ly = y % spacing;
    const bool vertical = lx < bar;
    const bool horizontal = crossBars && ly < bar;
    if (!vertical && !horizontal) {
      // Looking through the holes into the dark below.
      return {4, 0.05 + 0.15 * noise.Value(x, y, 8, kSize)};
    }
    const double u = vertical ? (lx + 0.5) / bar : (ly + 0.5) / bar;
    return {ramp, 0.25 + 0.6 * std::sin(u * kPi) * (1.2 - u * 0.5) + 0.1 * noise.Value(x, y, 32, kSize)};
  };
}

PaintFunction Vents(int slat, int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int lx = x % 64, ly = y % 64;
    if (lx < 4 || lx >= 60 || ly < 4 || ly >= 60) return {ramp, lx < 4 || ly < 4 ? 0.8 : 0.3};
    const int s = (ly - 4) % slat;
    return {ramp, 0.95 - s * (0.8 / slat) + 0.05 * noise.Value(x, y, 16, kSize)};
  };
}

PaintFunction Corrugated(int waves, int ramp, std::uint32_t seed, double rust) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    if (rust > 0 && noise.Fractal(x, y, 4, kSize, 5) > 0.95 - rust)
      return {2, 0.25 + 0.6 * noise.Fractal(x, y, 16, kSize, 3)};
    const double wave = std::sin(x * 2 * kPi * waves / kSize);
    return {ramp, 0.5 + 0.35 * wave + 0.08 * noise.Fractal(x, y, 16, kSize, 3)};
  };
}

PaintFunction Pipes(int width, int ramp, int bandRamp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const double u = (x % width + 0.5) / width;
    const double round = std::sin(u * kPi);
    const bool band = (y + (x / width) * 23) % 64 < 6;
    return {band ? bandRamp : ramp, 0.1 + 0.8 * round * (1.15 - u * 0.5) + 0.06 * noise.Value(x, y, 16, kSize)};
  };
}

PaintFunction Hazard(int stripe, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const bool yellow = ((x + y) / stripe) % 2 == 0;
    const double wear = noise.Fractal(x, y, 8, kSize, 5);
    if (wear > 0.68) return {0, 0.4 + 0.3 * wear};  // bare metal where the paint wore off
    return {yellow ? 6 : 4, (yellow ? 0.7 : 0.15) + 0.15 * noise.Value(x, y, 32, kSize)};
  };
}

PaintFunction Mesh(int cell, int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int a = Wrap(x + y) % cell, b = Wrap(x - y) % cell;
    if (a < 2 || b < 2) return {ramp, a < 1 || b < 1 ? 0.85 : 0.55};
    return {4, 0.08 + 0.12 * noise.Value(x, y, 8, kSize)};
  };
}

std::vector<PaintFunction> Metal() {
  std::vector<PaintFunction> t;
  t.push_back(Panels(32, 0, 3, 1));
  t.push_back(Panels(64, 1, 0, 2));
  t.push_back(Panels(64, 0, 3, 3, 0.3));
  t.push_back(Panels(32, 4, 0, 4));
  t.push_back(Panels(128, 1, 3, 5, 0.45));
  t.push_back(DiamondPlate(0, 6));
  t.push_back(DiamondPlate(1, 7));
  t.push_back(DiamondPlate(3, 8));
  t.push_back(Grate(16, 4, 0, true, 9));
  t.push_back(Grate(8, 3, 4, false, 10));
  t.push_back(Grate(32, 8, 2, true, 11));
  t.push_back(Grate(16, 6, 3, false, 12));
  t.push_back(Vents(6, 0, 13));
  t.push_back(Vents(8, 1, 14));
  t.push_back(Vents(4, 4, 15));
  t.push_back(Corrugated(8, 0, 16, 0));
  t.push_back(Corrugated(16, 1, 17, 0.3));
  t.push_back(Corrugated(4, 5, 18, 0));
  t.push_back(Pipes(32, 0, 6, 19));
  t.push_back(Pipes(16, 5, 3, 20));
  t.push_back(Pipes(64, 3, 4, 21));
  t.push_back(Hazard(16, 22));
  t.push_back(Hazard(8, 23));
  t.push_back(Mesh(8, 0, 24));
  t.push_back(Mesh(16, 3, 25));
  t.push_back(Mesh(4, 1, 26));
  t.push_back(Panels(16, 5, 3, 27));
  t.push_back(Corrugated(8, 2, 28, 0.6));
  t.push_back(Panels(32, 3, 4, 29, 0.2, 5));
  t.push_back(Grate(64, 10, 1, true, 30));
  return t;
}

// --- Wood and ground --------------------------------------------------------

PaintFunction Planks(int width, int ramp, std::uint32_t seed, bool horizontal = false) {
  return [=](int px, int py) -> Paint {
    const int x = horizontal ? py : px, y = horizontal ? px : py;
    const Noise noise(seed);
    const int board = x / width, lx = x % width;
    // Boards end at a different height each.
    const int joint = static_cast<int>(noise.Hash(board, 1) * kSize);
    if (lx == 0 || (y - joint + kSize) % kSize == 0) return {ramp, 0.05};
    // Grain runs along the board: noise stretched along it.
    const double wobble = noise.Fractal(x * 4.0, y, 4, kSize, 3) * 12;
    const double rings = Frac((lx + wobble + noise.Hash(board, 2) * 20) / 7.0);
    return {ramp, 0.45 + 0.25 * rings + 0.15 * (noise.Hash(board, 3) - 0.5) - (lx == width - 1 ? 0.25 : 0)};
  };
}

PaintFunction Crate(int ramp, std::uint32_t seed) {
  const PaintFunction boards = Planks(16, ramp, seed, true);
  return [=](int x, int y) -> Paint {
    const int lx = x % 64, ly = y % 64;
    const bool frame = lx < 8 || ly < 8 || lx >= 56 || ly >= 56;
    const bool brace = std::abs(lx - ly) < 6;
    if (frame || brace) {
      const Paint p = Planks(8, 1, seed + 7)(x, y);
      return {1, p.shade + (frame ? 0.1 : 0)};
    }
    return boards(x, y);
  };
}

PaintFunction Bark(int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    // Deep grooves running down the trunk, wandering a little, between
    // plates broken across now and then.
    const double u = x + 10 * noise.Fractal(x, y, 8, kSize, 3);
    const double groove = std::abs(std::sin(u * 2 * kPi * 9 / kSize));
    const double plates = noise.Fractal(x * 4.0, y, 4, kSize, 4);
    if (groove < 0.18) return {ramp, 0.05 + groove};
    if (noise.Value(x * 2.0, y * 2.0, 16, kSize) > 0.8) return {ramp, 0.12};
    return {ramp, 0.2 + 0.55 * std::sqrt(groove) * (0.6 + 0.5 * plates) + 0.08 * noise.Value(x, y, 64, kSize)};
  };
}

PaintFunction Grass(int ramp, std::uint32_t seed, double flowers) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    // Blades: narrow streaks of light and shadow, over patches of darker
    // and lighter growth.
    const double blades = noise.Value(x * 8.0, y, 8, kSize);
    const double fine = noise.Value(x * 8.0, y * 2.0, 16, kSize);
    const double patches = noise.Fractal(x, y, 4, kSize, 4);
    if (flowers > 0 && noise.Hash(x / 4, y / 4, 5) > 1 - flowers && (x % 4) && (y % 4)) return {5, 0.95};
    return {ramp, 0.1 + 0.4 * blades + 0.25 * fine + 0.35 * patches - (fine < 0.3 ? 0.2 : 0)};
  };
}

PaintFunction Ground(int ramp, int stoneRamp, int cells, std::uint32_t seed, double stones) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x, y, cells, kSize, nearest, second, id);
    if (noise.Hash(static_cast<int>(id), 9) < stones && nearest < 0.35)
      return {stoneRamp, 0.85 - nearest * 1.6 + 0.2 * (noise.Hash(static_cast<int>(id), 4) - 0.5)};
    return {ramp, 0.25 + 0.5 * noise.Fractal(x, y, 8, kSize, 5)};
  };
}

PaintFunction Sand(int ramp, int waves, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const double ripple = std::sin((y + noise.Fractal(x, y, 4, kSize, 3) * 20) * 2 * kPi * waves / kSize);
    return {ramp, 0.55 + 0.2 * ripple + 0.15 * noise.Value(x, y, 64, kSize)};
  };
}

PaintFunction Water(int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x + noise.Value(x, y, 4, kSize) * 10, y, 6, kSize, nearest, second, id);
    const double caustic = std::pow(Clamp01(1 - (second - nearest) * 5), 3);
    return {ramp, 0.3 + 0.25 * noise.Fractal(x, y, 4, kSize, 4) + 0.45 * caustic};
  };
}

PaintFunction Leaves(int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x, y, 10, kSize, nearest, second, id);
    if (second - nearest < 0.06) return {ramp, 0.05};
    const double vein = std::abs(Frac(noise.Hash(static_cast<int>(id), 1) * 7 + (x + y) / 9.0) - 0.5) < 0.04;
    return {ramp, 0.75 - nearest * 0.7 + 0.2 * (noise.Hash(static_cast<int>(id), 2) - 0.5) + (vein ? 0.15 : 0)};
  };
}

std::vector<PaintFunction> WoodAndGround() {
  std::vector<PaintFunction> t;
  t.push_back(Planks(32, 0, 1));
  t.push_back(Planks(16, 0, 2));
  t.push_back(Planks(32, 1, 3));
  t.push_back(Planks(16, 1, 4, true));
  t.push_back(Planks(64, 0, 5, true));
  t.push_back(Crate(0, 6));
  t.push_back(Crate(1, 7));
  t.push_back(Bark(2, 8));
  t.push_back(Bark(1, 9));
  t.push_back(Bark(4, 10));
  t.push_back(Grass(3, 11, 0));
  t.push_back(Grass(3, 12, 0.03));
  t.push_back(Grass(4, 13, 0));
  t.push_back(Ground(4, 5, 12, 14, 0.2));
  t.push_back(Ground(4, 2, 16, 15, 0.5));
  t.push_back(Ground(5, 4, 8, 16, 0.3));
  t.push_back(Ground(2, 5, 20, 17, 0.9));
  t.push_back(Ground(5, 2, 24, 18, 0.95));
  t.push_back(Ground(4, 4, 10, 19, 0.8));
  t.push_back(Sand(5, 6, 20));
  t.push_back(Sand(5, 10, 21));
  t.push_back(Sand(4, 4, 22));
  t.push_back(Water(6, 23));
  t.push_back(Water(6, 24));
  t.push_back(Water(3, 25));
  t.push_back(Leaves(3, 26));
  t.push_back(Leaves(2, 27));
  t.push_back(Leaves(0, 28));
  t.push_back(Planks(8, 2, 29));
  t.push_back(Planks(8, 0, 30, true));
  return t;
}

// --- Machinery ---------------------------------------------------------------

PaintFunction TechPanel(int ramp, int lightRamp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    // Panels split in halves at random, four times over.
    int x0 = 0, y0 = 0, w = kSize, h = kSize, depth = 0;
    for (; depth < 4; ++depth) {
      const bool across = noise.Hash(x0, y0, depth * 2) < 0.5;
      if (across) {
        w /= 2;
        if (x >= x0 + w) x0 += w;
      } else {
        h /= 2;
        if (y >= y0 + h) y0 += h;
      }
    }
    const int lx = x - x0, ly = y - y0;
    if (lx == 0 || ly == 0) return {ramp, 0.9};
    if (lx == w - 1 || ly == h - 1) return {ramp, 0.1};
    const double kind = noise.Hash(x0, y0, 40);
    if (kind < 0.2 && lx > 2 && ly > 2 && lx < w - 3 && ly < h - 3)
      return {lightRamp, 0.5 + 0.5 * std::sin((lx + ly) * 0.4) * 0.5 + 0.3 * (ly % 4 == 0)};
    if (kind < 0.35 && (lx - w / 2) * (lx - w / 2) + (ly - h / 2) * (ly - h / 2) < 4) return {lightRamp, 1};
    return {ramp, 0.45 + 0.1 * noise.Value(x, y, 32, kSize) - 0.15 * (kind > 0.7)};
  };
}

PaintFunction Circuit(int baseRamp, int traceRamp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int gx = x / 8, gy = y / 8, lx = x % 8, ly = y % 8;
    const bool right = noise.Hash(gx, gy, 1) < 0.45, down = noise.Hash(gx, gy, 2) < 0.45;
    const bool pad = noise.Hash(gx, gy, 3) < 0.15;
    const bool onRight = right && ly >= 3 && ly <= 4 && lx >= 3;
    const bool onDown = down && lx >= 3 && lx <= 4 && ly >= 3;
    const bool onLeft = noise.Hash(Wrap(x - 8) / 8, gy, 1) < 0.45 && ly >= 3 && ly <= 4 && lx <= 4;
    const bool onUp = noise.Hash(gx, Wrap(y - 8) / 8, 2) < 0.45 && lx >= 3 && lx <= 4 && ly <= 4;
    if (pad && lx >= 2 && lx <= 5 && ly >= 2 && ly <= 5) return {traceRamp, lx == 2 || ly == 2 ? 1.0 : 0.75};
    if (onRight || onDown || onLeft || onUp) return {traceRamp, 0.6};
    return {baseRamp, 0.25 + 0.15 * noise.Fractal(x, y, 16, kSize, 3)};
  };
}

PaintFunction Octagons(int size, int ramp, int gapRamp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const double u = x % size - (size - 1) / 2.0, v = y % size - (size - 1) / 2.0;
    const double half = size / 2.0 - 1.5;
    const bool inside = std::abs(u) < half && std::abs(v) < half && std::abs(u) + std::abs(v) < half * 1.4;
    if (!inside) return {gapRamp, 0.35 + 0.2 * noise.Value(x, y, 16, kSize)};
    return {ramp, 0.55 - (u + v) / (4 * half) + 0.1 * noise.Fractal(x, y, 16, kSize, 3)};
  };
}

PaintFunction GlowLines(int baseRamp, int glowRamp, int spacing, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const int dx = std::min(x % spacing, spacing - x % spacing);
    const int dy = std::min(y % spacing, spacing - y % spacing);
    const int d = std::min(dx, dy);
    if (d < 4) return {glowRamp, 1.0 - d * 0.22};
    return {baseRamp, 0.15 + 0.2 * noise.Fractal(x, y, 8, kSize, 4)};
  };
}

PaintFunction Lava(int hotRamp, int crustRamp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    const double f = noise.Fractal(x, y, 4, kSize, 6);
    if (f > 0.52) return {crustRamp, 0.15 + 0.5 * noise.Fractal(x, y, 16, kSize, 3) + (f - 0.52)};
    return {hotRamp, 0.5 + (0.52 - f) * 2.5};
  };
}

PaintFunction Slime(int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x, y, 8, kSize, nearest, second, id);
    const double bubble = noise.Hash(static_cast<int>(id), 5) < 0.4 && nearest < 0.25 ? 0.3 - nearest : 0;
    return {ramp, 0.3 + 0.45 * noise.Fractal(x, y, 4, kSize, 5) + bubble * 2};
  };
}

PaintFunction Crystals(int ramp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x, y, 6, kSize, nearest, second, id);
    if (second - nearest < 0.05) return {3, 0.1};
    // Each facet leans its own way to the light.
    const double lean = noise.Hash(static_cast<int>(id), 6);
    return {ramp, 0.3 + 0.6 * lean - nearest * 0.3};
  };
}

PaintFunction Organic(int ramp, int veinRamp, std::uint32_t seed) {
  return [=](int x, int y) -> Paint {
    const Noise noise(seed);
    double nearest, second;
    std::uint32_t id;
    noise.Cells(x + 8 * noise.Value(x, y, 4, kSize), y, 5, kSize, nearest, second, id);
    if (second - nearest < 0.08) return {veinRamp, 0.8 - (second - nearest) * 5};
    return {ramp, 0.7 - nearest * 0.6 + 0.15 * noise.Fractal(x, y, 16, kSize, 3)};
  };
}

std::vector<PaintFunction> Machinery() {
  std::vector<PaintFunction> t;
  t.push_back(FloorTiles(32, 0, 3, 1, false));
  t.push_back(FloorTiles(16, 0, 3, 2, true));
  t.push_back(Octagons(32, 0, 3, 3));
  t.push_back(Octagons(16, 3, 1, 4));
  t.push_back(TechPanel(0, 1, 5));
  t.push_back(TechPanel(3, 1, 6));
  t.push_back(TechPanel(0, 6, 7));
  t.push_back(TechPanel(2, 5, 8));
  t.push_back(TechPanel(3, 4, 9));
  t.push_back(Circuit(5, 1, 10));
  t.push_back(Circuit(3, 4, 11));
  t.push_back(Circuit(2, 1, 12));
  t.push_back(GlowLines(3, 1, 32, 13));
  t.push_back(GlowLines(3, 6, 64, 14));
  t.push_back(GlowLines(2, 5, 16, 15));
  t.push_back(Lava(4, 3, 16));
  t.push_back(Lava(6, 3, 17));
  t.push_back(Lava(5, 2, 18));
  t.push_back(Slime(5, 19));
  t.push_back(Slime(2, 20));
  t.push_back(Slime(1, 21));
  t.push_back(Crystals(1, 22));
  t.push_back(Crystals(2, 23));
  t.push_back(Crystals(5, 24));
  t.push_back(Organic(2, 6, 25));
  t.push_back(Organic(5, 4, 26));
  t.push_back(Organic(6, 2, 27));
  t.push_back(Octagons(64, 2, 3, 28));
  t.push_back(Hazard(16, 29));
  t.push_back(FloorTiles(64, 3, 1, 30, false));
  return t;
}

// The ramps: each set's materials, from their darkest to brightest.
const Ramp kTextureRamps[4][kRamps] = {
    {
        {{40, 12, 8}, {150, 55, 35}, {230, 150, 120}},     // 0 brick red
        {{50, 45, 40}, {140, 130, 115}, {220, 215, 200}},  // 1 mortar
        {{30, 32, 38}, {115, 118, 125}, {215, 218, 222}},  // 2 grey stone
        {{55, 40, 15}, {180, 145, 85}, {245, 225, 175}},   // 3 sandstone
        {{10, 30, 8}, {70, 120, 40}, {170, 210, 110}},     // 4 moss
        {{15, 18, 30}, {70, 80, 105}, {165, 175, 200}},    // 5 slate
        {{90, 85, 75}, {215, 208, 190}, {252, 250, 240}},  // 6 marble
    },
    {
        {{20, 22, 25}, {120, 125, 130}, {235, 238, 240}},  // 0 steel
        {{10, 20, 40}, {70, 100, 145}, {190, 210, 240}},   // 1 blue steel
        {{40, 12, 2}, {150, 70, 25}, {230, 150, 80}},      // 2 rust
        {{45, 30, 5}, {180, 140, 50}, {250, 230, 140}},    // 3 brass
        {{5, 5, 8}, {45, 47, 52}, {120, 125, 132}},        // 4 gunmetal
        {{10, 35, 30}, {60, 140, 115}, {170, 230, 205}},   // 5 patina
        {{60, 45, 0}, {220, 180, 20}, {255, 245, 140}},    // 6 hazard yellow
    },
    {
        {{55, 30, 10}, {175, 120, 60}, {240, 200, 140}},   // 0 pine
        {{20, 10, 5}, {95, 55, 30}, {180, 120, 75}},       // 1 walnut
        {{15, 10, 8}, {80, 62, 45}, {165, 140, 110}},      // 2 bark
        {{10, 35, 5}, {60, 130, 35}, {170, 220, 90}},      // 3 grass
        {{25, 15, 8}, {110, 80, 50}, {190, 160, 120}},     // 4 dirt
        {{70, 55, 30}, {200, 175, 120}, {250, 240, 200}},  // 5 sand
        {{5, 20, 45}, {30, 100, 160}, {170, 225, 250}},    // 6 water
    },
    {
        {{30, 32, 36}, {140, 145, 152}, {240, 242, 245}},  // 0 panel white
        {{0, 30, 40}, {20, 170, 200}, {200, 255, 255}},    // 1 cyan glow
        {{25, 8, 35}, {110, 50, 150}, {220, 170, 250}},    // 2 alien purple
        {{3, 4, 10}, {25, 30, 50}, {80, 90, 130}},         // 3 deep blue-black
        {{50, 5, 0}, {230, 100, 10}, {255, 240, 150}},     // 4 lava orange
        {{5, 30, 0}, {80, 190, 20}, {210, 255, 150}},      // 5 toxic green
        {{40, 0, 5}, {200, 20, 30}, {255, 170, 160}},      // 6 warning red
    },
};

}  // namespace

const Ramp (&TextureRamps(int set))[kRamps] { return kTextureRamps[set]; }

std::vector<std::function<Paint(int, int)>> Textures(int set) {
  using Maker = std::vector<PaintFunction> (*)();
  static constexpr Maker kMakers[] = {StoneAndBrick, Metal, WoodAndGround, Machinery};
  return kMakers[set]();
}

}  // namespace sample_shapes
