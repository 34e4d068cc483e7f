#include "tools/make_art/layer.h"

#include <gtest/gtest.h>

namespace make_art {
namespace {

constexpr Rgb kBackground{100, 100, 100};
constexpr Rgb kInk{200, 50, 50};
constexpr Rgb kOutline{0, 0, 0};

TEST(Layer, OutlinesCoveredPixelsOnAllEightSides) {
  Layer layer(5, 5);
  layer.Set(2, 2, 0, kInk);
  Canvas canvas(5, 5, kBackground);
  layer.Composite(canvas, {.outline = kOutline, .shadowColour = {}});
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      const bool centre = x == 2 && y == 2;
      const bool ring = !centre && x >= 1 && x <= 3 && y >= 1 && y <= 3;
      const Rgb want = centre ? kInk : ring ? kOutline : kBackground;
      EXPECT_EQ(canvas.At(x, y), want) << x << "," << y;
    }
}

TEST(Layer, DarkensAnEdgedPartOnlyWhereAPartBehindItTouches) {
  Layer layer(6, 1);
  for (int x = 0; x < 3; ++x) layer.Set(x, 0, 0, kInk);  // in front, edged
  for (int x = 3; x < 6; ++x) layer.Set(x, 0, 1, kInk);  // behind
  Canvas canvas(6, 1, kBackground);
  layer.Composite(canvas,
                  {.outline = kOutline, .edgedParts = {true, false}, .innerEdgeShade = 0.5, .shadowColour = {}});
  EXPECT_EQ(canvas.At(0, 0), kInk);
  EXPECT_EQ(canvas.At(1, 0), kInk);
  EXPECT_EQ(canvas.At(2, 0), Shade(kInk, 0.5)) << "the front part's pixel next to the part behind";
  EXPECT_EQ(canvas.At(3, 0), kInk) << "the part behind keeps its colour";
}

TEST(Layer, CastsItsShadowOnlyOnUncoveredPixels) {
  Layer layer(4, 4);
  layer.Set(0, 0, 0, kInk);
  layer.Set(1, 1, 0, kInk);
  Canvas canvas(4, 4, kBackground);
  layer.Composite(
      canvas, {.outline = kOutline, .shadowDx = 2, .shadowDy = 2, .shadowColour = {0, 0, 0}, .shadowStrength = 0.5});
  EXPECT_EQ(canvas.At(1, 1), kInk) << "covered by the layer itself";
  EXPECT_EQ(canvas.At(3, 3), Shade(kBackground, 0.5)) << "(1, 1) moved by (2, 2), beyond the outline";
}

}  // namespace
}  // namespace make_art
