#pragma once
// The plain forms of the nearest-colour search and of the conversion, kept
// as the yardstick that tests and benchmarks hold the fast ones to: a linear
// scan over the entries with "strictly less", and one GetPixel call per
// target pixel. Not used by the editor.

#include "editor/shapes/set_palette.h"
#include "platform/base/handles.h"
#include "platform/base/win_types.h"

namespace reference {

// Entry 0 first, then entries 1 to count - 1 in order; an entry wins only
// with a strictly smaller squared distance. Count is clamped to the 256
// entries a set palette holds.
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count);

// Scratch DC and bitmap compatible with the source, StretchBlt in
// COLORONCOLOR mode, then GetPixel and a linear scan per pixel, in column
// order or bottom-up row order.
BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count);

}  // namespace reference
