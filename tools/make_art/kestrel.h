#pragma once
// The kestrel, drawn from simple shapes in its own coordinates so that one
// description serves every size: a male bird, with a blue-grey head and
// tail, a rufous back and wings spotted black, dark flight feathers and a
// buff breast. Side poses face +x with y up; the origin is where the feet
// rest when perched, one unit the bird's perched height. Poses seen from
// above (stoop, glide) point along +x with the origin at the body's centre,
// one unit the length from beak to tail.

#include "tools/make_art/geometry.h"
#include "tools/make_art/layer.h"

namespace make_art {

enum class KestrelPose {
  Hover,      // side view, hanging in the wind, wings raised high
  Stoop,      // from above, wings half folded for the dive
  Glide,      // from above, wings spread wide
  Flare,      // side view, body upright, wings up, feet thrown forward
  Touchdown,  // side view, feet on the tile, wings still half open
  Perched,    // side view, wings folded, standing
};

// Draws the bird into `layer` (part numbers 0 and up, front first).
void DrawKestrel(Layer& layer, KestrelPose pose, const Placement& placement);

// The parts of the kestrel that get an inner edge where they overlap parts
// behind them, for Layer::Style::edgedParts.
std::vector<bool> KestrelEdgedParts();

}  // namespace make_art
