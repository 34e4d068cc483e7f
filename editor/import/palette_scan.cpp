#include "editor/import/palette_scan.h"

#include <algorithm>
#include <climits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KESTROW_X86 1
#endif

namespace {

std::int32_t ScanPortable(const CandidateBlock* blocks, std::size_t count, int red, int green, int blue) {
  std::int32_t best = INT32_MAX;
  for (std::size_t i = 0; i < count; ++i) {
    const CandidateBlock& block = blocks[i];
    for (int lane = 0; lane < kBlockLanes; ++lane) {
      const std::int32_t dr = block.red[lane] - red;
      const std::int32_t dg = block.green[lane] - green;
      const std::int32_t db = block.blue[lane] - blue;
      const std::int32_t key = ((dr * dr + dg * dg + db * db) << 8) | block.index[lane];
      best = std::min(best, key);
    }
  }
  return best;
}

#ifdef KESTROW_X86

__attribute__((target("sse4.1"))) std::int32_t ScanSse41(const CandidateBlock* blocks, std::size_t count,
                                                         int red, int green, int blue) {
  const __m128i qr = _mm_set1_epi32(red);
  const __m128i qg = _mm_set1_epi32(green);
  const __m128i qb = _mm_set1_epi32(blue);
  __m128i best = _mm_set1_epi32(INT32_MAX);
  for (std::size_t i = 0; i < count; ++i) {
    const CandidateBlock& block = blocks[i];
    for (int half = 0; half < kBlockLanes; half += 4) {
      const __m128i dr =
          _mm_sub_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(block.red + half)), qr);
      const __m128i dg =
          _mm_sub_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(block.green + half)), qg);
      const __m128i db =
          _mm_sub_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(block.blue + half)), qb);
      const __m128i d = _mm_add_epi32(_mm_add_epi32(_mm_mullo_epi32(dr, dr), _mm_mullo_epi32(dg, dg)),
                                      _mm_mullo_epi32(db, db));
      const __m128i key = _mm_or_si128(_mm_slli_epi32(d, 8),
                                       _mm_load_si128(reinterpret_cast<const __m128i*>(block.index + half)));
      best = _mm_min_epi32(best, key);
    }
  }
  best = _mm_min_epi32(best, _mm_shuffle_epi32(best, _MM_SHUFFLE(1, 0, 3, 2)));
  best = _mm_min_epi32(best, _mm_shuffle_epi32(best, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(best);
}

__attribute__((target("avx2"))) std::int32_t ScanAvx2(const CandidateBlock* blocks, std::size_t count,
                                                      int red, int green, int blue) {
  const __m256i qr = _mm256_set1_epi32(red);
  const __m256i qg = _mm256_set1_epi32(green);
  const __m256i qb = _mm256_set1_epi32(blue);
  __m256i best = _mm256_set1_epi32(INT32_MAX);
  for (std::size_t i = 0; i < count; ++i) {
    const CandidateBlock& block = blocks[i];
    const __m256i dr = _mm256_sub_epi32(_mm256_load_si256(reinterpret_cast<const __m256i*>(block.red)), qr);
    const __m256i dg = _mm256_sub_epi32(_mm256_load_si256(reinterpret_cast<const __m256i*>(block.green)), qg);
    const __m256i db = _mm256_sub_epi32(_mm256_load_si256(reinterpret_cast<const __m256i*>(block.blue)), qb);
    const __m256i d = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_mullo_epi32(dr, dr), _mm256_mullo_epi32(dg, dg)), _mm256_mullo_epi32(db, db));
    const __m256i key = _mm256_or_si256(_mm256_slli_epi32(d, 8),
                                        _mm256_load_si256(reinterpret_cast<const __m256i*>(block.index)));
    best = _mm256_min_epi32(best, key);
  }
  __m128i m = _mm_min_epi32(_mm256_castsi256_si128(best), _mm256_extracti128_si256(best, 1));
  m = _mm_min_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
  m = _mm_min_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(m);
}

#endif

struct LevelScan {
  SimdLevel level;
  ScanFunction scan;
};

constexpr LevelScan kScans[] = {
#ifdef KESTROW_X86
    {SimdLevel::avx2, ScanAvx2},
    {SimdLevel::sse41, ScanSse41},
#endif
    {SimdLevel::portable, ScanPortable},
};

}  // namespace

ScanFunction ScanFunctionFor(SimdLevel level) {
  if (SimdLevelSupported(level))
    for (const LevelScan& entry : kScans)
      if (entry.level == level) return entry.scan;
  return ScanPortable;
}

void CandidateWriter::Add(int red, int green, int blue, int index) {
  if (m_lane == kBlockLanes) {
    m_blocks.emplace_back();
    m_lane = 0;
  }
  CandidateBlock& block = m_blocks.back();
  block.red[m_lane] = red;
  block.green[m_lane] = green;
  block.blue[m_lane] = blue;
  block.index[m_lane] = index;
  ++m_lane;
}

std::size_t CandidateWriter::Finish() {
  if (m_blocks.size() > m_first) {
    CandidateBlock& block = m_blocks.back();
    for (int lane = m_lane; lane < kBlockLanes; ++lane) {
      block.red[lane] = block.red[m_lane - 1];
      block.green[lane] = block.green[m_lane - 1];
      block.blue[lane] = block.blue[m_lane - 1];
      block.index[lane] = block.index[m_lane - 1];
    }
  }
  m_lane = kBlockLanes;
  return m_blocks.size() - m_first;
}
