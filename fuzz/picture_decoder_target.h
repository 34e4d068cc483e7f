#pragma once
// The body of the picture decoders' fuzz targets: one decoder over any
// bytes, its pictures kept as small as picture_size.h keeps the DIB
// targets' (the decoders check the size before they decode, so larger
// inputs are refused at once), and every picture it gives checked for the
// layout all decoders promise.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture_size.h"
#include "platform/codecs/picture_decoders.h"

using PictureDecoder = std::optional<kp::gdi::DecodedImage> (*)(std::span<const BYTE> file,
                                                                const kp::codecs::DecodeLimits& limits);

inline int FuzzPictureDecoder(PictureDecoder decode, const std::uint8_t* data, std::size_t size) {
  const std::optional<kp::gdi::DecodedImage> picture =
      decode(std::span<const BYTE>(data, size), {static_cast<std::uint64_t>(kLargestFuzzedPixels)});
  if (!picture) return 0;
  const int depths[] = {1, 8, 24, 32};
  const bool known = std::find(std::begin(depths), std::end(depths), picture->bitsPerPixel) != std::end(depths);
  if (picture->width <= 0 || picture->height <= 0 || !known ||
      picture->pixels.size() != static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) ||
      picture->pixels.size() > static_cast<std::size_t>(kLargestFuzzedPixels) ||
      std::any_of(picture->pixels.begin(), picture->pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; }))
    std::abort();
  return 0;
}
