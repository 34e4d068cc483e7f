#include "editor/import/palette_scan.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

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
}

namespace {

int Square(int v) { return v * v; }
int RedOf(const CandidateBlock& block, int lane) { return static_cast<int>(block.redGreen[lane] & 0xFFFF); }
int GreenOf(const CandidateBlock& block, int lane) { return static_cast<int>(block.redGreen[lane] >> 16); }
int BlueOf(const CandidateBlock& block, int lane) { return static_cast<int>(block.blue[lane]); }

// One entry as the filter weighs it.
struct Weighed {
  int red, green, blue;
  int norm;  // red^2 + green^2 + blue^2
  int index;
  int centre;  // 4 x the squared distance to the box's centre
};

Weighed WeighedOf(const CandidateBlock& block, int lane) {
  return Weighed{RedOf(block, lane), GreenOf(block, lane), BlueOf(block, lane), block.base[lane] >> 8,
                 block.base[lane] & 0xFF, 0};
}

// Whether `f` is at least as near as `e` to every colour of the box, ties
// going to f by its lower index: then e is never the first nearest there.
// The difference |q - f|^2 - |q - e|^2 = |f|^2 - |e|^2 - 2 q.(f - e) is
// linear in q, so its largest value over the box is at a corner, taken axis
// by axis.
bool Dominates(const Weighed& f, const Weighed& e, const ColourBox& box) {
  auto axis = [](int difference, int lo, int hi) { return std::max(-2 * difference * lo, -2 * difference * hi); };
  const int favour = f.norm - e.norm + axis(f.red - e.red, box.redLo, box.redHi) +
                     axis(f.green - e.green, box.greenLo, box.greenHi) +
                     axis(f.blue - e.blue, box.blueLo, box.blueHi);
  return favour < 0 || (favour == 0 && f.index < e.index);
}

}  // namespace

// Taken nearest the box's centre first, an entry comes after every entry that
// dominates it (a dominating entry is at least as near to the centre, ties
// to the lower index); and an entry dominated by one that was left out is
// dominated by whatever left that one out, so comparing each entry with the
// kept ones alone is enough.
int KeepUndominated(CandidateBlock* list, int entries, const ColourBox& box) {
  Weighed weighed[256];
  const int redMid = box.redLo + box.redHi, greenMid = box.greenLo + box.greenHi, blueMid = box.blueLo + box.blueHi;
  for (int p = 0; p < entries; ++p) {
    Weighed& w = weighed[p];
    w = WeighedOf(list[p / kBlockLanes], p % kBlockLanes);
    w.centre = Square(2 * w.red - redMid) + Square(2 * w.green - greenMid) + Square(2 * w.blue - blueMid);
  }
  std::sort(weighed, weighed + entries, [](const Weighed& a, const Weighed& b) {
    return a.centre != b.centre ? a.centre < b.centre : a.index < b.index;
  });
  int kept = 0;
  for (int c = 0; c < entries; ++c) {
    bool beaten = false;
    for (int k = 0; k < kept && !beaten; ++k) beaten = Dominates(weighed[k], weighed[c], box);
    if (!beaten) weighed[kept++] = weighed[c];
  }
  for (int k = 0; k < kept; ++k) {
    const Weighed& w = weighed[k];
    SetLane(list[k / kBlockLanes], k % kBlockLanes, w.red, w.green, w.blue, w.index);
  }
  PadList(list, kept);
  return kept;
}

namespace {

int FilterPortable(const CandidateBlock* from, int entries, const ColourBox& box, CandidateBlock* to) {
  int nearest[256];
  int bound = INT_MAX;
  int bounding = 0;
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
  const Weighed f = WeighedOf(from[bounding / kBlockLanes], bounding % kBlockLanes);
  int kept = 0;
  for (int p = 0; p < entries; ++p) {
    const CandidateBlock& block = from[p / kBlockLanes];
    const int lane = p % kBlockLanes;
    if (nearest[p] > bound || Dominates(f, WeighedOf(block, lane), box)) continue;
    CandidateBlock& target = to[kept / kBlockLanes];
    target.redGreen[kept % kBlockLanes] = block.redGreen[lane];
    target.blue[kept % kBlockLanes] = block.blue[lane];
    target.base[kept % kBlockLanes] = block.base[lane];
    ++kept;
  }
  PadList(to, kept);
  return kept;
}

std::int32_t ValueOf(const CandidateBlock& block, int lane, int red, int green, int blue) {
  const std::int32_t dot = RedOf(block, lane) * red + GreenOf(block, lane) * green + BlueOf(block, lane) * blue;
  return block.base[lane] - dot * 512;
}

// The search over one list: the part of the row mapping that differs per
// instruction set.
struct PortableScan {
  static int Scan(const CandidateBlock* blocks, std::size_t count, DWORD rgb) {
    const int red = static_cast<int>((rgb >> 16) & 0xFF);
    const int green = static_cast<int>((rgb >> 8) & 0xFF);
    const int blue = static_cast<int>(rgb & 0xFF);
    std::int32_t best = INT32_MAX;
    for (std::size_t i = 0; i < count; ++i)
      for (int lane = 0; lane < kBlockLanes; ++lane) best = std::min(best, ValueOf(blocks[i], lane, red, green, blue));
    return best & 0xFF;
  }
};

// The row mapping, the same on every instruction set. Each kernel below
// instantiates it with its scan and has it inlined whole (flatten), so that
// no call is left in the loop.
template <typename Search>
int MapRow(const MatchTables& tables, const DWORD* colours, const int* columns, int count, BYTE* out,
           std::ptrdiff_t step) {
  // Local copies: the stores through `out` could otherwise be taken to change
  // the tables.
  const CandidateBlock* const pool = tables.pool;
  const CandidateList* const cells = tables.cells;
  for (int k = 0; k < count; ++k, out += step) {
    const DWORD rgb = colours[columns[k]];
    const CandidateList list = cells[CellOf(rgb)];
    if (list.blocks == 0) return k;
    *out = static_cast<BYTE>(Search::Scan(pool + list.first, list.blocks, rgb));
  }
  return count;
}

int ScanPortable(const CandidateBlock* blocks, std::size_t count, DWORD rgb) {
  return PortableScan::Scan(blocks, count, rgb);
}

int MapRowPortable(const MatchTables& tables, const DWORD* colours, const int* columns, int count, BYTE* out,
                   std::ptrdiff_t step) {
  return MapRow<PortableScan>(tables, colours, columns, count, out, step);
}

#ifdef KESTROW_X86

// The colour's bytes blue, green, red, unused, rearranged for the
// multiply-adds: red | green << 16 in each 32-bit lane (bytes 2, none, 1,
// none), and blue alone.
constexpr int kRedGreenBytes = static_cast<int>(0x80018002u);
constexpr int kBlueByte = static_cast<int>(0x80808000u);

struct Sse41Scan {
  __attribute__((target("sse4.1"))) static __m128i Values(const std::int32_t* base, const std::uint32_t* redGreen,
                                                          const std::uint32_t* blue, __m128i qrg, __m128i qb) {
    const __m128i dot = _mm_add_epi32(_mm_madd_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(redGreen)), qrg),
                                      _mm_madd_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(blue)), qb));
    return _mm_sub_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(base)), _mm_slli_epi32(dot, 9));
  }
  __attribute__((target("sse4.1"))) static int Scan(const CandidateBlock* blocks, std::size_t count, DWORD rgb) {
    const __m128i q = _mm_set1_epi32(static_cast<int>(rgb));
    const __m128i qrg = _mm_shuffle_epi8(q, _mm_set1_epi32(kRedGreenBytes));
    const __m128i qb = _mm_shuffle_epi8(q, _mm_set1_epi32(kBlueByte));
    __m128i best = _mm_set1_epi32(INT32_MAX);
    for (std::size_t i = 0; i < count; ++i) {
      const CandidateBlock& block = blocks[i];
      best = _mm_min_epi32(best, Values(block.base, block.redGreen, block.blue, qrg, qb));
      best = _mm_min_epi32(best, Values(block.base + 4, block.redGreen + 4, block.blue + 4, qrg, qb));
    }
    best = _mm_min_epi32(best, _mm_shuffle_epi32(best, _MM_SHUFFLE(1, 0, 3, 2)));
    best = _mm_min_epi32(best, _mm_shuffle_epi32(best, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(best) & 0xFF;
  }
};

__attribute__((target("sse4.1"), flatten)) int ScanSse41(const CandidateBlock* blocks, std::size_t count,
                                                         DWORD rgb) {
  return Sse41Scan::Scan(blocks, count, rgb);
}

__attribute__((target("sse4.1"), flatten)) int MapRowSse41(const MatchTables& tables, const DWORD* colours,
                                                           const int* columns, int count, BYTE* out,
                                                           std::ptrdiff_t step) {
  return MapRow<Sse41Scan>(tables, colours, columns, count, out, step);
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

struct Avx2Scan {
  __attribute__((target("avx2"))) static __m256i Values(const CandidateBlock& block, __m256i qrg, __m256i qb) {
    const __m256i dot =
        _mm256_add_epi32(_mm256_madd_epi16(Load(block.redGreen), qrg), _mm256_madd_epi16(Load(block.blue), qb));
    return _mm256_sub_epi32(Load(block.base), _mm256_slli_epi32(dot, 9));
  }
  __attribute__((target("avx2"))) static int Scan(const CandidateBlock* blocks, std::size_t count, DWORD rgb) {
    const __m256i q = _mm256_set1_epi32(static_cast<int>(rgb));
    const __m256i qrg = _mm256_shuffle_epi8(q, _mm256_set1_epi32(kRedGreenBytes));
    const __m256i qb = _mm256_shuffle_epi8(q, _mm256_set1_epi32(kBlueByte));
    // Most lists take one block.
    __m256i best = Values(blocks[0], qrg, qb);
    for (std::size_t i = 1; i < count; ++i) best = _mm256_min_epi32(best, Values(blocks[i], qrg, qb));
    return HorizontalMin(best) & 0xFF;
  }
};

__attribute__((target("avx2"), flatten)) int ScanAvx2(const CandidateBlock* blocks, std::size_t count, DWORD rgb) {
  return Avx2Scan::Scan(blocks, count, rgb);
}

// The smallest lane of each of eight vectors, in order, in one vector: the
// halves of pairs of vectors, then their quarters, then their eighths, are
// set side by side and the smaller of each two kept.
__attribute__((target("avx2"), always_inline)) inline __m256i SmallestLanes(const __m256i (&v)[8]) {
  __m256i halves[4];
#pragma GCC unroll 4
  for (int i = 0; i < 4; ++i)
    halves[i] = _mm256_min_epi32(_mm256_permute2x128_si256(v[i], v[i + 4], 0x20),
                                 _mm256_permute2x128_si256(v[i], v[i + 4], 0x31));
  // Lanes 0-3: vector i, 4-7: vector i + 4.
  __m256i quarters[2];
#pragma GCC unroll 2
  for (int i = 0; i < 2; ++i)
    quarters[i] = _mm256_min_epi32(_mm256_unpacklo_epi64(halves[i], halves[i + 2]),
                                   _mm256_unpackhi_epi64(halves[i], halves[i + 2]));
  // Lanes 0-1: vector i, 2-3: vector i + 2, and the same for i + 4 and i + 6.
  const __m256i low = _mm256_unpacklo_epi32(quarters[0], quarters[1]);
  const __m256i high = _mm256_unpackhi_epi32(quarters[0], quarters[1]);
  return _mm256_min_epi32(_mm256_unpacklo_epi64(low, high), _mm256_unpackhi_epi64(low, high));
}

// Eight colours a round: each colour is still compared with its own list,
// but the eight smallest keys are then found together, and the eight
// indices written at once. A round whose colours include one of a cell not
// filtered yet is left to the colour-by-colour loop, which stops there.
__attribute__((target("avx2"), flatten)) int MapRowAvx2(const MatchTables& tables, const DWORD* colours,
                                                        const int* columns, int count, BYTE* out,
                                                        std::ptrdiff_t step) {
  const CandidateBlock* const pool = tables.pool;
  const CandidateList* const cells = tables.cells;
  // The low byte of each lane (its index) to bytes 0-3 of each half.
  const __m256i indexBytes = _mm256_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 4, 8,
                                              12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
  int k = 0;
  for (; k + 8 <= count; k += 8) {
    __m256i keys[8];
    bool filtered = true;
#pragma GCC unroll 8
    for (int i = 0; i < 8; ++i) {
      const DWORD* colour = colours + columns[k + i];
      const CandidateList list = cells[CellOf(*colour)];
      const CandidateBlock* blocks = pool + list.first;
      const __m256i q = _mm256_set1_epi32(static_cast<int>(*colour));
      const __m256i qrg = _mm256_shuffle_epi8(q, _mm256_set1_epi32(kRedGreenBytes));
      const __m256i qb = _mm256_shuffle_epi8(q, _mm256_set1_epi32(kBlueByte));
      keys[i] = Avx2Scan::Values(blocks[0], qrg, qb);
      if (list.blocks != 1) [[unlikely]] {
        // A list not filtered yet has no blocks; its first block is the
        // pool's first, which can be read, and what is read from it is not
        // used.
        filtered &= list.blocks != 0;
        for (std::size_t b = 1; b < list.blocks; ++b)
          keys[i] = _mm256_min_epi32(keys[i], Avx2Scan::Values(blocks[b], qrg, qb));
      }
    }
    if (!filtered) break;
    const __m256i bytes = _mm256_shuffle_epi8(SmallestLanes(keys), indexBytes);
    const std::uint64_t indices =
        static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(bytes))) |
        static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm256_extracti128_si256(bytes, 1))))
            << 32;
    BYTE* to = out + k * step;
    if (step == 1) {
      std::memcpy(to, &indices, 8);
    } else {
      std::uint64_t rest = indices;
#pragma GCC unroll 8
      for (int i = 0; i < 8; ++i, to += step, rest >>= 8) *to = static_cast<BYTE>(rest);
    }
  }
  return k + MapRow<Avx2Scan>(tables, colours, columns + k, count - k, out + k * step, step);
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

// FilterPortable, eight entries at a time.
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
            _mm256_add_epi32(FavourAxis(_mm256_sub_epi32(fRed, _mm256_and_si256(rg, lowHalf)), redLo, redHi),
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
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(redGreen + kept), _mm256_permutevar8x32_epi32(rg, order));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(blue + kept),
                        _mm256_permutevar8x32_epi32(Load(from[i].blue), order));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(base + kept), _mm256_permutevar8x32_epi32(entryBase, order));
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
    {SimdLevel::Avx2, {ScanAvx2, MapRowAvx2, FilterAvx2}},
    // Filtering runs once per cube or cell; four lanes would gain little there.
    {SimdLevel::Sse41, {ScanSse41, MapRowSse41, FilterPortable}},
#endif
    {SimdLevel::Portable, {ScanPortable, MapRowPortable, FilterPortable}},
};

}  // namespace

SearchKernels KernelsFor(SimdLevel level) {
  if (SimdLevelSupported(level))
    for (const LevelKernels& entry : kKernels)
      if (entry.level == level) return entry.kernels;
  return {ScanPortable, MapRowPortable, FilterPortable};
}
