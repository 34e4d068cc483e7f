#include "tools/make_art/geometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace make_art {
namespace {

TEST(Placement, ToLocalUndoesToPixel) {
  const Placement placements[] = {
      {{10, 20}, 1, 0, false, 1, 1},
      {{128, 64}, 40, 0.7, false, 1, 1},
      {{50, 90}, 25, -1.2, true, 1, 1},
      {{0, 0}, 3, 2.5, true, 0.5, 0.8},
  };
  const Vec points[] = {{0, 0}, {1, 0}, {0, 1}, {-0.4, 0.9}, {2.5, -3}};
  for (const Placement& p : placements)
    for (const Vec& v : points) {
      const Vec back = p.ToLocal(p.ToPixel(v));
      EXPECT_NEAR(back.x, v.x, 1e-9);
      EXPECT_NEAR(back.y, v.y, 1e-9);
    }
}

TEST(Placement, PutsLocalUpAtTheTopOfThePicture) {
  const Placement p{{100, 100}, 10, 0, false, 1, 1};
  EXPECT_NEAR(p.ToPixel({0, 1}).y, 90, 1e-9) << "y up in the figure is y down in pixels";
  EXPECT_NEAR(p.ToPixel({1, 0}).x, 110, 1e-9);
  const Placement mirrored{{100, 100}, 10, 0, true, 1, 1};
  EXPECT_NEAR(mirrored.ToPixel({1, 0}).x, 90, 1e-9);
  const Placement turned{{100, 100}, 10, kPi / 2, false, 1, 1};
  EXPECT_NEAR(turned.ToPixel({1, 0}).y, 90, 1e-9) << "a quarter turn counter-clockwise points forward up";
}

TEST(InsidePolygon, FollowsTheOutlineOfAConcaveShape) {
  // A "U": two posts joined at the bottom.
  const std::vector<Vec> u = {{0, 0}, {3, 0}, {3, 3}, {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
  EXPECT_TRUE(InsidePolygon(u, {0.5, 2}));
  EXPECT_TRUE(InsidePolygon(u, {2.5, 2}));
  EXPECT_TRUE(InsidePolygon(u, {1.5, 0.5}));
  EXPECT_FALSE(InsidePolygon(u, {1.5, 2})) << "the gap between the posts";
  EXPECT_FALSE(InsidePolygon(u, {-0.5, 1}));
  EXPECT_FALSE(InsidePolygon(u, {1.5, 3.5}));
}

TEST(DistanceToSegment, MeasuresToTheNearestPointIncludingTheEnds) {
  EXPECT_NEAR(DistanceToSegment({0, 0}, {4, 0}, {2, 3}), 3, 1e-12);
  EXPECT_NEAR(DistanceToSegment({0, 0}, {4, 0}, {7, 4}), 5, 1e-12);
  EXPECT_NEAR(DistanceToSegment({1, 1}, {1, 1}, {4, 5}), 5, 1e-12) << "a segment of no length is a point";
}

TEST(InsideEllipse, HonoursItsTurn) {
  EXPECT_TRUE(InsideEllipse({0, 0}, 3, 1, 0, {2.5, 0}));
  EXPECT_FALSE(InsideEllipse({0, 0}, 3, 1, 0, {0, 2}));
  EXPECT_TRUE(InsideEllipse({0, 0}, 3, 1, kPi / 2, {0, 2.5}));
  EXPECT_FALSE(InsideEllipse({0, 0}, 3, 1, kPi / 2, {2, 0}));
}

}  // namespace
}  // namespace make_art
