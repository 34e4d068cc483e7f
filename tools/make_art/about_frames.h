#pragma once
// The About box animation: seven frames of 256 x 128 pixels. A kestrel hangs
// in the dawn sky over a floor of blank tiles, stoops, sweeps low over the
// floor while the tiles turn over to their textures behind it, flares and
// lands on a raised tile that turns gold, and the name "Kestrow" turns into
// view above it. The last frame is the picture the box rests on.

#include <array>

#include "tools/make_art/canvas.h"
#include "tools/make_art/colour_quantizer.h"
#include "tools/make_art/indexed_image.h"

namespace make_art {

constexpr int kAboutFrameCount = 7;
constexpr int kAboutFrameWidth = 256;
constexpr int kAboutFrameHeight = 128;

// Frame `frame` (0 to 6) in true colour.
Canvas DrawAboutFrame(int frame);

struct AboutFrames {
  Palette256 palette;  // shared by every frame, so the box never flickers between palettes
  std::array<IndexedImage, kAboutFrameCount> frames;
};

// All seven frames reduced to one 256-colour palette.
AboutFrames MakeAboutFrames();

}  // namespace make_art
