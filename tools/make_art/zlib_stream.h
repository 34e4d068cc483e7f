#pragma once
// A zlib stream (RFC 1950) of DEFLATE data (RFC 1951), as a PNG's image data
// needs it: one block with the fixed Huffman codes and matches found
// through a hash of the next three bytes. The program icons, enlarged
// pixel art, shrink to a few hundred bytes with this; nothing here needs
// the best compression.

#include <cstdint>
#include <span>
#include <vector>

namespace make_art {

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data);

// The Adler-32 checksum that ends a zlib stream.
std::uint32_t Adler32(std::span<const std::uint8_t> data);

}  // namespace make_art
