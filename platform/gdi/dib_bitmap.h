#pragma once
// Bitmaps made from DIB data in memory: bitmap resources and the like.

#include <span>

#include "platform/gdi/gdi_types.h"

// With CBM_INIT, decodes the DIB described by bmi (header, masks, colour
// table) and `bits` into a new bitmap; without it, makes a black bitmap of
// the header's size. The bitmap's depth is that of hdc (32 for NULL: Windows
// would make a one-bit bitmap there; here colours are kept either way).
//
// As on Windows the sizes of the caller's memory are not passed: the colour
// table is taken to hold the entries the header declares and the bits to
// hold height rows of the header's stride, or biSizeImage bytes for RLE
// (which must then be non-zero). Data from outside should go through
// kp::gdi::CreateBitmapFromPackedDib, which is given its size. NULL for
// anything the DIB decoder refuses.
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* bmi,
                       UINT usage);

namespace kp::gdi {

// A DIB-section bitmap decoded from a packed DIB of exactly the given bytes,
// with the depth the DIB declares. NULL when the decoder refuses it.
HBITMAP CreateBitmapFromPackedDib(std::span<const BYTE> packed);

}  // namespace kp::gdi
