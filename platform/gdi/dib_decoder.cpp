#include "platform/gdi/dib_decoder.h"

#include <algorithm>
#include <bit>
#include <new>

#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/gdi_types.h"

namespace kp::gdi::detail {

namespace {

// Little-endian reads that yield 0 past the end of the field's bytes, for
// the optional fields of short OS/2 2.x headers.
DWORD Dword(std::span<const BYTE> d, std::size_t at) {
  if (at + 4 > d.size()) return 0;
  return static_cast<DWORD>(d[at]) | (static_cast<DWORD>(d[at + 1]) << 8) | (static_cast<DWORD>(d[at + 2]) << 16) |
         (static_cast<DWORD>(d[at + 3]) << 24);
}
WORD Word(std::span<const BYTE> d, std::size_t at) {
  if (at + 2 > d.size()) return 0;
  return static_cast<WORD>(d[at] | (d[at + 1] << 8));
}

enum class HeaderKind { Core, Os2, Windows };

struct HeaderSize {
  DWORD size;
  HeaderKind kind;
};
// The Windows header sizes; 12 is the OS/2 1.x header; other sizes from 16
// to 64 are OS/2 2.x headers, which may end after any field.
constexpr HeaderSize kFixedHeaderSizes[] = {{40, HeaderKind::Windows},  {52, HeaderKind::Windows},
                                          {56, HeaderKind::Windows},  {108, HeaderKind::Windows},
                                          {124, HeaderKind::Windows}, {12, HeaderKind::Core}};

std::optional<HeaderKind> KindOf(DWORD size) {
  for (const HeaderSize& h : kFixedHeaderSizes)
    if (h.size == size) return h.kind;
  if (size >= 16 && size <= 64) return HeaderKind::Os2;
  return std::nullopt;
}

// The channel masks of formats that do not state them.
void DefaultMasks(int bitCount, DWORD masks[4]) {
  if (bitCount == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
  } else {
    masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF, masks[3] = 0xFF000000;
  }
}

bool ValidCombination(int bitCount, DWORD compression) {
  switch (compression) {
    case BI_RGB:
      return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
             bitCount == 24 || bitCount == 32;
    case BI_RLE8:
      return bitCount == 8;
    case BI_RLE4:
      return bitCount == 4;
    case BI_BITFIELDS:
      return bitCount == 16 || bitCount == 32;
    default:
      return false;
  }
}

// Scales a channel extracted through `mask` to 8 bits.
struct Channel {
  int shift = 0;
  std::uint32_t max = 0;
  explicit Channel(DWORD mask) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    max = mask >> shift;
  }
  std::uint32_t operator()(std::uint32_t pixel, DWORD mask) const {
    if (max == 0) return 0;
    const std::uint64_t v = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
  }
};

}  // namespace

std::optional<DibFormat> ParseDib(std::span<const BYTE> data, std::size_t tableLimit) {
  const DWORD size = Dword(data, 0);
  const std::optional<HeaderKind> kind = KindOf(size);
  if (!kind || data.size() < size) return std::nullopt;
  const std::span<const BYTE> header = data.first(size);
  DibFormat f;
  f.headerSize = size;
  long long rawHeight;
  DWORD clrUsed = 0;
  if (*kind == HeaderKind::Core) {
    f.width = Word(header, 4);
    rawHeight = Word(header, 6);
    f.bitCount = Word(header, 10);
    f.compression = BI_RGB;
  } else {
    f.width = static_cast<LONG>(Dword(header, 4));
    rawHeight = static_cast<LONG>(Dword(header, 8));
    f.bitCount = Word(header, 14);
    f.compression = Dword(header, 16);
    clrUsed = Dword(header, 32);
  }
  // OS/2 2.x numbers its compressions differently beyond RLE4: 3 is Huffman
  // and 4 is RLE24, neither of which is supported.
  if (*kind == HeaderKind::Os2 && f.compression > BI_RLE4) return std::nullopt;
  std::size_t afterHeader = size;
  if (f.compression == BI_ALPHABITFIELDS) f.compression = BI_BITFIELDS;
  if (!ValidCombination(f.bitCount, f.compression)) return std::nullopt;
  if (f.width <= 0 || rawHeight == 0) return std::nullopt;
  f.topDown = rawHeight < 0;
  f.height = rawHeight < 0 ? -rawHeight : rawHeight;
  if (f.topDown && (f.compression == BI_RLE8 || f.compression == BI_RLE4)) return std::nullopt;
  if (static_cast<std::uint64_t>(f.width) * static_cast<std::uint64_t>(f.height) > kMaxBitmapBytes / 4)
    return std::nullopt;

  DefaultMasks(f.bitCount, f.masks);
  if (f.compression == BI_BITFIELDS) {
    if (size >= 52) {
      // V2 and later headers hold the masks themselves.
      for (int i = 0; i < 3; ++i) f.masks[i] = Dword(header, 40 + 4 * i);
      f.masks[3] = size >= 56 ? Dword(header, 52) : 0;
    } else {
      // A 40-byte header is followed by three masks, or four for
      // BI_ALPHABITFIELDS.
      const std::size_t count = Dword(header, 16) == BI_ALPHABITFIELDS ? 4 : 3;
      if (data.size() < size + 4 * count) return std::nullopt;
      for (std::size_t i = 0; i < count; ++i) f.masks[i] = Dword(data, size + 4 * i);
      f.masks[3] = count == 4 ? f.masks[3] : 0;
      afterHeader += 4 * count;
    }
    if ((f.masks[0] | f.masks[1] | f.masks[2]) == 0) return std::nullopt;
  } else if (f.bitCount == 32 && f.compression == BI_RGB) {
    f.masks[3] = 0xFF000000;
  }

  // The colour table: 2^bpp entries for indexed pixels unless biClrUsed says
  // fewer; an optional table of biClrUsed entries at higher depths.
  const std::size_t entrySize = *kind == HeaderKind::Core ? 3 : 4;
  std::uint64_t declared = 0;
  if (f.bitCount <= 8) {
    const std::uint64_t full = std::uint64_t{1} << f.bitCount;
    declared = clrUsed != 0 && clrUsed < full ? clrUsed : full;
  } else {
    declared = clrUsed;
  }
  const std::uint64_t tableBytes = declared * entrySize;
  if (tableBytes > data.size()) {
    if (f.bitCount > 8) return std::nullopt;  // a bogus optional table size
  }
  f.bitsOffset = static_cast<std::size_t>(std::min<std::uint64_t>(afterHeader + tableBytes, SIZE_MAX));
  if (f.bitCount <= 8) {
    f.colours.assign(static_cast<std::size_t>(declared), 0);
    const std::size_t limit = std::min(tableLimit, data.size());
    for (std::size_t i = 0; i < f.colours.size(); ++i) {
      const std::size_t at = afterHeader + i * entrySize;
      if (at + 3 > limit) break;
      f.colours[i] = (static_cast<std::uint32_t>(data[at + 2]) << 16) | (static_cast<std::uint32_t>(data[at + 1]) << 8) |
                     data[at];
    }
  }
  return f;
}

namespace {

class PixelSink {
 public:
  PixelSink(const DibFormat& f, std::vector<std::uint32_t>& out) : m_format(f), m_out(out) {}
  // Row y counts from the bottom.
  void Index(long long x, long long y, std::uint32_t index) {
    if (x < 0 || y < 0 || x >= m_format.width || y >= m_format.height) return;
    m_out[static_cast<std::size_t>(y * m_format.width + x)] =
        index < m_format.colours.size() ? m_format.colours[index] : 0;
  }

 private:
  const DibFormat& m_format;
  std::vector<std::uint32_t>& m_out;
};

bool DecodeRle(const DibFormat& f, std::span<const BYTE> bits, std::vector<std::uint32_t>& out) {
  const bool four = f.compression == BI_RLE4;
  PixelSink sink(f, out);
  long long x = 0, y = 0;
  std::size_t i = 0;
  while (true) {
    if (i + 2 > bits.size()) return y >= f.height;  // the data ended: whole only when every row was reached
    const unsigned n = bits[i], c = bits[i + 1];
    i += 2;
    if (n > 0) {
      // An encoded run: n pixels of one index, or of two alternating nibbles.
      for (unsigned k = 0; k < n; ++k) sink.Index(x + k, y, four ? ((k & 1) ? (c & 0x0F) : (c >> 4)) : c);
      x += n;
      continue;
    }
    switch (c) {
      case 0:  // end of line
        x = 0;
        ++y;
        break;
      case 1:  // end of bitmap
        return true;
      case 2:  // delta: move right and up
        if (i + 2 > bits.size()) return false;
        x += bits[i];
        y += bits[i + 1];
        i += 2;
        break;
      default: {  // an absolute run of c pixels, padded to a 16-bit boundary
        const std::size_t bytes = four ? (c + 1) / 2 : c;
        if (i + bytes > bits.size()) return false;
        for (unsigned k = 0; k < c; ++k) {
          const BYTE b = bits[i + (four ? k / 2 : k)];
          sink.Index(x + k, y, four ? ((k & 1) ? (b & 0x0F) : (b >> 4)) : b);
        }
        x += c;
        i += bytes + (bytes & 1);
        break;
      }
    }
  }
}

bool DecodeUncompressed(const DibFormat& f, std::span<const BYTE> bits, bool keepAlpha,
                        std::vector<std::uint32_t>& out) {
  const std::uint64_t stride = DibStride(f.width, f.bitCount);
  const Channel red(f.masks[0]), green(f.masks[1]), blue(f.masks[2]), alpha(f.masks[3]);
  const bool useAlpha = keepAlpha && f.bitCount == 32;
  PixelSink sink(f, out);
  for (long long row = 0; row < f.height; ++row) {
    const BYTE* src = bits.data() + stride * static_cast<std::uint64_t>(row);
    const long long y = f.topDown ? f.height - 1 - row : row;
    std::uint32_t* dst = out.data() + y * f.width;
    switch (f.bitCount) {
      case 1:
      case 2:
      case 4:
      case 8: {
        const int perByte = 8 / f.bitCount;
        const unsigned mask = (1u << f.bitCount) - 1;
        for (long long x = 0; x < f.width; ++x) {
          const BYTE b = src[x / perByte];
          const int shift = 8 - f.bitCount * static_cast<int>(x % perByte + 1);
          sink.Index(x, y, (b >> shift) & mask);
        }
        break;
      }
      case 24:
        for (long long x = 0; x < f.width; ++x)
          dst[x] = (static_cast<std::uint32_t>(src[3 * x + 2]) << 16) | (static_cast<std::uint32_t>(src[3 * x + 1]) << 8) |
                   src[3 * x];
        break;
      case 16:
      case 32:
        for (long long x = 0; x < f.width; ++x) {
          std::uint32_t p;
          if (f.bitCount == 16) {
            p = static_cast<std::uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
          } else {
            p = std::uint32_t{src[4 * x]} | (std::uint32_t{src[4 * x + 1]} << 8) |
                (std::uint32_t{src[4 * x + 2]} << 16) | (std::uint32_t{src[4 * x + 3]} << 24);
          }
          std::uint32_t v = (red(p, f.masks[0]) << 16) | (green(p, f.masks[1]) << 8) | blue(p, f.masks[2]);
          if (useAlpha) v |= alpha(p, f.masks[3]) << 24;
          dst[x] = v;
        }
        break;
    }
  }
  return true;
}

// Uncompressed bits must hold every row; the last row's padding may be
// missing.
bool EnoughBits(const DibFormat& f, std::span<const BYTE> bits) {
  const std::uint64_t lastRow = (static_cast<std::uint64_t>(f.width) * f.bitCount + 7) / 8;
  return bits.size() >= DibStride(f.width, f.bitCount) * static_cast<std::uint64_t>(f.height - 1) + lastRow;
}

}  // namespace

bool DecodeBits(const DibFormat& f, std::span<const BYTE> bits, bool keepAlpha, std::vector<std::uint32_t>& out) {
  const bool rle = f.compression == BI_RLE8 || f.compression == BI_RLE4;
  // Checked before the pixels are allocated, so that a short input cannot
  // make us take memory for the picture it claims.
  if (!rle && !EnoughBits(f, bits)) return false;
  const std::size_t count = static_cast<std::size_t>(f.width * f.height);
  try {
    out.assign(count, f.colours.empty() ? 0 : f.colours[0]);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (rle) return DecodeRle(f, bits, out);
  return DecodeUncompressed(f, bits, keepAlpha, out);
}

}  // namespace kp::gdi::detail

namespace kp::gdi {

using detail::DibFormat;

namespace {

std::optional<DecodedImage> Finish(const DibFormat& f, std::span<const BYTE> bits) {
  DecodedImage image;
  if (!detail::DecodeBits(f, bits, false, image.pixels)) return std::nullopt;
  image.width = static_cast<int>(f.width);
  image.height = static_cast<int>(f.height);
  image.bitsPerPixel = f.bitCount;
  return image;
}

}  // namespace

std::optional<DecodedImage> DecodePackedDib(std::span<const BYTE> packed) {
  const std::optional<DibFormat> f = detail::ParseDib(packed, packed.size());
  if (!f || f->bitsOffset > packed.size()) return std::nullopt;
  return Finish(*f, packed.subspan(f->bitsOffset));
}

bool IsBmpFile(std::span<const BYTE> file) { return file.size() >= 2 && file[0] == 'B' && file[1] == 'M'; }

std::optional<DecodedImage> DecodeBmpFile(std::span<const BYTE> file) {
  constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
  if (!IsBmpFile(file) || file.size() < kFileHeader + 4) return std::nullopt;
  const std::span<const BYTE> dib = file.subspan(kFileHeader);
  const DWORD offBits = detail::Dword(file, 10);
  const DWORD headerSize = detail::Dword(dib, 0);
  // Writers disagree on bfOffBits; trust it when it points past the header
  // and inside the file, as readers on Windows do.
  const bool offsetUsable = offBits >= kFileHeader + headerSize && offBits < file.size();
  const std::size_t tableLimit = offsetUsable ? offBits - kFileHeader : dib.size();
  const std::optional<DibFormat> f = detail::ParseDib(dib, tableLimit);
  if (!f) return std::nullopt;
  const std::size_t bitsAt = offsetUsable ? offBits - kFileHeader : f->bitsOffset;
  if (bitsAt > dib.size()) return std::nullopt;
  return Finish(*f, dib.subspan(bitsAt));
}

}  // namespace kp::gdi
