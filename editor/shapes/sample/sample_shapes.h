#pragma once
// The sample shapes file: the eight sets drawn by our own code, for people
// who have no game data. Four texture sets of thirty tileable 128 x 128
// textures (stone and brick, metal, wood and ground, machinery) and four
// 512 x 270 landscapes (day, dusk, night, desert), through palettes of 256
// and 231 colours.

#include <functional>
#include <vector>

#include "editor/shapes/sample/drawing.h"
#include "editor/shapes/sample/shapes_file_builder.h"

namespace sample_shapes {

// The ramps of texture set `set` (0 to 3) and of landscape `landscape`
// (0 to 3).
const Ramp (&TextureRamps(int set))[kRamps];
const Ramp (&LandscapeRamps(int landscape))[kRamps];

// The thirty textures of texture set `set`, each a paint function of a
// 128 x 128 picture.
std::vector<std::function<Paint(int, int)>> Textures(int set);
// The picture of landscape `landscape`, 512 x 270.
std::function<Paint(int, int)> Landscape(int landscape);

// A builder holding the whole sample file: every set drawn, the other
// header numbers with their small probe blocks.
ShapesFileBuilder MakeSampleShapes();

}  // namespace sample_shapes
