#include "platform/base/sha256.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace kp::base {
namespace {

constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::uint32_t RotateRight(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void CompressPortable(std::array<std::uint32_t, 8>& state, const std::uint8_t* block) {
  std::uint32_t w[64];
  for (int i = 0; i < 16; ++i)
    w[i] = static_cast<std::uint32_t>(block[4 * i]) << 24 | static_cast<std::uint32_t>(block[4 * i + 1]) << 16 |
           static_cast<std::uint32_t>(block[4 * i + 2]) << 8 | block[4 * i + 3];
  for (int i = 16; i < 64; ++i) {
    const std::uint32_t s0 = RotateRight(w[i - 15], 7) ^ RotateRight(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 = RotateRight(w[i - 2], 17) ^ RotateRight(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t t1 = h + (RotateRight(e, 6) ^ RotateRight(e, 11) ^ RotateRight(e, 25)) + ((e & f) ^ (~e & g)) +
                             kRoundConstants[i] + w[i];
    const std::uint32_t t2 =
        (RotateRight(a, 2) ^ RotateRight(a, 13) ^ RotateRight(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
  state[5] += f;
  state[6] += g;
  state[7] += h;
}

#if defined(__x86_64__)
bool HasShaInstructions() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid_max(0, nullptr) < 7) return false;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  const bool sha = (ebx & (1u << 29)) != 0;
  __cpuid(1, eax, ebx, ecx, edx);
  const bool sse41 = (ecx & (1u << 19)) != 0;
  return sha && sse41;
}

// Four rounds: the message words `message` plus their round constants,
// two rounds at a time. The state is kept as the processor's instructions
// want it: a, b, e, f in one register and c, d, g, h in the other; each
// pair of rounds makes the new (a, b, e, f), and the old one becomes
// (c, d, g, h).
__attribute__((target("sha,sse4.1"))) inline void FourRounds(__m128i& abef, __m128i& cdgh, __m128i message, int group) {
  __m128i words =
      _mm_add_epi32(message, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRoundConstants + 4 * group)));
  cdgh = _mm_sha256rnds2_epu32(cdgh, abef, words);
  words = _mm_shuffle_epi32(words, 0x0E);
  abef = _mm_sha256rnds2_epu32(abef, cdgh, words);
}

__attribute__((target("sha,sse4.1"))) void CompressWithShaInstructions(std::array<std::uint32_t, 8>& state,
                                                                       const std::uint8_t* blocks, std::size_t count) {
  // (a, b, c, d) and (e, f, g, h), first lane lowest, into (a, b, e, f)
  // and (c, d, g, h), first word in the highest lane.
  const __m128i abcd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.data()));
  const __m128i efgh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state.data() + 4));
  const __m128i badc = _mm_shuffle_epi32(abcd, 0xB1);
  const __m128i hgfe = _mm_shuffle_epi32(efgh, 0x1B);
  __m128i abef = _mm_alignr_epi8(badc, hgfe, 8);
  __m128i cdgh = _mm_blend_epi16(hgfe, badc, 0xF0);
  // The message is big-endian: each 32-bit word's bytes reversed.
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);

  for (; count > 0; --count, blocks += 64) {
    const __m128i abefBefore = abef;
    const __m128i cdghBefore = cdgh;
    __m128i w[4];
    for (int i = 0; i < 4; ++i)
      w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks + 16 * i)), byteSwap);
    for (int group = 0; group < 16; ++group) {
      if (group >= 4) {
        // w[t] = s1(w[t-2]) + w[t-7] + s0(w[t-15]) + w[t-16], four at a time,
        // in a ring of the last sixteen words.
        __m128i& oldest = w[group % 4];
        const __m128i t7 = _mm_alignr_epi8(w[(group + 3) % 4], w[(group + 2) % 4], 4);
        oldest = _mm_sha256msg2_epu32(_mm_add_epi32(_mm_sha256msg1_epu32(oldest, w[(group + 1) % 4]), t7),
                                      w[(group + 3) % 4]);
      }
      FourRounds(abef, cdgh, w[group % 4], group);
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }

  // And back: lanes (a, b, e, f) and (g, h, c, d), first lane lowest, then
  // blended and aligned into (a, b, c, d) and (e, f, g, h).
  const __m128i abefLow = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i ghcdLow = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state.data()), _mm_blend_epi16(abefLow, ghcdLow, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state.data() + 4), _mm_alignr_epi8(ghcdLow, abefLow, 8));
}

std::atomic<bool> g_useShaInstructions{HasShaInstructions()};
#else
std::atomic<bool> g_useShaInstructions{false};
#endif

}  // namespace

Sha256::Sha256()
    : m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::Update(std::span<const std::uint8_t> bytes) {
  m_totalBytes += bytes.size();
  while (!bytes.empty()) {
    if (m_blockUsed == 0 && bytes.size() >= m_block.size()) {
      const std::size_t blocks = bytes.size() / m_block.size();
      Compress(bytes.data(), blocks);
      bytes = bytes.subspan(blocks * m_block.size());
      continue;
    }
    const std::size_t take = std::min(bytes.size(), m_block.size() - m_blockUsed);
    std::copy_n(bytes.data(), take, m_block.data() + m_blockUsed);
    m_blockUsed += take;
    bytes = bytes.subspan(take);
    if (m_blockUsed == m_block.size()) {
      Compress(m_block.data(), 1);
      m_blockUsed = 0;
    }
  }
}

void Sha256::Compress(const std::uint8_t* blocks, std::size_t count) {
#if defined(__x86_64__)
  if (g_useShaInstructions.load(std::memory_order_relaxed)) {
    CompressWithShaInstructions(m_state, blocks, count);
    return;
  }
#endif
  for (; count > 0; --count, blocks += 64) CompressPortable(m_state, blocks);
}

Sha256Digest Sha256::Finish() {
  // The message is padded with one bit, zeros, and its length in bits as a
  // big-endian 64-bit number, to a whole number of blocks.
  const std::uint64_t bits = m_totalBytes * 8;
  const std::uint8_t one = 0x80;
  Update(std::span(&one, 1));
  const std::uint8_t zero = 0;
  while (m_blockUsed != 56) Update(std::span(&zero, 1));
  std::uint8_t length[8];
  for (int i = 0; i < 8; ++i) length[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
  Update(length);
  Sha256Digest digest{};
  for (std::size_t i = 0; i < 8; ++i)
    for (std::size_t j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<std::uint8_t>(m_state[i] >> (24 - 8 * j));
  return digest;
}

Sha256Digest Sha256Of(std::span<const std::uint8_t> bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.Finish();
}

std::string DigestHex(const Sha256Digest& digest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(digest.size() * 2);
  for (const std::uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

bool Sha256UsesProcessorInstructions() { return g_useShaInstructions.load(); }

void AllowSha256ProcessorInstructions(bool allow) {
#if defined(__x86_64__)
  g_useShaInstructions = allow && HasShaInstructions();
#else
  (void)allow;
#endif
}

}  // namespace kp::base
