// Packed DIBs and icon images from bitmap resources: the DIB decoder, the
// icon decoder and the bitmap made from them.

#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture_size.h"
#include "platform/gdi/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const BYTE> bytes(data, size);
  if (TooLargeToFuzz(bytes)) return 0;
  if (const auto image = kp::gdi::DecodePackedDib(bytes)) {
    if (image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
      std::abort();
  }
  if (const auto icon = kp::gdi::DecodeIconImage(bytes)) {
    if (icon->argb.size() != static_cast<std::size_t>(icon->width) * static_cast<std::size_t>(icon->height))
      std::abort();
  }
  if (HBITMAP bitmap = kp::gdi::CreateBitmapFromPackedDib(bytes)) DeleteObject(bitmap);
  return 0;
}
