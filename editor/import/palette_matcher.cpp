#include "editor/import/palette_matcher.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kCellShift = 4;
constexpr int kCellsPerAxis = 256 >> kCellShift;
constexpr int kCellSize = 1 << kCellShift;

int EntriesSearched(int count) { return std::clamp(count, 1, kSetPaletteSize); }

int Square(int v) { return v * v; }

// Distance along one axis from value v to the range [lo, hi]: nearest and
// farthest point.
int NearestGap(int v, int lo, int hi) { return v < lo ? lo - v : v > hi ? v - hi : 0; }
int FarthestGap(int v, int lo, int hi) { return std::max(v - lo, hi - v); }
}  // namespace

PaletteMatcher::PaletteMatcher(const SetPalette& palette, int count, SimdLevel level)
    : m_entries(EntriesSearched(count)),
      m_scan(ScanFunctionFor(level)),
      m_cells(kCellsPerAxis * kCellsPerAxis * kCellsPerAxis) {
  for (int i = 0; i < m_entries; ++i) {
    const DWORD entry = palette[static_cast<std::size_t>(i)];
    m_red[i] = static_cast<std::int32_t>((entry >> 16) & 0xFF);
    m_green[i] = static_cast<std::int32_t>((entry >> 8) & 0xFF);
    m_blue[i] = static_cast<std::int32_t>(entry & 0xFF);
  }
}

int PaletteMatcher::FindUncached(int red, int green, int blue) {
  const std::size_t cell = static_cast<std::size_t>(
      ((red >> kCellShift) * kCellsPerAxis + (green >> kCellShift)) * kCellsPerAxis + (blue >> kCellShift));
  if (m_cells[cell].blocks == 0) BuildCell(cell);
  const Cell& c = m_cells[cell];
  return IndexOfKey(m_scan(m_pool.data() + c.first, c.blocks, red, green, blue));
}

void PaletteMatcher::BuildCell(std::size_t cell) {
  const int redLo = static_cast<int>(cell / (kCellsPerAxis * kCellsPerAxis)) * kCellSize;
  const int greenLo = static_cast<int>(cell / kCellsPerAxis % kCellsPerAxis) * kCellSize;
  const int blueLo = static_cast<int>(cell % kCellsPerAxis) * kCellSize;
  const int redHi = redLo + kCellSize - 1;
  const int greenHi = greenLo + kCellSize - 1;
  const int blueHi = blueLo + kCellSize - 1;

  int nearest[256];
  int bound = INT_MAX;
  for (int i = 0; i < m_entries; ++i) {
    nearest[i] = Square(NearestGap(m_red[i], redLo, redHi)) +
                 Square(NearestGap(m_green[i], greenLo, greenHi)) +
                 Square(NearestGap(m_blue[i], blueLo, blueHi));
    const int farthest = Square(FarthestGap(m_red[i], redLo, redHi)) +
                         Square(FarthestGap(m_green[i], greenLo, greenHi)) +
                         Square(FarthestGap(m_blue[i], blueLo, blueHi));
    bound = std::min(bound, farthest);
  }

  Cell& c = m_cells[cell];
  c.first = static_cast<std::uint32_t>(m_pool.size());
  CandidateWriter writer(m_pool);
  for (int i = 0; i < m_entries; ++i)
    if (nearest[i] <= bound) writer.Add(m_red[i], m_green[i], m_blue[i], i);
  c.blocks = static_cast<std::uint32_t>(writer.Finish());
}

int FindNearestPaletteIndex(const SetPalette& palette, COLORREF colour, int count) {
  const int entries = EntriesSearched(count);
  // The whole palette as candidates, on the stack: one colour does not pay
  // for a cell grid.
  CandidateBlock blocks[kSetPaletteSize / kBlockLanes];
  int lane = 0;
  std::size_t used = 0;
  for (int i = 0; i < entries; ++i) {
    const DWORD entry = palette[static_cast<std::size_t>(i)];
    CandidateBlock& block = blocks[used];
    block.red[lane] = static_cast<std::int32_t>((entry >> 16) & 0xFF);
    block.green[lane] = static_cast<std::int32_t>((entry >> 8) & 0xFF);
    block.blue[lane] = static_cast<std::int32_t>(entry & 0xFF);
    block.index[lane] = i;
    if (++lane == kBlockLanes) {
      lane = 0;
      ++used;
    }
  }
  if (lane != 0) {
    // Pad the last block with copies of the last entry.
    CandidateBlock& block = blocks[used];
    for (int l = lane; l < kBlockLanes; ++l) {
      block.red[l] = block.red[lane - 1];
      block.green[l] = block.green[lane - 1];
      block.blue[l] = block.blue[lane - 1];
      block.index[l] = block.index[lane - 1];
    }
    ++used;
  }
  static const ScanFunction scan = ScanFunctionFor(BestSimdLevel());
  return IndexOfKey(scan(blocks, used, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}
