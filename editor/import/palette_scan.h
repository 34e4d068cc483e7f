#pragma once
// The inner loop of the nearest-colour search: palette entries in blocks of
// eight, each lane a key (squared distance x 256 + entry index). The
// smallest key is the smallest distance and, among equal distances, the
// lowest index: exactly the entry a linear scan with "strictly less" keeps.
// The distance is at most 3 x 255^2, so the key fits 26 bits.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor/import/simd_level.h"

constexpr int kBlockLanes = 8;

struct alignas(32) CandidateBlock {
  std::int32_t red[kBlockLanes];
  std::int32_t green[kBlockLanes];
  std::int32_t blue[kBlockLanes];
  std::int32_t index[kBlockLanes];
};

// Returns the smallest key over `count` blocks (count >= 1).
using ScanFunction = std::int32_t (*)(const CandidateBlock* blocks, std::size_t count, int red, int green,
                                      int blue);

ScanFunction ScanFunctionFor(SimdLevel level);

constexpr int IndexOfKey(std::int32_t key) { return key & 0xFF; }

// Appends entries to blocks, eight lanes a block. The last block is padded
// with copies of its last entry, which cannot change the smallest key.
class CandidateWriter {
 public:
  explicit CandidateWriter(std::vector<CandidateBlock>& blocks) : m_blocks(blocks) {}
  void Add(int red, int green, int blue, int index);
  // Pads the last block; returns the number of blocks written since the
  // writer was made.
  std::size_t Finish();

 private:
  std::vector<CandidateBlock>& m_blocks;
  std::size_t m_first = m_blocks.size();
  int m_lane = kBlockLanes;
};
