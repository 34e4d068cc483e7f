#pragma once
// The set palette: the set's colour table as 256 entries of 0x00RRGGBB (bytes
// blue, green, red, 0 in memory), optionally through the gamma curve.

#include <array>

#include "platform/base/win_types.h"
#include "platform/file/file.h"

constexpr int kSetPaletteSize = 256;
using SetPalette = std::array<DWORD, kSetPaletteSize>;

constexpr DWORD PaletteEntry(BYTE red, BYTE green, BYTE blue) {
  return (static_cast<DWORD>(red) << 16) | (static_cast<DWORD>(green) << 8) | blue;
}

// The number of palette entries a colour count can fill: the count clamped to
// 0 .. 256. Everything that walks a set palette uses at most this many.
constexpr int UsablePaletteEntries(LONG colourCount) {
  return colourCount < 0 ? 0 : colourCount > kSetPaletteSize ? kSetPaletteSize : static_cast<int>(colourCount);
}

// Reads the colour table of block `headerNumber` into `palette` and returns
// the colour count as the block header gives it. Only the high byte of each
// 16-bit channel is used; with `noGammaCorrection` FALSE each channel goes
// through GammaCorrect. Entries from UsablePaletteEntries(count) on keep what
// the caller's array held (start it zeroed so they read as black). Positions
// outside the file and short reads throw CFileException; the palette is then
// left as it was.
LONG ReadSetPalette(CFile& file, int headerNumber, SetPalette& palette, BOOL noGammaCorrection);
