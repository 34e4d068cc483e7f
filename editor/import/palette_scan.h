#pragma once
// The inner loops of the nearest-colour search, over palette entries kept in
// blocks of eight lanes, and the filter that decides which entries a region
// of colour space needs to search at all.
//
// Each entry e is compared with a colour q by its key, squared distance x 256
// + entry index: the smallest key is the smallest distance and, among equal
// distances, the lowest index, exactly the entry a linear scan with
// "strictly less" keeps. As |e - q|^2 = |e|^2 - 2 e.q + |q|^2 and |q|^2 is the
// same for every entry, each entry holds base = |e|^2 x 256 + index and the
// search keeps the smallest base - 512 e.q, whose low 8 bits are the index:
// two multiply-adds per comparison. Values stay within -10^8 .. 5 x 10^7.

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

// Writes one entry into lane `lane` of `block`.
void SetLane(CandidateBlock& block, int lane, int red, int green, int blue, int index);
// Fills the lanes after the list's last entry with copies of it, so that
// whole blocks can be compared: a copy changes no smallest key.
void PadList(CandidateBlock* blocks, int entries);

// Inclusive ranges of red, green and blue.
struct ColourBox {
  int redLo, redHi, greenLo, greenHi, blueLo, blueHi;
};

// Every entry that can be the first nearest entry to some colour of a box
// passes both of these cuts. They look at each entry once:
//  - a bound: every colour of the box has an entry within U, the least over
//    all entries of their distance to the box's farthest corner, so an entry
//    whose nearest point of the box is farther than U can neither win nor
//    tie anywhere in it;
//  - the entries that the first one setting the bound dominates (see
//    KeepUndominated).
// Writes the entries among the first `entries` of `from` that pass to `to`,
// as a padded list, and returns how many (at least 1). `to` has room for
// BlocksFor(entries) blocks and does not overlap `from`. Every instruction
// set keeps the same entries.
using FilterFunction = int (*)(const CandidateBlock* from, int entries, const ColourBox& box, CandidateBlock* to);

// Of a padded list of `entries`, rewritten in place, the entries that no
// other entry of the list dominates: entry f dominates entry e when f is at
// least as near as e to every colour of the box, ties going to f by its
// lower index, so that e is never the first nearest there. This leaves few
// more than the entries a box needs (an entry that several others beat
// between them, but none alone, stays), but compares them in pairs; it is
// worth it only where it can spare every search of the box a block. Returns
// how many are kept.
int KeepUndominated(CandidateBlock* list, int entries, const ColourBox& box);

// A list of candidates in a pool of blocks: its first block, its entries and
// the blocks they take. A cell whose list has no blocks has not been
// filtered yet.
struct CandidateList {
  std::uint32_t first = 0;
  std::uint16_t entries = 0;
  std::uint16_t blocks = 0;
};

// Colour space is cut into 16 x 16 x 16 cells of 16 levels a side. A cell is
// numbered by the top four bits of red, green and blue, as red << 8 | blue << 4
// | green: the order in which one multiplication gathers those bits. Masked,
// the three fields lie at bits 4, 12 and 20; times 1 + 2^12 + 2^24 the copies
// of green shifted by 12, blue by 24 and red by 12 lie side by side at bits
// 24 to 35, and every other copy lies below bit 24, without overlap (so
// without carries), or from bit 36 up.
constexpr std::size_t kCells = 16 * 16 * 16;
inline std::size_t CellOf(DWORD rgb) {
  return static_cast<std::size_t>(((std::uint64_t{rgb} & 0xF0F0F0) * 0x1001001) >> 24) & 0xFFF;
}
// The darkest colour of a cell.
inline DWORD CornerOf(std::size_t cell) {
  return static_cast<DWORD>(((cell & 0xF00) << 12) | ((cell & 0xF) << 12) | (cell & 0xF0));
}

// What the row mapping reads of a matcher.
struct MatchTables {
  const CandidateBlock* pool;
  const CandidateList* cells;  // kCells lists, by CellOf
};

// The index of the nearest entry to one colour 0x00RRGGBB (the top byte
// ignored) over `count` blocks, at least one.
using ScanFunction = int (*)(const CandidateBlock* blocks, std::size_t count, DWORD rgb);

// Maps colours[columns[k]] (0x00RRGGBB, the top byte ignored) to the index
// of its nearest entry at out[k x step], from k = 0 on, through the list of
// the colour's cell; stops at the first colour whose cell has not been
// filtered yet, and returns how many colours it mapped.
using MapRowFunction = int (*)(const MatchTables& tables, const DWORD* colours, const int* columns, int count,
                               BYTE* out, std::ptrdiff_t step);

struct SearchKernels {
  ScanFunction scan;
  MapRowFunction mapRow;
  FilterFunction filter;
};

SearchKernels KernelsFor(SimdLevel level);
