#pragma once
// The program's icon: the kestrel perched on its gold tile, drawn by hand in
// the 16 VGA colours at 32 x 32 and again at 16 x 16 (not scaled down, so
// that the small one stays legible).

#include "tools/make_art/pixel_art.h"

namespace make_art {

// The icon image of `size` (32 or 16); an empty picture for other sizes.
PixelArt ProgramIconArt(int size);

}  // namespace make_art
