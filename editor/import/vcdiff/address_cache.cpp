#include "editor/import/vcdiff/address_cache.h"

namespace vcdiff {

std::uint64_t AddressCache::Decode(std::uint64_t here, std::uint8_t mode, ByteReader& addresses) {
  if (here == 0) throw DeltaError("a COPY comes before any byte it could copy");
  std::uint64_t address = 0;
  if (mode == kSelfMode) {
    address = addresses.Integer(here - 1, "a COPY address");
  } else if (mode == kHereMode) {
    address = here - addresses.Integer(here, "a COPY distance");
  } else if (mode < 2 + kNearSlots) {
    const std::uint64_t near = m_near[static_cast<std::size_t>(mode - 2)];
    address = near + addresses.Integer(here, "a COPY address");
  } else if (mode < kAddressModes) {
    address = m_same[static_cast<std::size_t>(mode - 2 - kNearSlots) * 256 + addresses.Byte()];
  } else {
    throw DeltaError("an instruction has an unknown address mode");
  }
  if (address >= here) throw DeltaError("a COPY reaches bytes after itself");
  Remember(address);
  return address;
}

void AddressCache::Remember(std::uint64_t address) {
  m_near[static_cast<std::size_t>(m_nextNear)] = address;
  m_nextNear = (m_nextNear + 1) % kNearSlots;
  m_same[address % m_same.size()] = address;
}

}  // namespace vcdiff
