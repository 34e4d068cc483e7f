#include <cstring>
#include <vector>

#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

BITMAPINFO Header(LONG width, LONG height, WORD bitCount) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, bitCount, BI_RGB, 0, 2835, 2835, 0, 0};
  return bmi;
}

// Colours with a junk top byte, which every output must drop.
std::uint32_t Colour(int x, int y) {
  return 0xA5000000u | static_cast<std::uint32_t>(0x10 * (x + 1)) << 16 |
         static_cast<std::uint32_t>(0x11 * (y + 1)) << 8 | static_cast<std::uint32_t>(x * 16 + y);
}

TEST_F(GdiTest, TwentyFourBitRowsArePaddedWithZerosBottomUp) {
  ScopedBitmap bitmap(MakeBitmap(3, 2, Colour));
  ScopedMemoryDC dc(nullptr);
  BITMAPINFO bmi = Header(3, 2, 24);
  std::vector<BYTE> bits(24 + 4, 0xCC);  // 4 guard bytes past the image
  ASSERT_EQ(GetDIBits(dc.get(), bitmap.get(), 0, 2, bits.data(), &bmi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(bmi.bmiHeader.biSizeImage, 24u);
  for (int row = 0; row < 2; ++row) {
    const int y = 1 - row;  // the first row is the bottom one
    for (int x = 0; x < 3; ++x) {
      const std::uint32_t c = Colour(x, y);
      EXPECT_EQ(bits[row * 12 + 3 * x + 0], c & 0xFF);
      EXPECT_EQ(bits[row * 12 + 3 * x + 1], (c >> 8) & 0xFF);
      EXPECT_EQ(bits[row * 12 + 3 * x + 2], (c >> 16) & 0xFF);
    }
    for (int filler = 9; filler < 12; ++filler) EXPECT_EQ(bits[row * 12 + filler], 0) << "filler";
  }
  for (int guard = 24; guard < 28; ++guard) EXPECT_EQ(bits[guard], 0xCC);
}

TEST_F(GdiTest, ThirtyTwoBitOutputClearsTheFourthByteAndHonoursTopDown) {
  ScopedBitmap bitmap(MakeBitmap(2, 3, Colour));
  ScopedMemoryDC dc(nullptr);
  BITMAPINFO bmi = Header(2, -3, 32);
  std::uint32_t bits[6];
  ASSERT_EQ(GetDIBits(dc.get(), bitmap.get(), 0, 3, bits, &bmi, DIB_RGB_COLORS), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(bits[y * 2 + x], Colour(x, y) & 0x00FFFFFF);
}

TEST_F(GdiTest, GetDIBitsWritesNoMoreThanTheHeaderDescribes) {
  ScopedBitmap bitmap(MakeBitmap(8, 8, Colour));
  ScopedMemoryDC dc(nullptr);
  BITMAPINFO bmi = Header(2, 2, 24);  // smaller than the bitmap
  std::vector<BYTE> bits(16 + 8, 0xCC);
  EXPECT_EQ(GetDIBits(dc.get(), bitmap.get(), 0, 8, bits.data(), &bmi, DIB_RGB_COLORS), 2);
  for (std::size_t i = 16; i < bits.size(); ++i) EXPECT_EQ(bits[i], 0xCC);
  EXPECT_EQ(bits[0], Colour(0, 7) & 0xFF) << "the bottom row first";
  BITMAPINFO lines = Header(8, 8, 24);
  std::vector<BYTE> two(2 * 24);
  EXPECT_EQ(GetDIBits(dc.get(), bitmap.get(), 6, 5, two.data(), &lines, DIB_RGB_COLORS), 2) << "rows 6 and 7 only";
  EXPECT_EQ(two[0], Colour(0, 1) & 0xFF);
}

TEST_F(GdiTest, GetDIBitsWithoutBufferFillsTheHeader) {
  ScopedBitmap bitmap(CreateBitmap(5, 4, 1, 8, nullptr));
  ScopedMemoryDC dc(nullptr);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_NE(GetDIBits(dc.get(), bitmap.get(), 0, 0, nullptr, &bmi, DIB_RGB_COLORS), 0);
  EXPECT_EQ(bmi.bmiHeader.biWidth, 5);
  EXPECT_EQ(bmi.bmiHeader.biHeight, 4);
  EXPECT_EQ(bmi.bmiHeader.biBitCount, 8);
  EXPECT_EQ(bmi.bmiHeader.biSizeImage, 32u);
}

TEST_F(GdiTest, GetDIBitsFailsCleanly) {
  ScopedBitmap bitmap(MakeUniformBitmap(2, 2, 0));
  ScopedMemoryDC dc(nullptr);
  BYTE bits[64];
  struct Row {
    const char* what;
    HDC dc;
    HBITMAP bitmap;
    WORD bitCount;
    DWORD size;
  };
  // clang-format off
  const Row rows[] = {
      {"no bitmap", dc.get(), nullptr, 24, 40},   {"deleted bitmap", dc.get(), Long32ToHandle<HBITMAP>(0x70010001), 24, 40},
      {"no DC", nullptr, bitmap.get(), 24, 40},   {"8 bits", dc.get(), bitmap.get(), 8, 40},
      {"short header", dc.get(), bitmap.get(), 24, 12},
  };
  // clang-format on
  for (const Row& r : rows) {
    BITMAPINFO bmi = Header(2, 2, r.bitCount);
    bmi.bmiHeader.biSize = r.size;
    EXPECT_EQ(GetDIBits(r.dc, r.bitmap, 0, 2, bits, &bmi, DIB_RGB_COLORS), 0) << r.what;
  }
}

}  // namespace
}  // namespace kp::gdi::testing
