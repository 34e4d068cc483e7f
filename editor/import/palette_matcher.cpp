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
}  // namespace

PaletteMatcher::PaletteMatcher(const SetPalette& palette, int count, SimdLevel level)
    : m_kernels(KernelsFor(level)),
      m_entries(EntriesSearched(count)),
      m_large(8 * 8 * 8),
      m_middle(16 * 16 * 16, 0) {
  Reserve(StoredBlocksFor(m_entries));
  WritePalette(palette, m_entries, m_pool.get());
  m_poolUsed = StoredBlocksFor(m_entries);
}

int PaletteMatcher::Find(DWORD rgb) {
  BYTE index = 0;
  Map(&rgb, 0, 1, &index);
  return index;
}

std::uint32_t PaletteMatcher::MakeMiddleCube(DWORD rgb) {
  List& large = m_large[LargeCube(rgb)];
  if (large.entries == 0) large = Filter(List{0, m_entries}, 32, rgb);
  const List middle = Filter(large, 16, rgb);
  std::uint32_t& list = m_middle[MiddleCube(rgb)];
  list = static_cast<std::uint32_t>(middle.first << 5 | PairsFor(middle.entries));
  return list;
}

PaletteMatcher::List PaletteMatcher::Filter(const List& from, int edge, DWORD rgb) {
  const int red = static_cast<int>((rgb >> 16) & 0xFF) & -edge;
  const int green = static_cast<int>((rgb >> 8) & 0xFF) & -edge;
  const int blue = static_cast<int>(rgb & 0xFF) & -edge;
  const ColourBox box = {red, red + edge - 1, green, green + edge - 1, blue, blue + edge - 1};
  const std::size_t first = Reserve(StoredBlocksFor(from.entries));
  const int kept = m_kernels.filter(m_pool.get() + from.first, from.entries, box, m_pool.get() + first);
  m_poolUsed = first + StoredBlocksFor(kept);
  return List{first, kept};
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
  // The whole palette in one scan; one colour does not pay for cubes.
  const int entries = EntriesSearched(count);
  CandidateBlock blocks[kSetPaletteSize / kBlockLanes];
  WritePalette(palette, entries, blocks);
  static const ScanFunction scan = KernelsFor(BestSimdLevel()).scan;
  return scan(blocks, PairsFor(entries), GetRValue(colour), GetGValue(colour), GetBValue(colour));
}
