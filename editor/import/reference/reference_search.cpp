#include <algorithm>

#include "editor/import/reference/reference_conversion.h"

namespace reference {

int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count) {
  const int r = GetRValue(colour);
  const int g = GetGValue(colour);
  const int b = GetBValue(colour);
  auto distance = [&](int i) {
    const auto* entry = reinterpret_cast<const BYTE*>(&palette[static_cast<std::size_t>(i)]);
    const int db = entry[0] - b;
    const int dg = entry[1] - g;
    const int dr = entry[2] - r;
    return db * db + dg * dg + dr * dr;
  };
  int best = 0;
  int bestDistance = distance(0);
  const int n = std::min(count, kSetPaletteSize);
  for (int i = 1; i < n; ++i) {
    const int d = distance(i);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace reference
