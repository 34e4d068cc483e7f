#include <cstring>

#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

BITMAPINFO Header(LONG width, LONG height, WORD bitCount = 32, DWORD compression = BI_RGB) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, bitCount, compression, 0, 2835, 2835, 0, 0};
  return bmi;
}

TEST_F(GdiTest, DibSectionPointerIsTheBottomUpStore) {
  const std::uint32_t pixels[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
  BITMAPINFO bmi = Header(2, 2);
  void* bits = nullptr;
  Canvas canvas(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_NE(bits, nullptr);
  GdiFlush();
  std::memcpy(bits, pixels, sizeof pixels);
  GdiFlush();
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 1), RGB(0, 0, 255)) << "bottom-left blue";
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(0, 255, 0)) << "bottom-right green";
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 0), RGB(255, 0, 0)) << "top-left red";
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 0), RGB(255, 255, 255)) << "top-right white";
  DIBSECTION ds{};
  ASSERT_EQ(GetObject(canvas.bitmap(), sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
}

TEST_F(GdiTest, DibSectionRefusesWhatItCannotHold) {
  struct Row {
    const char* what;
    LONG width, height;
    WORD bitCount;
  };
  // clang-format off
  const Row rows[] = {
      {"zero width", 0, 5, 32},           {"zero height", 4, 0, 32},          {"negative width", -4, 4, 32},
      {"top-down", 4, -4, 32},            {"24 bits", 4, 4, 24},              {"over 256 MiB", 8193, 8193, 32},
      {"overflowing", 0x7FFFFFFF, 0x7FFFFFFF, 32},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    BITMAPINFO bmi = Header(row.width, row.height, row.bitCount);
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST_F(GdiTest, CompatibleBitmapTakesTheDepthOfTheSelectedBitmap) {
  ScopedMemoryDC fresh(nullptr);
  ScopedBitmap mono(CreateCompatibleBitmap(fresh.get(), 10, 3));
  BITMAP bm{};
  ASSERT_EQ(GetObject(mono.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1) << "a fresh memory DC holds the one-bit stock bitmap";
  EXPECT_EQ(bm.bmWidthBytes, 2) << "plain bitmap rows are padded to 2 bytes";
  EXPECT_EQ(bm.bmBits, nullptr);

  ScopedBitmap eight(CreateBitmap(5, 5, 1, 8, nullptr));
  ScopedMemoryDC dc(nullptr);
  ScopedSelectObject select(dc.get(), eight.get());
  ScopedBitmap copy(CreateCompatibleBitmap(dc.get(), 7, 2));
  ASSERT_EQ(GetObject(copy.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 8);
  EXPECT_EQ(bm.bmWidth, 7);
  EXPECT_EQ(bm.bmHeight, 2);

  ScopedBitmap screen(CreateCompatibleBitmap(nullptr, 3, 3));
  ASSERT_EQ(GetObject(screen.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 32);
  EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 3), nullptr);
  EXPECT_EQ(CreateBitmap(2, 2, 1, 7, nullptr), nullptr);
}

TEST_F(GdiTest, GetObjectReportsSizesAsWindowsDoes) {
  ScopedBitmap bitmap(MakeUniformBitmap(3, 2, 0));
  EXPECT_EQ(GetObject(bitmap.get(), 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  BITMAP bm;
  EXPECT_EQ(GetObject(bitmap.get(), sizeof bm - 1, &bm), 0) << "buffer too small";
  ScopedMemoryDC dc(nullptr);
  WORD entries = 0;
  EXPECT_EQ(GetObject(GetStockObject(DEFAULT_PALETTE), sizeof entries, &entries), 2);
  EXPECT_EQ(entries, 20);
  EXPECT_EQ(GetObject(dc.get(), sizeof bm, &bm), 0) << "DCs have no description";
}

TEST_F(GdiTest, SelectedBitmapCannotBeDeletedNorSelectedTwice) {
  HBITMAP bitmap = MakeUniformBitmap(2, 2, 0);
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(first, bitmap);
  ASSERT_NE(stock, nullptr);
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  EXPECT_EQ(SelectObject(first, stock), bitmap) << "selecting the stock bitmap back returns ours";
  EXPECT_NE(SelectObject(second, bitmap), nullptr) << "free again";
  EXPECT_TRUE(DeleteDC(second)) << "deleting the DC releases the bitmap, not deletes it";
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(first));
}

}  // namespace
}  // namespace kp::gdi::testing
