#pragma once
// Packed DIBs as Windows keeps bitmap and icon resources: a 40-byte
// BITMAPINFOHEADER, the colour table (blue, green, red, 0 per entry) and the
// pixel bits, with no file header in front.

#include <cstdint>
#include <span>
#include <vector>

#include "tools/make_art/indexed_image.h"
#include "tools/make_art/rgb.h"

namespace make_art {

// 8 bits per pixel compressed with BI_RLE8, all 256 colour entries written
// (biClrUsed 0) and biSizeImage the length of the compressed bits.
std::vector<std::uint8_t> MakeRle8Dib(const IndexedImage& image, std::span<const Rgb, 256> palette);

// 4 bits per pixel, BI_RGB, 16 colour entries (biClrUsed 0), rows bottom-up
// and padded to 4 bytes. Every index must be below 16.
std::vector<std::uint8_t> MakeDib4(const IndexedImage& image, std::span<const Rgb, 16> palette);

// An icon image as RT_ICON stores it: the 4-bit DIB with biHeight twice the
// icon's height, then the one-bit AND mask, bottom-up, rows padded to 4
// bytes. `transparent` holds one flag per pixel, top row first; transparent
// pixels get index 0 in the colour bitmap so that they draw as the
// background where the mask is applied.
std::vector<std::uint8_t> MakeIconImage4(const IndexedImage& image, const std::vector<bool>& transparent,
                                         std::span<const Rgb, 16> palette);

}  // namespace make_art
