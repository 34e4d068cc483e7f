#include "tools/make_art/rle8_encoder.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace make_art {
namespace {

constexpr std::size_t kMaxRun = 255;
constexpr std::size_t kMinAbsolute = 3;

std::size_t AbsoluteCost(std::size_t length) { return 2 + length + (length & 1); }

}  // namespace

void EncodeRle8Row(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
  const std::size_t n = row.size();
  // same[i]: how many pixels from i on repeat row[i].
  std::vector<std::size_t> same(n + 1, 0);
  for (std::size_t i = n; i-- > 0;) same[i] = (i + 1 < n && row[i + 1] == row[i]) ? same[i + 1] + 1 : 1;

  // best[i]: the fewest bytes for row[i..n), and among equally short
  // encodings the fewest tokens; with the first token's kind and length.
  // Odd absolute runs tie in bytes with one pixel fewer plus a one-pixel
  // run, so it is the token count that keeps them whole.
  struct Cost {
    std::size_t bytes = 0;
    std::size_t tokens = 0;
    bool operator<(const Cost& o) const { return bytes != o.bytes ? bytes < o.bytes : tokens < o.tokens; }
  };
  std::vector<Cost> best(n + 1);
  std::vector<std::size_t> length(n, 0);
  std::vector<bool> absolute(n, false);
  for (std::size_t i = n; i-- > 0;) {
    Cost chosen{std::numeric_limits<std::size_t>::max(), 0};
    const auto consider = [&](std::size_t len, bool isAbsolute) {
      const std::size_t own = isAbsolute ? AbsoluteCost(len) : 2;
      const Cost c{own + best[i + len].bytes, 1 + best[i + len].tokens};
      // Between equals the longer first token wins, so long stretches are
      // written from their start.
      if (c < chosen || (!(chosen < c) && len > length[i])) {
        chosen = c;
        length[i] = len;
        absolute[i] = isAbsolute;
      }
    };
    for (std::size_t len = std::min({same[i], kMaxRun, n - i}); len >= 1; --len) consider(len, false);
    for (std::size_t len = kMinAbsolute; len <= std::min(kMaxRun, n - i); ++len) consider(len, true);
    best[i] = chosen;
  }

  for (std::size_t i = 0; i < n; i += length[i]) {
    const std::size_t len = length[i];
    if (absolute[i]) {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(len));
      out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(i),
                 row.begin() + static_cast<std::ptrdiff_t>(i + len));
      if (len & 1) out.push_back(0);  // absolute runs end on a 16-bit boundary
    } else {
      out.push_back(static_cast<std::uint8_t>(len));
      out.push_back(row[i]);
    }
  }
}

std::vector<std::uint8_t> EncodeRle8(std::span<const std::uint8_t> pixels, int width, int height) {
  assert(width > 0 && height >= 0 && pixels.size() == static_cast<std::size_t>(width) * height);
  std::vector<std::uint8_t> out;
  for (int row = height - 1; row >= 0; --row) {
    EncodeRle8Row(pixels.subspan(static_cast<std::size_t>(row) * width, static_cast<std::size_t>(width)), out);
    out.push_back(0);
    out.push_back(row == 0 ? 1 : 0);  // end of bitmap after the top row, else end of line
  }
  if (height == 0) {
    out.push_back(0);
    out.push_back(1);
  }
  return out;
}

}  // namespace make_art
