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
  // Index x * h + k is the pixel at array position (h - 1 - k) * w + x. The
  // array is written row after row, in the order it lies in memory: written
  // column by column it would be touched a row apart at every pixel, and a
  // texture's 64 KB do not fit the processor's nearest cache. The indices,
  // a quarter of that, are what is read out of order.
  for (std::size_t row = 0; row < h; ++row) {
    const BYTE* column = indices + (h - 1 - row);
    DWORD* out = pixels + row * w;
    for (std::size_t x = 0; x < w; ++x) out[x] = Shown(palette, column[x * h]);
  }
}

void ExpandRowOrder(DWORD* pixels, const BYTE* indices, const SetPalette& palette, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  for (std::size_t p = 0; p < count; ++p) pixels[p] = Shown(palette, indices[p]);
}
