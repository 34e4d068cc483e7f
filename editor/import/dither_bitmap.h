#pragma once
// Reducing a picture to a set palette by error diffusion (Floyd-Steinberg)
// instead of plain nearest colour: what one pixel's nearest entry misses of
// its colour is carried on to the pixels not yet done, 7/16 to the next
// pixel of the row, 3/16, 5/16 and 1/16 to the three below. Rows are walked
// top down in picture space, alternately left to right and right to left
// (serpentine), whatever order the shapes file stores them in, so a
// picture dithers the same for a texture as for a landscape.
//
// Every pixel's entry is found by the same exact matcher as the plain
// conversion uses. The carried errors are integers (sixteenths of a level,
// per channel), so the result is the same on every machine and with every
// instruction set the matcher runs on.

#include "editor/import/palette_matcher.h"
#include "editor/shapes/set_palette.h"
#include "platform/base/handles.h"
#include "platform/base/win_types.h"

// Writes the indices of a picture of width x height colours 0x00RRGGBB held
// as bottom-up rows into `out`, in column order (each column top down, from
// the left) or in bottom-up row order. `palette` is the one `matcher` was
// made for: its entries give the colours the errors are measured against.
void DitherPicture(const DWORD* rows, int width, int height, bool columnOrder, const SetPalette& palette,
                   PaletteMatcher& matcher, BYTE* out);

// ConvertBitmapToPalette with error diffusion: the source bitmap of sw x sh
// held by memory DC `source` is scaled to dw x dh exactly as that
// conversion scales it, then dithered into `output` in column order, or in
// bottom-up row order when `bottomUpRows` is TRUE. Returns FALSE, with
// `output` untouched, when the scaling fails.
BOOL DitherBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                           const SetPalette& palette, PaletteMatcher& matcher);
