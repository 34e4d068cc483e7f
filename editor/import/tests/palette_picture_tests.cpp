#include <gtest/gtest.h>

#include <memory>

#include "editor/import/palette_picture.h"

namespace {

// Entry i is a colour no other entry has and black is not.
SetPalette Numbered() {
  SetPalette palette{};
  for (int i = 0; i < kSetPaletteSize; ++i) palette[static_cast<std::size_t>(i)] = 0x00100000u + static_cast<DWORD>(i);
  return palette;
}

// The entry shown at column x of row `row` (from the bottom), -1 for black.
int EntryAt(const PalettePicture& picture, int x, int row) {
  const DWORD pixel = picture[static_cast<std::size_t>(row * kPalettePictureSize + x)];
  return pixel == 0 ? -1 : static_cast<int>(pixel - 0x00100000u);
}

// The layout as its description reads: bands of 4096 / n rows from the
// bottom, entry 16 x band + x / 16 in each row, black from n on.
int ExpectedEntry(int n, int x, int row) {
  if (n <= 0) return -1;
  const int band = row / (4096 / n);
  const int entry = band * 16 + x / 16;
  return entry < n ? entry : -1;
}

TEST(PalettePicture, WorkedLayouts) {
  const SetPalette palette = Numbered();
  auto picture = std::make_unique<PalettePicture>();
  const struct {
    LONG n;
    int bandRows;
    int topRowEntry;   // at x = 0 of the top row; -1 for black
    int lastEntryRow;  // lowest row showing the highest entry (x of its cell)
  } rows[] = {
      {256, 16, 240, 240}, {231, 17, -1, 238}, {100, 40, 96, 240}, {16, 256, 0, 0}, {1, 4096, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.n);
    picture->fill(0xDEADBEEF);
    FillPalettePicture(*picture, palette, row.n);
    for (int y = 0; y < kPalettePictureSize; ++y)
      for (int x = 0; x < kPalettePictureSize; ++x)
        ASSERT_EQ(EntryAt(*picture, x, y), ExpectedEntry(row.n, x, y)) << "x " << x << " row " << y;
    EXPECT_EQ(EntryAt(*picture, 0, 255), row.topRowEntry);
    EXPECT_EQ(EntryAt(*picture, (row.n - 1) % 16 * 16, row.lastEntryRow), row.n - 1);
    EXPECT_EQ(EntryAt(*picture, 0, 0), 0) << "entry 0 is the bottom-left cell";
  }
}

TEST(PalettePicture, SpecificCellsOfTheWorkedLayouts) {
  const SetPalette palette = Numbered();
  auto picture = std::make_unique<PalettePicture>();

  FillPalettePicture(*picture, palette, 256);
  EXPECT_EQ(EntryAt(*picture, 255, 255), 255) << "entry 255 is the top-right square";
  EXPECT_EQ(EntryAt(*picture, 16, 15), 1);
  EXPECT_EQ(EntryAt(*picture, 0, 16), 16);

  FillPalettePicture(*picture, palette, 231);
  EXPECT_EQ(EntryAt(*picture, 6 * 16, 254), 230) << "band 14 ends with entry 230 in cell 6";
  EXPECT_EQ(EntryAt(*picture, 7 * 16, 254), -1) << "cells 7-15 of band 14 are black";
  for (int x = 0; x < 256; ++x) ASSERT_EQ(EntryAt(*picture, x, 255), -1) << "the top row is black";

  FillPalettePicture(*picture, palette, 100);
  EXPECT_EQ(EntryAt(*picture, 3 * 16, 240), 99) << "the seventh band holds 96-99";
  EXPECT_EQ(EntryAt(*picture, 4 * 16, 255), -1);

  FillPalettePicture(*picture, palette, 1);
  EXPECT_EQ(EntryAt(*picture, 15, 255), 0) << "entry 0 fills the leftmost 16 columns";
  EXPECT_EQ(EntryAt(*picture, 16, 0), -1);
}

TEST(PalettePicture, EveryEntryOfEveryCountIsDrawn) {
  const SetPalette palette = Numbered();
  auto picture = std::make_unique<PalettePicture>();
  for (LONG n = 1; n <= 256; ++n) {
    FillPalettePicture(*picture, palette, n);
    std::vector<bool> seen(256, false);
    for (DWORD pixel : *picture)
      if (pixel != 0) seen[pixel - 0x00100000u] = true;
    for (int e = 0; e < 256; ++e) ASSERT_EQ(seen[static_cast<std::size_t>(e)], e < n) << "n " << n << " entry " << e;
  }
}

TEST(PalettePicture, NoColoursGiveAnAllBlackPicture) {
  const SetPalette palette = Numbered();
  auto picture = std::make_unique<PalettePicture>();
  for (LONG n : {0, -1, -4096, INT32_MIN}) {
    picture->fill(0xDEADBEEF);
    FillPalettePicture(*picture, palette, n);
    for (DWORD pixel : *picture) ASSERT_EQ(pixel, 0u) << "n " << n;
  }
}

TEST(PalettePicture, CountAbove256DrawsTheWholePalette) {
  const SetPalette palette = Numbered();
  auto full = std::make_unique<PalettePicture>();
  auto over = std::make_unique<PalettePicture>();
  FillPalettePicture(*full, palette, 256);
  FillPalettePicture(*over, palette, 300);
  EXPECT_EQ(*over, *full);
}

}  // namespace
