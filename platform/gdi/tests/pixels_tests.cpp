#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

TEST_F(GdiTest, GetPixelIsInvalidOutsideTheBitmap) {
  Canvas canvas(3, 2, 0x00102030);
  const POINT outside[] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {INT32_MIN, INT32_MAX}};
  for (const POINT& p : outside) EXPECT_EQ(GetPixel(canvas.dc(), p.x, p.y), CLR_INVALID) << p.x << "," << p.y;
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 1), RGB(0x10, 0x20, 0x30));
  ScopedMemoryDC fresh(nullptr);
  EXPECT_EQ(GetPixel(fresh.get(), 0, 0), RGB(0, 0, 0)) << "the stock 1x1 bitmap reads black";
  EXPECT_EQ(GetPixel(fresh.get(), 1, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST_F(GdiTest, FillRectExcludesRightAndBottomAndNullBrushFillsNothing) {
  Canvas canvas(4, 4, 0);
  const RECT r{1, 1, 3, 4};
  EXPECT_TRUE(FillRect(canvas.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(canvas.At(x, y), (x >= 1 && x < 3 && y >= 1) ? 0x00FFFFFFu : 0u) << x << "," << y;
  const RECT all{0, 0, 4, 4};
  EXPECT_TRUE(FillRect(canvas.dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
  EXPECT_EQ(canvas.At(0, 0), 0u);
}

}  // namespace
}  // namespace kp::gdi::testing
