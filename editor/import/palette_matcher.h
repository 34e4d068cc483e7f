#pragma once
// Nearest palette entry for many colours against one palette: the same
// answer as a linear scan over the entries with "strictly less" (the first
// entry with the smallest squared RGB distance), found faster.
//
// Colour space is cut into cubes of 32 levels a side, and each of those into
// eight cubes of 16. A cube's candidates are the entries of its enclosing
// cube (the whole palette for the larger cubes) that can be nearest to some
// colour of the cube, by the exact bound of palette_scan.h; they are always
// among the enclosing cube's, so filtering from those loses nothing, and
// they keep their indices, so ties still go to the lowest index. A cube's
// candidates are found the first time a colour falls in it.
//
// Colours are then gathered by cube of 16, sixteen at a time, and each
// cube's colours are compared with its candidates several colours at a
// time, one in each lane: with a few candidates per cube this costs far less
// than scanning the candidates of each colour in turn. (Cutting colour space
// further, into cubes of 8, shortens the lists but costs more in filtering
// than it saves.)

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
  // The indices of a picture of width x height colours held as bottom-up
  // rows, each written where the storage order puts it: in bottom-up row
  // order the same place, in column order column by column from the left,
  // each column top down.
  void MapPicture(const DWORD* rows, int width, int height, bool columnOrder, BYTE* out);

  // The number of entries searched (1 to 256).
  int EntryCount() const { return m_entries; }

 private:
  // A list of candidates in the pool: its first block and its entries.
  struct List {
    std::uint32_t first = 0;
    std::uint32_t entries = 0;  // 0 until the cube is first used
  };
  static constexpr std::size_t kMiddleCubes = 16 * 16 * 16;
  static constexpr int kGathered = 32;
  // The colours of one cube waiting to be compared, with the places their
  // indices go.
  // (The arrays are left unset until written: a new gathering is made for
  // every cube a picture touches.)
  struct Gathering {
    Gathering() {}
    List list;
    int count = 0;
    DWORD colours[kGathered];
    std::uint32_t positions[kGathered];
  };

  const List& MiddleList(std::size_t cube);
  List Filter(const List& from, int edge, DWORD rgb);
  void Compare(const Gathering& gathering, BYTE* out) const {
    m_kernels.scanColours(m_pool.get() + gathering.list.first, static_cast<int>(gathering.list.entries),
                          gathering.colours, static_cast<std::size_t>(gathering.count), gathering.positions,
                          out);
  }
  // Room for `more` blocks after the used ones; returns the first of them.
  std::size_t Reserve(std::size_t more);

  SearchKernels m_kernels;
  int m_entries;
  // Candidate lists, one after another. Grown by hand, because every block
  // is written before it is read and a vector would clear each one first.
  std::unique_ptr<CandidateBlock[]> m_pool;
  std::size_t m_poolUsed = 0;
  std::size_t m_poolSize = 0;
  std::vector<List> m_large;   // 8 x 8 x 8 cubes of 32
  std::vector<List> m_middle;  // 16 x 16 x 16 cubes of 16
  // The gathering of each cube of 16 in use: 1 + its place in m_gatherings,
  // or 0.
  std::vector<std::uint16_t> m_gatheringOf;
  std::vector<Gathering> m_gatherings;
};

// The entry nearest to `colour` (COLORREF 0x00BBGGRR) among entries 0 to
// count - 1 of `palette`, ties to the lowest index; entry 0 is always
// evaluated, so a count of 1 or less gives 0. Only bytes 0-2 of each entry
// (blue, green, red) are compared.
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count);
// The same on a chosen instruction set (the results are identical).
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count, SimdLevel level);
