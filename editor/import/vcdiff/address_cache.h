#pragma once
// The address cache of the default code table, as decoder and encoder both
// keep it: the four addresses copied from last (near), and 3 x 256 slots
// that hold the last address copied from with each value of its low bits
// modulo 768 (same). It starts empty in every window.

#include <array>
#include <cstdint>

#include "editor/import/vcdiff/code_table.h"
#include "editor/import/vcdiff/delta_bytes.h"

namespace vcdiff {

class AddressCache {
 public:
  // The address of a COPY in mode `mode` at position `here` of the window's
  // address space (the source segment, then the target window), read from
  // `addresses`; the cache then remembers it. An address at or beyond
  // `here` is refused: a COPY reaches only bytes before itself.
  std::uint64_t Decode(std::uint64_t here, std::uint8_t mode, ByteReader& addresses);

 private:
  void Remember(std::uint64_t address);

  std::array<std::uint64_t, kNearSlots> m_near{};
  std::array<std::uint64_t, kSameSlots * 256> m_same{};
  int m_nextNear = 0;
};

}  // namespace vcdiff
