#pragma once
// Nearest palette entry for many colours against one palette: the same
// answer as a linear scan over the entries with "strictly less" (the first
// entry with the smallest squared RGB distance), found faster.
//
// Colour space is cut into cells of 16 x 16 x 16. The first colour that
// falls in a cell makes the cell's candidate list: every entry whose
// smallest possible distance to the cell is no more than U, the least over
// all entries of their largest distance to the cell. Any colour in the cell
// has some entry within U, so an entry left out is strictly farther than
// the nearest one and could neither win nor tie. The candidates keep their
// indices, so ties still go to the lowest index. A repeated colour reuses
// the previous answer.

#include <cstdint>
#include <vector>

#include "editor/import/palette_scan.h"
#include "editor/import/simd_level.h"
#include "editor/shapes/set_palette.h"
#include "platform/base/win_types.h"

class PaletteMatcher {
 public:
  // `count` is the colour count as ReadSetPalette returns it: entry 0 always
  // takes part, and at most the 256 entries of the palette.
  PaletteMatcher(const SetPalette& palette, int count, SimdLevel level = BestSimdLevel());

  // The index for a colour 0x00RRGGBB (the top byte is ignored).
  int Find(DWORD rgb) {
    rgb &= 0x00FFFFFF;
    if (rgb == m_lastColour) return m_lastIndex;
    m_lastColour = rgb;
    m_lastIndex = FindUncached(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                               static_cast<int>(rgb & 0xFF));
    return m_lastIndex;
  }

  // The number of entries searched (1 to 256).
  int EntryCount() const { return m_entries; }

 private:
  struct Cell {
    std::uint32_t first = 0;
    std::uint32_t blocks = 0;  // 0 until the cell is first used
  };

  int FindUncached(int red, int green, int blue);
  void BuildCell(std::size_t cell);

  int m_entries;
  std::int32_t m_red[256];
  std::int32_t m_green[256];
  std::int32_t m_blue[256];
  ScanFunction m_scan;
  std::vector<Cell> m_cells;
  std::vector<CandidateBlock> m_pool;
  DWORD m_lastColour = 0xFFFFFFFF;  // no colour has bits 24-31 set
  int m_lastIndex = 0;
};

// The entry nearest to `colour` (COLORREF 0x00BBGGRR) among entries 0 to
// count - 1 of `palette`, ties to the lowest index; entry 0 is always
// evaluated, so a count of 1 or less gives 0. Only bytes 0-2 of each entry
// (blue, green, red) are compared.
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count);
