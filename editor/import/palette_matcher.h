#pragma once
// Nearest palette entry for many colours against one palette: the same
// answer as a linear scan over the entries with "strictly less" (the first
// entry with the smallest squared RGB distance), found faster.
//
// Entries that repeat an earlier entry's colour are dropped first: the
// earlier one wins all their ties. Colour space is cut into cubes of 32
// levels a side, and each of those into eight cells of 16. A cube's
// candidates are taken from the whole palette, a cell's from its cube's,
// each time leaving out only entries that cannot be the first nearest entry
// to any colour of the cube or cell (palette_scan.h says how that is
// decided); a cell keeps, in the end, few more than the entries it needs.
// Every candidate keeps its index, so ties still go to the lowest index.
// Cubes and cells are filtered the first time a colour falls in them, and a
// colour is then compared with its cell's few candidates only, eight at a
// time.

#include <cstddef>
#include <cstdint>
#include <memory>
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

  // The index for one colour 0x00RRGGBB (the top byte is ignored).
  int Find(DWORD rgb);
  // The indices of `count` colours colours[columns[k]], k = 0 .. count - 1,
  // written to out[k x step]: one row of a picture, whichever way its
  // indices are stored.
  void MapRow(const DWORD* colours, const int* columns, int count, BYTE* out, std::ptrdiff_t step);
  // The indices of a picture of width x height colours held as bottom-up
  // rows, each written where the storage order puts it: in bottom-up row
  // order the same place, in column order column by column from the left,
  // each column top down.
  void MapPicture(const DWORD* rows, int width, int height, bool columnOrder, BYTE* out);

  // The number of entries searched (1 to 256).
  int EntryCount() const { return m_entries; }

 private:
  MatchTables Tables() const { return MatchTables{m_pool.get(), m_cells.data()}; }
  const CandidateList& CellList(std::size_t cell);
  CandidateList Filter(const CandidateList& from, const ColourBox& box);
  // Room for `more` blocks after the used ones; returns the first of them.
  std::size_t Reserve(std::size_t more);

  SearchKernels m_kernels;
  int m_entries;
  CandidateList m_distinct;  // the entries of distinct colours, first in the pool
  // Candidate lists, one after another. Grown by hand, because every block
  // is written before it is read and a vector would clear each one first.
  std::unique_ptr<CandidateBlock[]> m_pool;
  std::size_t m_poolUsed = 0;
  std::size_t m_poolSize = 0;
  std::vector<CandidateList> m_cubes;  // 8 x 8 x 8 cubes of 32
  std::vector<CandidateList> m_cells;  // kCells cells of 16
};

// The entry nearest to `colour` (COLORREF 0x00BBGGRR) among entries 0 to
// count - 1 of `palette`, ties to the lowest index; entry 0 is always
// evaluated, so a count of 1 or less gives 0. Only bytes 0-2 of each entry
// (blue, green, red) are compared.
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count);
// The same on a chosen instruction set (the results are identical).
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count, SimdLevel level);
