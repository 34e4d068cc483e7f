#include "platform/codecs/decoded_picture.h"

#include <climits>

namespace kp::codecs {

bool WithinLimits(std::uint64_t width, std::uint64_t height, const DecodeLimits& limits) {
  if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) return false;
  return width * height <= limits.maxPixels;
}

std::optional<gdi::DecodedImage> NewPicture(std::uint64_t width, std::uint64_t height, int bitsPerPixel,
                                            const DecodeLimits& limits) {
  if (!WithinLimits(width, height, limits)) return std::nullopt;
  gdi::DecodedImage picture;
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  picture.bitsPerPixel = bitsPerPixel;
  picture.pixels.assign(static_cast<std::size_t>(width * height), 0);
  return picture;
}

}  // namespace kp::codecs
