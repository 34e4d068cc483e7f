#include <gtest/gtest.h>

#include <climits>

#include "editor/shapes/gamma.h"
#include "editor/shapes/set_palette.h"
#include "editor/shapes/tests/shapes_test_support.h"

namespace {
using sample_shapes::Colour;
using sample_shapes::ShapesFileBuilder;
using shapes_tests::WriteShapes;

constexpr DWORD kUntouched = 0x00ABCDEF;

SetPalette Filled(DWORD value) {
  SetPalette palette;
  palette.fill(value);
  return palette;
}

TEST(ReadSetPalette, HighBytesOnlyWithAndWithoutTheCurve) {
  // Red 0xFFxx, green 0x80xx, blue 0x00xx, whatever the low bytes hold.
  for (BYTE low : {0x00, 0x01, 0x5A, 0xFF}) {
    ShapesFileBuilder builder;
    builder.Set(2).colours[7] = Colour(0xFF, 0x80, 0x00, low);
    std::string path = WriteShapes("entry", builder.Build());
    CFile file(path.c_str(), CFile::modeRead);

    SetPalette raw{};
    ReadSetPalette(file, 19, raw, TRUE);
    EXPECT_EQ(raw[7], 0x00FF8000u) << "low byte " << int(low);
    const auto* bytes = reinterpret_cast<const BYTE*>(&raw[7]);
    EXPECT_EQ(bytes[0], 0);  // blue
    EXPECT_EQ(bytes[1], 128);
    EXPECT_EQ(bytes[2], 255);
    EXPECT_EQ(bytes[3], 0);

    SetPalette corrected{};
    ReadSetPalette(file, 19, corrected, FALSE);
    EXPECT_EQ(corrected[7], PaletteEntry(253, 193, 0)) << "low byte " << int(low);
  }
}

TEST(ReadSetPalette, EveryChannelOfEveryEntryGoesThroughTheCurve) {
  ShapesFileBuilder builder;
  std::string path = WriteShapes("curve", builder.Build());
  CFile file(path.c_str(), CFile::modeRead);
  SetPalette raw{};
  SetPalette corrected{};
  ASSERT_EQ(ReadSetPalette(file, 17, raw, TRUE), 256);
  ASSERT_EQ(ReadSetPalette(file, 17, corrected, FALSE), 256);
  for (int i = 0; i < 256; ++i) {
    const auto& c = builder.Set(0).colours[static_cast<std::size_t>(i)];
    BYTE r = static_cast<BYTE>(c.red >> 8), g = static_cast<BYTE>(c.green >> 8), b = static_cast<BYTE>(c.blue >> 8);
    EXPECT_EQ(raw[static_cast<std::size_t>(i)], PaletteEntry(r, g, b)) << i;
    EXPECT_EQ(corrected[static_cast<std::size_t>(i)], PaletteEntry(GammaCorrect(r), GammaCorrect(g), GammaCorrect(b)))
        << i;
  }
}

TEST(ReadSetPalette, FillsOnlyTheEntriesTheCountNamesUpTo256) {
  const struct {
    LONG count;
    int tableEntries;
    int filled;
  } rows[] = {
      {256, 256, 256}, {231, 231, 231}, {100, 100, 100}, {16, 16, 16},        {1, 1, 1},
      {0, 4, 0},       {-5, 4, 0},      {300, 300, 256}, {INT_MAX, 256, 256},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.count);
    ShapesFileBuilder builder;
    builder.SetColourCount(5, row.count, row.tableEntries);
    std::string path = WriteShapes("counts", builder.Build());
    CFile file(path.c_str(), CFile::modeRead);

    SetPalette palette = Filled(kUntouched);
    EXPECT_EQ(ReadSetPalette(file, 28, palette, TRUE), row.count);
    for (int i = 0; i < kSetPaletteSize; ++i) {
      DWORD expected = kUntouched;
      if (i < row.filled) {
        const auto& c = builder.Set(5).colours[static_cast<std::size_t>(i)];
        expected = PaletteEntry(static_cast<BYTE>(c.red >> 8), static_cast<BYTE>(c.green >> 8),
                                static_cast<BYTE>(c.blue >> 8));
      }
      ASSERT_EQ(palette[static_cast<std::size_t>(i)], expected) << "entry " << i;
    }
  }
}

TEST(ReadSetPalette, TableCutShortLeavesThePaletteAsItWas) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  bytes.resize(static_cast<std::size_t>(builder.SetLayout(0).colourTable + 8 * 100));
  std::string path = WriteShapes("cut-table", bytes);
  CFile file(path.c_str(), CFile::modeRead);
  SetPalette palette = Filled(kUntouched);
  shapes_tests::ExpectFileException([&] { ReadSetPalette(file, 17, palette, FALSE); }, CFileException::endOfFile, path);
  EXPECT_EQ(palette, Filled(kUntouched));
}

}  // namespace
