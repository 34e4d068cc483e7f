#include "tools/make_art/landscape.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "tools/make_art/hash_noise.h"
#include "tools/make_art/tile_textures.h"

namespace make_art {
namespace {

constexpr double kFocal = 128;      // pixels
constexpr double kCentreX = 128;    // pixel column straight ahead
constexpr double kHorizon = 60;     // pixel row of the horizon
constexpr double kEyeHeight = 1.5;  // world units
constexpr double kBottomRow = 128;  // the picture's height

constexpr Rgb kHaze{226, 196, 178};
constexpr Rgb kGap{24, 26, 38};

struct SkyStop {
  double y;
  Rgb colour;
};
// clang-format off
constexpr SkyStop kSky[] = {
    {0, {30, 40, 98}}, {22, {58, 88, 164}}, {38, {112, 134, 196}}, {50, {210, 170, 178}}, {60, {250, 212, 164}}};

Rgb SkyAt(double y) {
  for (std::size_t i = 1; i < std::size(kSky); ++i)
    if (y <= kSky[i].y) return Mix(kSky[i - 1].colour, kSky[i].colour, (y - kSky[i - 1].y) / (kSky[i].y - kSky[i - 1].y));
  return kSky[std::size(kSky) - 1].colour;
}
// clang-format on

void DrawSky(Canvas& canvas) {
  for (int y = 0; y < kHorizon; ++y) {
    const Rgb c = SkyAt(y + 0.5);
    for (int x = 0; x < canvas.width; ++x) canvas.At(x, y) = c;
  }
  // The last stars of the night, fainter lower down where the sky is light.
  static constexpr int kStars[][2] = {{9, 4},   {38, 8},  {61, 2},  {96, 6},   {124, 3},
                                      {158, 9}, {183, 4}, {238, 2}, {247, 19}, {72, 15}};
  for (const auto& [x, y] : kStars) canvas.At(x, y) = Mix(canvas.At(x, y), {255, 252, 230}, 0.85 - 0.025 * y);
}

void DrawSun(Canvas& canvas) {
  const Vec centre{206, 47};
  for (int y = 20; y < kHorizon; ++y)
    for (int x = 170; x < canvas.width; ++x) {
      const double d = std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y);
      if (d <= 11)
        canvas.At(x, y) = d <= 8 ? Rgb{255, 246, 206} : Rgb{255, 230, 168};
      else if (d <= 15)
        canvas.At(x, y) = Mix(canvas.At(x, y), {255, 226, 170}, 0.45);
    }
}

struct Puff {
  double x, y, r;
};

// A flat-bottomed cloud of overlapping puffs, lit from above.
void DrawCloud(Canvas& canvas, Vec at, std::span<const Puff> puffs, double base) {
  for (int y = 0; y < kHorizon; ++y)
    for (int x = 0; x < canvas.width; ++x) {
      const Vec p{x + 0.5 - at.x, y + 0.5 - at.y};
      if (p.y > base) continue;
      bool inside = false, lit = false;
      for (const Puff& puff : puffs) {
        const double d = std::hypot(p.x - puff.x, p.y - puff.y);
        if (d <= puff.r) inside = true;
        if (std::hypot(p.x - puff.x, p.y - puff.y + 1.6) <= puff.r - 0.4) lit = true;
      }
      if (!inside) continue;
      canvas.At(x, y) = p.y > base - 2.5 ? Rgb{206, 164, 190} : lit ? Rgb{255, 236, 232} : Rgb{232, 196, 214};
    }
}

void DrawClouds(Canvas& canvas, double drift) {
  static constexpr Puff kLeft[] = {{0, 0, 6}, {7, -3, 7}, {15, 0, 5}, {-7, 1, 4.5}, {21, 2, 3.5}};
  static constexpr Puff kRight[] = {{0, 0, 5}, {6, -2, 5.5}, {12, 0, 4}, {-5, 1, 3.5}};
  static constexpr Puff kSmall[] = {{0, 0, 3}, {4, -1, 3.5}, {8, 0, 2.5}};
  DrawCloud(canvas, {20 + drift, 17}, kLeft, 4);
  DrawCloud(canvas, {214 + drift * 0.7, 12}, kRight, 3.5);
  DrawCloud(canvas, {150 + drift * 0.5, 27}, kSmall, 2.5);
}

double RidgeFar(double x) {
  return kHorizon - (9 + 5 * std::sin(x * 0.029 + 1.2) + 3.5 * std::sin(x * 0.071 + 2.1) + 1.5 * std::sin(x * 0.19));
}
double RidgeNear(double x) {
  return kHorizon - (3.5 + 3.5 * std::sin(x * 0.041 + 4.0) + 2 * std::sin(x * 0.113 + 0.7) + 0.8 * std::sin(x * 0.31));
}

void DrawHills(Canvas& canvas) {
  for (int x = 0; x < canvas.width; ++x) {
    const double far = RidgeFar(x + 0.5), near = RidgeNear(x + 0.5);
    // Slopes that rise to the right face the sun.
    const bool farLit = RidgeFar(x + 1.5) > far;
    for (int y = 0; y < kHorizon; ++y) {
      if (y + 0.5 >= near) {
        canvas.At(x, y) = y + 0.5 < near + 1.2 ? Rgb{136, 110, 150} : Rgb{104, 88, 136};
      } else if (y + 0.5 >= far) {
        canvas.At(x, y) = (y + 0.5 < far + 1.2 && farLit) ? Rgb{214, 170, 176} : Rgb{160, 138, 176};
      }
    }
  }
}

// Smooth noise over the tile grid: hashed values at lattice points, blended
// with a smoothstep, so that like tiles gather into lakes, beaches, meadows
// and stony ground the way a game's map is laid out.
double RegionNoise(double x, double z) {
  const int x0 = static_cast<int>(std::floor(x)), z0 = static_cast<int>(std::floor(z));
  const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
  const double tx = smooth(x - x0), tz = smooth(z - z0);
  const double a = Hash01(x0, z0, 51), b = Hash01(x0 + 1, z0, 51), c = Hash01(x0, z0 + 1, 51),
               d = Hash01(x0 + 1, z0 + 1, 51);
  return (a * (1 - tx) + b * tx) * (1 - tz) + (c * (1 - tx) + d * tx) * tz;
}

Material FloorMaterial(int i, int j) {
  // A brick road runs from the eye to the horizon past the raised tile.
  if (i == 0) return Material::Brick;
  if (i == -1 || i == 1) {
    if (Hash01(i, j, 53) < 0.18) return Material::Metal;
    if (j % 5 == 2) return Material::Planks;
  }
  const double n = RegionNoise(i / 3.2, j / 3.2);
  if (n < 0.3) return Material::Water;
  if (n < 0.4) return Material::Sand;
  if (n < 0.66) return Material::Grass;
  if (n < 0.83) return Material::Cobble;
  return Material::Lava;
}

// When a tile turns over, in frames: the far rows first, then row by row
// towards the eye as the kestrel comes in, each tile a little early or late.
double FlipTime(int i, int j) {
  const double row = (Project({0, 0, std::max(j + 0.5, 1.0)}).y - kHorizon) / (kBottomRow - kHorizon);
  return 4.6 * std::clamp(row, 0.0, 1.0) - 0.6 + 1.0 * Hash01(i, j, 41);
}

int DetailLevel(double z) {
  const double texelsPerPixel = kTextureSize * z / kFocal * std::sqrt(z / kEyeHeight);
  if (texelsPerPixel <= 1.0) return 0;
  return std::min(kTextureLevels - 1, static_cast<int>(std::floor(std::log2(texelsPerPixel) + 0.6)));
}

double HazeAmount(double z) {
  const double h = std::clamp((z - 3.5) / 20.0, 0.0, 1.0);
  return 0.95 * std::pow(h, 0.7);
}

// A tile turning over about its middle line, seen from above: the face
// narrows to nothing and the other face widens, with the dark gap around it.
std::optional<Rgb> TurningFace(Material from, Material to, double turn, double u, double v, int level) {
  if (turn <= 0) return SampleTexture(from, u, v, level);
  if (turn >= 1) return SampleTexture(to, u, v, level);
  const double s = std::fabs(std::cos(kPi * turn));
  if (std::fabs(v - 0.5) > s / 2) return std::nullopt;
  const Material face = turn < 0.5 ? from : to;
  return Shade(SampleTexture(face, u, std::clamp(0.5 + (v - 0.5) / std::max(s, 1e-6), 0.0, 0.999), level),
               0.55 + 0.45 * s);
}

enum class Face { Top, Front, Left, Right };

struct Hit {
  double t;
  Face face;
};

// The ray from the eye along d against the raised tile (slab method).
std::optional<Hit> HitPerchTile(World d) {
  const World lo = kPerchTileCorner;
  const World hi{lo.x + 1, kPerchTileHeight, lo.z + 1};
  const World eye{0, kEyeHeight, 0};
  double tEnter = 0, tExit = 1e9;
  std::optional<Face> face;
  const double o[3] = {eye.x, eye.y, eye.z}, dir[3] = {d.x, d.y, d.z};
  const double mins[3] = {lo.x, lo.y, lo.z}, maxs[3] = {hi.x, hi.y, hi.z};
  for (int axis = 0; axis < 3; ++axis) {
    if (std::fabs(dir[axis]) < 1e-12) {
      if (o[axis] < mins[axis] || o[axis] > maxs[axis]) return std::nullopt;
      continue;
    }
    double t0 = (mins[axis] - o[axis]) / dir[axis], t1 = (maxs[axis] - o[axis]) / dir[axis];
    // Looking down and away, a ray enters through the top, the front or the
    // side that faces the eye.
    const Face enterFace = axis == 0 ? (dir[axis] > 0 ? Face::Left : Face::Right) : axis == 1 ? Face::Top : Face::Front;
    if (t0 > t1) std::swap(t0, t1);
    if (t0 > tEnter) {
      tEnter = t0;
      face = enterFace;
    }
    tExit = std::min(tExit, t1);
  }
  if (!face || tEnter > tExit) return std::nullopt;
  return Hit{tEnter, *face};
}

Rgb FloorColour(const LandscapeState& state, double x, double z) {
  const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(z));
  const double u = x - i, v = 1.0 - (z - j);
  const int level = DetailLevel(z);
  const double turn = std::clamp(state.time - FlipTime(i, j), 0.0, 1.0);
  const std::optional<Rgb> face = TurningFace(Material::Blank, FloorMaterial(i, j), turn, u, v, level);
  Rgb c = face ? *face : kGap;
  // The raised tile shades the floor just behind and to its right.
  const World corner = kPerchTileCorner;
  if (x > corner.x + 1 && x < corner.x + 1.28 && z > corner.z + 0.12 && z < corner.z + 1.1) c = Shade(c, 0.62);
  const BirdShadow& s = state.shadow;
  if (s.strength > 0) {
    const double dx = (x - s.centre.x) / s.radiusX, dz = (z - s.centre.z) / s.radiusZ;
    if (dx * dx + dz * dz <= 1) c = Mix(c, {20, 16, 30}, s.strength);
  }
  return Mix(c, kHaze, HazeAmount(j + 0.5));
}

Rgb PerchTileColour(const LandscapeState& state, World p, Face face) {
  const World lo = kPerchTileCorner;
  double u, v;
  if (face == Face::Top) {
    u = p.x - lo.x;
    v = 1.0 - (p.z - lo.z);
  } else if (face == Face::Front) {
    u = p.x - lo.x;
    v = (kPerchTileHeight - p.y) / kPerchTileHeight * 0.2;
  } else {
    u = p.z - lo.z;
    v = (kPerchTileHeight - p.y) / kPerchTileHeight * 0.2;
  }
  u = std::clamp(u, 0.0, 0.999);
  v = std::clamp(v, 0.0, 0.999);
  if (face == Face::Top) {
    const std::optional<Rgb> top = TurningFace(Material::Blank, Material::Gold, state.perchTileTurn, u, v, 0);
    return top ? *top : kGap;
  }
  // The sides show the tile's edge: gold once it has turned, slate before.
  const Material side = state.perchTileTurn >= 0.5 ? Material::Gold : Material::Blank;
  const double light = face == Face::Front ? 0.72 : face == Face::Left ? 0.86 : 0.5;
  return Shade(SampleTexture(side, u, v, 0), light);
}

void DrawFloor(Canvas& canvas, const LandscapeState& state) {
  for (int y = static_cast<int>(kHorizon); y < canvas.height; ++y)
    for (int x = 0; x < canvas.width; ++x) {
      const World d{(x + 0.5 - kCentreX) / kFocal, (kHorizon - (y + 0.5)) / kFocal, 1.0};
      const double tFloor = kEyeHeight / -d.y;
      const std::optional<Hit> hit = HitPerchTile(d);
      if (hit && hit->t < tFloor) {
        const World p{d.x * hit->t, kEyeHeight + d.y * hit->t, hit->t};
        canvas.At(x, y) = PerchTileColour(state, p, hit->face);
      } else {
        canvas.At(x, y) = FloorColour(state, d.x * tFloor, tFloor);
      }
    }
}

}  // namespace

Vec Project(World p) { return {kCentreX + kFocal * p.x / p.z, kHorizon + kFocal * (kEyeHeight - p.y) / p.z}; }

World Unproject(Vec pixel, double y) {
  const double z = kFocal * (kEyeHeight - y) / (pixel.y - kHorizon);
  return {(pixel.x - kCentreX) * z / kFocal, y, z};
}

double PixelsPerUnit(double z) { return kFocal / z; }

void DrawLandscape(Canvas& canvas, const LandscapeState& state) {
  DrawSky(canvas);
  DrawSun(canvas);
  DrawClouds(canvas, state.cloudDrift);
  DrawHills(canvas);
  DrawFloor(canvas, state);
}

}  // namespace make_art
