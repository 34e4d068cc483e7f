#pragma once
// The bytes of a 24-bit Windows bitmap file made from a bitmap: what a
// control's Save As writes, and what any other writer of the same files
// must write byte for byte.
//
//   offset  size  field
//        0     2  "BM"
//        2     4  file size, 54 + S
//        6     4  two reserved words, 0
//       10     4  offset of the pixels, 54
//       14    40  BITMAPINFOHEADER: width, height (positive), 1 plane,
//                 24 bits, BI_RGB, image size S, 2835 x 2835 pixels per
//                 metre, no colours used or important
//       54     S  height rows of stride bytes, bottom row first, each
//                 row width x (blue, green, red) then zero filler
//
// where stride = ((24 x width + 31) >> 3) with the two low bits cleared and
// S = height x stride. No colour table follows the header.

#include <vector>

#include "platform/gdi/gdi_types.h"

namespace kp::gdi {

// The stride and image size of the layout above; 0 when the size is not
// positive or the file would not fit the format's 32-bit sizes.
DWORD BitmapFile24Stride(int width);
DWORD BitmapFile24ImageSize(int width, int height);

// Fills `out` with the whole file for `width` x `height` pixels of
// `bitmap`, read through GetDIBits with `hdc` (a memory DC compatible with
// the screen). FALSE, with `out` empty, when the size is refused or
// GetDIBits reads no line (an invalid DC or bitmap).
BOOL BuildBitmapFile24(HDC hdc, HBITMAP bitmap, int width, int height, std::vector<BYTE>& out);

}  // namespace kp::gdi
