#include <cstring>
#include <vector>

#include "platform/gdi/bitmap_file_24.h"
#include "platform/gdi/tests/gdi_test_support.h"
#include "platform/testing/bmp_writer.h"

namespace kp::gdi::testing {
namespace {

// Colours with a junk top byte, which the file must not carry.
std::uint32_t Colour(int x, int y) {
  return 0xC3000000u | static_cast<std::uint32_t>(0x20 + 0x30 * x) << 16 | static_cast<std::uint32_t>(0x40 + y) << 8 |
         static_cast<std::uint32_t>(7 * x + y);
}

TEST_F(GdiTest, AThreeByTwoBitmapMakesA78ByteFileWithEveryHeaderField) {
  ScopedBitmap bitmap(MakeBitmap(3, 2, Colour));
  ScopedMemoryDC dc(nullptr);
  std::vector<BYTE> file;
  ASSERT_TRUE(BuildBitmapFile24(dc.get(), bitmap.get(), 3, 2, file));
  ASSERT_EQ(file.size(), 78u);
  EXPECT_EQ(kp::testing::BitmapFile24HeaderMismatches(file, 3, 2), "");

  for (int row = 0; row < 2; ++row) {
    const int y = 1 - row;  // the first row of the file is the bottom row
    const std::size_t start = 54 + 12 * static_cast<std::size_t>(row);
    for (int x = 0; x < 3; ++x) {
      const std::uint32_t c = Colour(x, y);
      EXPECT_EQ(file[start + 3 * x + 0], c & 0xFF) << "blue " << x << "," << y;
      EXPECT_EQ(file[start + 3 * x + 1], (c >> 8) & 0xFF) << "green " << x << "," << y;
      EXPECT_EQ(file[start + 3 * x + 2], (c >> 16) & 0xFF) << "red " << x << "," << y;
    }
    for (int filler = 9; filler < 12; ++filler) EXPECT_EQ(file[start + filler], 0) << "filler";
  }
}

TEST(BitmapFile24, RowsArePaddedToFourBytes) {
  struct Row {
    int width;
    DWORD stride;
  } rows[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {128, 384}, {130, 392}};
  for (const Row& r : rows) {
    EXPECT_EQ(BitmapFile24Stride(r.width), r.stride) << r.width;
    EXPECT_EQ(BitmapFile24ImageSize(r.width, 3), 3 * r.stride) << r.width;
  }
  EXPECT_EQ(BitmapFile24Stride(0), 0u);
  EXPECT_EQ(BitmapFile24ImageSize(3, 0), 0u);
  EXPECT_EQ(BitmapFile24ImageSize(-3, 2), 0u);
  EXPECT_EQ(BitmapFile24ImageSize(0x7FFFFFFF, 0x7FFFFFFF), 0u) << "beyond the format's 32-bit sizes";
}

TEST_F(GdiTest, TheFileLoadsBackWithTheSamePixels) {
  ScopedBitmap bitmap(MakeBitmap(5, 3, Colour));
  ScopedMemoryDC dc(nullptr);
  std::vector<BYTE> file;
  ASSERT_TRUE(BuildBitmapFile24(dc.get(), bitmap.get(), 5, 3, file));
  Canvas loaded(LoadBitmapFromBytes(file));
  ASSERT_NE(loaded.bitmap(), nullptr);
  BITMAP described{};
  ASSERT_EQ(GetObject(loaded.bitmap(), sizeof described, &described), static_cast<int>(sizeof described));
  EXPECT_EQ(described.bmWidth, 5);
  EXPECT_EQ(described.bmHeight, 3);
  EXPECT_EQ(described.bmBitsPixel, 24);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(loaded.At(x, y), Colour(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST_F(GdiTest, NothingIsBuiltForARefusedSizeOrAnUnreadableBitmap) {
  ScopedBitmap bitmap(MakeUniformBitmap(2, 2, 0x123456));
  ScopedMemoryDC dc(nullptr);
  ScopedBitmap gone(MakeUniformBitmap(2, 2, 0));
  HBITMAP stale = gone.get();
  gone.reset();
  struct Case {
    HDC dc;
    HBITMAP bitmap;
    int width, height;
    const char* what;
  } cases[] = {
      {dc.get(), bitmap.get(), 0, 2, "no width"},
      {dc.get(), bitmap.get(), 2, -2, "negative height"},
      {dc.get(), stale, 2, 2, "a deleted bitmap"},
      {nullptr, bitmap.get(), 2, 2, "no DC"},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> out = {1, 2, 3};
    EXPECT_FALSE(BuildBitmapFile24(c.dc, c.bitmap, c.width, c.height, out)) << c.what;
    EXPECT_TRUE(out.empty()) << c.what;
  }
}

}  // namespace
}  // namespace kp::gdi::testing
