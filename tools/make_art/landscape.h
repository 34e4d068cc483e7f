#pragma once
// The About box's backdrop: a dawn sky with a sun, clouds and two ridges of
// hills, over a floor of texture tiles seen in perspective that runs to the
// horizon, with one raised tile in front where the kestrel lands. The floor
// is ray cast: every pixel below the horizon looks up its tile, texture and
// detail level from where its ray meets the floor or the raised tile.

#include "tools/make_art/canvas.h"
#include "tools/make_art/geometry.h"

namespace make_art {

// World coordinates: X to the right, Y up, Z away from the eye; one tile is
// one unit. The eye stands above (0, 0) looking along Z.
struct World {
  double x;
  double y;
  double z;
};

// Where a world point appears in the picture (pixel coordinates, y down).
Vec Project(World p);
// The world point at height y that appears at `pixel` (which must lie
// below that height's horizon line).
World Unproject(Vec pixel, double y);
// Pixels one world unit covers at distance z.
double PixelsPerUnit(double z);

// The raised tile: its corner nearest the eye and its height.
inline constexpr World kPerchTileCorner{0.0, 0.0, 3.0};
inline constexpr double kPerchTileHeight = 0.32;
// The middle of the raised tile's top, where the kestrel stands.
inline constexpr World kPerchPoint{0.5, kPerchTileHeight, 3.5};

struct BirdShadow {
  World centre;  // on the floor (y is ignored)
  double radiusX;
  double radiusZ;
  double strength;  // 0 none, 1 black
};

struct LandscapeState {
  // The animation's clock in frames (0 to 6): floor tiles turn from blank to
  // textured as it passes their own time, far tiles first.
  double time = 0;
  // How far the raised tile has turned over to its gold face (0 to 1).
  double perchTileTurn = 0;
  double cloudDrift = 0;  // pixels to the right
  BirdShadow shadow{{0, 0, 0}, 0, 0, 0};
};

void DrawLandscape(Canvas& canvas, const LandscapeState& state);

}  // namespace make_art
