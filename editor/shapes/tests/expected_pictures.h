#pragma once
// What loading must show for an image the shapes-file builder wrote,
// worked out from the builder's own description of the set (its colour
// table and stored bytes), not from the file: a stored index above 230
// shows entry 230; colours take the high byte of each 16-bit channel, through
// the gamma curve unless it is off; entries the table does not fill are
// black. Shared by the shapes tests and the editor's end-to-end tests.

#include <algorithm>
#include <vector>

#include "editor/shapes/gamma.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"

namespace shapes_tests {

inline SetPalette ExpectedPalette(const sample_shapes::BlockSpec& block, bool gamma) {
  SetPalette palette{};
  const std::size_t filled =
      std::min(block.colours.size(), static_cast<std::size_t>(UsablePaletteEntries(block.colourCount)));
  for (std::size_t i = 0; i < filled; ++i) {
    const sample_shapes::ColourEntry& c = block.colours[i];
    auto channel = [gamma](WORD value) {
      auto high = static_cast<BYTE>(value >> 8);
      return gamma ? GammaCorrect(high) : high;
    };
    palette[i] = PaletteEntry(channel(c.red), channel(c.green), channel(c.blue));
  }
  return palette;
}

// Image `image` of set `setIndex` as a pixel array: width x height values
// 0x00RRGGBB, bottom row first.
inline std::vector<DWORD> ExpectedPicture(const sample_shapes::ShapesFileBuilder& builder, int setIndex, int image,
                                          bool gamma) {
  const SetKind& kind = KindOfSet(setIndex);
  const sample_shapes::BlockSpec& block =
      builder.Block(SetHeaderNumbers[static_cast<std::size_t>(setIndex)]);
  const SetPalette palette = ExpectedPalette(block, gamma);
  const std::vector<BYTE>& stored = block.images.at(static_cast<std::size_t>(image)).pixels;
  std::vector<DWORD> picture(static_cast<std::size_t>(kind.ImageBytes()));
  for (int y = 0; y < kind.height; ++y) {      // image row, 0 = top
    for (int x = 0; x < kind.width; ++x) {     // image column, 0 = left
      const std::size_t storedAt = kind.order == PixelOrder::Columns
                                       ? static_cast<std::size_t>(x * kind.height + y)
                                       : static_cast<std::size_t>((kind.height - 1 - y) * kind.width + x);
      const BYTE index = std::min<BYTE>(stored[storedAt], 230);
      picture[static_cast<std::size_t>((kind.height - 1 - y) * kind.width + x)] = palette[index];
    }
  }
  return picture;
}

}  // namespace shapes_tests
