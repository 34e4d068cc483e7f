#include "editor/import/dither_bitmap.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "editor/import/scaled_pixels.h"

namespace {

constexpr int kChannels = 3;
// Bit positions of red, green and blue in 0x00RRGGBB.
constexpr int kShifts[kChannels] = {16, 8, 0};

int Channel(DWORD rgb, int channel) { return static_cast<int>((rgb >> kShifts[channel]) & 0xFF); }

// A carried error in sixteenths, rounded to the nearest level (halves up).
// The shift of a negative value rounds toward minus infinity, the same on
// every compiler since C++20.
int Level(int sixteenths) { return (sixteenths + 8) >> 4; }

}  // namespace

void DitherPicture(const DWORD* rows, int width, int height, bool columnOrder, const SetPalette& palette,
                   PaletteMatcher& matcher, BYTE* out) {
  if (width <= 0 || height <= 0) return;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  // Errors carried into this row and into the next, per pixel and channel,
  // with one pixel of margin at each end to take what falls off the edge.
  const std::size_t cells = (w + 2) * kChannels;
  std::vector<int> here(cells, 0);
  std::vector<int> below(cells, 0);

  for (std::size_t y = 0; y < h; ++y) {
    const DWORD* row = rows + (h - 1 - y) * w;  // picture row y from the top
    const bool leftToRight = y % 2 == 0;
    std::fill(below.begin(), below.end(), 0);
    for (std::size_t i = 0; i < w; ++i) {
      const std::size_t x = leftToRight ? i : w - 1 - i;
      // Margin cells: pixel x is cell x + 1; ahead and behind follow the walk.
      const std::size_t cell = (x + 1) * kChannels;
      const std::size_t ahead = leftToRight ? cell + kChannels : cell - kChannels;
      const std::size_t behind = leftToRight ? cell - kChannels : cell + kChannels;

      int wanted[kChannels];
      DWORD rgb = 0;
      for (int c = 0; c < kChannels; ++c) {
        wanted[c] = std::clamp(Channel(row[x], c) + Level(here[cell + static_cast<std::size_t>(c)]), 0, 255);
        rgb |= static_cast<DWORD>(wanted[c]) << kShifts[c];
      }
      const int index = matcher.Find(rgb);
      const DWORD entry = palette[static_cast<std::size_t>(index)];
      for (int c = 0; c < kChannels; ++c) {
        const int error = wanted[c] - Channel(entry, c);
        const auto k = static_cast<std::size_t>(c);
        here[ahead + k] += 7 * error;
        below[behind + k] += 3 * error;
        below[cell + k] += 5 * error;
        below[ahead + k] += error;
      }
      const std::size_t position = columnOrder ? x * h + y : (h - 1 - y) * w + x;
      out[position] = static_cast<BYTE>(index);
    }
    std::swap(here, below);
  }
}

BOOL DitherBitmapToPalette(BYTE* output, int dw, int dh, HDC source, int sw, int sh, BOOL bottomUpRows,
                           const SetPalette& palette, PaletteMatcher& matcher) {
  std::vector<DWORD> pixels;
  if (!ReadScaledPixels(source, sw, sh, dw, dh, pixels)) return FALSE;
  DitherPicture(pixels.data(), dw, dh, bottomUpRows == FALSE, palette, matcher, output);
  return TRUE;
}
