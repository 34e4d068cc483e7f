#pragma once
// Bitmaps. Every bitmap is stored as a 32-bit bottom-up DIB: rows of
// 0x00RRGGBB, 4 x width bytes each, the first row being the bottom row. A
// bitmap remembers the depth it was made with (GetObject's bmBitsPixel) but
// its pixels always keep full colour.

#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/gdi/gdi_types.h"

// For a bottom-up 32-bit BI_RGB header (or BI_BITFIELDS with the masks
// 0xFF0000, 0xFF00, 0xFF) makes a bitmap whose pixel store *ppvBits points
// at: 4 x width x height bytes in exactly the layout above, starting black.
// Any other format, a non-positive size or one beyond kMaxBitmapBytes, or
// failing memory gives NULL (and *ppvBits null). hdc, hSection and offset
// are not used.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD offset);

// A black bitmap of cx x cy whose depth is that of the bitmap selected into
// a memory DC (1 for the stock bitmap of a fresh memory DC, as on Windows),
// or 32 for a surface, the display or NULL. NULL for a non-positive or too
// large size or an invalid DC.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

// A bitmap of the given depth (1, 4, 8, 16, 24 or 32), black, or initialised
// from `bits` when that is given for depth 32 (rows top-down, 4 x nWidth
// bytes each, 0x00RRGGBB). NULL for other planes or depths, or initial bits
// at other depths.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* bits);

// Drawing is never deferred here: always TRUE.
BOOL GdiFlush();

namespace kp::gdi {

// The largest pixel store a bitmap may have: requests beyond it fail.
constexpr std::size_t kMaxBitmapBytes = std::size_t{256} << 20;

// A DIB-section bitmap holding `bottomUpPixels` (width x height values
// 0x00RRGGBB, bottom row first; the top byte is cleared) that reports
// `bitsPixel` as its depth. NULL when the sizes disagree or are refused.
HBITMAP CreateBitmapFromPixels(int width, int height, int bitsPixel, std::span<const std::uint32_t> bottomUpPixels);

}  // namespace kp::gdi
