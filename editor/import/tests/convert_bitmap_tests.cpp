#include <gtest/gtest.h>

#include <random>

#include "editor/import/convert_bitmap.h"
#include "editor/import/reference/reference_conversion.h"
#include "editor/import/tests/import_test_support.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "platform/testing/temp_environment.h"

namespace {
using import_tests::SourceBitmap;

// 256 entries of different colours; entry i is Tagged(i), so a source pixel
// of colour Tagged(i) converts to exactly i.
DWORD Tagged(int i) {
  return PaletteEntry(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7));
}
SetPalette TaggedPalette() {
  SetPalette palette{};
  for (int i = 0; i < 256; ++i) palette[static_cast<std::size_t>(i)] = Tagged(i);
  return palette;
}

// Source pixel tags that change by one per column and by three per row, so
// a source column or row off by one shows in the output.
int TagOf(int x, int y) { return (x + 3 * y) % 256; }

// The byte that holds target pixel (x, y) in either order.
std::size_t ByteOf(int x, int y, int dw, int dh, bool bottomUpRows) {
  return bottomUpRows
             ? static_cast<std::size_t>(dh - 1 - y) * static_cast<std::size_t>(dw) +
                   static_cast<std::size_t>(x)
             : static_cast<std::size_t>(x) * static_cast<std::size_t>(dh) + static_cast<std::size_t>(y);
}

TEST(ConvertBitmapToPalette, ScalesByTheFloorRule) {
  const SetPalette palette = TaggedPalette();
  const struct {
    int sw, sh, dw, dh;
    bool bottomUpRows;
  } rows[] = {
      {2, 2, 128, 128, false},     {256, 256, 128, 128, false}, {64, 64, 128, 128, false},
      {300, 200, 128, 128, false}, {128, 128, 128, 128, false}, {600, 200, 512, 270, true},
      {512, 270, 512, 270, true},  {37, 500, 128, 128, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.sw << " x " << row.sh << " -> " << row.dw << " x " << row.dh);
    SourceBitmap source(row.sw, row.sh, [](int x, int y) { return Tagged(TagOf(x, y)); });
    ASSERT_TRUE(source.ok());
    std::vector<BYTE> out(static_cast<std::size_t>(row.dw * row.dh));
    ASSERT_TRUE(ConvertBitmapToPalette(out.data(), row.dw, row.dh, source.dc(), row.sw, row.sh,
                                       row.bottomUpRows, palette, 256));
    for (int y = 0; y < row.dh; ++y)
      for (int x = 0; x < row.dw; ++x)
        ASSERT_EQ(out[ByteOf(x, y, row.dw, row.dh, row.bottomUpRows)],
                  TagOf(x * row.sw / row.dw, y * row.sh / row.dh))
            << "target pixel " << x << "," << y;
  }
}

TEST(ConvertBitmapToPalette, TwoByTwoBecomesFourUniformBlocks) {
  const SetPalette palette = TaggedPalette();
  SourceBitmap source(2, 2, [](int x, int y) { return Tagged(10 + x + 2 * y); });
  std::vector<BYTE> out(kTextureBytes);
  ASSERT_TRUE(ConvertBitmapToPalette(out.data(), 128, 128, source.dc(), 2, 2, FALSE, palette, 256));
  for (int x = 0; x < 128; ++x)
    for (int y = 0; y < 128; ++y)
      ASSERT_EQ(out[ByteOf(x, y, 128, 128, false)], 10 + (x >= 64) + 2 * (y >= 64)) << x << "," << y;
}

TEST(ConvertBitmapToPalette, ShrinkingByHalfKeepsTheEvenRowsAndColumns) {
  const SetPalette palette = TaggedPalette();
  // Odd rows and columns are a colour that must never appear.
  SourceBitmap source(256, 256,
                      [](int x, int y) { return Tagged(x % 2 || y % 2 ? 255 : (x / 2 + y / 2) % 200); });
  std::vector<BYTE> out(kTextureBytes);
  ASSERT_TRUE(ConvertBitmapToPalette(out.data(), 128, 128, source.dc(), 256, 256, FALSE, palette, 256));
  for (int x = 0; x < 128; ++x)
    for (int y = 0; y < 128; ++y)
      ASSERT_EQ(out[ByteOf(x, y, 128, 128, false)], (x + y) % 200) << x << "," << y;
}

TEST(ConvertBitmapToPalette, ByteOrdersOfBothWalks) {
  const SetPalette palette = TaggedPalette();
  const struct {
    int w, h;
    bool bottomUpRows;
    std::size_t byte;
    int x, y;
  } rows[] = {
      {128, 128, false, 0, 0, 0},         {128, 128, false, 1, 0, 1},      {128, 128, false, 128, 1, 0},
      {128, 128, false, 16383, 127, 127}, {512, 270, true, 0, 0, 269},     {512, 270, true, 512, 0, 268},
      {512, 270, true, 138239, 511, 0},   {512, 270, true, 511, 511, 269},
  };
  // Pixels are black but for the one probed, so each row checks one byte.
  for (const auto& row : rows) {
    SCOPED_TRACE(row.byte);
    SourceBitmap source(row.w, row.h,
                        [&](int x, int y) { return Tagged(x == row.x && y == row.y ? 99 : 0); });
    std::vector<BYTE> out(static_cast<std::size_t>(row.w * row.h));
    ASSERT_TRUE(ConvertBitmapToPalette(out.data(), row.w, row.h, source.dc(), row.w, row.h, row.bottomUpRows,
                                       palette, 256));
    EXPECT_EQ(out[row.byte], 99);
    EXPECT_EQ(std::count(out.begin(), out.end(), 99), 1);
  }
}

TEST(ConvertBitmapToPalette, CountsOfOneOrLessGiveIndexZeroEverywhere) {
  const SetPalette palette = TaggedPalette();
  SourceBitmap source(50, 40, [](int x, int y) { return Tagged(TagOf(x, y)); });
  for (int count : {1, 0, -1, -300}) {
    std::vector<BYTE> out(kTextureBytes, 0xAA);
    ASSERT_TRUE(ConvertBitmapToPalette(out.data(), 128, 128, source.dc(), 50, 40, FALSE, palette, count));
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), kTextureBytes) << "count " << count;
  }
}

// What loading shows, converted back, is what the file held, except where a
// lower entry has the same colour and where the stored index was above 230.
TEST(ConvertBitmapToPalette, DecodedImagesConvertBackToTheirStoredIndices) {
  sample_shapes::ShapesFileBuilder builder;
  builder.Set(0).colours[50] = builder.Set(0).colours[10];  // a duplicate colour
  builder.Set(4).colours[200] = builder.Set(4).colours[3];
  const std::string path = kp::testing::TemporaryRoot() + "/round-trip.shp2";
  builder.WriteFile(path);
  CFile file(path.c_str(), CFile::modeRead);

  for (int set : {0, 4}) {
    SCOPED_TRACE(set);
    const SetKind& kind = KindOfSet(set);
    const int header = SetHeaderNumbers[static_cast<std::size_t>(set)];
    SetPalette palette{};
    const LONG count = ReadSetPalette(file, header, palette, FALSE);
    std::vector<BYTE> stored(static_cast<std::size_t>(kind.ImageBytes()));
    SeekImagePixels(file, header, 0);
    file.Read(stored.data(), static_cast<UINT>(stored.size()));

    std::vector<std::uint32_t> pixels(stored.size());
    if (kind.order == PixelOrder::Columns)
      ExpandColumnOrder(pixels.data(), stored.data(), palette, kind.width, kind.height);
    else
      ExpandRowOrder(pixels.data(), stored.data(), palette, kind.width, kind.height);
    kp::gdi::ScopedBitmap bitmap(kp::gdi::CreateBitmapFromPixels(kind.width, kind.height, 32, pixels));
    kp::gdi::ScopedMemoryDC dc(nullptr);
    kp::gdi::ScopedSelectObject select(dc.get(), bitmap.get());
    ASSERT_TRUE(select.ok());

    std::vector<BYTE> converted(stored.size());
    ASSERT_TRUE(ConvertBitmapToPalette(converted.data(), kind.width, kind.height, dc.get(), kind.width,
                                       kind.height, kind.order == PixelOrder::BottomUpRows, palette, count));
    int lowered = 0;
    int above230 = 0;
    for (std::size_t p = 0; p < stored.size(); ++p) {
      const DWORD shown = palette[std::min(stored[p], kHighestShownIndex)];
      int lowest = 0;
      while (palette[static_cast<std::size_t>(lowest)] != shown) ++lowest;
      ASSERT_EQ(converted[p], lowest) << "byte " << p << " stored " << int(stored[p]);
      if (stored[p] > kHighestShownIndex)
        ++above230;
      else if (lowest != stored[p])
        ++lowered;
    }
    EXPECT_GT(lowered, 0) << "the duplicate colour was exercised";
    EXPECT_GT(above230, 0) << "indices above 230 were exercised";
    EXPECT_EQ(static_cast<int>(std::count_if(stored.begin(), stored.end(), [&](BYTE s) { return s == 77; })),
              static_cast<int>(std::count(converted.begin(), converted.end(), 77)))
        << "an index with a colour of its own comes back unchanged";
  }
}

// Photo-like sources: gradients, noise and hard edges.
DWORD PhotoLike(int x, int y, int w, int h, std::uint32_t seed) {
  std::uint32_t n =
      (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u) ^ seed;
  n = (n ^ (n >> 13)) * 1274126177u;
  const int noise = static_cast<int>(n >> 27) - 16;
  const int edge = (x * 3 + y * 2) % 97 < 40 ? 60 : 0;
  auto channel = [&](int v) { return static_cast<BYTE>(std::clamp(v + noise, 0, 255)); };
  return PaletteEntry(channel(x * 255 / w - edge / 2 + 20), channel(y * 255 / h + edge),
                      channel((x + y) * 128 / (w + h) + 60));
}

TEST(ConvertBitmapToPalette, EveryInstructionSetGivesTheReferenceBytes) {
  std::mt19937 random(7);
  SetPalette palette{};
  for (auto& entry : palette) entry = random() & 0x00FFFFFF;
  palette[40] = palette[41];  // duplicates and ties must resolve the same way
  const struct {
    int sw, sh, dw, dh, count;
    bool bottomUpRows;
  } rows[] = {
      {100, 90, 128, 128, 256, false}, {300, 200, 128, 128, 231, false}, {600, 200, 512, 270, 256, true}};
  for (const auto& row : rows) {
    SourceBitmap source(row.sw, row.sh, [&](int x, int y) { return PhotoLike(x, y, row.sw, row.sh, 5); });
    std::vector<BYTE> expected(static_cast<std::size_t>(row.dw * row.dh));
    ASSERT_TRUE(reference::ConvertBitmapToPalette(expected.data(), row.dw, row.dh, source.dc(), row.sw,
                                                  row.sh, row.bottomUpRows, palette, row.count));
    for (SimdLevel level : SupportedSimdLevels()) {
      std::vector<BYTE> out(expected.size());
      ASSERT_TRUE(ConvertBitmapToPalette(out.data(), row.dw, row.dh, source.dc(), row.sw, row.sh,
                                         row.bottomUpRows, palette, row.count, level));
      EXPECT_EQ(out, expected) << SimdLevelName(level) << " " << row.sw << " x " << row.sh;
    }
  }
}

// Source extents larger than the bitmap: the target pixels whose source
// pixels lie outside it are black, as a stretch onto a new black bitmap
// leaves them; inside, the floor rule as ever.
TEST(ConvertBitmapToPalette, SourceExtentsBeyondTheBitmapGiveBlackThere) {
  SetPalette palette = TaggedPalette();
  palette[200] = PaletteEntry(0, 0, 0);  // the tags of this picture stay below 25
  SourceBitmap source(10, 6, [](int x, int y) { return Tagged(TagOf(x, y)); });
  const struct {
    int sw, sh, dw, dh;
    bool bottomUpRows;
  } rows[] = {{16, 9, 20, 20, false}, {10, 12, 7, 30, true}, {40, 6, 128, 128, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.sw << " x " << row.sh << " -> " << row.dw << " x " << row.dh);
    std::vector<BYTE> expected(static_cast<std::size_t>(row.dw * row.dh));
    ASSERT_TRUE(reference::ConvertBitmapToPalette(expected.data(), row.dw, row.dh, source.dc(), row.sw, row.sh,
                                                  row.bottomUpRows, palette, 256));
    for (int y = 0; y < row.dh; ++y)
      for (int x = 0; x < row.dw; ++x) {
        const int sx = x * row.sw / row.dw, sy = y * row.sh / row.dh;
        ASSERT_EQ(expected[ByteOf(x, y, row.dw, row.dh, row.bottomUpRows)], sx < 10 && sy < 6 ? TagOf(sx, sy) : 200)
            << x << "," << y;
      }
    for (SimdLevel level : SupportedSimdLevels()) {
      std::vector<BYTE> out(expected.size());
      ASSERT_TRUE(ConvertBitmapToPalette(out.data(), row.dw, row.dh, source.dc(), row.sw, row.sh, row.bottomUpRows,
                                         palette, 256, level));
      EXPECT_EQ(out, expected) << SimdLevelName(level);
    }
  }
}

// A matcher keeps what it learned of the palette from one picture to the
// next; a later picture, falling partly in cubes an earlier one filled in,
// must still get the reference bytes.
TEST(ConvertBitmapToPalette, OneMatcherServesEveryPictureOfASet) {
  std::mt19937 random(11);
  SetPalette palette{};
  for (auto& entry : palette) entry = random() & 0x00FFFFFF;
  PaletteMatcher matcher(palette, 231);
  const struct {
    int sw, sh, seed;
  } pictures[] = {{128, 128, 1}, {64, 64, 2}, {300, 200, 3}, {128, 128, 1}, {97, 131, 4}};
  for (const auto& picture : pictures) {
    SourceBitmap source(picture.sw, picture.sh,
                        [&](int x, int y) { return PhotoLike(x, y, picture.sw, picture.sh, picture.seed); });
    std::vector<BYTE> expected(kTextureBytes);
    ASSERT_TRUE(reference::ConvertBitmapToPalette(expected.data(), 128, 128, source.dc(), picture.sw,
                                                  picture.sh, FALSE, palette, 231));
    std::vector<BYTE> out(kTextureBytes);
    ASSERT_TRUE(ConvertBitmapToPalette(out.data(), 128, 128, source.dc(), picture.sw, picture.sh, FALSE, matcher));
    EXPECT_EQ(out, expected) << picture.sw << " x " << picture.sh << " seed " << picture.seed;
  }
}

TEST(ConvertBitmapToPalette, LeavesNoGdiObjectBehind) {
  const SetPalette palette = TaggedPalette();
  SourceBitmap source(64, 64, [](int x, int y) { return Tagged(TagOf(x, y)); });
  const int before = kp::gdi::LiveObjectCount();
  std::vector<BYTE> out(kTextureBytes);
  ASSERT_TRUE(ConvertBitmapToPalette(out.data(), 128, 128, source.dc(), 64, 64, FALSE, palette, 256));
  EXPECT_EQ(kp::gdi::LiveObjectCount(), before);
}

TEST(ConvertBitmapToPalette, FailsWithoutWritingWhenTheScratchBitmapCannotBeMade) {
  const SetPalette palette = TaggedPalette();
  SourceBitmap source(8, 8, [](int x, int y) { return Tagged(TagOf(x, y)); });
  const int before = kp::gdi::LiveObjectCount();
  std::vector<BYTE> out(64, 0xAA);
  // 20000 x 20000 pixels is more than a bitmap may hold; the output is
  // never touched, so a small buffer is enough to prove it.
  EXPECT_FALSE(ConvertBitmapToPalette(out.data(), 20000, 20000, source.dc(), 8, 8, FALSE, palette, 256));
  EXPECT_EQ(out, std::vector<BYTE>(64, 0xAA));
  EXPECT_EQ(kp::gdi::LiveObjectCount(), before);
}

TEST(ConvertBitmapToPalette, WithoutAScratchDcReadsTheSourceUnscaledAndWhiteOutside) {
  SetPalette palette = TaggedPalette();
  palette[200] = PaletteEntry(255, 255, 255);
  SourceBitmap source(4, 4, [](int x, int y) { return Tagged(TagOf(x, y)); });

  // Fill the process's handle table so that no DC can be created.
  std::vector<HDC> filler;
  while (HDC dc = CreateCompatibleDC(nullptr)) filler.push_back(dc);
  ASSERT_EQ(CreateCompatibleDC(source.dc()), nullptr);
  std::vector<BYTE> out(64);
  std::vector<BYTE> expected(64);
  const BOOL converted = ConvertBitmapToPalette(out.data(), 8, 8, source.dc(), 4, 4, FALSE, palette, 256);
  const BOOL referenced =
      reference::ConvertBitmapToPalette(expected.data(), 8, 8, source.dc(), 4, 4, FALSE, palette, 256);
  // Reading unscaled is no way round the size limit of a picture.
  std::vector<BYTE> untouched(64, 0xAA);
  const BOOL huge =
      ConvertBitmapToPalette(untouched.data(), 20000, 20000, source.dc(), 4, 4, FALSE, palette, 256);
  for (HDC dc : filler) DeleteDC(dc);

  ASSERT_TRUE(converted);
  ASSERT_TRUE(referenced);
  EXPECT_FALSE(huge);
  EXPECT_EQ(untouched, std::vector<BYTE>(64, 0xAA));
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 8; ++y)
      ASSERT_EQ(out[ByteOf(x, y, 8, 8, false)], x < 4 && y < 4 ? TagOf(x, y) : 200) << x << "," << y;
  EXPECT_EQ(out, expected);
}

}  // namespace
