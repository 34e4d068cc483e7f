#pragma once
// Reducing a bitmap to a set palette in the shapes file's storage order: the
// source is scaled to the target size by nearest sample (the floor rule:
// target pixel (x, y) takes source pixel (x * sw / dw, y * sh / dh)), then
// every pixel becomes the index of its nearest palette entry.

#include "editor/import/palette_matcher.h"
#include "editor/import/simd_level.h"
#include "editor/shapes/set_palette.h"
#include "platform/base/handles.h"
#include "platform/base/win_types.h"

// Fills `output` with dw x dh indices: in column order (each column top
// down, from the left) when `bottomUpRows` is FALSE, in bottom-up row order
// (each row left to right, from the bottom) when it is TRUE. `source` is a
// memory DC holding the source bitmap of sw x sh pixels; `count` is the
// colour count as ReadSetPalette returns it. A target pixel whose source
// pixel lies outside the source's pixels is black. When no scratch DC can be
// made the source is read unscaled at the target coordinates, white outside
// it. Returns FALSE, with `output` untouched, when the target is larger than
// a bitmap may be or a source extent is not positive, so that nothing wrong
// is ever written.
BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count);

// The same, with the search on a chosen instruction set (tests and
// benchmarks compare them; the results are identical).
BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            const SetPalette& palette, int count, SimdLevel level);

// The same through a matcher made for the palette beforehand. A matcher
// learns where the palette's entries lie as colours arrive, so converting
// every image of a set through one matcher does that work once per set.
BOOL ConvertBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                            PaletteMatcher& matcher);
