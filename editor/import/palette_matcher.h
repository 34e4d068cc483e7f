#pragma once
// Nearest palette entry for many colours against one palette: the same
// answer as a linear scan over the entries with "strictly less" (the first
// entry with the smallest squared RGB distance), found faster.
//
// Colour space is cut into cubes of 32 levels a side, and each of those into
// eight cubes of 16. The first colour that falls in a cube gives the cube its
// candidates: the entries of the enclosing cube (the whole palette for the
// larger cubes) that can be nearest to some colour of the cube, by the exact
// bound of palette_scan.h. A cube's candidates are always among its
// enclosing cube's, so filtering from those loses nothing. The candidates
// keep their indices, so ties still go to the lowest index. A colour equal
// to the one before it reuses its answer.
//
// (Cutting further, into cubes of 8, shortens the scans but costs more in
// filtering than it saves, for textures and landscapes alike.)

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
  // out[i] = Find(pixels[i x step]) for i from 0 to count - 1.
  void Map(const DWORD* pixels, std::ptrdiff_t step, std::size_t count, BYTE* out) {
    m_kernels.map(*this, pixels, step, count, out);
  }

  // The number of entries searched (1 to 256).
  int EntryCount() const { return m_entries; }

  // For the map kernels: the candidates of the cube of 16 around a colour
  // 0x00RRGGBB are MiddleCubes()[MiddleCube(rgb)], first block x 32 + pairs
  // of blocks to scan, or 0 until the cube is first used.
  static std::size_t MiddleCube(DWORD rgb) {
    return ((rgb >> 12) & 0xF00) | ((rgb >> 8) & 0xF0) | ((rgb >> 4) & 0xF);
  }
  static constexpr std::size_t FirstBlockOf(std::uint32_t list) { return list >> 5; }
  static constexpr std::size_t PairsOf(std::uint32_t list) { return list & 31; }
  const std::uint32_t* MiddleCubes() const { return m_middle.data(); }
  const CandidateBlock* Blocks() const { return m_pool.get(); }
  // Makes the candidates of the cube of 16 around a colour (and of its cube
  // of 32 when needed) and returns them; may move Blocks().
  std::uint32_t MakeMiddleCube(DWORD rgb);

 private:
  // A list of candidates being filtered further: its first block and its
  // number of entries.
  struct List {
    std::size_t first = 0;
    int entries = 0;
  };
  List Filter(const List& from, int edge, DWORD rgb);
  // Room for `more` blocks after the used ones; returns the first of them.
  std::size_t Reserve(std::size_t more);

  SearchKernels m_kernels;
  int m_entries;
  // Candidate lists, one after another. Grown by hand, because every block
  // is written before it is read and a vector would clear each one first.
  std::unique_ptr<CandidateBlock[]> m_pool;
  std::size_t m_poolUsed = 0;
  std::size_t m_poolSize = 0;
  std::vector<List> m_large;            // 8 x 8 x 8 cubes of 32
  std::vector<std::uint32_t> m_middle;  // 16 x 16 x 16 cubes of 16
};

// The entry nearest to `colour` (COLORREF 0x00BBGGRR) among entries 0 to
// count - 1 of `palette`, ties to the lowest index; entry 0 is always
// evaluated, so a count of 1 or less gives 0. Only bytes 0-2 of each entry
// (blue, green, red) are compared.
int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count);
