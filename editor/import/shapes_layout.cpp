#include "editor/import/shapes_layout.h"

#include <algorithm>
#include <cstdio>

#include "editor/shapes/block_header.h"
#include "editor/shapes/file_position.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/slot_layout.h"

namespace {

constexpr LONGLONG kImageHeaderSize = 2 * kImageHeaderFieldCount;
constexpr LONGLONG kImageOffsetEntrySize = 4;

void AddRegion(CFile& file, ShapesLayout& layout, LONGLONG start, LONGLONG length, RegionKind kind, int setIndex,
               int image = 0) {
  if (length <= 0) return;
  RequireInsideFile(file, start, length);
  layout.regions.push_back({start, length, kind, setIndex, image});
}

}  // namespace

RegionMap::RegionMap(const ShapesLayout& layout) {
  m_starts.push_back(0);
  for (const ShapesRegion& region : layout.regions) {
    m_starts.push_back(region.start);
    m_starts.push_back(region.End());
  }
  std::sort(m_starts.begin(), m_starts.end());
  m_starts.erase(std::unique(m_starts.begin(), m_starts.end()), m_starts.end());
  // The owner of each piece: the region of the highest rank that covers it.
  constexpr int kRank[] = {3, 2, 1};  // by RegionKind: headers, colour table, pixels
  m_owners.assign(m_starts.size(), kNoRegion);
  std::vector<int> ranks(m_starts.size(), 0);
  for (std::size_t index = 0; index < layout.regions.size(); ++index) {
    const ShapesRegion& region = layout.regions[index];
    const int rank = kRank[static_cast<int>(region.kind)];
    for (std::size_t piece = PieceOf(region.start); piece < m_starts.size() && m_starts[piece] < region.End();
         ++piece) {
      if (rank <= ranks[piece]) continue;
      ranks[piece] = rank;
      m_owners[piece] = static_cast<int>(index);
    }
  }
  // Neighbours of one owner become one piece.
  std::size_t kept = 0;
  for (std::size_t piece = 0; piece < m_starts.size(); ++piece) {
    if (kept > 0 && m_owners[kept - 1] == m_owners[piece]) continue;
    m_starts[kept] = m_starts[piece];
    m_owners[kept] = m_owners[piece];
    ++kept;
  }
  m_starts.resize(kept);
  m_owners.resize(kept);
}

std::size_t RegionMap::PieceOf(LONGLONG offset) const {
  const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
  return after == m_starts.begin() ? 0 : static_cast<std::size_t>(after - m_starts.begin() - 1);
}

int RegionMap::OwnerOf(LONGLONG offset) const { return m_owners[PieceOf(offset)]; }

ShapesLayout ReadShapesLayout(CFile& file) {
  ShapesLayout layout;
  layout.length = file.GetLength();
  for (int set = 0; set < kSetCount; ++set) {
    const int headerNumber = SetHeaderNumbers[static_cast<std::size_t>(set)];
    const SetKind& kind = KindOfSet(set);
    const BlockHeader block = ReadBlockHeader(file, headerNumber);
    const LONGLONG base = block.baseOffset;
    AddRegion(file, layout, HeaderRecordPosition(headerNumber), kHeaderRecordSize, RegionKind::Headers, set);
    AddRegion(file, layout, base, kBlockHeaderSize, RegionKind::Headers, set);
    AddRegion(file, layout, base + block.imageTableOffset, kImageOffsetEntrySize * kind.imageCount, RegionKind::Headers,
              set);
    for (int image = 0; image < kind.imageCount; ++image) {
      const LONG imageOffset = ReadImageOffset(file, block, image);
      AddRegion(file, layout, base + imageOffset, kImageHeaderSize, RegionKind::Headers, set, image);
    }
    AddRegion(file, layout, base + block.colourTableOffset, kColourEntrySize * UsablePaletteEntries(block.colourCount),
              RegionKind::ColourTable, set);
    for (int image = 0; image < kind.imageCount; ++image)
      AddRegion(file, layout, LocateImagePixels(file, headerNumber, image), kind.ImageBytes(), RegionKind::Pixels, set,
                image);
  }
  return layout;
}

std::string SetImageName(int setIndex, int image) {
  const std::string set = kSetListStrings.at(static_cast<std::size_t>(setIndex));
  if (IsLandscapeSet(setIndex)) return set;
  char name[48];
  std::snprintf(name, sizeof name, " texture #%d <column %d, row %d>", image, SlotColumn(image), SlotRow(image));
  return set + name;
}

std::string RegionName(const ShapesRegion& region) {
  const std::string set = kSetListStrings.at(static_cast<std::size_t>(region.setIndex));
  switch (region.kind) {
    case RegionKind::Headers: return "the headers of " + set;
    case RegionKind::ColourTable: return "the colour table of " + set;
    case RegionKind::Pixels: return SetImageName(region.setIndex, region.image);
  }
  return set;
}
