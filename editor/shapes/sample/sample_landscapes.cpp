// The four landscapes of the sample file: 512 x 270 panoramas, sky above and
// land below, that join up at their left and right edges.

#include <algorithm>
#include <cmath>

#include "editor/shapes/sample/sample_shapes.h"
#include "editor/shapes/set_kinds.h"

namespace sample_shapes {
namespace {

constexpr int kWidth = kLandscapeWidth;
constexpr int kHeight = kLandscapeHeight;

// Ramps of every landscape: sky, clouds, far range, middle hills, near
// ground, and two of the scene's own.
enum LandscapeRamp { Sky, Cloud, Far, Middle, Near, ExtraA, ExtraB };

// A ridge line across the panorama: its height above the bottom at column x.
double Ridge(const Noise& noise, int x, double base, double amplitude, int cells, int row) {
  return base + amplitude * (noise.Fractal(x, row, cells, kWidth, 5) - 0.5) * 2;
}

// Distance in pixels, across the wrap, between columns a and b.
double Across(double a, double b) {
  const double d = std::abs(a - b);
  return std::min(d, kWidth - d);
}

struct Scene {
  std::uint32_t seed;
  double skyTop, skyHorizon;  // sky shades at the top and at the horizon
  double cloudCover;          // 0: none
  double sunX, sunY, sunRadius;
  int sunRamp;
  bool stars;
  double farBase, farAmplitude;  // heights above the bottom
  double middleBase, middleAmplitude;
  double nearBase, nearAmplitude;
  double farLight, middleLight, nearLight;  // how bright each layer is
  bool snow;
  bool water;  // a lake in front of the near ground
  bool mesas;  // flat-topped far range
};

Paint PaintScene(const Scene& s, int x, int y) {
  const Noise noise(s.seed);
  const double height = kHeight - y;  // above the bottom
  const double grain = noise.Fractal(x, y, 64, kWidth, 3);

  const double nearTop = Ridge(noise, x, s.nearBase, s.nearAmplitude, 16, 300) +
                         6 * noise.Value(x, 301, 128, kWidth);  // bushes along the crest
  if (s.water && height < s.nearBase - s.nearAmplitude - 4) {
    // The lake: streaks of reflected sky, darker towards the viewer.
    const double streak = noise.Value(x, y * 24.0, 8, kWidth);
    return {ExtraB, 0.25 + 0.35 * streak + height / kHeight};
  }
  if (height < nearTop) return {Near, s.nearLight * (0.5 + 0.4 * grain) + (nearTop - height < 3 ? 0.15 : 0)};

  const double middleTop = Ridge(noise, x, s.middleBase, s.middleAmplitude, 4, 200);
  if (height < middleTop) {
    const double fields = noise.Fractal(x, y * 3.0, 8, kWidth, 4);
    return {Middle, s.middleLight * (0.55 + 0.35 * fields + 0.2 * (height - middleTop + 40) / 40)};
  }

  auto farRidge = [&](int column) {
    if (!s.mesas) return Ridge(noise, column, s.farBase, s.farAmplitude, 6, 100);
    return s.farBase + s.farAmplitude * (Smooth(0.45, 0.5, noise.Fractal(column, 100, 4, kWidth, 3)) - 0.5);
  };
  const double farTop = farRidge(x);
  if (height < farTop) {
    // Lit from the left: faces where the ridge falls to the right are in
    // shadow, faces where it rises catch the light.
    const double slope = (farRidge(x + 3) - farRidge(x - 3)) / 6;
    const double depth = farTop - height;
    // Gullies run down and across the faces; the ridge's own slope tells
    // near its crest and fades further down.
    const double gullies = 1 - std::abs(2 * noise.Fractal(x + y, y * 2.0, 16, kWidth, 4) - 1);
    const double rock = noise.Fractal(x, y, 32, kWidth, 4);
    const double light = std::clamp(slope * 0.8, -0.3, 0.3) * std::exp(-depth / 30) + 0.25 * (gullies - 0.5);
    const double snowLine = s.farBase + s.farAmplitude * 0.1 + 14 * (rock - 0.5) + 10 * gullies;
    if (s.snow && height > snowLine) return {Cloud, 0.72 + 0.15 * rock + light * 0.6};
    return {Far, s.farLight * (0.5 + 0.2 * rock + light) - depth * 0.002};
  }

  // The sky.
  const double sunDistance = std::hypot(Across(x, s.sunX), y - s.sunY);
  if (sunDistance < s.sunRadius) {
    // The moon has dark seas; the sun is plain.
    const double sea = s.stars ? noise.Fractal(x, y, 32, kWidth, 3) : 0;
    return {s.sunRamp, 1.0 - sea * 0.5 - sunDistance / s.sunRadius * 0.1};
  }
  if (s.stars && noise.Hash(x, y, 7) > 0.9965) return {s.sunRamp, 0.7 + noise.Hash(x, y, 8) * 0.3};
  const double toHorizon = Clamp01(y / (kHeight - s.farBase));
  double shade = s.skyTop + (s.skyHorizon - s.skyTop) * toHorizon * toHorizon;
  shade += 0.25 * Clamp01(1 - sunDistance / (s.sunRadius * 5));  // the glow around the sun
  if (s.cloudCover > 0) {
    const double cloud = noise.Fractal(x, y * 2.5, 4, kWidth, 6);
    const double amount = Smooth(1 - s.cloudCover, 1 - s.cloudCover + 0.12, cloud);
    if (amount > 0.5)
      return {Cloud, 0.45 + 0.5 * cloud + (noise.Fractal(x, y * 2.5 - 4, 4, kWidth, 6) - cloud) * 3};
  }
  return {Sky, shade + (grain - 0.5) * 0.04};
}

const Scene kScenes[4] = {
    // Day: blue sky with clouds, snowy range, green hills.
    {11, 0.45, 0.9, 0.45, 400,  40,  14,   ExtraA, false, 125,  45,
     95, 22,   55,  12,   0.95, 0.9, 0.85, true,    false, false},
    // Dusk: glowing sky, sun at the horizon, dark hills over a lake.
    {22, 0.2, 0.95, 0.25, 150, 118,  20,   ExtraA, false, 120,  30,
     85, 18,  60,   8,    0.6, 0.55, 0.45, false,   true,  false},
    // Night: stars and the moon over dark hills.
    {33, 0.1, 0.45, 0.0, 330, 55,  16,  ExtraA, true,  130,  40,
     90, 20,  55,   14,  0.6, 0.6, 0.5, false,   false, false},
    // Desert: pale hot sky, mesas and dunes.
    {44, 0.55, 0.95, 0.15, 90,  30,   18,  ExtraA, false, 140, 45,
     90, 14,   50,   10,   0.9, 0.95, 0.9, false,   false, true},
};

const Ramp kLandscapeRamps[4][kRamps] = {
    {
        {{20, 50, 120}, {80, 140, 215}, {210, 230, 250}},    // sky
        {{90, 95, 110}, {200, 205, 215}, {255, 255, 255}},   // clouds and snow
        {{40, 50, 75}, {105, 120, 150}, {185, 195, 215}},    // far range
        {{25, 55, 20}, {80, 140, 55}, {180, 215, 120}},      // hills
        {{8, 22, 8}, {35, 75, 30}, {100, 150, 70}},          // near woods
        {{200, 180, 90}, {255, 240, 170}, {255, 255, 235}},  // sun
        {{20, 40, 70}, {60, 100, 150}, {150, 190, 230}},     // water
    },
    {
        {{40, 20, 70}, {200, 90, 80}, {255, 200, 110}},      // sky, purple to orange
        {{70, 30, 60}, {220, 110, 120}, {255, 200, 170}},    // clouds
        {{30, 15, 45}, {90, 45, 90}, {160, 90, 130}},        // far range
        {{15, 10, 20}, {55, 35, 45}, {120, 80, 80}},         // hills
        {{5, 4, 8}, {25, 18, 22}, {70, 50, 50}},             // near ground
        {{230, 120, 40}, {255, 210, 110}, {255, 250, 220}},  // sun
        {{30, 15, 40}, {170, 80, 70}, {255, 190, 110}},      // lake
    },
    {
        {{2, 4, 15}, {15, 25, 60}, {60, 80, 130}},            // sky
        {{20, 25, 40}, {70, 80, 100}, {150, 160, 180}},       // haze
        {{5, 8, 18}, {25, 32, 55}, {70, 80, 110}},            // far range
        {{3, 10, 10}, {15, 35, 35}, {50, 80, 75}},            // hills
        {{1, 4, 3}, {8, 18, 15}, {30, 50, 40}},               // near ground
        {{120, 125, 140}, {220, 225, 235}, {255, 255, 250}},  // moon and stars
        {{5, 10, 20}, {20, 35, 60}, {80, 100, 140}},          // water
    },
    {
        {{120, 70, 40}, {230, 170, 110}, {255, 235, 190}},    // sky
        {{150, 110, 90}, {240, 210, 180}, {255, 250, 235}},   // clouds
        {{80, 35, 20}, {170, 90, 50}, {235, 160, 110}},       // mesas
        {{110, 70, 30}, {200, 150, 80}, {250, 220, 150}},     // dunes
        {{90, 55, 25}, {180, 125, 65}, {240, 200, 130}},      // near sand
        {{250, 220, 150}, {255, 245, 210}, {255, 255, 245}},  // sun
        {{60, 40, 30}, {130, 100, 80}, {200, 180, 160}},      // rock
    },
};

}  // namespace

const Ramp (&LandscapeRamps(int landscape))[kRamps] { return kLandscapeRamps[landscape]; }

std::function<Paint(int, int)> Landscape(int landscape) {
  const Scene scene = kScenes[landscape];
  return [scene](int x, int y) { return PaintScene(scene, x, y); };
}

}  // namespace sample_shapes
