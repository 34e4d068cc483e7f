#pragma once
// Pictures the benchmarks convert: the same every run, and like photographs
// (smooth gradients, hard-edged shapes, grain), since real textures are
// neither flat nor noise.

#include <cstdint>
#include <vector>

#include "platform/base/win_types.h"

namespace bench {

// A small deterministic generator, so every run converts the same pictures.
class Random {
 public:
  explicit Random(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
  std::uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }
  double Unit() { return (Next() & 0xFFFFFF) / double(0x1000000); }

 private:
  std::uint32_t m_state;
};

BYTE Clamp(double v);

// width x height pixels 0x00RRGGBB, rows bottom-up.
std::vector<std::uint32_t> PhotoLike(int width, int height, std::uint32_t seed);

}  // namespace bench
