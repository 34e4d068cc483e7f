#include <algorithm>

#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/icon.h"

namespace kp::gdi {

std::optional<IconImage> DecodeIconImage(std::span<const BYTE> packedDib) {
  std::optional<detail::DibFormat> f = detail::ParseDib(packedDib, packedDib.size());
  if (!f || f->topDown || f->compression != BI_RGB || f->height < 2) return std::nullopt;
  // The header's height counts the colour bitmap and the mask together.
  f->height /= 2;
  if (f->bitsOffset > packedDib.size()) return std::nullopt;
  const std::span<const BYTE> bits = packedDib.subspan(f->bitsOffset);
  const std::uint64_t colourBytes = detail::DibStride(f->width, f->bitCount) * static_cast<std::uint64_t>(f->height);
  const std::uint64_t maskStride = detail::DibStride(f->width, 1);
  if (bits.size() < colourBytes + maskStride * static_cast<std::uint64_t>(f->height)) return std::nullopt;

  std::vector<std::uint32_t> pixels;  // bottom-up
  if (!detail::DecodeBits(*f, bits.first(static_cast<std::size_t>(colourBytes)), true, pixels)) return std::nullopt;
  const bool hasAlpha =
      f->bitCount == 32 && std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
  const BYTE* mask = bits.data() + colourBytes;

  IconImage image;
  image.width = static_cast<int>(f->width);
  image.height = static_cast<int>(f->height);
  image.argb.resize(pixels.size());
  for (long long row = 0; row < f->height; ++row) {  // row counts from the bottom
    const long long y = f->height - 1 - row;
    for (long long x = 0; x < f->width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(row * f->width + x)];
      std::uint32_t a;
      if (hasAlpha) {
        a = p >> 24;
      } else {
        const bool transparent = (mask[row * maskStride + x / 8] >> (7 - x % 8)) & 1;
        a = transparent ? 0 : 255;
      }
      image.argb[static_cast<std::size_t>(y * f->width + x)] = (a << 24) | (p & 0x00FFFFFF);
    }
  }
  return image;
}

}  // namespace kp::gdi
