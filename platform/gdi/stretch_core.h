#pragma once
// The nearest-sample mapping (and the row copy) shared by StretchBlt, BitBlt, DrawIconEx,
// LoadImage's resizing and StretchedRows. Private to platform/gdi.
//
// Target pixel (i, j) of a dw x dh rectangle at (dx, dy) takes source pixel
// (sx + floor(i*sw/dw), sy + floor(j*sh/dh)): whole source rows and columns
// are repeated or dropped, never averaged. Target pixels outside the target
// and source pixels outside the source are skipped.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace kp::gdi::detail {

// Copies n pixels to `out` (any alignment) with the colour bytes kept and
// the top byte set to `alpha`, four at a time where it can: unscaled copies
// are the common case, and the compiler would not otherwise vectorise a loop
// whose rows might overlap. The rows must not overlap.
inline void CopyRowWithAlpha(const std::uint32_t* in, void* out, std::size_t n, std::uint32_t alpha) {
  using Four = std::uint32_t __attribute__((vector_size(16)));
  const Four keep = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
  const Four set = {alpha, alpha, alpha, alpha};
  auto* to = static_cast<unsigned char*>(out);
  std::size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    Four v;
    std::memcpy(&v, in + k, sizeof v);
    v = (v & keep) | set;
    std::memcpy(to + k * 4, &v, sizeof v);
  }
  for (; k < n; ++k) {
    const std::uint32_t p = (in[k] & 0x00FFFFFF) | alpha;
    std::memcpy(to + k * 4, &p, sizeof p);
  }
}

// The source offset that offset i of a target extent takes: floor(i * sw /
// dw). 64-bit: i * sw reaches 2^62 at most for 31-bit extents.
inline long long NearestSample(long long i, long long sourceExtent, long long targetExtent) {
  return i * sourceExtent / targetExtent;
}

// Calls f(targetY, sourceY, firstTargetX, sourceColumns) once for every
// target row to fill: sourceColumns[k] is the source column of target
// column firstTargetX + k, or -1 where that falls outside the source.
// Extents must be positive. Working a row at a time lets a blit fetch each
// row's address once instead of once per pixel.
template <typename F>
void ForEachStretchedRow(int srcWidth, int srcHeight, long long sx, long long sy, long long sw, long long sh,
                         int dstWidth, int dstHeight, long long dx, long long dy, long long dw, long long dh, F&& f) {
  // Only the part of the target rectangle inside the target is visited.
  const long long i0 = std::max<long long>(0, -dx), i1 = std::min<long long>(dw, dstWidth - dx);
  const long long j0 = std::max<long long>(0, -dy), j1 = std::min<long long>(dh, dstHeight - dy);
  if (i0 >= i1 || j0 >= j1) return;
  std::vector<int> columns;
  columns.reserve(static_cast<std::size_t>(i1 - i0));
  for (long long i = i0; i < i1; ++i) {
    const long long x = sx + NearestSample(i, sw, dw);
    columns.push_back(x >= 0 && x < srcWidth ? static_cast<int>(x) : -1);
  }
  for (long long j = j0; j < j1; ++j) {
    const long long y = sy + NearestSample(j, sh, dh);
    if (y < 0 || y >= srcHeight) continue;
    f(static_cast<int>(dy + j), static_cast<int>(y), static_cast<int>(dx + i0), columns);
  }
}

// Calls f(targetX, targetY, sourceX, sourceY) for every pixel to copy.
// Extents must be positive.
template <typename F>
void ForEachStretchedPixel(int srcWidth, int srcHeight, long long sx, long long sy, long long sw, long long sh,
                           int dstWidth, int dstHeight, long long dx, long long dy, long long dw, long long dh, F&& f) {
  // Only the part of the target rectangle inside the target is visited.
  ForEachStretchedRow(srcWidth, srcHeight, sx, sy, sw, sh, dstWidth, dstHeight, dx, dy, dw, dh,
                      [&](int ty, int fy, int tx0, const std::vector<int>& columns) {
                        for (std::size_t k = 0; k < columns.size(); ++k)
                          if (columns[k] >= 0) f(tx0 + static_cast<int>(k), ty, columns[k], fy);
                      });
}

}  // namespace kp::gdi::detail
