#include "tools/make_art/colour_quantizer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace make_art {
namespace {

double Luma(Rgb c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

TEST(BuildPalette, KeepsAFewColoursExactly) {
  Canvas a(4, 1, {200, 10, 10}), b(4, 1, {10, 10, 200});
  a.At(3, 0) = {255, 255, 255};
  const std::vector<Canvas> pictures = {a, b};
  const Palette256 palette = BuildPalette(pictures);
  for (const Canvas& picture : pictures) {
    const IndexedImage mapped = MapToPalette(picture, palette);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) EXPECT_EQ(palette[mapped.pixels[i]], picture.pixels[i]);
  }
}

// A smooth sweep through 1536 colours: every pixel gets its nearest entry
// and lands close to its own colour.
TEST(BuildPalette, ApproximatesManyColoursClosely) {
  Canvas sweep(512, 3);
  for (int x = 0; x < 512; ++x)
    for (int y = 0; y < 3; ++y)
      sweep.At(x, y) = {static_cast<std::uint8_t>(x / 2), static_cast<std::uint8_t>(255 - x / 2),
                        static_cast<std::uint8_t>(y * 100 + (x % 7))};
  const Palette256 palette = BuildPalette(std::span(&sweep, 1));
  const IndexedImage mapped = MapToPalette(sweep, palette);
  int worst = 0;
  for (std::size_t i = 0; i < sweep.pixels.size(); ++i) {
    const Rgb want = sweep.pixels[i], got = palette[mapped.pixels[i]];
    EXPECT_EQ(mapped.pixels[i], NearestEntry(palette, want));
    worst = std::max({worst, std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b)});
  }
  EXPECT_LE(worst, 16);
  for (std::size_t i = 1; i < palette.size(); ++i) EXPECT_LE(Luma(palette[i - 1]), Luma(palette[i])) << i;
}

TEST(BuildPalette, IsTheSameEveryTime) {
  Canvas noise(64, 64);
  for (std::size_t i = 0; i < noise.pixels.size(); ++i)
    noise.pixels[i] = {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 91),
                       static_cast<std::uint8_t>(i * 13)};
  EXPECT_EQ(BuildPalette(std::span(&noise, 1)), BuildPalette(std::span(&noise, 1)));
}

TEST(NearestEntry, PrefersTheLowestOfEqualEntries) {
  Palette256 palette{};
  palette[3] = {100, 100, 100};
  palette[7] = {100, 100, 100};
  EXPECT_EQ(NearestEntry(palette, {101, 99, 100}), 3);
  EXPECT_EQ(NearestEntry(palette, {0, 0, 0}), 0);
}

}  // namespace
}  // namespace make_art
