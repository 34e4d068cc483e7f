#include "tools/make_art/program_icon.h"

#include "tools/make_art/png_file.h"
#include "tools/make_art/vga_palette.h"

namespace make_art {

PixelArt ProgramIconArt(int size) {
  if (size == 32) {
    return ParsePixelArt({
        "................................",
        "..............kkkkk.............",
        "............kklllllkk...........",
        "...........klllllllllk..........",
        "..........kdlllllllllkk.........",
        "..........kdllllllkkllkkk.......",
        "..........kddlllllkkWYdddk......",
        ".........kddllllllkkWWkddk......",
        ".........kdddlllWkkWWWWkk.......",
        ".........krddlWWWkkWWWWk........",
        "........kryrrdkWWkWWWWWk........",
        "........kryrrrkWWWWWyWWWk.......",
        ".......kryrkrrykWWyWWWWyk.......",
        ".......kyrrryrkrkWWWWyWWk.......",
        ".......krrkrryrkWWyWWWWWk.......",
        ".......kyrryrkrrkWWWWyWWk.......",
        "......kdkrrrykrrkWWyWWWk........",
        "......kldkyrrrkykWWWWWWk........",
        ".....kldkkdkrrrykWWyWWk.........",
        ".....klldkkdkkrrkkWWWk..........",
        "....kllddkkkkkkkkkWWk...........",
        "....kldddk......kYkYk...........",
        "...kWkkkk.......kYkYk...........",
        "...kkkkkkkkkkkkkYYYYYYkkkkkkkk..",
        "...kWWWWWWWWWWWWWWWWWWWWWWWWWWk.",
        "...kWYYYYYYYYYYYYkWYYYYYYYYYYyk.",
        "...kWYYYYYYYYYYYykWYYYYYYYYYYyk.",
        "...kWyyyyyyyyyyyykWyyyyyyyyyyyk.",
        "...kyyyyyyyyyyyyyyyyyyyyyyyyyyk.",
        "...kyryryryryryryryryryryryryrk.",
        "...kkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
        "................................",
    });
  }
  if (size == 16) {
    return ParsePixelArt({
        "................",
        "......kkkk......",
        ".....klllldk....",
        "....kllllkWkk...",
        "....kdllkWWYdk..",
        "....kddWkWWWk...",
        "...krrdkWWWWk...",
        "...kryrykWyWk...",
        "...kyrrykWWyk...",
        "..kdkryrkWWk....",
        "..kldkkkkWk.....",
        ".kldk..kYkY.....",
        "kkkkkkkYYYYkkkk.",
        "kWYYYYYYYYYYYyk.",
        "kyyyyyyyyyyyyyk.",
        "kkkkkkkkkkkkkkk.",
    });
  }
  return {IndexedImage(0, 0), {}};
}

PixelArt ProgramIconAtSize(int size) {
  const int source = size > 0 && size % 32 == 0 ? 32 : 16;
  if (size <= 0 || size % source != 0) return {IndexedImage(0, 0), {}};
  const PixelArt art = ProgramIconArt(source);
  const int factor = size / source;
  PixelArt big{IndexedImage(size, size), std::vector<bool>(static_cast<std::size_t>(size) * size)};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      big.image.At(x, y) = art.image.At(x / factor, y / factor);
      big.transparent[static_cast<std::size_t>(y) * size + x] =
          art.transparent[static_cast<std::size_t>(y / factor) * source + x / factor];
    }
  return big;
}

std::vector<std::uint8_t> ProgramIconPng(int size) {
  PixelArt art = ProgramIconAtSize(size);
  if (art.image.width == 0) return {};
  // The sixteen colours, then one more entry for the transparent pixels.
  constexpr std::uint8_t kClear = 16;
  std::vector<Rgb> palette(VgaPalette.begin(), VgaPalette.end());
  palette.push_back(Rgb{});
  std::vector<std::uint8_t> alpha(palette.size(), 255);
  alpha[kClear] = 0;
  for (std::size_t i = 0; i < art.transparent.size(); ++i)
    if (art.transparent[i]) art.image.pixels[i] = kClear;
  return MakePng(art.image, palette, alpha);
}

}  // namespace make_art
