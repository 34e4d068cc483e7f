#pragma once
// What the decoders of this folder share: the picture they decode into,
// taken only once its size has passed the limits, and alpha composited over
// white.

#include <cstdint>
#include <optional>

#include "platform/codecs/picture_decoders.h"

namespace kp::codecs {

// The depths a decoder reports (see picture_decoders.h).
constexpr int kOneBitDepth = 1;
constexpr int kIndexedDepth = 8;
constexpr int kColourDepth = 24;
constexpr int kAlphaDepth = 32;

// A picture of width x height black pixels, or nullopt when either side is
// not positive or exceeds what an int holds, or the picture has more pixels
// than the limits allow.
std::optional<gdi::DecodedImage> NewPicture(std::uint64_t width, std::uint64_t height, int bitsPerPixel,
                                            const DecodeLimits& limits);

// True when a width x height picture passes the limits; for decoders that
// must check a size before they know the picture's own (a frame of a GIF).
bool WithinLimits(std::uint64_t width, std::uint64_t height, const DecodeLimits& limits);

// Row y of the picture, counted from the top, in its bottom-up pixels.
inline std::uint32_t* RowFromTop(gdi::DecodedImage& picture, std::uint64_t y) {
  return picture.pixels.data() + (static_cast<std::uint64_t>(picture.height) - 1 - y) * picture.width;
}

// A channel c of alpha a over white: c * a + 255 * (1 - a), rounded.
constexpr std::uint32_t OverWhite(std::uint32_t c, std::uint32_t a) {
  return (c * a + 255u * (255u - a) + 127u) / 255u;
}

// The pixel 0x00RRGGBB of straight red, green, blue and alpha over white.
constexpr std::uint32_t RgbaOverWhite(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  return a == 255 ? (r << 16) | (g << 8) | b : (OverWhite(r, a) << 16) | (OverWhite(g, a) << 8) | OverWhite(b, a);
}

// The same for colours already multiplied by their alpha: white shows
// through by 255 - a. (Colours above their alpha, which such a file should
// not hold, stop at white.)
constexpr std::uint32_t PremultipliedOverWhite(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
  const auto over = [a](std::uint32_t c) { return c + 255u - a > 255u ? 255u : c + 255u - a; };
  return (over(r) << 16) | (over(g) << 8) | over(b);
}

// A channel rescaled from 0..max to 0..255, rounded.
constexpr std::uint32_t ScaleToByte(std::uint32_t value, std::uint32_t max) { return (value * 255u + max / 2) / max; }

}  // namespace kp::codecs
