#pragma once
// Decoding device-independent bitmaps from bytes that come from outside:
// bitmap files, bitmap resources (packed DIBs), icon images. Every read is
// bounds-checked against the sizes given; malformed, truncated or oversized
// input gives std::nullopt, never a read outside the bytes.
//
// Accepted: the OS/2 1.x header (12 bytes), OS/2 2.x headers (16 to 64
// bytes), BITMAPINFOHEADER (40) and its V2 (52), V3 (56), V4 (108) and V5
// (124) forms; 1, 2, 4, 8, 16, 24 and 32 bits per pixel; BI_RGB, BI_RLE8,
// BI_RLE4 (with end-of-line, end-of-bitmap and delta escapes),
// BI_BITFIELDS and BI_ALPHABITFIELDS (16 and 32 bits); bottom-up and
// top-down rows; colour tables of biClrUsed or 2^bpp entries. As on Windows
// the fourth byte of a 32-bit BI_RGB pixel is ignored. Pixels that an RLE
// stream skips take colour-table entry 0, as a new DIB section holding index
// 0 shows them.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/win_types.h"

namespace kp::gdi {

struct DecodedImage {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;  // the depth stored in the input
  // width x height pixels 0x00RRGGBB, bottom row first (the bitmap layout).
  std::vector<std::uint32_t> pixels;
};

// A packed DIB: header, colour masks and table, then the pixel bits.
std::optional<DecodedImage> DecodePackedDib(std::span<const BYTE> packed);

// A bitmap file: the 14-byte file header ("BM") followed by a DIB whose bits
// start at bfOffBits (or right after the colour table when bfOffBits does
// not point inside the file).
std::optional<DecodedImage> DecodeBmpFile(std::span<const BYTE> file);

// True when the bytes start with a bitmap file's "BM" signature.
bool IsBmpFile(std::span<const BYTE> file);

}  // namespace kp::gdi
