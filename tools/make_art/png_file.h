#pragma once
// PNG files (ISO/IEC 15948) of palette pictures, for the program icon in the
// sizes a Linux desktop looks up (hicolor theme).

#include <cstdint>
#include <span>
#include <vector>

#include "tools/make_art/indexed_image.h"
#include "tools/make_art/rgb.h"

namespace make_art {

// Colour type 3, 8 bits per pixel: `palette` as PLTE (at most 256 colours)
// and, when any is below 255, `alpha` as tRNS (one opacity per palette
// entry; entries past its end are opaque). Rows are filtered with Up where
// a row repeats the one above, so enlarged pixel art compresses to little.
std::vector<std::uint8_t> MakePng(const IndexedImage& image, std::span<const Rgb> palette,
                                  std::span<const std::uint8_t> alpha);

// The CRC-32 that ends each chunk.
std::uint32_t Crc32(std::span<const std::uint8_t> data);

}  // namespace make_art
