#pragma once
// The inner loops of the nearest-colour search, over palette entries kept in
// blocks of eight lanes.
//
// Scanning finds the smallest key, squared distance x 256 + entry index: the
// smallest distance and, among equal distances, the lowest index, which is
// exactly the entry a linear scan with "strictly less" keeps. The distance
// |e - q|^2 is |e|^2 - 2 e.q + |q|^2, and |q|^2 is the same for every entry,
// so each lane holds base = |e|^2 x 256 + index and the scan takes the
// smallest base - 512 e.q: two multiply-adds a block, and the low 8 bits of
// the winner are its index. Values stay within -10^8 .. 5 x 10^7.
//
// Filtering keeps, of a list of entries, those that can be nearest to some
// colour of a box: every entry whose nearest point of the box is no farther
// than U, the least over all entries of their farthest point of the box.
// Each colour of the box has an entry within U, so an entry left out is
// strictly farther than the nearest one and can neither win nor tie. Kept
// entries stay in index order.

#include <cstddef>
#include <cstdint>

#include "editor/import/simd_level.h"
#include "platform/base/win_types.h"

constexpr int kBlockLanes = 8;

struct alignas(32) CandidateBlock {
  std::uint32_t redGreen[kBlockLanes];  // red | green << 16
  std::uint32_t blue[kBlockLanes];      // blue, high half zero
  std::int32_t base[kBlockLanes];       // (red^2 + green^2 + blue^2) x 256 + index
};

constexpr std::size_t BlocksFor(int entries) {
  return static_cast<std::size_t>((entries + kBlockLanes - 1) / kBlockLanes);
}

// Lists are scanned two blocks at a time, so that most scans of a picture
// take the same number of rounds and the loop is predictable: a list always
// takes an even number of blocks, the last one repeated when needed.
constexpr std::size_t PairsFor(int entries) { return (BlocksFor(entries) + 1) / 2; }
constexpr std::size_t StoredBlocksFor(int entries) { return 2 * PairsFor(entries); }

// Writes one entry into lane `lane` of `block`.
void SetLane(CandidateBlock& block, int lane, int red, int green, int blue, int index);
// Copies the last used lane into the lanes after it: a copy cannot change
// the smallest key nor the bound of a filter.
void PadBlock(CandidateBlock& block, int usedLanes);
// Pads the list of `entries` in `blocks` to StoredBlocksFor(entries) blocks.
void PadList(CandidateBlock* blocks, int entries);

// Inclusive ranges of red, green and blue.
struct ColourBox {
  int redLo, redHi, greenLo, greenHi, blueLo, blueHi;
};

// The index of the nearest entry over `pairs` pairs of blocks (at least 1).
using ScanFunction = int (*)(const CandidateBlock* blocks, std::size_t pairs, int red, int green, int blue);

// Writes the kept entries among the first `entries` of `from` to `to`, as
// StoredBlocksFor(kept) blocks padded by PadBlock and a repeated block, and
// returns how many were kept (at least 1). `to` has room for
// StoredBlocksFor(entries) blocks and must not overlap `from`.
using FilterFunction = int (*)(const CandidateBlock* from, int entries, const ColourBox& box,
                               CandidateBlock* to);

class PaletteMatcher;
// Maps `count` colours 0x00RRGGBB, read `step` pixels apart, to indices.
using MapFunction = void (*)(PaletteMatcher& matcher, const DWORD* pixels, std::ptrdiff_t step,
                             std::size_t count, BYTE* out);

struct SearchKernels {
  ScanFunction scan;
  FilterFunction filter;
  MapFunction map;
};

SearchKernels KernelsFor(SimdLevel level);
