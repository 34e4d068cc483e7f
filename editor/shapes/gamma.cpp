#include "editor/shapes/gamma.h"

#include <array>
#include <cmath>

float GammaScale() { return static_cast<float>(254.0 / (std::log10(137.5) - 1.0)); }

namespace {
std::array<BYTE, 256> BuildGammaTable() {
  const double scale = GammaScale();
  std::array<BYTE, 256> table{};
  for (int v = 0; v < 256; ++v) {
    double x = v * 0.5 + 10.0;
    // The conversion truncates toward zero; the result is never negative and
    // never above 253, so it always fits the byte.
    table[static_cast<std::size_t>(v)] = static_cast<BYTE>((std::log10(x) - 1.0) * scale);
  }
  return table;
}
}  // namespace

BYTE GammaCorrect(BYTE value) {
  static const std::array<BYTE, 256> table = BuildGammaTable();
  return table[value];
}
