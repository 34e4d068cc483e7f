#pragma once
// The palette picture: a set palette drawn as 256 x 256 pixels of coloured
// cells, 16 cells of 16 pixels a row, in bands of 4096 / n rows from the
// bottom; band i shows entries 16i to 16i + 15. Entries from n on are black.

#include <array>

#include "editor/shapes/set_palette.h"
#include "platform/base/win_types.h"

constexpr int kPalettePictureSize = 256;
// Pixels 0x00RRGGBB, rows bottom-up: the first 256 are the bottom row.
using PalettePicture = std::array<DWORD, kPalettePictureSize * kPalettePictureSize>;

// Fills every pixel of `picture`. `count` is the colour count as
// ReadSetPalette returns it; a count above 256 draws the 256 entries the
// palette holds, and a count of 0 or less draws an all-black picture.
void FillPalettePicture(PalettePicture& picture, const SetPalette& palette, LONG count);
