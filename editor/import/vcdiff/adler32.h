#pragma once
// Adler-32, the checksum xdelta3 writes for every target window: two sums
// modulo 65521, of the bytes (plus one) and of those running sums.

#include <cstdint>
#include <span>

namespace vcdiff {

std::uint32_t Adler32(std::span<const std::uint8_t> bytes);

}  // namespace vcdiff
