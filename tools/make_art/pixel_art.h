#pragma once
// Small pictures drawn by hand as rows of characters, one character a pixel:
// the way the 16-colour pictures are kept readable in the source.

#include <string_view>
#include <vector>

#include "tools/make_art/indexed_image.h"

namespace make_art {

struct PixelArt {
  IndexedImage image;
  std::vector<bool> transparent;  // per pixel, top row first
};

// Character keys for the VGA colours: k black, r maroon, g green, y olive,
// b navy, m purple, c teal, l silver, d grey, R red, G lime, Y yellow,
// B blue, M fuchsia, C aqua, W white; '.' is transparent (index 0).
// Every row must have the same length. A character without a colour, or
// ragged rows, give an empty picture (width and height 0).
PixelArt ParsePixelArt(const std::vector<std::string_view>& rows);

}  // namespace make_art
