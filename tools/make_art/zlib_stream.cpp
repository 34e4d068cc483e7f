#include "tools/make_art/zlib_stream.h"

#include <algorithm>
#include <array>

namespace make_art {
namespace {

constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr std::size_t kWindow = 32768;
constexpr int kHashBits = 15;

// Writes bits least significant first, as DEFLATE packs them.
class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
  void Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
  }
  // Huffman codes go most significant bit first.
  void Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
  }
  void Flush() {
    if (m_count > 0) m_out.push_back(m_byte);
    m_byte = 0;
    m_count = 0;
  }

 private:
  void Bit(std::uint32_t bit) {
    m_byte = static_cast<std::uint8_t>(m_byte | (bit << m_count));
    if (++m_count == 8) Flush();
  }
  std::vector<std::uint8_t>& m_out;
  std::uint8_t m_byte = 0;
  int m_count = 0;
};

// The fixed literal/length code of RFC 1951 section 3.2.6.
void WriteLiteralLength(BitWriter& bits, int symbol) {
  if (symbol < 144)
    bits.Code(0x30 + symbol, 8);
  else if (symbol < 256)
    bits.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    bits.Code(symbol - 256, 7);
  else
    bits.Code(0xC0 + symbol - 280, 8);
}

// Length codes 257..285: the first length of each and its extra bits.
constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Distance codes 0..29.
constexpr std::array<int, 30> kDistanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                               33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The last code whose base is at most `value`.
template <std::size_t N>
int CodeFor(const std::array<int, N>& bases, int value) {
  return static_cast<int>(std::upper_bound(bases.begin(), bases.end(), value) - bases.begin()) - 1;
}

void WriteMatch(BitWriter& bits, int length, int distance) {
  const int lengthCode = CodeFor(kLengthBase, length);
  WriteLiteralLength(bits, 257 + lengthCode);
  bits.Bits(static_cast<std::uint32_t>(length - kLengthBase[lengthCode]), kLengthExtra[lengthCode]);
  const int distanceCode = CodeFor(kDistanceBase, distance);
  bits.Code(static_cast<std::uint32_t>(distanceCode), 5);
  bits.Bits(static_cast<std::uint32_t>(distance - kDistanceBase[distanceCode]), kDistanceExtra[distanceCode]);
}

std::uint32_t Hash3(const std::uint8_t* p) {
  return ((std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2]) * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521u;
    b = (b + a) % 65521u;
  }
  return b << 16 | a;
}

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data) {
  // CMF: deflate with a 32 KiB window; FLG: no dictionary, check bits so
  // that CMF * 256 + FLG is a multiple of 31.
  std::vector<std::uint8_t> out = {0x78, 0x01};
  BitWriter bits(out);
  bits.Bits(1, 1);  // the last block
  bits.Bits(1, 2);  // fixed Huffman codes

  std::vector<std::int64_t> lastAt(std::size_t{1} << kHashBits, -1);
  const std::size_t size = data.size();
  std::size_t at = 0;
  while (at < size) {
    int bestLength = 0;
    std::size_t bestDistance = 0;
    if (at + kMinMatch <= size) {
      const std::uint32_t hash = Hash3(&data[at]);
      const std::int64_t candidate = lastAt[hash];
      lastAt[hash] = static_cast<std::int64_t>(at);
      if (candidate >= 0 && at - static_cast<std::size_t>(candidate) <= kWindow) {
        const std::size_t from = static_cast<std::size_t>(candidate);
        const std::size_t limit = std::min<std::size_t>(kMaxMatch, size - at);
        std::size_t length = 0;
        while (length < limit && data[from + length] == data[at + length]) ++length;
        if (length >= kMinMatch) {
          bestLength = static_cast<int>(length);
          bestDistance = at - from;
        }
      }
    }
    if (bestLength == 0) {
      WriteLiteralLength(bits, data[at]);
      ++at;
      continue;
    }
    WriteMatch(bits, bestLength, static_cast<int>(bestDistance));
    // The bytes inside the match are remembered too, so later matches can
    // start there.
    for (std::size_t i = at + 1; i < at + static_cast<std::size_t>(bestLength) && i + kMinMatch <= size; ++i)
      lastAt[Hash3(&data[i])] = static_cast<std::int64_t>(i);
    at += static_cast<std::size_t>(bestLength);
  }
  WriteLiteralLength(bits, 256);  // end of block
  bits.Flush();
  const std::uint32_t adler = Adler32(data);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(adler >> shift));
  return out;
}

}  // namespace make_art
