#pragma once
// The DIB fuzz targets keep the pictures they decode small. The decoders do
// the same work for every pixel whatever the picture's size, while a few
// hundred bytes of run-length bits can declare a picture as large as the
// decoders accept, and each run of one fills and copies hundreds of
// megabytes. A header beyond kLargestFuzzedPixels but within the decoders'
// limit is therefore skipped; one beyond their limit still goes through,
// for the decoders to refuse.

#include <span>

#include "platform/base/win_types.h"
#include "platform/gdi/dib_format.h"

inline constexpr long long kLargestFuzzedPixels = 1 << 16;

// True when `dib`, a DIB header with what follows it, declares a picture of
// more than kLargestFuzzedPixels that the decoders would accept.
inline bool TooLargeToFuzz(std::span<const BYTE> dib) {
  const auto format = kp::gdi::detail::ParseDib(dib, dib.size());
  return format && format->width * format->height > kLargestFuzzedPixels;
}
