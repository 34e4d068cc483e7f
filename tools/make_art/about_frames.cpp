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
  bool onPerch;     // `at` is measured from the middle of the raised tile's top
  Vec at;           // pixels: the body's centre in flight, the feet on the tile
  double scale;     // pixels per kestrel unit
  double angle;     // radians
  double squash;    // below 1 for a bird seen from above at a low angle
  double altitude;  // world units above the floor, for the shadow; 0 for none
  double perchTileTurn;
  double titleReveal;  // letters of the name turned into view
};

// The hover high up and far away, the tip into the dive, the stoop with
// wings tucked, the sweep low over the floor, the flare above the raised
// tile, the touchdown and the rest. The name turns into view over the last
// three frames, two and a third letters a frame.
constexpr Shot kShots[kAboutFrameCount] = {
    {KestrelPose::Hover, false, {60, 40}, 24, 0, 1, 0, 0, 0},
    {KestrelPose::Glide, false, {84, 42}, 30, -58 * kDeg, 0.9, 0, 0, 0},
    {KestrelPose::Stoop, false, {104, 62}, 40, -45 * kDeg, 1, 1.6, 0, 0},
    {KestrelPose::Glide, false, {122, 84}, 50, -18 * kDeg, 0.82, 0.7, 0, 0},
    {KestrelPose::Flare, true, {-6, -18}, 54, 0, 1, 0.5, 0, 7.0 / 3},
    {KestrelPose::Touchdown, true, {0, 0}, 56, 0, 1, 0, 0.7, 14.0 / 3},
    {KestrelPose::Perched, true, {0, 0}, 56, 0, 1, 0, 1, 7},
};

// The shadow of a bird seen at `pixel` flying `altitude` above the floor:
// straight below the point where the ray through the pixel meets that
// height, as large as the bird's body there.
BirdShadow ShadowUnder(Vec pixel, double altitude, double scale) {
  if (altitude <= 0) return {{0, 0, 0}, 0, 0, 0};
  const World at = Unproject(pixel, altitude);
  const double radius = scale / PixelsPerUnit(at.z) * 0.45;
  return {{at.x, 0, at.z}, radius, radius * 0.6, 0.45};
}

// A four-pointed glint, as light catches a polished tile.
void DrawGlint(Canvas& canvas, Vec centre) {
  const int cx = static_cast<int>(centre.x), cy = static_cast<int>(centre.y);
  static constexpr int kArms[][3] = {{0, 0, 0}, {1, 0, 1},  {-1, 0, 1}, {0, 1, 1},  {0, -1, 1},
                                     {2, 0, 2}, {-2, 0, 2}, {0, 2, 2},  {0, -2, 2}, {0, -3, 3}};
  for (const auto& [dx, dy, ring] : kArms) {
    if (!canvas.Contains(cx + dx, cy + dy)) continue;
    Rgb& p = canvas.At(cx + dx, cy + dy);
    p = Mix(p, {255, 255, 244}, ring == 0 ? 1.0 : ring == 1 ? 0.85 : 0.5);
  }
}

}  // namespace

Canvas DrawAboutFrame(int frame) {
  const Shot& shot = kShots[frame];
  const Vec at = shot.onPerch ? Project(kPerchPoint) + shot.at : shot.at;
  Canvas canvas(kAboutFrameWidth, kAboutFrameHeight);

  LandscapeState land;
  land.time = frame;
  land.perchTileTurn = shot.perchTileTurn;
  land.cloudDrift = frame * 1.5;
  land.shadow = ShadowUnder(at, shot.altitude, shot.scale);
  DrawLandscape(canvas, land);
  if (shot.perchTileTurn >= 1) DrawGlint(canvas, Project({0.84, kPerchTileHeight, 3.14}));

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
  DrawKestrel(bird, shot.pose, {at, shot.scale, shot.angle, false, 1, shot.squash});
  bird.Composite(canvas, {.outline = {30, 18, 20}, .edgedParts = KestrelEdgedParts()});
  return canvas;
}

AboutFrames MakeAboutFrames() {
  std::vector<Canvas> pictures;
  for (int i = 0; i < kAboutFrameCount; ++i) pictures.push_back(DrawAboutFrame(i));
  AboutFrames out{BuildPalette(pictures), {}};
  for (int i = 0; i < kAboutFrameCount; ++i) out.frames[i] = MapToPalette(pictures[i], out.palette);
  return out;
}

}  // namespace make_art
