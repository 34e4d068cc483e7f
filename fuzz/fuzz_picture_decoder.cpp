// One picture decoder of platform/codecs over any bytes, named by
// FUZZED_DECODER (one fuzz target per decoder). Its pictures are kept as
// small as picture_size.h keeps the DIB targets' (the decoders check the
// size before they decode, so larger inputs are refused at once), and
// every picture it gives is checked for the layout all decoders promise.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture_size.h"
#include "platform/codecs/picture_decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<kp::gdi::DecodedImage> picture =
      kp::codecs::FUZZED_DECODER({data, size}, {static_cast<std::uint64_t>(kLargestFuzzedPixels)});
  if (!picture) return 0;
  const int depths[] = {1, 8, 24, 32};
  const std::size_t pixels = static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height);
  if (picture->width <= 0 || picture->height <= 0 || picture->pixels.size() != pixels ||
      pixels > static_cast<std::size_t>(kLargestFuzzedPixels) ||
      std::find(std::begin(depths), std::end(depths), picture->bitsPerPixel) == std::end(depths) ||
      std::any_of(picture->pixels.begin(), picture->pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; }))
    std::abort();
  return 0;
}
