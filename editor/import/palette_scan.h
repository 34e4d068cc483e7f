#pragma once
// The inner loops of the nearest-colour search, over palette entries kept in
// blocks of eight lanes.
//
// Each entry e is compared with a colour q by its key, squared distance x 256
// + entry index: the smallest key is the smallest distance and, among equal
// distances, the lowest index, exactly the entry a linear scan with
// "strictly less" keeps. As |e - q|^2 = |e|^2 - 2 e.q + |q|^2 and |q|^2 is the
// same for every entry, each entry holds base = |e|^2 x 256 + index and the
// search keeps the smallest base - 512 e.q, whose low 8 bits are the index:
// two multiply-adds per comparison. Values stay within -10^8 .. 5 x 10^7.
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

// Lists are kept in an even number of blocks, so that a single colour is
// scanned two blocks a round: a list of entries takes StoredBlocksFor blocks,
// the lanes after its last entry copies of it.
constexpr std::size_t PairsFor(int entries) { return (BlocksFor(entries) + 1) / 2; }
constexpr std::size_t StoredBlocksFor(int entries) { return 2 * PairsFor(entries); }

// Writes one entry into lane `lane` of `block`.
void SetLane(CandidateBlock& block, int lane, int red, int green, int blue, int index);
// Fills the lanes after the list's last entry with copies of it, up to
// StoredBlocksFor(entries) blocks. A copy changes neither a smallest key nor
// the bound of a filter.
void PadList(CandidateBlock* blocks, int entries);

// Inclusive ranges of red, green and blue.
struct ColourBox {
  int redLo, redHi, greenLo, greenHi, blueLo, blueHi;
};

// The index of the nearest entry to one colour over `pairs` pairs of blocks.
using ScanFunction = int (*)(const CandidateBlock* blocks, std::size_t pairs, int red, int green, int blue);

// The index of the nearest of the `entries` entries for each of `count`
// colours 0x00RRGGBB, several colours at a time, written to
// out[positions[i]] for colour i. Colours are read in whole groups of eight,
// so up to 7 places past `count`; those must hold colours (their results are
// not written).
using ScanColoursFunction = void (*)(const CandidateBlock* blocks, int entries, const DWORD* colours,
                                     std::size_t count, const std::uint32_t* positions, BYTE* out);

// Writes the kept entries among the first `entries` of `from` to `to`, as a
// padded list, and returns how many were kept (at least 1). `to` has room
// for StoredBlocksFor(entries) blocks and does not overlap `from`.
using FilterFunction = int (*)(const CandidateBlock* from, int entries, const ColourBox& box,
                               CandidateBlock* to);

struct SearchKernels {
  ScanFunction scan;
  ScanColoursFunction scanColours;
  FilterFunction filter;
};

SearchKernels KernelsFor(SimdLevel level);
