#pragma once
// The fixed logarithmic gamma curve applied to each colour channel of a set
// palette as it is read.

#include "platform/base/win_types.h"

// The curve's scale, 254 / (log10(137.5) - 1) rounded to the nearest 32-bit
// float. The rounding is part of the curve: it is why 255 maps to 253.
float GammaScale();

// (log10(v / 2 + 10) - 1) x GammaScale(), truncated toward zero. Looked up in
// a 256-entry table that is built from that rule once, on first use.
BYTE GammaCorrect(BYTE value);
