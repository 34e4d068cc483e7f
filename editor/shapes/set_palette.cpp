#include "editor/shapes/set_palette.h"

#include "editor/shapes/block_header.h"
#include "editor/shapes/file_position.h"
#include "editor/shapes/gamma.h"

namespace {
// Offsets in an 8-byte colour entry of the high bytes of the big-endian
// 16-bit red, green and blue channels.
constexpr int kRedHigh = 2;
constexpr int kGreenHigh = 4;
constexpr int kBlueHigh = 6;
}  // namespace

LONG ReadSetPalette(CFile& file, int headerNumber, SetPalette& palette, BOOL noGammaCorrection) {
  BlockHeader block = ReadBlockHeader(file, headerNumber);
  SeekInsideFile(file, static_cast<LONGLONG>(block.baseOffset) + block.colourTableOffset);

  const int entries = UsablePaletteEntries(block.colourCount);
  if (entries == 0) return block.colourCount;
  // One read of the whole table: a table cut short by the end of the file
  // throws before a single entry changes.
  BYTE table[kSetPaletteSize * kColourEntrySize];
  file.Read(table, static_cast<UINT>(entries * kColourEntrySize));

  for (int i = 0; i < entries; ++i) {
    const BYTE* entry = table + i * kColourEntrySize;
    BYTE red = entry[kRedHigh];
    BYTE green = entry[kGreenHigh];
    BYTE blue = entry[kBlueHigh];
    if (!noGammaCorrection) {
      red = GammaCorrect(red);
      green = GammaCorrect(green);
      blue = GammaCorrect(blue);
    }
    palette[static_cast<std::size_t>(i)] = PaletteEntry(red, green, blue);
  }
  return block.colourCount;
}
