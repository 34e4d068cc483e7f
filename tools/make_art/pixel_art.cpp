#include "tools/make_art/pixel_art.h"

#include "tools/make_art/vga_palette.h"

namespace make_art {
namespace {

struct Key {
  char c;
  std::uint8_t index;
};

constexpr Key kKeys[] = {{'k', VgaBlack}, {'r', VgaMaroon}, {'g', VgaGreen},  {'y', VgaOlive},
                         {'b', VgaNavy},  {'m', VgaPurple}, {'c', VgaTeal},   {'l', VgaSilver},
                         {'d', VgaGrey},  {'R', VgaRed},    {'G', VgaLime},   {'Y', VgaYellow},
                         {'B', VgaBlue},  {'M', VgaFuchsia}, {'C', VgaAqua},  {'W', VgaWhite}};

}  // namespace

PixelArt ParsePixelArt(const std::vector<std::string_view>& rows) {
  const PixelArt empty{IndexedImage(0, 0), {}};
  if (rows.empty()) return empty;
  const int width = static_cast<int>(rows.front().size()), height = static_cast<int>(rows.size());
  PixelArt art{IndexedImage(width, height), std::vector<bool>(static_cast<std::size_t>(width) * height, false)};
  for (int y = 0; y < height; ++y) {
    if (static_cast<int>(rows[y].size()) != width) return empty;
    for (int x = 0; x < width; ++x) {
      const char c = rows[y][x];
      if (c == '.') {
        art.transparent[static_cast<std::size_t>(y) * width + x] = true;
        continue;
      }
      bool known = false;
      for (const Key& key : kKeys)
        if (key.c == c) {
          art.image.At(x, y) = key.index;
          known = true;
        }
      if (!known) return empty;
    }
  }
  return art;
}

}  // namespace make_art
