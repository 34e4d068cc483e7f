#include "editor/import/vcdiff/adler32.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vcdiff {
namespace {

constexpr std::uint32_t kModulus = 65521;
// The most bytes after which the sums still fit 32 bits before the modulo:
// 255 n (n + 1) / 2 + (n + 1) (kModulus - 1) < 2^32.
constexpr std::size_t kMaxRun = 5552;

void AddScalar(std::span<const std::uint8_t> bytes, std::uint32_t& a, std::uint32_t& b) {
  for (const std::uint8_t byte : bytes) {
    a += byte;
    b += a;
  }
}

#if defined(__SSE2__)
// Sixteen bytes at a time. Over a run of n bytes that begins with sums a
// and b, byte j adds itself to a and (n - j) times itself to b, which
// splits per block of sixteen into a weighted sum inside the block (first
// byte 16, last 1) plus 16 times the bytes of all earlier blocks once for
// every later one.
void AddBlocks(std::span<const std::uint8_t> bytes, std::uint32_t& a, std::uint32_t& b) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i firstWeights = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
  const __m128i lastWeights = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
  __m128i sums = zero;         // the bytes so far, in two 64-bit lanes
  __m128i earlierSums = zero;  // before each block, the bytes of the blocks before it, added up
  __m128i weighted = zero;     // the weighted sums, in four 32-bit lanes
  for (std::size_t at = 0; at < bytes.size(); at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + at));
    earlierSums = _mm_add_epi64(earlierSums, sums);
    sums = _mm_add_epi64(sums, _mm_sad_epu8(block, zero));
    weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(block, zero), firstWeights));
    weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(block, zero), lastWeights));
  }
  alignas(16) std::uint64_t sum[2];
  alignas(16) std::uint64_t earlier[2];
  alignas(16) std::uint32_t weights[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(sum), sums);
  _mm_store_si128(reinterpret_cast<__m128i*>(earlier), earlierSums);
  _mm_store_si128(reinterpret_cast<__m128i*>(weights), weighted);
  const std::uint64_t newB = b + static_cast<std::uint64_t>(bytes.size()) * a + 16 * (earlier[0] + earlier[1]) +
                             weights[0] + weights[1] + weights[2] + weights[3];
  a = static_cast<std::uint32_t>((a + sum[0] + sum[1]) % kModulus);
  b = static_cast<std::uint32_t>(newB % kModulus);
}
#endif

}  // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  while (!bytes.empty()) {
    std::size_t run = bytes.size() < kMaxRun ? bytes.size() : kMaxRun;
#if defined(__SSE2__)
    run -= run % 16;
    if (run > 0) {
      AddBlocks(bytes.first(run), a, b);
      bytes = bytes.subspan(run);
      continue;
    }
    run = bytes.size();
#endif
    AddScalar(bytes.first(run), a, b);
    a %= kModulus;
    b %= kModulus;
    bytes = bytes.subspan(run);
  }
  return (b << 16) | a;
}

}  // namespace vcdiff
