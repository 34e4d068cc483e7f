#pragma once
// The program's icon: the kestrel perched on its gold tile, drawn by hand in
// the 16 VGA colours at 32 x 32 and again at 16 x 16 (not scaled down, so
// that the small one stays legible).

#include <cstdint>
#include <vector>

#include "tools/make_art/pixel_art.h"

namespace make_art {

// The icon image of `size` (32 or 16); an empty picture for other sizes.
PixelArt ProgramIconArt(int size);

// The icon at `size` pixels for a desktop's icon theme, enlarged by whole
// pixels so it stays crisp: the 32 x 32 picture where the size is a
// multiple of 32, else the 16 x 16 one where it is a multiple of 16 (48 is
// the small picture tripled); an empty picture for other sizes.
PixelArt ProgramIconAtSize(int size);

// That picture as a PNG file, transparent around the kestrel; empty for a
// size there is no picture of.
std::vector<std::uint8_t> ProgramIconPng(int size);

}  // namespace make_art
