#pragma once
// Fixed pseudo-random values from integer coordinates, so every run of the
// generator draws the same pictures.

#include <cstdint>

namespace make_art {

inline std::uint32_t Hash(std::int32_t a, std::int32_t b, std::uint32_t seed = 0) {
  std::uint32_t h =
      static_cast<std::uint32_t>(a) * 0x8DA6B343u ^ static_cast<std::uint32_t>(b) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return h;
}

// A value in [0, 1).
inline double Hash01(std::int32_t a, std::int32_t b, std::uint32_t seed = 0) {
  return (Hash(a, b, seed) >> 8) / 16777216.0;
}

}  // namespace make_art
