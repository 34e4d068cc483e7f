// TGA, by a parser of our own. The format has no signature, so the header
// is checked field by field, and whatever a TGA header cannot hold is
// refused: that is all that keeps other files from being taken for one.
//
// The 18-byte header (little-endian):
//   0  ID length           1  colour-map type (0 or 1)   2  image type
//   3  first map entry     5  map length                 7  map entry bits
//   8  x origin            10 y origin
//   12 width               14 height                     16 pixel bits
//   17 descriptor: bits 0-3 alpha bits, bit 4 right to left, bit 5 top to
//      bottom, bits 6-7 interleaving (none, or the file is refused)
// then the ID, the colour map, and the pixels, raw or in run-length
// packets (a count byte whose top bit marks a run of one repeated pixel,
// else a row of literal ones; packets may run on across rows). A TGA 2.0
// file ends in a 26-byte footer that points to an extension area, whose
// byte 494 says what the alpha channel holds.

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

constexpr std::size_t kHeaderBytes = 18;
constexpr std::size_t kFooterBytes = 26;
constexpr std::size_t kExtensionBytes = 495;
constexpr std::size_t kAttributesTypeOffset = 494;

enum ImageType : BYTE {
  kColourMapped = 1,
  kTrueColour = 2,
  kGrey = 3,
  kRunLength = 8,  // added to the three above
};

unsigned Word(std::span<const BYTE> bytes, std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); }

std::uint32_t Dword(std::span<const BYTE> bytes, std::size_t at) {
  return Word(bytes, at) | (static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16);
}

// A colour of 15, 16, 24 or 32 bits as 0xAARRGGBB. 15- and 16-bit colours
// are ARRRRRGG GGGBBBBB, each five bits widened by repeating their top ones.
std::uint32_t ColourOf(const BYTE* p, unsigned bits) {
  if (bits == 24) return 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
  if (bits == 32) return (static_cast<std::uint32_t>(p[3]) << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
  const unsigned v = p[0] | (p[1] << 8);
  const auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
  const std::uint32_t alpha = bits == 16 && (v & 0x8000) ? 0xFF000000u : 0;
  return alpha | (widen((v >> 10) & 31) << 16) | (widen((v >> 5) & 31) << 8) | widen(v & 31);
}

struct TgaHeader {
  BYTE type = 0;  // without kRunLength
  bool runLength = false;
  unsigned mapFirst = 0, mapLength = 0, mapBits = 0;
  unsigned width = 0, height = 0, pixelBits = 0;
  unsigned alphaBits = 0;
  bool rightToLeft = false, topToBottom = false;
  std::size_t mapOffset = 0, pixelOffset = 0;
};

std::optional<TgaHeader> ReadHeader(std::span<const BYTE> file) {
  if (file.size() < kHeaderBytes) return std::nullopt;
  TgaHeader h;
  const unsigned mapType = file[1];
  h.type = static_cast<BYTE>(file[2] & ~kRunLength);
  h.runLength = file[2] & kRunLength;
  h.mapFirst = Word(file, 3);
  h.mapLength = Word(file, 5);
  h.mapBits = file[7];
  h.width = Word(file, 12);
  h.height = Word(file, 14);
  h.pixelBits = file[16];
  h.alphaBits = file[17] & 0x0F;
  h.rightToLeft = file[17] & 0x10;
  h.topToBottom = file[17] & 0x20;
  if (mapType > 1 || (file[2] & ~(kRunLength | 3)) != 0 || h.type == 0 || (file[17] & 0xC0) != 0) return std::nullopt;
  const auto colourBits = [](unsigned bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; };
  switch (h.type) {
    case kColourMapped:
      if (mapType != 1 || h.mapLength == 0 || !colourBits(h.mapBits) || (h.pixelBits != 8 && h.pixelBits != 16))
        return std::nullopt;
      break;
    case kTrueColour:
      if (!colourBits(h.pixelBits)) return std::nullopt;
      break;
    case kGrey:  // 16 bits are grey and alpha
      if (h.pixelBits != 8 && h.pixelBits != 16) return std::nullopt;
      break;
    default: return std::nullopt;
  }
  if (mapType == 1 && !colourBits(h.mapBits)) return std::nullopt;
  h.mapOffset = kHeaderBytes + file[0];
  const std::size_t mapBytes = mapType == 1 ? std::size_t{h.mapLength} * ((h.mapBits + 7) / 8) : 0;
  h.pixelOffset = h.mapOffset + mapBytes;
  if (h.pixelOffset > file.size()) return std::nullopt;
  return h;
}

// What the extension area of a TGA 2.0 file says of the alpha channel:
// 3 alpha, 4 premultiplied alpha, 0 to 2 no alpha; nullopt without one.
std::optional<BYTE> AttributesType(std::span<const BYTE> file) {
  using namespace std::string_view_literals;
  constexpr std::string_view kSignature = "TRUEVISION-XFILE.\0"sv;
  if (file.size() < kHeaderBytes + kFooterBytes) return std::nullopt;
  const std::span<const BYTE> footer = file.last(kFooterBytes);
  if (!std::equal(kSignature.begin(), kSignature.end(), footer.begin() + 8,
                  [](char s, BYTE b) { return static_cast<BYTE>(s) == b; }))
    return std::nullopt;
  const std::uint32_t extension = Dword(footer, 0);
  if (extension < kHeaderBytes || extension > file.size() - kFooterBytes ||
      file.size() - kFooterBytes - extension < kExtensionBytes || Word(file, extension) < kExtensionBytes)
    return std::nullopt;
  return file[extension + kAttributesTypeOffset];
}

// Run-length packets unpacked into `count` pixel values of `bytesPerPixel`
// bytes each; nullopt when the data ends too soon.
std::optional<std::vector<BYTE>> Unpack(std::span<const BYTE> data, std::size_t count, unsigned bytesPerPixel) {
  // A packet of 1 + bytesPerPixel bytes stands for at most 128 pixels.
  if (data.size() / (1 + bytesPerPixel) < (count + 127) / 128) return std::nullopt;
  const std::size_t total = count * bytesPerPixel;
  std::vector<BYTE> out;
  out.reserve(total);
  std::size_t at = 0;
  while (out.size() < total) {
    if (at >= data.size()) return std::nullopt;
    const BYTE packet = data[at++];
    const std::size_t n = std::min<std::size_t>((packet & 0x7F) + 1u, (total - out.size()) / bytesPerPixel);
    const std::size_t literal = packet & 0x80 ? bytesPerPixel : n * bytesPerPixel;
    if (data.size() - at < literal) return std::nullopt;
    const auto first = data.begin() + static_cast<std::ptrdiff_t>(at);
    if (packet & 0x80)
      for (std::size_t i = 0; i < n; ++i) out.insert(out.end(), first, first + bytesPerPixel);
    else
      out.insert(out.end(), first, first + static_cast<std::ptrdiff_t>(literal));
    at += literal;
  }
  return out;
}

// Whether the alpha channel holds alpha, once the pixels (0xAARRGGBB) are
// read: the extension area says so where there is one, else the header's
// count of alpha bits. A channel that is zero throughout is taken for one
// that nobody filled, rather than for a picture that is wholly
// transparent.
bool UsesAlpha(const TgaHeader& h, std::optional<BYTE> attributes, const std::vector<std::uint32_t>& pixels) {
  const unsigned colourBits = h.type == kColourMapped ? h.mapBits : h.pixelBits;
  const bool channel =
      colourBits == 32 || (colourBits == 16 && h.type != kGrey) || (h.type == kGrey && h.pixelBits == 16);
  if (!channel || !(attributes ? *attributes == 3 || *attributes == 4 : h.alphaBits > 0)) return false;
  return std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t c) { return (c >> 24) != 0; });
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeTga(std::span<const BYTE> file, const DecodeLimits& limits) {
  const std::optional<TgaHeader> header = ReadHeader(file);
  if (!header || !WithinLimits(header->width, header->height, limits)) return std::nullopt;
  const TgaHeader& h = *header;
  const std::size_t count = std::size_t{h.width} * h.height;
  const unsigned bytesPerPixel = (h.pixelBits + 7) / 8;
  const std::span<const BYTE> data = file.subspan(h.pixelOffset);
  std::vector<BYTE> unpacked;
  std::span<const BYTE> values = data;
  if (h.runLength) {
    std::optional<std::vector<BYTE>> u = Unpack(data, count, bytesPerPixel);
    if (!u) return std::nullopt;
    unpacked = std::move(*u);
    values = unpacked;
  } else if (data.size() / bytesPerPixel < count) {
    return std::nullopt;
  }
  // The depth is known once the alpha channel is; it is set below.
  std::optional<gdi::DecodedImage> picture = NewPicture(h.width, h.height, 0, limits);
  if (!picture) return std::nullopt;

  // Every pixel as 0xAARRGGBB, into its place: file rows run bottom-up
  // unless the descriptor says top-down, and left to right unless it says
  // otherwise.
  const unsigned entryBytes = (h.mapBits + 7) / 8;
  const BYTE* v = values.data();
  for (unsigned row = 0; row < h.height; ++row) {
    std::uint32_t* out = RowFromTop(*picture, h.topToBottom ? row : h.height - 1 - row);
    for (unsigned column = 0; column < h.width; ++column, v += bytesPerPixel) {
      std::uint32_t& pixel = out[h.rightToLeft ? h.width - 1 - column : column];
      if (h.type == kColourMapped) {
        const unsigned index = bytesPerPixel == 1 ? v[0] : v[0] | (v[1] << 8);
        if (index < h.mapFirst || index - h.mapFirst >= h.mapLength) return std::nullopt;
        pixel = ColourOf(file.data() + h.mapOffset + std::size_t{index - h.mapFirst} * entryBytes, h.mapBits);
      } else if (h.type == kTrueColour) {
        pixel = ColourOf(v, h.pixelBits);
      } else {  // grey, and its alpha when there are 16 bits
        pixel = (bytesPerPixel == 2 ? std::uint32_t{v[1]} << 24 : 0xFF000000u) | (v[0] * 0x010101u);
      }
    }
  }

  const std::optional<BYTE> attributes = AttributesType(file);
  const bool alpha = UsesAlpha(h, attributes, picture->pixels);
  const bool premultiplied = attributes == 4;
  for (std::uint32_t& pixel : picture->pixels) {
    const std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF, a = pixel >> 24;
    if (!alpha)
      pixel &= 0x00FFFFFF;
    else if (premultiplied)
      pixel = PremultipliedOverWhite(r, g, b, a);
    else
      pixel = RgbaOverWhite(r, g, b, a);
  }
  picture->bitsPerPixel = h.type == kColourMapped || (h.type == kGrey && !alpha) ? kIndexedDepth
                          : alpha                                                ? kAlphaDepth
                                                                                 : kColourDepth;
  return picture;
}

}  // namespace kp::codecs
