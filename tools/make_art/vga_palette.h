#pragma once
// The sixteen colours of the classic VGA palette, in the order Windows uses
// for 4-bit DIBs.

#include <array>

#include "tools/make_art/rgb.h"

namespace make_art {

enum Vga : std::uint8_t {
  VgaBlack,
  VgaMaroon,
  VgaGreen,
  VgaOlive,
  VgaNavy,
  VgaPurple,
  VgaTeal,
  VgaSilver,
  VgaGrey,
  VgaRed,
  VgaLime,
  VgaYellow,
  VgaBlue,
  VgaFuchsia,
  VgaAqua,
  VgaWhite,
};

inline constexpr std::array<Rgb, 16> VgaPalette = {{{0, 0, 0},
                                                     {128, 0, 0},
                                                     {0, 128, 0},
                                                     {128, 128, 0},
                                                     {0, 0, 128},
                                                     {128, 0, 128},
                                                     {0, 128, 128},
                                                     {192, 192, 192},
                                                     {128, 128, 128},
                                                     {255, 0, 0},
                                                     {0, 255, 0},
                                                     {255, 255, 0},
                                                     {0, 0, 255},
                                                     {255, 0, 255},
                                                     {0, 255, 255},
                                                     {255, 255, 255}}};

}  // namespace make_art
