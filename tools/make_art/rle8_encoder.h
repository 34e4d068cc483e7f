#pragma once
// Run-length encoding of 8-bit DIB pixels (BI_RLE8). A row is written as a
// mix of encoded runs (a count of 1 to 255 and one index) and absolute runs
// (a zero, a count of 3 to 255, the indices and a pad byte to an even
// length); counts 1 and 2 after a zero are escapes, so shorter absolute runs
// do not exist. Each row takes the split with the fewest bytes.

#include <cstdint>
#include <span>
#include <vector>

namespace make_art {

// Appends the shortest encoding of one row, without an end-of-line escape.
void EncodeRle8Row(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out);

// Encodes width x height indices, given top row first, as a BI_RLE8 stream:
// rows bottom-up, each but the last ended by the end-of-line escape (0, 0),
// the last by the end-of-bitmap escape (0, 1). The length is always even.
std::vector<std::uint8_t> EncodeRle8(std::span<const std::uint8_t> pixels, int width, int height);

}  // namespace make_art
