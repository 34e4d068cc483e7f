#include "tools/make_art/about_frames.h"

#include <cmath>
#include <vector>

#include "tools/make_art/kestrel.h"
#include "tools/make_art/landscape.h"
#include "tools/make_art/layer.h"
#include "tools/make_art/title_lettering.h"

namespace make_art {
namespace {

constexpr double kDeg = kPi / 180;

// One frame's worth of the story.
struct Shot {
  KestrelPose pose;
  Vec at;        // pixels: the body's centre in flight, the feet on the tile
  double scale;  // pixels per kestrel unit
  double angle;  // radians
  double stretch;  // below 1 for a bird seen end-on
  double squash;   // below 1 for a bird seen from above at a low angle
  double altitude;  // world units above the floor, for the shadow; 0 for none
  double perchTileTurn;
  double titleReveal;
};

Vec PerchPixel() { return Project(kPerchPoint); }

Shot ShotFor(int frame) {
  const Vec perch = PerchPixel();
  static constexpr double kTitle[kAboutFrameCount] = {0, 0, 0, 0, 7.0 / 3, 14.0 / 3, 7};
  switch (frame) {
    case 0: return {KestrelPose::Hover, {60, 40}, 24, 0, 1, 1, 0, 0, kTitle[0]};
    case 1: return {KestrelPose::Stoop, {84, 44}, 32, -50 * kDeg, 1, 0.8, 0, 0, kTitle[1]};
    case 2: return {KestrelPose::Stoop, {104, 62}, 42, -45 * kDeg, 1, 0.7, 1.6, 0, kTitle[2]};
    case 3: return {KestrelPose::Glide, {122, 84}, 50, -22 * kDeg, 1, 0.55, 0.7, 0, kTitle[3]};
    case 4: return {KestrelPose::Flare, perch + Vec{-6, -18}, 54, 0, 1, 1, 0.5, 0, kTitle[4]};
    case 5: return {KestrelPose::Touchdown, perch, 56, 0, 1, 1, 0, 0.45, kTitle[5]};
    default: return {KestrelPose::Perched, perch, 56, 0, 1, 1, 0, 1, kTitle[6]};
  }
}

// The floor point under a bird seen at `pixel` at height `altitude`: the
// ray through the pixel meets the plane y = altitude there.
BirdShadow ShadowUnder(Vec pixel, double altitude, double scale) {
  if (altitude <= 0) return {{0, 0, 0}, 0, 0, 0};
  const World at = Unproject(pixel, altitude);
  const double radius = scale / PixelsPerUnit(at.z) * 0.45;
  return {{at.x, 0, at.z}, radius, radius * 0.6, 0.45};
}

}  // namespace

Canvas DrawAboutFrame(int frame) {
  const Shot shot = ShotFor(frame);
  Canvas canvas(kAboutFrameWidth, kAboutFrameHeight);

  LandscapeState land;
  land.time = frame;
  land.perchTileTurn = shot.perchTileTurn;
  land.cloudDrift = frame * 1.5;
  land.shadow = ShadowUnder(shot.at, shot.altitude, shot.scale);
  DrawLandscape(canvas, land);

  if (shot.titleReveal > 0) {
    Layer title(canvas.width, canvas.height);
    DrawTitle(title, {{116, 40}, 30, shot.titleReveal});
    title.Composite(canvas, {.outline = {58, 22, 16},
                             .edgedParts = {},
                             .shadowDx = 2,
                             .shadowDy = 2,
                             .shadowColour = {22, 18, 52},
                             .shadowStrength = 0.5});
  }

  Layer bird(canvas.width, canvas.height);
  DrawKestrel(bird, shot.pose, {shot.at, shot.scale, shot.angle, false, shot.stretch, shot.squash});
  bird.Composite(canvas, {.outline = {30, 18, 20}, .edgedParts = KestrelEdgedParts()});
  return canvas;
}

AboutFrames MakeAboutFrames() {
  std::vector<Canvas> pictures;
  for (int i = 0; i < kAboutFrameCount; ++i) pictures.push_back(DrawAboutFrame(i));
  AboutFrames out{BuildPalette(pictures), {IndexedImage(0, 0), IndexedImage(0, 0), IndexedImage(0, 0), IndexedImage(0, 0),
                                           IndexedImage(0, 0), IndexedImage(0, 0), IndexedImage(0, 0)}};
  for (int i = 0; i < kAboutFrameCount; ++i) out.frames[i] = MapToPalette(pictures[i], out.palette);
  return out;
}

}  // namespace make_art
