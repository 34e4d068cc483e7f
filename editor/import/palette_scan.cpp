#include "editor/import/palette_scan.h"

#include <algorithm>
#include <array>
#include <climits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KESTROW_X86 1
#endif

void SetLane(CandidateBlock& block, int lane, int red, int green, int blue, int index) {
  block.redGreen[lane] = static_cast<std::uint32_t>(red) | (static_cast<std::uint32_t>(green) << 16);
  block.blue[lane] = static_cast<std::uint32_t>(blue);
  block.base[lane] = (red * red + green * green + blue * blue) * 256 + index;
}

void PadList(CandidateBlock* blocks, int entries) {
  const int used = (entries - 1) % kBlockLanes + 1;
  CandidateBlock& last = blocks[(entries - 1) / kBlockLanes];
  for (int lane = used; lane < kBlockLanes; ++lane) {
    last.redGreen[lane] = last.redGreen[used - 1];
    last.blue[lane] = last.blue[used - 1];
    last.base[lane] = last.base[used - 1];
  }
  if (BlocksFor(entries) % 2 != 0) blocks[BlocksFor(entries)] = last;
}

namespace {

int Square(int v) { return v * v; }
int RedOf(const CandidateBlock& block, int lane) { return static_cast<int>(block.redGreen[lane] & 0xFFFF); }
int GreenOf(const CandidateBlock& block, int lane) { return static_cast<int>(block.redGreen[lane] >> 16); }
int BlueOf(const CandidateBlock& block, int lane) { return static_cast<int>(block.blue[lane]); }

std::int32_t ValueOf(const CandidateBlock& block, int lane, int red, int green, int blue) {
  const std::int32_t dot =
      RedOf(block, lane) * red + GreenOf(block, lane) * green + BlueOf(block, lane) * blue;
  return block.base[lane] - dot * 512;
}

int ScanPortable(const CandidateBlock* blocks, std::size_t pairs, int red, int green, int blue) {
  std::int32_t best = INT32_MAX;
  for (std::size_t i = 0; i < 2 * pairs; ++i)
    for (int lane = 0; lane < kBlockLanes; ++lane)
      best = std::min(best, ValueOf(blocks[i], lane, red, green, blue));
  return best & 0xFF;
}

void ScanColoursPortable(const CandidateBlock* blocks, int entries, const DWORD* colours, std::size_t count,
                         const std::uint32_t* positions, BYTE* out) {
  for (std::size_t c = 0; c < count; ++c) {
    const int red = static_cast<int>((colours[c] >> 16) & 0xFF);
    const int green = static_cast<int>((colours[c] >> 8) & 0xFF);
    const int blue = static_cast<int>(colours[c] & 0xFF);
    std::int32_t best = INT32_MAX;
    for (int e = 0; e < entries; ++e)
      best = std::min(best, ValueOf(blocks[e / kBlockLanes], e % kBlockLanes, red, green, blue));
    out[positions[c]] = static_cast<BYTE>(best & 0xFF);
  }
}

// The most any colour of the box can favour entry e over entry f: the
// largest over the box of |q - f|^2 - |q - e|^2. It is linear in q, so its
// largest value is at a corner, taken axis by axis.
int FavourLimit(int fr, int fg, int fb, int fNorm, int er, int eg, int eb, int eNorm, const ColourBox& box) {
  auto axis = [](int difference, int lo, int hi) {
    return std::max(-2 * difference * lo, -2 * difference * hi);
  };
  return fNorm - eNorm + axis(fr - er, box.redLo, box.redHi) + axis(fg - eg, box.greenLo, box.greenHi) +
         axis(fb - eb, box.blueLo, box.blueHi);
}

int FilterPortable(const CandidateBlock* from, int entries, const ColourBox& box, CandidateBlock* to) {
  int nearest[256];
  int bound = INT_MAX;
  int bounding = 0;  // the first entry whose farthest point is nearest
  for (int p = 0; p < entries; ++p) {
    const CandidateBlock& block = from[p / kBlockLanes];
    const int lane = p % kBlockLanes;
    const int r = RedOf(block, lane), g = GreenOf(block, lane), b = BlueOf(block, lane);
    nearest[p] = Square(std::max({box.redLo - r, r - box.redHi, 0})) +
                 Square(std::max({box.greenLo - g, g - box.greenHi, 0})) +
                 Square(std::max({box.blueLo - b, b - box.blueHi, 0}));
    const int farthest = Square(std::max(r - box.redLo, box.redHi - r)) +
                         Square(std::max(g - box.greenLo, box.greenHi - g)) +
                         Square(std::max(b - box.blueLo, box.blueHi - b));
    if (farthest < bound) {
      bound = farthest;
      bounding = p;
    }
  }
  const CandidateBlock& f = from[bounding / kBlockLanes];
  const int fLane = bounding % kBlockLanes;
  const int fr = RedOf(f, fLane), fg = GreenOf(f, fLane), fb = BlueOf(f, fLane);
  const int fNorm = f.base[fLane] >> 8, fIndex = f.base[fLane] & 0xFF;
  int kept = 0;
  for (int p = 0; p < entries; ++p) {
    if (nearest[p] > bound) continue;
    const CandidateBlock& block = from[p / kBlockLanes];
    const int lane = p % kBlockLanes;
    // An entry that the bounding entry beats all over the box, or ties
    // with a lower index, can never be the first nearest there.
    const int favour = FavourLimit(fr, fg, fb, fNorm, RedOf(block, lane), GreenOf(block, lane),
                                   BlueOf(block, lane), block.base[lane] >> 8, box);
    if (favour < 0 || (favour == 0 && fIndex < (block.base[lane] & 0xFF))) continue;
    CandidateBlock& target = to[kept / kBlockLanes];
    target.redGreen[kept % kBlockLanes] = block.redGreen[lane];
    target.blue[kept % kBlockLanes] = block.blue[lane];
    target.base[kept % kBlockLanes] = block.base[lane];
    ++kept;
  }
  PadList(to, kept);
  return kept;
}

#ifdef KESTROW_X86

__attribute__((target("sse4.1"))) int ScanSse41(const CandidateBlock* blocks, std::size_t pairs, int red,
                                                int green, int blue) {
  const __m128i qrg = _mm_set1_epi32(red | (green << 16));
  const __m128i qb = _mm_set1_epi32(blue);
  __m128i best = _mm_set1_epi32(INT32_MAX);
  for (std::size_t i = 0; i < 2 * pairs; ++i) {
    const CandidateBlock& block = blocks[i];
    for (int half = 0; half < kBlockLanes; half += 4) {
      const __m128i rg = _mm_load_si128(reinterpret_cast<const __m128i*>(block.redGreen + half));
      const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(block.blue + half));
      const __m128i dot = _mm_add_epi32(_mm_madd_epi16(rg, qrg), _mm_madd_epi16(b, qb));
      const __m128i base = _mm_load_si128(reinterpret_cast<const __m128i*>(block.base + half));
      best = _mm_min_epi32(best, _mm_sub_epi32(base, _mm_slli_epi32(dot, 9)));
    }
  }
  best = _mm_min_epi32(best, _mm_shuffle_epi32(best, _MM_SHUFFLE(1, 0, 3, 2)));
  best = _mm_min_epi32(best, _mm_shuffle_epi32(best, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(best) & 0xFF;
}

// Four colours a round, one in each lane, against one entry at a time.
__attribute__((target("sse4.1"))) void ScanColoursSse41(const CandidateBlock* blocks, int entries,
                                                        const DWORD* colours, std::size_t count,
                                                        const std::uint32_t* positions, BYTE* out) {
  const __m128i low = _mm_set1_epi32(0xFF);
  for (std::size_t c = 0; c < count; c += 4) {
    const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + c));
    const __m128i qrg = _mm_or_si128(_mm_and_si128(_mm_srli_epi32(q, 16), low),
                                     _mm_slli_epi32(_mm_and_si128(q, _mm_set1_epi32(0xFF00)), 8));
    const __m128i qb = _mm_and_si128(q, low);
    __m128i best = _mm_set1_epi32(INT32_MAX);
    for (int e = 0; e < entries; ++e) {
      const CandidateBlock& block = blocks[e / kBlockLanes];
      const int lane = e % kBlockLanes;
      const __m128i dot =
          _mm_add_epi32(_mm_madd_epi16(qrg, _mm_set1_epi32(static_cast<int>(block.redGreen[lane]))),
                        _mm_madd_epi16(qb, _mm_set1_epi32(static_cast<int>(block.blue[lane]))));
      best = _mm_min_epi32(best, _mm_sub_epi32(_mm_set1_epi32(block.base[lane]), _mm_slli_epi32(dot, 9)));
    }
    alignas(16) std::int32_t values[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(values), best);
    for (std::size_t k = 0; k < 4 && c + k < count; ++k)
      out[positions[c + k]] = static_cast<BYTE>(values[k] & 0xFF);
  }
}

__attribute__((target("avx2"), always_inline)) inline __m256i Load(const void* lanes) {
  return _mm256_load_si256(static_cast<const __m256i*>(lanes));
}

__attribute__((target("avx2"), always_inline)) inline std::int32_t HorizontalMin(__m256i v) {
  __m128i m = _mm_min_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  m = _mm_min_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
  m = _mm_min_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
  return _mm_cvtsi128_si32(m);
}

__attribute__((target("avx2"))) int ScanAvx2(const CandidateBlock* blocks, std::size_t pairs, int red,
                                             int green, int blue) {
  const __m256i qrg = _mm256_set1_epi32(red | (green << 16));
  const __m256i qb = _mm256_set1_epi32(blue);
  __m256i best = _mm256_set1_epi32(INT32_MAX);
  for (std::size_t i = 0; i < pairs; ++i, blocks += 2) {
    // Two blocks a round, each with its own minimum until the end.
    const __m256i dot0 = _mm256_add_epi32(_mm256_madd_epi16(Load(blocks[0].redGreen), qrg),
                                          _mm256_madd_epi16(Load(blocks[0].blue), qb));
    const __m256i dot1 = _mm256_add_epi32(_mm256_madd_epi16(Load(blocks[1].redGreen), qrg),
                                          _mm256_madd_epi16(Load(blocks[1].blue), qb));
    const __m256i value0 = _mm256_sub_epi32(Load(blocks[0].base), _mm256_slli_epi32(dot0, 9));
    const __m256i value1 = _mm256_sub_epi32(Load(blocks[1].base), _mm256_slli_epi32(dot1, 9));
    best = _mm256_min_epi32(best, _mm256_min_epi32(value0, value1));
  }
  return HorizontalMin(best) & 0xFF;
}

// The red-green pairs and blues of eight colours, as the multiply-adds take
// them.
struct Queries {
  __m256i redGreen;
  __m256i blue;
};

__attribute__((target("avx2"), always_inline)) inline Queries QueriesOf(const DWORD* colours) {
  const __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours));
  const __m256i low = _mm256_set1_epi32(0xFF);
  return {_mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(q, 16), low),
                          _mm256_slli_epi32(_mm256_and_si256(q, _mm256_set1_epi32(0xFF00)), 8)),
          _mm256_and_si256(q, low)};
}

__attribute__((target("avx2"), always_inline)) inline __m256i Value(const Queries& q, __m256i redGreen,
                                                                    __m256i blue, __m256i base) {
  const __m256i dot =
      _mm256_add_epi32(_mm256_madd_epi16(q.redGreen, redGreen), _mm256_madd_epi16(q.blue, blue));
  return _mm256_sub_epi32(base, _mm256_slli_epi32(dot, 9));
}

__attribute__((target("avx2"), always_inline)) inline void StoreIndices(__m256i best,
                                                                        const std::uint32_t* positions,
                                                                        BYTE* out, std::size_t n) {
  alignas(32) std::int32_t values[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(values), best);
  for (std::size_t k = 0; k < n; ++k) out[positions[k]] = static_cast<BYTE>(values[k] & 0xFF);
}

// Eight colours a lane each, sixteen a round when there are that many, so
// that each entry is fetched once for both groups of eight. The entries are
// taken a block at a time, all eight lanes: the lanes after the last entry
// repeat it, which changes no minimum.
__attribute__((target("avx2"))) void ScanColoursAvx2(const CandidateBlock* blocks, int entries,
                                                     const DWORD* colours, std::size_t count,
                                                     const std::uint32_t* positions, BYTE* out) {
  const std::size_t blockCount = BlocksFor(entries);
  std::size_t c = 0;
  for (; c + 16 <= count; c += 16) {
    const Queries q0 = QueriesOf(colours + c);
    const Queries q1 = QueriesOf(colours + c + 8);
    __m256i best0 = _mm256_set1_epi32(INT32_MAX);
    __m256i best1 = best0;
    for (const CandidateBlock* block = blocks; block < blocks + blockCount; ++block) {
#pragma GCC unroll 8
      for (int lane = 0; lane < kBlockLanes; ++lane) {
        const __m256i redGreen = _mm256_set1_epi32(static_cast<int>(block->redGreen[lane]));
        const __m256i blue = _mm256_set1_epi32(static_cast<int>(block->blue[lane]));
        const __m256i base = _mm256_set1_epi32(block->base[lane]);
        best0 = _mm256_min_epi32(best0, Value(q0, redGreen, blue, base));
        best1 = _mm256_min_epi32(best1, Value(q1, redGreen, blue, base));
      }
    }
    StoreIndices(best0, positions + c, out, 8);
    StoreIndices(best1, positions + c + 8, out, 8);
  }
  for (; c < count; c += 8) {
    const Queries q = QueriesOf(colours + c);
    __m256i best = _mm256_set1_epi32(INT32_MAX);
    for (const CandidateBlock* block = blocks; block < blocks + blockCount; ++block) {
#pragma GCC unroll 8
      for (int lane = 0; lane < kBlockLanes; ++lane)
        best = _mm256_min_epi32(best, Value(q, _mm256_set1_epi32(static_cast<int>(block->redGreen[lane])),
                                            _mm256_set1_epi32(static_cast<int>(block->blue[lane])),
                                            _mm256_set1_epi32(block->base[lane])));
    }
    StoreIndices(best, positions + c, out, std::min<std::size_t>(8, count - c));
  }
}

// For each 8-bit mask of kept lanes, the lanes to gather so that the kept
// ones come first, in order.
constexpr std::array<std::array<std::int32_t, 8>, 256> MakeCompressTable() {
  std::array<std::array<std::int32_t, 8>, 256> table{};
  for (int mask = 0; mask < 256; ++mask) {
    int n = 0;
    for (int lane = 0; lane < 8; ++lane)
      if (mask & (1 << lane)) table[static_cast<std::size_t>(mask)][static_cast<std::size_t>(n++)] = lane;
  }
  return table;
}
alignas(32) constexpr std::array<std::array<std::int32_t, 8>, 256> kCompress = MakeCompressTable();

// Along one axis, the most a colour of [lo, hi] can favour an entry over
// one `difference` away: max(-2 d lo, -2 d hi), that is -2 min(d lo, d hi).
__attribute__((target("avx2"), always_inline)) inline __m256i FavourAxis(__m256i difference, __m256i lo,
                                                                         __m256i hi) {
  const __m256i low = _mm256_mullo_epi32(difference, lo);
  const __m256i high = _mm256_mullo_epi32(difference, hi);
  return _mm256_slli_epi32(_mm256_sub_epi32(_mm256_setzero_si256(), _mm256_min_epi32(low, high)), 1);
}

// Squared distances along one axis from the lanes' values to the range
// [lo, hi]: to its nearest point (0 inside) and to its farthest point.
struct AxisGaps {
  __m256i nearest;
  __m256i farthest;
};

__attribute__((target("avx2"), always_inline)) inline AxisGaps Gaps(__m256i v, __m256i lo, __m256i hi) {
  const __m256i nearest = _mm256_max_epi32(_mm256_max_epi32(_mm256_sub_epi32(lo, v), _mm256_sub_epi32(v, hi)),
                                           _mm256_setzero_si256());
  const __m256i farthest = _mm256_max_epi32(_mm256_sub_epi32(v, lo), _mm256_sub_epi32(hi, v));
  return {_mm256_mullo_epi32(nearest, nearest), _mm256_mullo_epi32(farthest, farthest)};
}

__attribute__((target("avx2"))) int FilterAvx2(const CandidateBlock* from, int entries, const ColourBox& box,
                                               CandidateBlock* to) {
  alignas(32) std::int32_t nearest[256];
  alignas(32) std::int32_t farthest[256];
  const std::size_t count = BlocksFor(entries);
  const __m256i redLo = _mm256_set1_epi32(box.redLo), redHi = _mm256_set1_epi32(box.redHi);
  const __m256i greenLo = _mm256_set1_epi32(box.greenLo), greenHi = _mm256_set1_epi32(box.greenHi);
  const __m256i blueLo = _mm256_set1_epi32(box.blueLo), blueHi = _mm256_set1_epi32(box.blueHi);
  const __m256i lowHalf = _mm256_set1_epi32(0xFFFF);
  // Padding lanes copy a real entry, so they may take part in the bound.
  __m256i bound = _mm256_set1_epi32(INT32_MAX);
  for (std::size_t i = 0; i < count; ++i) {
    const __m256i rg = Load(from[i].redGreen);
    const AxisGaps r = Gaps(_mm256_and_si256(rg, lowHalf), redLo, redHi);
    const AxisGaps g = Gaps(_mm256_srli_epi32(rg, 16), greenLo, greenHi);
    const AxisGaps b = Gaps(Load(from[i].blue), blueLo, blueHi);
    const __m256i far = _mm256_add_epi32(_mm256_add_epi32(r.farthest, g.farthest), b.farthest);
    _mm256_store_si256(reinterpret_cast<__m256i*>(nearest + i * kBlockLanes),
                       _mm256_add_epi32(_mm256_add_epi32(r.nearest, g.nearest), b.nearest));
    _mm256_store_si256(reinterpret_cast<__m256i*>(farthest + i * kBlockLanes), far);
    bound = _mm256_min_epi32(bound, far);
  }
  const std::int32_t least = HorizontalMin(bound);
  const __m256i limit = _mm256_set1_epi32(least);

  // The first entry with that farthest point: it beats, all over the box,
  // many of the entries that pass the bound (see FilterPortable).
  int bounding = 0;
  while (farthest[bounding] != least) ++bounding;
  const CandidateBlock& f = from[bounding / kBlockLanes];
  const int fLane = bounding % kBlockLanes;
  const __m256i fRed = _mm256_set1_epi32(RedOf(f, fLane));
  const __m256i fGreen = _mm256_set1_epi32(GreenOf(f, fLane));
  const __m256i fBlue = _mm256_set1_epi32(BlueOf(f, fLane));
  const __m256i fNorm = _mm256_set1_epi32(f.base[fLane] >> 8);
  const __m256i fIndex = _mm256_set1_epi32(f.base[fLane] & 0xFF);
  const __m256i byteMask = _mm256_set1_epi32(0xFF);
  // Kept lanes are packed to the front of each block with one permutation
  // and stored at the fill point of three staging rows.
  alignas(32) std::uint32_t redGreen[256 + kBlockLanes];
  alignas(32) std::uint32_t blue[256 + kBlockLanes];
  alignas(32) std::int32_t base[256 + kBlockLanes];
  int kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const __m256i rg = Load(from[i].redGreen);
    const __m256i entryBase = Load(from[i].base);
    const __m256i favour = _mm256_add_epi32(
        _mm256_sub_epi32(fNorm, _mm256_srai_epi32(entryBase, 8)),
        _mm256_add_epi32(
            _mm256_add_epi32(
                FavourAxis(_mm256_sub_epi32(fRed, _mm256_and_si256(rg, lowHalf)), redLo, redHi),
                FavourAxis(_mm256_sub_epi32(fGreen, _mm256_srli_epi32(rg, 16)), greenLo, greenHi)),
            FavourAxis(_mm256_sub_epi32(fBlue, Load(from[i].blue)), blueLo, blueHi)));
    const __m256i beaten =
        _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), favour),
                        _mm256_and_si256(_mm256_cmpeq_epi32(favour, _mm256_setzero_si256()),
                                         _mm256_cmpgt_epi32(_mm256_and_si256(entryBase, byteMask), fIndex)));
    const __m256i over = _mm256_or_si256(_mm256_cmpgt_epi32(Load(nearest + i * kBlockLanes), limit), beaten);
    unsigned mask = ~static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(over))) & 0xFFu;
    const int valid = entries - static_cast<int>(i) * kBlockLanes;
    if (valid < kBlockLanes) mask &= (1u << valid) - 1;
    const __m256i order = Load(kCompress[mask].data());
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(redGreen + kept),
                        _mm256_permutevar8x32_epi32(Load(from[i].redGreen), order));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(blue + kept),
                        _mm256_permutevar8x32_epi32(Load(from[i].blue), order));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(base + kept),
                        _mm256_permutevar8x32_epi32(Load(from[i].base), order));
    kept += __builtin_popcount(mask);
  }
  for (std::size_t b = 0; b < BlocksFor(kept); ++b) {
    _mm256_store_si256(reinterpret_cast<__m256i*>(to[b].redGreen), Load(redGreen + b * kBlockLanes));
    _mm256_store_si256(reinterpret_cast<__m256i*>(to[b].blue), Load(blue + b * kBlockLanes));
    _mm256_store_si256(reinterpret_cast<__m256i*>(to[b].base), Load(base + b * kBlockLanes));
  }
  PadList(to, kept);
  return kept;
}

#endif

struct LevelKernels {
  SimdLevel level;
  SearchKernels kernels;
};

constexpr LevelKernels kKernels[] = {
#ifdef KESTROW_X86
    {SimdLevel::avx2, {ScanAvx2, ScanColoursAvx2, FilterAvx2}},
    // Filtering runs once per colour cube; four lanes would gain little there.
    {SimdLevel::sse41, {ScanSse41, ScanColoursSse41, FilterPortable}},
#endif
    {SimdLevel::portable, {ScanPortable, ScanColoursPortable, FilterPortable}},
};

}  // namespace

SearchKernels KernelsFor(SimdLevel level) {
  if (SimdLevelSupported(level))
    for (const LevelKernels& entry : kKernels)
      if (entry.level == level) return entry.kernels;
  return {ScanPortable, ScanColoursPortable, FilterPortable};
}
