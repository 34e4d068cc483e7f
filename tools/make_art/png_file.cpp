#include "tools/make_art/png_file.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "tools/make_art/zlib_stream.h"

namespace make_art {
namespace {

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, Crc32(std::span(out).subspan(typeAt)));
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> data) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> MakePng(const IndexedImage& image, std::span<const Rgb> palette,
                                  std::span<const std::uint8_t> alpha) {
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(image.width));
  PutBig32(header, static_cast<std::uint32_t>(image.height));
  // 8 bits, palette colour, deflate, adaptive filtering, no interlace.
  header.insert(header.end(), {8, 3, 0, 0, 0});
  PutChunk(out, "IHDR", header);

  std::vector<std::uint8_t> colours;
  for (const Rgb& c : palette) colours.insert(colours.end(), {c.r, c.g, c.b});
  PutChunk(out, "PLTE", colours);
  if (std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a != 255; })) PutChunk(out, "tRNS", alpha);

  // Each row starts with its filter: 0 (None), or 2 (Up) when it equals the
  // row above, which leaves a row of zeros.
  std::vector<std::uint8_t> rows;
  const auto width = static_cast<std::size_t>(image.width);
  for (int y = 0; y < image.height; ++y) {
    const auto row = image.pixels.begin() + static_cast<std::ptrdiff_t>(y * width);
    const bool repeats =
        y > 0 && std::equal(row, row + static_cast<std::ptrdiff_t>(width), row - static_cast<std::ptrdiff_t>(width));
    rows.push_back(repeats ? 2 : 0);
    if (repeats)
      rows.insert(rows.end(), width, 0);
    else
      rows.insert(rows.end(), row, row + static_cast<std::ptrdiff_t>(width));
  }
  PutChunk(out, "IDAT", ZlibCompress(rows));
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace make_art
