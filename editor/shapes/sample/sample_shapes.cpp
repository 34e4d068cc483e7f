#include "editor/shapes/sample/sample_shapes.h"

#include "editor/shapes/set_kinds.h"

namespace sample_shapes {
namespace {
// Colour counts of the eight sets: both sizes among the texture sets and
// among the landscapes.
constexpr int kColourCounts[kSetCount] = {256, 231, 256, 231, 231, 256, 231, 256};
}  // namespace

ShapesFileBuilder MakeSampleShapes() {
  ShapesFileBuilder builder;
  for (int set = 0; set < kSetCount; ++set) {
    BlockSpec& block = builder.Set(set);
    const int count = kColourCounts[set];
    block.colourCount = count;
    block.colours = RampPalette(IsLandscapeSet(set) ? LandscapeRamps(set - 4) : TextureRamps(set), count);
    if (IsLandscapeSet(set)) {
      block.images[0].pixels = Draw(kLandscapeWidth, kLandscapeHeight, false, Landscape(set - 4));
    } else {
      const auto textures = Textures(set);
      for (int i = 0; i < kTextureSlotCount; ++i)
        block.images[static_cast<std::size_t>(i)].pixels =
            Draw(kTextureWidth, kTextureHeight, true, textures[static_cast<std::size_t>(i)]);
    }
  }
  return builder;
}

}  // namespace sample_shapes
