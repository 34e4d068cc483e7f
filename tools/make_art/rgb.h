#pragma once
// Colours as the drawing code works with them: 8 bits per channel, mixed and
// shaded in floating point and rounded back.

#include <algorithm>
#include <cstdint>

namespace make_art {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline std::uint8_t ClampChannel(double v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); }

// t = 0 gives a, t = 1 gives b.
inline Rgb Mix(Rgb a, Rgb b, double t) {
  return {ClampChannel(a.r + (b.r - a.r) * t), ClampChannel(a.g + (b.g - a.g) * t),
          ClampChannel(a.b + (b.b - a.b) * t)};
}

// Brightens (factor above 1) or darkens (below 1) every channel alike.
inline Rgb Shade(Rgb c, double factor) {
  return {ClampChannel(c.r * factor), ClampChannel(c.g * factor), ClampChannel(c.b * factor)};
}

// The colour as a DIB pixel, 0x00RRGGBB.
inline std::uint32_t ToXrgb(Rgb c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }

}  // namespace make_art
