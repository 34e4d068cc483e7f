#pragma once
// The little 16 x 16 textures that pave the About box's landscape, the way a
// game's floor is paved with its texture set, with their box-filtered
// smaller versions for tiles far away.

#include <array>
#include <vector>

#include "tools/make_art/rgb.h"

namespace make_art {

enum class Material { Blank, Grass, Brick, Water, Cobble, Planks, Sand, Lava, Metal, Gold };

// Materials a landscape tile may be given (Blank and Gold are special).
inline constexpr Material kFloorMaterials[] = {Material::Grass,  Material::Brick, Material::Water, Material::Cobble,
                                               Material::Planks, Material::Sand,  Material::Lava,  Material::Metal};

constexpr int kTextureSize = 16;
constexpr int kTextureLevels = 5;  // 16, 8, 4, 2 and 1 texels across

// The texel at (u, v) in [0, 1) of the texture at detail level `level`
// (0 the sharpest), nearest sample.
Rgb SampleTexture(Material material, double u, double v, int level);

}  // namespace make_art
