#include "editor/import/palette_matcher.h"

#include <algorithm>

namespace {
int EntriesSearched(int count) { return std::clamp(count, 1, kSetPaletteSize); }

// Entries 0 to entries - 1 of the palette as blocks.
void WritePalette(const SetPalette& palette, int entries, CandidateBlock* blocks) {
  for (int i = 0; i < entries; ++i) {
    const DWORD entry = palette[static_cast<std::size_t>(i)];
    SetLane(blocks[i / kBlockLanes], i % kBlockLanes, static_cast<int>((entry >> 16) & 0xFF),
            static_cast<int>((entry >> 8) & 0xFF), static_cast<int>(entry & 0xFF), i);
  }
  PadList(blocks, entries);
}

std::size_t LargeCube(DWORD rgb) { return ((rgb >> 15) & 0x1C0) | ((rgb >> 10) & 0x38) | ((rgb >> 5) & 0x7); }
std::size_t MiddleCube(DWORD rgb) { return ((rgb >> 12) & 0xF00) | ((rgb >> 8) & 0xF0) | ((rgb >> 4) & 0xF); }
// The darkest colour of a cube of 16.
DWORD CornerOf(std::size_t middleCube) {
  return static_cast<DWORD>(((middleCube & 0xF00) << 12) | ((middleCube & 0xF0) << 8) |
                            ((middleCube & 0xF) << 4));
}
}  // namespace

PaletteMatcher::PaletteMatcher(const SetPalette& palette, int count, SimdLevel level)
    : m_kernels(KernelsFor(level)),
      m_entries(EntriesSearched(count)),
      m_large(8 * 8 * 8),
      m_middle(kMiddleCubes) {
  Reserve(StoredBlocksFor(m_entries));
  WritePalette(palette, m_entries, m_pool.get());
  m_poolUsed = StoredBlocksFor(m_entries);
}

int PaletteMatcher::Find(DWORD rgb) {
  Gathering one;
  one.list = MiddleList(MiddleCube(rgb));
  one.count = 1;
  // The kernels read whole groups of colours; the ones after the first
  // are copies whose results are not written.
  std::fill(one.colours, one.colours + kGathered, rgb & 0x00FFFFFF);
  one.positions[0] = 0;
  BYTE index = 0;
  Compare(one, &index);
  return index;
}

void PaletteMatcher::MapPicture(const DWORD* rows, int width, int height, bool columnOrder, BYTE* out) {
  if (width <= 0 || height <= 0) return;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  m_gatheringOf.assign(kMiddleCubes, 0);
  m_gatherings.clear();
  m_gatherings.reserve(512);
  // Bottom-up row r, column x goes to byte r x width + x in row order, and to
  // byte x x height + (height - 1 - r) in column order.
  const std::size_t step = columnOrder ? h : 1;
  // Local copies of the tables, refreshed when a new gathering may move
  // them; the stores below would otherwise make the compiler fetch them
  // from the matcher for every colour.
  std::uint16_t* gatheringOf = m_gatheringOf.data();
  Gathering* gatherings = m_gatherings.data();
  const DWORD* colour = rows;
  for (std::size_t r = 0; r < h; ++r) {
    std::size_t position = columnOrder ? h - 1 - r : r * w;
    for (std::size_t x = 0; x < w; ++x, ++colour, position += step) {
      const DWORD rgb = *colour & 0x00FFFFFF;
      const std::size_t cube = MiddleCube(rgb);
      if (gatheringOf[cube] == 0) {
        m_gatherings.emplace_back();
        m_gatherings.back().list = MiddleList(cube);
        gatheringOf[cube] = static_cast<std::uint16_t>(m_gatherings.size());
        gatherings = m_gatherings.data();
      }
      Gathering& g = gatherings[gatheringOf[cube] - 1u];
      g.colours[g.count] = rgb;
      g.positions[g.count] = static_cast<std::uint32_t>(position);
      if (++g.count == kGathered) {
        Compare(g, out);
        g.count = 0;
      }
    }
  }
  for (Gathering& g : m_gatherings) {
    if (g.count == 0) continue;
    // The kernels read whole groups of eight colours: the rest of the last
    // group repeats the last colour, and its results are not written.
    const int group = (g.count + kBlockLanes - 1) / kBlockLanes * kBlockLanes;
    std::fill(g.colours + g.count, g.colours + group, g.colours[g.count - 1]);
    Compare(g, out);
  }
}

const PaletteMatcher::List& PaletteMatcher::MiddleList(std::size_t cube) {
  List& middle = m_middle[cube];
  if (middle.entries == 0) {
    const DWORD corner = CornerOf(cube);
    List& large = m_large[LargeCube(corner)];
    if (large.entries == 0) large = Filter(List{0, static_cast<std::uint32_t>(m_entries)}, 32, corner);
    middle = Filter(large, 16, corner);
  }
  return middle;
}

PaletteMatcher::List PaletteMatcher::Filter(const List& from, int edge, DWORD rgb) {
  const int red = static_cast<int>((rgb >> 16) & 0xFF) & -edge;
  const int green = static_cast<int>((rgb >> 8) & 0xFF) & -edge;
  const int blue = static_cast<int>(rgb & 0xFF) & -edge;
  const ColourBox box = {red, red + edge - 1, green, green + edge - 1, blue, blue + edge - 1};
  const int entries = static_cast<int>(from.entries);
  const std::size_t first = Reserve(StoredBlocksFor(entries));
  const int kept = m_kernels.filter(m_pool.get() + from.first, entries, box, m_pool.get() + first);
  m_poolUsed = first + StoredBlocksFor(kept);
  return List{static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(kept)};
}

std::size_t PaletteMatcher::Reserve(std::size_t more) {
  if (m_poolUsed + more > m_poolSize) {
    const std::size_t size = std::max<std::size_t>({m_poolSize * 2, m_poolUsed + more, 1024});
    // Default-initialised: the blocks are plain data and stay unwritten.
    std::unique_ptr<CandidateBlock[]> grown(new CandidateBlock[size]);
    std::copy(m_pool.get(), m_pool.get() + m_poolUsed, grown.get());
    m_pool = std::move(grown);
    m_poolSize = size;
  }
  return m_poolUsed;
}

int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count) {
  return FindNearestPaletteIndex(palette, colour, count, BestSimdLevel());
}

int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count, SimdLevel level) {
  // The whole palette in one scan; one colour does not pay for cubes.
  const int entries = EntriesSearched(count);
  CandidateBlock blocks[kSetPaletteSize / kBlockLanes];
  WritePalette(palette, entries, blocks);
  return KernelsFor(level).scan(blocks, PairsFor(entries), GetRValue(colour), GetGValue(colour),
                                GetBValue(colour));
}
