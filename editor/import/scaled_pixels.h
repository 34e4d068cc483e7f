#pragma once
// The colours a conversion works on: the source bitmap scaled to the target
// size by nearest sample (StretchBlt in COLORONCOLOR mode, the floor rule)
// and read back as 0x00RRGGBB in bottom-up rows. This is the scaling that
// ConvertBitmapToPalette does before it looks up nearest entries, for the
// conversions that need the scaled colours themselves (error diffusion).

#include <vector>

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

// Fills `pixels` with dw x dh colours, rows bottom-up. `source` is a memory
// DC holding the source bitmap of sw x sh pixels. When no scratch DC can be
// made the source is read unscaled at the target coordinates, white outside
// it. Returns false when the target is larger than a bitmap may be, the
// scratch bitmap cannot be made or the scaling fails; `pixels` is then of no
// use. dw or dh of 0 or less gives no pixels and true.
bool ReadScaledPixels(HDC source, int sw, int sh, int dw, int dh, std::vector<DWORD>& pixels);
