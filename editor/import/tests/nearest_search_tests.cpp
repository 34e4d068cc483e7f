#include <gtest/gtest.h>

#include <random>

#include "editor/import/palette_matcher.h"
#include "editor/import/reference/reference_conversion.h"

namespace {

SetPalette PaletteOf(std::initializer_list<DWORD> entries) {
  SetPalette palette{};
  std::size_t i = 0;
  for (DWORD entry : entries) palette[i++] = entry;
  return palette;
}

// Both searches must agree with every row: the public function and a
// matcher on every instruction set.
void ExpectIndex(const SetPalette& palette, COLORREF colour, int count, int expected, const char* why) {
  EXPECT_EQ(FindNearestPaletteIndex(palette, colour, count), expected) << why;
  EXPECT_EQ(reference::FindNearestPaletteIndex(palette, colour, count), expected) << why << " (reference)";
  for (SimdLevel level : SupportedSimdLevels()) {
    EXPECT_EQ(FindNearestPaletteIndex(palette, colour, count, level), expected)
        << why << " (" << SimdLevelName(level) << " scan)";
    PaletteMatcher matcher(palette, count, level);
    const DWORD rgb =
        (static_cast<DWORD>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    EXPECT_EQ(matcher.Find(rgb), expected) << why << " (" << SimdLevelName(level) << ")";
  }
}

TEST(NearestPaletteIndex, RulesOfTheSearch) {
  const SetPalette p = PaletteOf({
      PaletteEntry(10, 10, 10),              // 0
      PaletteEntry(200, 0, 0),               // 1
      PaletteEntry(0, 200, 0),               // 2
      PaletteEntry(200, 0, 0),               // 3: same colour as 1
      PaletteEntry(0, 0, 200),               // 4
      PaletteEntry(100, 100, 100),           // 5
      PaletteEntry(102, 100, 100),           // 6: as far from (101,100,100) as 5
      0xFF000000 | PaletteEntry(0, 0, 100),  // 7: byte 3 set
      PaletteEntry(0, 0, 100),               // 8: same as 7 but for byte 3
  });
  const struct {
    COLORREF colour;
    int count;
    int expected;
    const char* why;
  } rows[] = {
      {RGB(0, 200, 0), 9, 2, "an exact match with no lower twin"},
      {RGB(200, 0, 0), 9, 1, "an exact match takes the lower of two equal entries"},
      {RGB(190, 5, 5), 9, 1, "a near colour takes the lower of two equal entries"},
      {RGB(101, 100, 100), 9, 5, "equal distances go to the lower index"},
      {RGB(0, 0, 100), 9, 7, "byte 3 is not compared"},
      {RGB(0, 200, 0), 2, 0, "only the first count entries take part"},
      {RGB(0, 200, 0), 1, 0, "a count of 1 gives entry 0"},
      {RGB(0, 200, 0), 0, 0, "a count of 0 gives entry 0"},
      {RGB(0, 200, 0), -4, 0, "a negative count gives entry 0"},
      {RGB(255, 255, 255), 9, 6, "white takes the lightest grey"},
  };
  for (const auto& row : rows) ExpectIndex(p, row.colour, row.count, row.expected, row.why);
}

TEST(NearestPaletteIndex, TieAtTheFarCornerOfAColourCellGoesToTheLowerIndex) {
  // (15,15,15) is the corner of its 16 x 16 x 16 cell farthest from black,
  // and (30,30,30) is exactly as far from it on the other side: a search
  // that narrows the entries by cell must keep both to break the tie.
  const SetPalette p = PaletteOf({PaletteEntry(30, 30, 30), PaletteEntry(0, 0, 0)});
  ExpectIndex(p, RGB(15, 15, 15), 2, 0, "tie at the cell's corner");
  const SetPalette q = PaletteOf({PaletteEntry(0, 0, 0), PaletteEntry(30, 30, 30)});
  ExpectIndex(q, RGB(15, 15, 15), 2, 0, "the same tie the other way round");
  ExpectIndex(q, RGB(16, 16, 16), 2, 1, "one step over the tie");
}

TEST(NearestPaletteIndex, SearchesEntriesAbove230WhenTheCountIsLarger) {
  SetPalette p{};
  for (int i = 0; i < 256; ++i) p[static_cast<std::size_t>(i)] = PaletteEntry(static_cast<BYTE>(i), 0, 0);
  ExpectIndex(p, RGB(240, 0, 0), 256, 240, "entry 240 exists when the count is 256");
  ExpectIndex(p, RGB(255, 0, 0), 256, 255, "entry 255 exists when the count is 256");
  ExpectIndex(p, RGB(240, 0, 0), 231, 230, "entries from 231 on do not when the count is 231");
  ExpectIndex(p, RGB(255, 0, 0), 300, 255, "a count above 256 searches the 256 entries there are");
  ExpectIndex(p, RGB(255, 0, 0), INT_MAX, 255, "however large the count");
}

// Random palettes with duplicates and deliberate ties, and colours near
// their entries as well as anywhere, against the reference scan.
TEST(PaletteMatcher, EqualsTheLinearScanOnRandomPalettes) {
  std::mt19937 random(20240607);
  auto byte = [&] { return static_cast<BYTE>(random() & 0xFF); };
  const int counts[] = {256, 231, 100, 16, 7, 2, 1, 0, -3, 300};
  for (int round = 0; round < 40; ++round) {
    const int count = counts[round % std::size(counts)];
    SetPalette palette{};
    const int kind = round % 4;
    for (int i = 0; i < 256; ++i) {
      BYTE r = byte(), g = byte(), b = byte();
      if (kind == 1) {  // a coarse lattice: many colours lie halfway between entries
        r &= 0xC0;
        g &= 0xC0;
        b &= 0xC0;
      } else if (kind == 2) {  // few distinct colours, many duplicates
        r &= 0x80;
        g &= 0x80;
        b = static_cast<BYTE>(b & 0x81);
      } else if (kind == 3) {  // clustered in a small corner
        r >>= 3;
        g >>= 3;
        b >>= 3;
      }
      palette[static_cast<std::size_t>(i)] = PaletteEntry(r, g, b) | (static_cast<DWORD>(byte()) << 24);
    }
    std::vector<PaletteMatcher> matchers;
    for (SimdLevel level : SupportedSimdLevels()) matchers.emplace_back(palette, count, level);
    for (int c = 0; c < 4000; ++c) {
      BYTE r = byte(), g = byte(), b = byte();
      if (c % 3 == 0) {  // next to an entry, or exactly on one
        const DWORD e = palette[random() % 256];
        r = static_cast<BYTE>(
            std::clamp(static_cast<int>((e >> 16) & 0xFF) + static_cast<int>(random() % 5) - 2, 0, 255));
        g = static_cast<BYTE>(
            std::clamp(static_cast<int>((e >> 8) & 0xFF) + static_cast<int>(random() % 5) - 2, 0, 255));
        b = static_cast<BYTE>(
            std::clamp(static_cast<int>(e & 0xFF) + static_cast<int>(random() % 5) - 2, 0, 255));
      }
      const int expected = reference::FindNearestPaletteIndex(palette, RGB(r, g, b), count);
      for (SimdLevel level : SupportedSimdLevels())
        ASSERT_EQ(FindNearestPaletteIndex(palette, RGB(r, g, b), count, level), expected)
            << SimdLevelName(level) << " scan, round " << round << " colour " << c;
      for (std::size_t m = 0; m < matchers.size(); ++m)
        ASSERT_EQ(matchers[m].Find(PaletteEntry(r, g, b)), expected)
            << SimdLevelName(SupportedSimdLevels()[m]) << " round " << round << " colour " << c;
    }
  }
}

// Every colour of a lattice that crosses every cell edge, for a palette
// built to tie: entries on even coordinates, queried between them.
TEST(PaletteMatcher, EqualsTheLinearScanAcrossCellEdges) {
  SetPalette palette{};
  for (int i = 0; i < 256; ++i) {
    const int r = (i % 7) * 40, g = (i / 7 % 6) * 50, b = (i / 42) * 42;
    palette[static_cast<std::size_t>(i)] = PaletteEntry(
        static_cast<BYTE>(std::min(r, 255)), static_cast<BYTE>(g), static_cast<BYTE>(std::min(b, 255)));
  }
  for (SimdLevel level : SupportedSimdLevels()) {
    PaletteMatcher matcher(palette, 256, level);
    for (int r = 0; r < 256; r += 5)
      for (int g = 0; g < 256; g += 5)
        for (int b = 0; b < 256; b += 3) {
          const COLORREF colour = RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
          ASSERT_EQ(
              matcher.Find(PaletteEntry(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b))),
              reference::FindNearestPaletteIndex(palette, colour, 256))
              << SimdLevelName(level) << " " << r << "," << g << "," << b;
        }
  }
}

// Whole pictures, as the conversion maps them: many colours of many cubes at
// once, with runs of equal colours, written in both storage orders.
TEST(PaletteMatcher, MapsWholePicturesLikeTheLinearScan) {
  std::mt19937 random(99);
  SetPalette palette{};
  for (auto& entry : palette) entry = random() & 0x00C0E0F0;  // coarse, so many ties and twins
  const struct {
    int width, height, count;
  } pictures[] = {{128, 128, 256}, {512, 270, 231}, {300, 7, 100}, {1, 1, 16}, {5, 40000, 256}};
  for (const auto& picture : pictures) {
    const std::size_t size =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    std::vector<DWORD> rows(size);
    for (std::size_t p = 0; p < size; ++p)
      rows[p] = p % 7 == 3 ? rows[p - 1] : (random() & 0x00FFFFFF) | (random() % 2 ? 0xFF000000u : 0);
    for (SimdLevel level : SupportedSimdLevels()) {
      PaletteMatcher matcher(palette, picture.count, level);
      for (bool columnOrder : {false, true}) {
        std::vector<BYTE> out(size, 0xEE);
        matcher.MapPicture(rows.data(), picture.width, picture.height, columnOrder, out.data());
        for (int r = 0; r < picture.height; ++r)
          for (int x = 0; x < picture.width; ++x) {
            const DWORD rgb = rows[static_cast<std::size_t>(r) * static_cast<std::size_t>(picture.width) +
                                   static_cast<std::size_t>(x)];
            const COLORREF colour =
                RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
            const std::size_t at =
                columnOrder ? static_cast<std::size_t>(x) * static_cast<std::size_t>(picture.height) +
                                  static_cast<std::size_t>(picture.height - 1 - r)
                            : static_cast<std::size_t>(r) * static_cast<std::size_t>(picture.width) +
                                  static_cast<std::size_t>(x);
            ASSERT_EQ(out[at], reference::FindNearestPaletteIndex(palette, colour, picture.count))
                << SimdLevelName(level) << " " << picture.width << " x " << picture.height
                << (columnOrder ? " columns" : " rows") << " at " << x << "," << r;
          }
      }
    }
  }
}

TEST(PaletteMatcher, IgnoresTheTopByteOfAColour) {
  const SetPalette p = PaletteOf({PaletteEntry(0, 0, 0), PaletteEntry(255, 255, 255)});
  PaletteMatcher matcher(p, 2);
  EXPECT_EQ(matcher.Find(0x00FFFFFF), 1);
  EXPECT_EQ(matcher.Find(0xFFFFFFFF), 1) << "the top byte is ignored";
  EXPECT_EQ(matcher.Find(0x00000000), 0);
  EXPECT_EQ(matcher.Find(0x00000000), 0);
  EXPECT_EQ(matcher.Find(0x00F0F0F0), 1);
}

TEST(SimdLevels, PortableIsAlwaysThereAndTheBestIsSupported) {
  std::vector<SimdLevel> levels = SupportedSimdLevels();
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.front(), SimdLevel::Portable);
  EXPECT_TRUE(SimdLevelSupported(BestSimdLevel()));
  EXPECT_EQ(levels.back(), BestSimdLevel());
}

}  // namespace
