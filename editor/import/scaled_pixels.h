#pragma once
// The colours a conversion works on: the source bitmap scaled to the target
// size by nearest sample (the floor rule of StretchBlt in COLORONCOLOR mode)
// and read as 0x00RRGGBB. ConvertBitmapToPalette looks up each row as it
// reads it; error diffusion needs the whole scaled picture first.

#include <vector>

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

// A COLORREF (0x00BBGGRR) as 0x00RRGGBB. CLR_INVALID has all three colour
// bytes at 255, so a pixel that GetPixel cannot give is white.
DWORD RgbOf(COLORREF colour);

// Fills `pixels` with dw x dh colours, rows bottom-up. `source` is a memory
// DC holding the source bitmap of sw x sh pixels. When no scratch DC can be
// made the source is read unscaled at the target coordinates, white outside
// it; a scaled target pixel with no source pixel is black. Returns false when
// the target is larger than a bitmap may be or the source cannot be read;
// `pixels` is then of no use. dw or dh of 0 or less gives no pixels and true.
bool ReadScaledPixels(HDC source, int sw, int sh, int dw, int dh, std::vector<DWORD>& pixels);
