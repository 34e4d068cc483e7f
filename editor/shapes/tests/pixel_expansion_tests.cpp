#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "editor/shapes/pixel_expansion.h"

namespace {

// Palette entry i is the colour i + 1, so a pixel names the entry it shows.
SetPalette NumberedPalette() {
  SetPalette palette;
  for (int i = 0; i < kSetPaletteSize; ++i) palette[static_cast<std::size_t>(i)] = static_cast<DWORD>(i + 1);
  return palette;
}

// The pixel array's value at image column x, image row y (0 = top).
DWORD At(const std::vector<DWORD>& pixels, int width, int height, int x, int y) {
  return pixels[static_cast<std::size_t>((height - 1 - y) * width + x)];
}

TEST(ExpandColumnOrder, StoredColumnsRunTopDownFromTheLeft) {
  const SetPalette palette = NumberedPalette();
  std::vector<BYTE> indices(128 * 128);
  for (std::size_t n = 0; n < indices.size(); ++n) indices[n] = static_cast<BYTE>(n % 200);
  std::vector<DWORD> pixels(128 * 128);
  ExpandColumnOrder(pixels.data(), indices.data(), palette, 128, 128);

  const struct {
    int stored;  // position in the stored bytes
    int x, y;
  } rows[] = {
      {0, 0, 0}, {1, 0, 1}, {127, 0, 127}, {128, 1, 0}, {129, 1, 1}, {16383, 127, 127}, {128 * 5 + 9, 5, 9},
  };
  for (const auto& row : rows)
    EXPECT_EQ(At(pixels, 128, 128, row.x, row.y), static_cast<DWORD>(row.stored % 200 + 1)) << row.stored;
  // In the bottom-up array the top-left pixel is the first of the last row.
  EXPECT_EQ(pixels[127 * 128], 1u);
}

TEST(ExpandColumnOrder, NonSquareImagesTakeWidthColumnsOfHeightBytes) {
  const SetPalette palette = NumberedPalette();
  const std::vector<BYTE> indices = {0, 1, 2, 3, 4, 5};  // 2 columns of 3
  std::vector<DWORD> pixels(6, 0);
  ExpandColumnOrder(pixels.data(), indices.data(), palette, 2, 3);
  // Bottom row first: (0,2) (1,2), then (0,1) (1,1), then (0,0) (1,0).
  EXPECT_EQ(pixels, (std::vector<DWORD>{3, 6, 2, 5, 1, 4}));
}

TEST(ExpandRowOrder, FirstStoredRowIsTheBottomRow) {
  const SetPalette palette = NumberedPalette();
  std::vector<BYTE> indices(512 * 270);
  for (std::size_t p = 0; p < indices.size(); ++p) indices[p] = static_cast<BYTE>((p / 512) % 200);
  std::vector<DWORD> pixels(512 * 270);
  ExpandRowOrder(pixels.data(), indices.data(), palette, 512, 270);
  EXPECT_EQ(At(pixels, 512, 270, 0, 269), 1u) << "stored row 0 is image row 269";
  EXPECT_EQ(At(pixels, 512, 270, 511, 269), 1u);
  EXPECT_EQ(At(pixels, 512, 270, 0, 268), 2u);
  EXPECT_EQ(At(pixels, 512, 270, 300, 0), static_cast<DWORD>(269 % 200 + 1)) << "the last stored row is the top";
}

TEST(Expansion, IndicesAbove230ShowEntry230) {
  const SetPalette palette = NumberedPalette();
  std::vector<BYTE> indices(256);
  std::iota(indices.begin(), indices.end(), 0);
  std::vector<DWORD> columns(256);
  std::vector<DWORD> rows(256);
  ExpandColumnOrder(columns.data(), indices.data(), palette, 1, 256);
  ExpandRowOrder(rows.data(), indices.data(), palette, 256, 1);
  for (int i = 0; i < 256; ++i) {
    DWORD expected = static_cast<DWORD>(std::min(i, 230) + 1);
    EXPECT_EQ(rows[static_cast<std::size_t>(i)], expected) << i;
    EXPECT_EQ(columns[static_cast<std::size_t>(255 - i)], expected) << i;  // one column, top down
  }
}

TEST(Expansion, NothingIsWrittenForEmptyOrNegativeSizes) {
  const SetPalette palette = NumberedPalette();
  const std::vector<BYTE> indices(16, 3);
  const struct { int width, height; } rows[] = {{0, 4}, {4, 0}, {-2, 4}, {4, -2}, {-4, -4}};
  for (const auto& row : rows) {
    std::vector<DWORD> pixels(16, 0xEEEEEEEE);
    ExpandColumnOrder(pixels.data(), indices.data(), palette, row.width, row.height);
    ExpandRowOrder(pixels.data(), indices.data(), palette, row.width, row.height);
    EXPECT_EQ(pixels, std::vector<DWORD>(16, 0xEEEEEEEE)) << row.width << " x " << row.height;
  }
}

}  // namespace
