#pragma once
// A true-colour picture that the scene is drawn on before it is reduced to a
// palette. Rows are stored top row first, as the drawing code thinks of them.

#include <vector>

#include "tools/make_art/rgb.h"

namespace make_art {

struct Canvas {
  Canvas(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  Rgb& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  const Rgb& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

  int width;
  int height;
  std::vector<Rgb> pixels;
};

}  // namespace make_art
