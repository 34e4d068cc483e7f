#include "editor/shapes/pixel_expansion.h"

#include <algorithm>
#include <cstddef>

namespace {
DWORD Shown(const SetPalette& palette, BYTE index) { return palette[std::min(index, kHighestShownIndex)]; }
}  // namespace

void ExpandColumnOrder(DWORD* pixels, const BYTE* indices, const SetPalette& palette, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  std::size_t n = 0;
  for (std::size_t x = 0; x < w; ++x)
    for (std::size_t k = 0; k < h; ++k) pixels[(h - 1 - k) * w + x] = Shown(palette, indices[n++]);
}

void ExpandRowOrder(DWORD* pixels, const BYTE* indices, const SetPalette& palette, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (std::size_t p = 0; p < count; ++p) pixels[p] = Shown(palette, indices[p]);
}
