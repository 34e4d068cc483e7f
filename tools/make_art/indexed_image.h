#pragma once
// A palette-indexed picture, top row first: what the DIB writers take.

#include <cstdint>
#include <vector>

namespace make_art {

struct IndexedImage {
  IndexedImage() : IndexedImage(0, 0) {}
  IndexedImage(int w, int h, std::uint8_t fill = 0)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

  std::uint8_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

  int width;
  int height;
  std::vector<std::uint8_t> pixels;
};

}  // namespace make_art
