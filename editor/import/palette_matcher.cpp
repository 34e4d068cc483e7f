#include "editor/import/palette_matcher.h"

#include <algorithm>

namespace {
int EntriesSearched(int count) { return std::clamp(count, 1, kSetPaletteSize); }

int RedOf(DWORD rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
int GreenOf(DWORD rgb) { return static_cast<int>((rgb >> 8) & 0xFF); }
int BlueOf(DWORD rgb) { return static_cast<int>(rgb & 0xFF); }

// Entries 0 to entries - 1 of the palette as blocks.
void WritePalette(const SetPalette& palette, int entries, CandidateBlock* blocks) {
  for (int i = 0; i < entries; ++i) {
    const DWORD entry = palette[static_cast<std::size_t>(i)];
    SetLane(blocks[i / kBlockLanes], i % kBlockLanes, RedOf(entry), GreenOf(entry), BlueOf(entry), i);
  }
  PadList(blocks, entries);
}

// Of the entries 0 to entries - 1, the first of each colour, as blocks;
// returns how many.
int WriteDistinctEntries(const SetPalette& palette, int entries, CandidateBlock* blocks) {
  // Colour above index, so that sorting puts the lowest index of each colour
  // first.
  std::uint32_t keyed[kSetPaletteSize];
  for (int i = 0; i < entries; ++i)
    keyed[i] = ((palette[static_cast<std::size_t>(i)] & 0x00FFFFFF) << 8) | static_cast<std::uint32_t>(i);
  std::sort(keyed, keyed + entries);
  int distinct = 0;
  for (int i = 0; i < entries; ++i) {
    if (i > 0 && (keyed[i] >> 8) == (keyed[i - 1] >> 8)) continue;
    const DWORD rgb = keyed[i] >> 8;
    SetLane(blocks[distinct / kBlockLanes], distinct % kBlockLanes, RedOf(rgb), GreenOf(rgb), BlueOf(rgb),
            static_cast<int>(keyed[i] & 0xFF));
    ++distinct;
  }
  PadList(blocks, distinct);
  return distinct;
}

std::size_t CubeOf(DWORD rgb) { return ((rgb >> 15) & 0x1C0) | ((rgb >> 10) & 0x38) | ((rgb >> 5) & 0x7); }

// The cube of `edge` levels a side (a power of two) that holds `rgb`.
ColourBox BoxOf(DWORD rgb, int edge) {
  const int red = RedOf(rgb) & -edge;
  const int green = GreenOf(rgb) & -edge;
  const int blue = BlueOf(rgb) & -edge;
  return ColourBox{red, red + edge - 1, green, green + edge - 1, blue, blue + edge - 1};
}

CandidateList ListOf(std::size_t first, int entries) {
  return CandidateList{static_cast<std::uint32_t>(first), static_cast<std::uint16_t>(entries),
                       static_cast<std::uint16_t>(BlocksFor(entries))};
}
}  // namespace

PaletteMatcher::PaletteMatcher(const SetPalette& palette, int count, SimdLevel level)
    : m_kernels(KernelsFor(level)), m_entries(EntriesSearched(count)), m_cubes(8 * 8 * 8), m_cells(kCells) {
  Reserve(BlocksFor(m_entries));
  m_distinct = ListOf(0, WriteDistinctEntries(palette, m_entries, m_pool.get()));
  m_poolUsed = m_distinct.blocks;
}

int PaletteMatcher::Find(DWORD rgb) {
  BYTE index = 0;
  const int column = 0;
  MapRow(&rgb, &column, 1, &index, 1);
  return index;
}

void PaletteMatcher::MapRow(const DWORD* colours, const int* columns, int count, BYTE* out, std::ptrdiff_t step) {
  int done = 0;
  while (done < count) {
    done += m_kernels.mapRow(Tables(), colours, columns + done, count - done, out + done * step, step);
    // Stopped at a colour whose cell is new: filter it, and go on from that
    // colour.
    if (done < count) CellList(CellOf(colours[columns[done]]));
  }
}

void PaletteMatcher::MapPicture(const DWORD* rows, int width, int height, bool columnOrder, BYTE* out) {
  if (width <= 0 || height <= 0) return;
  const auto w = static_cast<std::ptrdiff_t>(width);
  const auto h = static_cast<std::ptrdiff_t>(height);
  std::vector<int> columns(static_cast<std::size_t>(width));
  for (int x = 0; x < width; ++x) columns[static_cast<std::size_t>(x)] = x;
  // Bottom-up row r, column x goes to byte r x width + x in row order, and to
  // byte x x height + (height - 1 - r) in column order.
  for (std::ptrdiff_t r = 0; r < h; ++r)
    MapRow(rows + r * w, columns.data(), width, out + (columnOrder ? h - 1 - r : r * w), columnOrder ? h : 1);
}

const CandidateList& PaletteMatcher::CellList(std::size_t cell) {
  CandidateList& list = m_cells[cell];
  if (list.blocks == 0) {
    const DWORD corner = CornerOf(cell);
    CandidateList& cube = m_cubes[CubeOf(corner)];
    if (cube.blocks == 0) cube = Filter(m_distinct, BoxOf(corner, 32));
    // A list of one block is searched as fast as any shorter one, so the
    // cells of such a cube share its list.
    if (cube.blocks == 1) return list = cube;
    const ColourBox box = BoxOf(corner, 16);
    list = Filter(cube, box);
    // Every colour of the cell is searched through this list, so it is
    // worth cutting to the entries the cell needs when that can spare a
    // block.
    if (list.entries > kBlockLanes) {
      list = ListOf(list.first, KeepUndominated(m_pool.get() + list.first, list.entries, box));
      m_poolUsed = list.first + list.blocks;
    }
  }
  return list;
}

CandidateList PaletteMatcher::Filter(const CandidateList& from, const ColourBox& box) {
  const std::size_t first = Reserve(from.blocks);
  const int kept = m_kernels.filter(m_pool.get() + from.first, from.entries, box, m_pool.get() + first);
  m_poolUsed = first + BlocksFor(kept);
  return ListOf(first, kept);
}

std::size_t PaletteMatcher::Reserve(std::size_t more) {
  if (m_poolUsed + more > m_poolSize) {
    // Room at first for what a set of photographs takes.
    const std::size_t size = std::max<std::size_t>({m_poolSize * 2, m_poolUsed + more, 4096});
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
  const DWORD rgb =
      (static_cast<DWORD>(GetRValue(colour)) << 16) | (static_cast<DWORD>(GetGValue(colour)) << 8) | GetBValue(colour);
  return KernelsFor(level).scan(blocks, BlocksFor(entries), rgb);
}
