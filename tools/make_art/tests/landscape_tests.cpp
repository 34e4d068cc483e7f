#include "tools/make_art/landscape.h"

#include <gtest/gtest.h>

namespace make_art {
namespace {

TEST(Project, UnprojectFindsTheWorldPointAgain) {
  const World points[] = {{0.5, 0.32, 3.5}, {-2, 0, 4}, {3, 0.7, 9}, {0, 0, 40}};
  for (const World& w : points) {
    const World back = Unproject(Project(w), w.y);
    EXPECT_NEAR(back.x, w.x, 1e-9);
    EXPECT_NEAR(back.z, w.z, 1e-9);
  }
  EXPECT_LT(Project({0, 0, 100}).y, Project({0, 0, 3}).y) << "far floor is nearer the horizon, higher up";
  EXPECT_GT(PixelsPerUnit(3), PixelsPerUnit(6));
}

Canvas Draw(double time, double perchTileTurn) {
  Canvas canvas(256, 128);
  LandscapeState state;
  state.time = time;
  state.perchTileTurn = perchTileTurn;
  DrawLandscape(canvas, state);
  return canvas;
}

// The animation ends with every tile settled: the picture at frame 6 is the
// one any later time would give, and the floor changed since frame 0.
TEST(DrawLandscape, EveryTileHasTurnedByTheLastFrame) {
  const Canvas last = Draw(6, 1), later = Draw(60, 1), first = Draw(0, 0);
  EXPECT_EQ(last.pixels, later.pixels);
  int changed = 0;
  for (std::size_t i = 0; i < last.pixels.size(); ++i) changed += last.pixels[i] != first.pixels[i];
  EXPECT_GT(changed, 256 * 40) << "most of the floor turns over";
}

TEST(DrawLandscape, TheSkyDoesNotDependOnTheClock) {
  const Canvas a = Draw(0, 0), b = Draw(6, 1);
  const int horizon = static_cast<int>(Project({0, 0, 1e9}).y);
  for (int y = 0; y < horizon; ++y)
    for (int x = 0; x < 256; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace make_art
