// Icon and cursor files. A 6-byte header (a reserved zero, type 1 for an
// icon or 2 for a cursor, the number of images) is followed by a directory
// of 16-byte entries (little-endian):
//   0  width (0 for 256)   1  height (0 for 256)   2  colour count
//   3  reserved            4  planes, or a cursor's hot spot x
//   6  bits per pixel, or a cursor's hot spot y
//   8  bytes of the image  12 where the image starts
// and each image is either a PNG file or a packed DIB of twice the icon's
// height, its colour bitmap followed by its transparency mask (which gdi's
// icon decoder reads).

#include <algorithm>
#include <vector>

#include "platform/codecs/decoded_picture.h"
#include "platform/gdi/icon.h"

namespace kp::codecs {

namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 16;

unsigned Word(std::span<const BYTE> bytes, std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); }

std::uint32_t Dword(std::span<const BYTE> bytes, std::size_t at) {
  return Word(bytes, at) | (static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16);
}

struct Entry {
  unsigned area = 0;
  unsigned bits = 0;
  std::span<const BYTE> image;
};

std::optional<gdi::DecodedImage> DecodeDibImage(std::span<const BYTE> dib, const DecodeLimits& limits) {
  const std::optional<gdi::IconImage> icon = gdi::DecodeIconImage(dib);
  if (!icon) return std::nullopt;
  std::optional<gdi::DecodedImage> picture = NewPicture(static_cast<std::uint64_t>(icon->width),
                                                        static_cast<std::uint64_t>(icon->height), kAlphaDepth, limits);
  if (!picture) return std::nullopt;
  const std::uint32_t* in = icon->argb.data();
  for (int y = 0; y < icon->height; ++y) {
    std::uint32_t* out = RowFromTop(*picture, static_cast<std::uint64_t>(y));
    for (int x = 0; x < icon->width; ++x, ++in)
      out[x] = RgbaOverWhite((*in >> 16) & 0xFF, (*in >> 8) & 0xFF, *in & 0xFF, *in >> 24);
  }
  return picture;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeIconFile(std::span<const BYTE> file, const DecodeLimits& limits) {
  if (file.size() < kHeaderBytes || Word(file, 0) != 0) return std::nullopt;
  const unsigned type = Word(file, 2), count = Word(file, 4);
  if ((type != 1 && type != 2) || count == 0 || (file.size() - kHeaderBytes) / kEntryBytes < count) return std::nullopt;

  // The directory's sizes may be wrong, and an image may be damaged: the
  // largest is tried first, then the next.
  std::vector<Entry> entries;
  for (unsigned i = 0; i < count; ++i) {
    const std::span<const BYTE> e = file.subspan(kHeaderBytes + i * kEntryBytes, kEntryBytes);
    const unsigned width = e[0] ? e[0] : 256, height = e[1] ? e[1] : 256;
    const std::uint32_t size = Dword(e, 8), offset = Dword(e, 12);
    if (offset >= file.size() || size > file.size() - offset) continue;
    entries.push_back({width * height, type == 1 ? Word(e, 6) : 0, file.subspan(offset, size)});
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.area != b.area ? a.area > b.area : a.bits > b.bits; });
  for (const Entry& entry : entries) {
    std::optional<gdi::DecodedImage> picture = DecodePng(entry.image, limits);
    if (!picture) picture = DecodeDibImage(entry.image, limits);
    if (picture) return picture;
  }
  return std::nullopt;
}

}  // namespace kp::codecs
