#pragma once
// The parsed description of a DIB, shared by the bitmap and icon decoders.
// Private to platform/gdi.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/base/win_types.h"

namespace kp::gdi::detail {

struct DibFormat {
  std::size_t headerSize = 0;
  long long width = 0;
  long long height = 0;  // rows, positive
  bool topDown = false;
  int bitCount = 0;
  DWORD compression = 0;               // BI_RGB, BI_RLE8, BI_RLE4 or BI_BITFIELDS
  DWORD masks[4] = {};                 // red, green, blue, alpha for 16 and 32 bits
  std::vector<std::uint32_t> colours;  // the colour table as 0x00RRGGBB
  std::size_t bitsOffset = 0;          // where the bits start in a packed DIB
};

// Parses the header, masks and colour table at the start of `data`. Colour
// entries are read only from the first `tableLimit` bytes (entries beyond it
// are black); bitsOffset is where a packed DIB's bits begin. nullopt for a
// malformed or unsupported header or a size over the bitmap limit.
std::optional<DibFormat> ParseDib(std::span<const BYTE> data, std::size_t tableLimit);

// Decodes the bits into width x height pixels, bottom row first, each
// 0x00RRGGBB; with keepAlpha the top byte holds the alpha of 32-bit input
// (0 otherwise). False when the bits are truncated or malformed.
bool DecodeBits(const DibFormat& format, std::span<const BYTE> bits, bool keepAlpha, std::vector<std::uint32_t>& out);

// Bytes of one uncompressed row, padded to 4.
inline std::uint64_t DibStride(long long width, int bitCount) {
  return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

}  // namespace kp::gdi::detail
