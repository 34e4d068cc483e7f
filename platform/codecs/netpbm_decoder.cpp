// The Netpbm formats, by a parser of our own: PBM (P1 plain, P4 raw), PGM
// (P2, P5), PPM (P3, P6) and PAM (P7).
//
// P1 to P6 give, after the magic, the width, the height and (but for PBM)
// the largest sample value, as decimal numbers between white space, where a
// '#' starts a comment that runs to the end of the line; one white-space
// character then ends the header of a raw file. PAM gives them on lines of
// their own ("WIDTH 4", "HEIGHT 2", "DEPTH 3", "MAXVAL 255", "TUPLTYPE
// RGB") up to "ENDHDR". Plain samples are decimal numbers (in PBM, single
// digits that need no space between them); raw samples are one byte, or two
// big-endian ones when the largest value exceeds 255; raw PBM packs eight
// pixels into a byte, the first in the top bit, each row starting a new
// byte. In PBM 1 is black; everywhere else 0 is.

#include <string_view>
#include <vector>

#include "platform/codecs/decoded_picture.h"

namespace kp::codecs {

namespace {

constexpr std::uint32_t kLargestSample = 65535;

bool IsSpace(BYTE c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads the header's numbers and words, and plain samples.
class Cursor {
 public:
  explicit Cursor(std::span<const BYTE> bytes) : m_bytes(bytes) {}

  void SkipSpaceAndComments() {
    while (m_at < m_bytes.size()) {
      if (m_bytes[m_at] == '#') {
        while (m_at < m_bytes.size() && m_bytes[m_at] != '\n' && m_bytes[m_at] != '\r') ++m_at;
      } else if (IsSpace(m_bytes[m_at])) {
        ++m_at;
      } else {
        break;
      }
    }
  }

  // A decimal number of at most `largest`.
  std::optional<std::uint32_t> Number(std::uint32_t largest) {
    SkipSpaceAndComments();
    std::uint64_t value = 0;
    const std::size_t start = m_at;
    while (m_at < m_bytes.size() && m_bytes[m_at] >= '0' && m_bytes[m_at] <= '9') {
      value = value * 10 + (m_bytes[m_at++] - '0');
      if (value > largest) return std::nullopt;
    }
    if (m_at == start) return std::nullopt;
    return static_cast<std::uint32_t>(value);
  }

  // One '0' or '1', as plain PBM writes them.
  std::optional<std::uint32_t> Digit() {
    SkipSpaceAndComments();
    if (m_at >= m_bytes.size() || (m_bytes[m_at] != '0' && m_bytes[m_at] != '1')) return std::nullopt;
    return static_cast<std::uint32_t>(m_bytes[m_at++] - '0');
  }

  // A run of characters up to white space.
  std::string_view Word() {
    SkipSpaceAndComments();
    const std::size_t start = m_at;
    while (m_at < m_bytes.size() && !IsSpace(m_bytes[m_at])) ++m_at;
    return {reinterpret_cast<const char*>(m_bytes.data()) + start, m_at - start};
  }

  // The one white-space character that ends a raw file's header.
  bool EndHeader() {
    if (m_at >= m_bytes.size() || !IsSpace(m_bytes[m_at])) return false;
    ++m_at;
    return true;
  }

  std::span<const BYTE> Rest() const { return m_bytes.subspan(m_at); }

 private:
  std::span<const BYTE> m_bytes;
  std::size_t m_at = 0;
};

struct NetpbmHeader {
  char kind = 0;  // '1' to '7'
  std::uint32_t width = 0, height = 0;
  std::uint32_t maxValue = 1;
  std::uint32_t channels = 1;  // grey, grey and alpha, RGB, or RGB and alpha
};

std::optional<NetpbmHeader> ReadPamHeader(Cursor& cursor) {
  NetpbmHeader h{'7', 0, 0, 0, 0};
  for (;;) {
    const std::string_view key = cursor.Word();
    std::optional<std::uint32_t> value;
    if (key == "ENDHDR") break;
    if (key == "TUPLTYPE") {
      cursor.Word();  // the depth says all the decoding needs
      continue;
    }
    std::uint32_t* field = key == "WIDTH"    ? &h.width
                           : key == "HEIGHT" ? &h.height
                           : key == "DEPTH"  ? &h.channels
                           : key == "MAXVAL" ? &h.maxValue
                                             : nullptr;
    if (!field) return std::nullopt;  // a key we do not know
    value = cursor.Number(field == &h.channels ? 4 : field == &h.maxValue ? kLargestSample : UINT32_MAX / 2);
    if (!value) return std::nullopt;
    *field = *value;
  }
  if (h.channels == 0 || h.maxValue == 0 || !cursor.EndHeader()) return std::nullopt;
  return h;
}

std::optional<NetpbmHeader> ReadHeader(Cursor& cursor, char kind) {
  if (kind == '7') return ReadPamHeader(cursor);
  NetpbmHeader h;
  h.kind = kind;
  h.channels = kind == '3' || kind == '6' ? 3 : 1;
  const std::optional<std::uint32_t> width = cursor.Number(UINT32_MAX / 2);
  const std::optional<std::uint32_t> height = cursor.Number(UINT32_MAX / 2);
  if (!width || !height) return std::nullopt;
  h.width = *width;
  h.height = *height;
  if (kind != '1' && kind != '4') {
    const std::optional<std::uint32_t> maxValue = cursor.Number(kLargestSample);
    if (!maxValue || *maxValue == 0) return std::nullopt;
    h.maxValue = *maxValue;
  }
  const bool raw = kind >= '4';
  if (raw && !cursor.EndHeader()) return std::nullopt;
  return h;
}

// The samples of the picture in file order, each scaled to 0..255; in PBM,
// 255 for white. nullopt for a sample out of range or data that ends too
// soon.
std::optional<std::vector<BYTE>> ReadSamples(Cursor& cursor, const NetpbmHeader& h) {
  const std::size_t count = std::size_t{h.width} * h.height * h.channels;
  const std::span<const BYTE> rest = cursor.Rest();
  std::vector<BYTE> samples;
  if (h.kind == '4') {
    const std::size_t rowBytes = (std::size_t{h.width} + 7) / 8;
    if (rest.size() / rowBytes < h.height) return std::nullopt;
    samples.reserve(count);
    for (std::size_t y = 0; y < h.height; ++y)
      for (std::size_t x = 0; x < h.width; ++x)
        samples.push_back((rest[y * rowBytes + x / 8] >> (7 - x % 8)) & 1 ? 0 : 255);
    return samples;
  }
  const bool raw = h.kind >= '4';
  const std::size_t sampleBytes = raw && h.maxValue > 255 ? 2 : 1;
  // Each sample takes at least one byte, also in a plain file.
  if (rest.size() / sampleBytes < count) return std::nullopt;
  samples.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::optional<std::uint32_t> value;
    if (raw)
      value = sampleBytes == 2 ? (rest[2 * i] << 8) | rest[2 * i + 1] : rest[i];
    else
      value = h.kind == '1' ? cursor.Digit() : cursor.Number(h.maxValue);
    if (!value || *value > h.maxValue) return std::nullopt;
    samples.push_back(static_cast<BYTE>(h.kind == '1' ? (*value ? 0 : 255) : ScaleToByte(*value, h.maxValue)));
  }
  return samples;
}

}  // namespace

std::optional<gdi::DecodedImage> DecodeNetpbm(std::span<const BYTE> file, const DecodeLimits& limits) {
  if (file.size() < 3 || file[0] != 'P' || file[1] < '1' || file[1] > '7' || !IsSpace(file[2])) return std::nullopt;
  Cursor cursor(file.subspan(2));
  const std::optional<NetpbmHeader> header = ReadHeader(cursor, static_cast<char>(file[1]));
  if (!header || !WithinLimits(header->width, header->height, limits)) return std::nullopt;
  const NetpbmHeader& h = *header;
  const std::optional<std::vector<BYTE>> samples = ReadSamples(cursor, h);
  if (!samples) return std::nullopt;

  const bool alpha = h.channels == 2 || h.channels == 4;
  const int depth = h.channels == 1 ? (h.maxValue == 1 ? kOneBitDepth : kIndexedDepth)
                    : alpha         ? kAlphaDepth
                                    : kColourDepth;
  std::optional<gdi::DecodedImage> picture = NewPicture(h.width, h.height, depth, limits);
  if (!picture) return std::nullopt;
  const BYTE* s = samples->data();
  for (std::uint32_t y = 0; y < h.height; ++y) {
    std::uint32_t* out = RowFromTop(*picture, y);
    for (std::uint32_t x = 0; x < h.width; ++x, s += h.channels) {
      const bool grey = h.channels < 3;
      const std::uint32_t r = s[0], g = grey ? s[0] : s[1], b = grey ? s[0] : s[2];
      out[x] = RgbaOverWhite(r, g, b, alpha ? s[h.channels - 1] : 255);
    }
  }
  return picture;
}

}  // namespace kp::codecs
