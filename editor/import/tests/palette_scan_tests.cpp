#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "editor/import/palette_scan.h"

namespace {

struct Entry {
  int red, green, blue, index;
};

std::vector<CandidateBlock> BlocksOf(const std::vector<Entry>& entries) {
  std::vector<CandidateBlock> blocks(BlocksFor(static_cast<int>(entries.size())));
  for (std::size_t i = 0; i < entries.size(); ++i)
    SetLane(blocks[i / kBlockLanes], static_cast<int>(i % kBlockLanes), entries[i].red, entries[i].green,
            entries[i].blue, entries[i].index);
  PadList(blocks.data(), static_cast<int>(entries.size()));
  return blocks;
}

std::set<int> IndicesOf(const std::vector<CandidateBlock>& blocks, int entries) {
  std::set<int> indices;
  for (int i = 0; i < entries; ++i)
    indices.insert(blocks[static_cast<std::size_t>(i / kBlockLanes)].base[i % kBlockLanes] & 0xFF);
  return indices;
}

// The first nearest entry of the list to each colour of the box, by the
// plain rule, as a set of indices.
std::set<int> NeededBy(const std::vector<Entry>& entries, const ColourBox& box) {
  std::set<int> needed;
  for (int r = box.redLo; r <= box.redHi; ++r)
    for (int g = box.greenLo; g <= box.greenHi; ++g)
      for (int b = box.blueLo; b <= box.blueHi; ++b) {
        int best = -1, bestDistance = 0;
        for (const Entry& e : entries) {
          const int d = (e.red - r) * (e.red - r) + (e.green - g) * (e.green - g) + (e.blue - b) * (e.blue - b);
          if (best < 0 || d < bestDistance || (d == bestDistance && e.index < best)) {
            best = e.index;
            bestDistance = d;
          }
        }
        needed.insert(best);
      }
  return needed;
}

// Lists of distinct colours around a cell of 16 (many near it, some on its
// faces, some far away), filtered for the cell: every entry some colour of
// the cell needs is kept, by the cuts on every instruction set alike and by
// the pairwise step after them.
TEST(CandidateFilter, KeepsEveryEntryThatIsNearestToSomeColourOfTheBox) {
  std::mt19937 random(5);
  for (int round = 0; round < 60; ++round) {
    const int lo[3] = {static_cast<int>(random() % 16) * 16, static_cast<int>(random() % 16) * 16,
                       static_cast<int>(random() % 16) * 16};
    const ColourBox box = {lo[0], lo[0] + 15, lo[1], lo[1] + 15, lo[2], lo[2] + 15};
    const int spread = round % 3 == 0 ? 256 : round % 3 == 1 ? 48 : 24;
    std::set<int> colours;
    std::vector<Entry> entries;
    const int count = 1 + static_cast<int>(random() % 200);
    while (static_cast<int>(entries.size()) < count) {
      int c[3];
      for (int k = 0; k < 3; ++k)
        c[k] = std::clamp(lo[k] + 8 + static_cast<int>(random() % static_cast<unsigned>(2 * spread)) - spread, 0, 255);
      // Some entries share a coordinate with the cell's faces, for ties.
      if (random() % 4 == 0) c[random() % 3] = lo[random() % 3];
      if (!colours.insert(c[0] << 16 | c[1] << 8 | c[2]).second) continue;
      entries.push_back(Entry{c[0], c[1], c[2], static_cast<int>(random() % 256)});
    }
    const std::vector<CandidateBlock> from = BlocksOf(entries);
    const std::set<int> needed = NeededBy(entries, box);
    std::vector<std::set<int>> keptPerLevel;
    for (SimdLevel level : SupportedSimdLevels()) {
      std::vector<CandidateBlock> to(from.size());
      const int kept = KernelsFor(level).filter(from.data(), count, box, to.data());
      ASSERT_GE(kept, 1);
      const std::set<int> cut = IndicesOf(to, kept);
      for (int index : needed) ASSERT_TRUE(cut.count(index)) << SimdLevelName(level) << " round " << round;
      keptPerLevel.push_back(cut);

      const int undominated = KeepUndominated(to.data(), kept, box);
      const std::set<int> final = IndicesOf(to, undominated);
      for (int index : needed) ASSERT_TRUE(final.count(index)) << "pairwise, round " << round;
      // The pairwise step leaves no more than a cell can use here, where
      // the colours of the whole box were tried.
      EXPECT_LE(final.size(), cut.size());
    }
    for (const std::set<int>& cut : keptPerLevel) EXPECT_EQ(cut, keptPerLevel.front()) << "round " << round;
  }
}

// Of two entries that tie only on the box's face red = 15 and are apart
// everywhere else, the one farther inside is needed; the other only where it
// wins the tie, that is when its index is the lower.
TEST(CandidateFilter, PairwiseStepLeavesOutWhatTiesLoseOnly) {
  const ColourBox box = {0, 15, 0, 15, 0, 15};
  const struct {
    std::vector<Entry> entries;
    std::set<int> kept;
    const char* why;
  } rows[] = {
      {{{14, 8, 8, 2}, {16, 8, 8, 9}}, {2}, "the outer entry loses its only tie"},
      {{{14, 8, 8, 9}, {16, 8, 8, 2}}, {2, 9}, "the outer entry wins its ties on the face"},
      {{{40, 40, 40, 9}, {40, 40, 40, 4}, {200, 200, 200, 1}}, {4}, "twins tie everywhere; a far entry never wins"},
      {{{0, 8, 8, 7}, {10, 8, 8, 3}}, {3, 7}, "each entry is nearest on its own side"},
  };
  for (const auto& row : rows) {
    std::vector<CandidateBlock> list = BlocksOf(row.entries);
    const int kept = KeepUndominated(list.data(), static_cast<int>(row.entries.size()), box);
    EXPECT_EQ(IndicesOf(list, kept), row.kept) << row.why;
    EXPECT_EQ(NeededBy(row.entries, box), row.kept) << row.why << " (by trying every colour)";
  }
}

TEST(ColourCells, EveryColourLiesInTheCellOfItsTopBits) {
  for (std::size_t cell = 0; cell < kCells; ++cell) {
    const DWORD corner = CornerOf(cell);
    ASSERT_EQ(corner & 0x0F0F0F, 0u) << cell;
    ASSERT_EQ(CellOf(corner), cell);
    ASSERT_EQ(CellOf(corner | 0xFF0F0F0F), cell) << "the low bits and the top byte do not move a colour";
  }
}

}  // namespace
