#include <vector>

#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

TEST_F(GdiTest, SurfaceDcWritesOpaquePixelsInsideTheSurfaceOnly) {
  // 4 x 3 pixels in rows of 6: the two extra pixels of each row are not the
  // surface's.
  std::vector<std::uint32_t> image(6 * 3, 0x12345678);
  ScopedDC dc(CreateSurfaceDC(Surface{4, 3, image.data(), 6}));
  ASSERT_TRUE(dc);
  ScopedBrush brush(CreateSolidBrush(RGB(0x11, 0x22, 0x33)));
  const RECT all{-5, -5, 50, 50};
  EXPECT_TRUE(FillRect(dc.get(), &all, brush.get()));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(image[y * 6 + x], x < 4 ? 0xFF112233u : 0x12345678u) << x << "," << y;
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(0x11, 0x22, 0x33));

  ScopedBitmap bitmap(MakeUniformBitmap(2, 2, 0x00ABCDEF));
  EXPECT_EQ(SelectObject(dc.get(), bitmap.get()), nullptr) << "no bitmap goes into a surface";
  ScopedMemoryDC source(nullptr);
  ScopedSelectObject select(source.get(), bitmap.get());
  EXPECT_TRUE(BitBlt(dc.get(), 2, 1, 2, 2, source.get(), 0, 0, SRCCOPY));
  EXPECT_EQ(image[6 + 2], 0xFFABCDEFu);
  EXPECT_EQ(image[12 + 3], 0xFFABCDEFu);
}

TEST_F(GdiTest, MalformedSurfacesAreRefused) {
  std::uint32_t pixel = 0;
  const Surface bad[] = {
      {-1, 1, &pixel, 1},
      {2, 1, &pixel, 1},  // stride shorter than a row
      {1, 1, nullptr, 1},
  };
  for (const Surface& s : bad) EXPECT_EQ(CreateSurfaceDC(s), nullptr);
  ScopedDC empty(CreateSurfaceDC(Surface{0, 0, nullptr, 0}));
  EXPECT_TRUE(empty) << "an empty window still paints, into nothing";
  EXPECT_EQ(GetPixel(empty.get(), 0, 0), CLR_INVALID);
}

TEST_F(GdiTest, FreshMemoryDcHoldsTheStockObjects) {
  ScopedMemoryDC dc(nullptr);
  ScopedPen pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  ScopedBrush brush(CreateSolidBrush(RGB(0, 255, 0)));
  std::vector<BYTE> memory(sizeof(LOGPALETTE));
  auto* logpalette = reinterpret_cast<LOGPALETTE*>(memory.data());
  logpalette->palVersion = 0x300;
  logpalette->palNumEntries = 1;
  ScopedPalette palette(CreatePalette(logpalette));
  EXPECT_EQ(SelectObject(dc.get(), pen.get()), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc.get(), brush.get()), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectPalette(dc.get(), palette.get(), FALSE), GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(GetObjectType(dc.get()), OBJ_MEMDC);
  EXPECT_EQ(SetStretchBltMode(dc.get(), COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc.get(), COLORONCOLOR), COLORONCOLOR);
  EXPECT_EQ(SetStretchBltMode(dc.get(), 0), 0);
  SelectObject(dc.get(), GetStockObject(BLACK_PEN));
  SelectObject(dc.get(), GetStockObject(WHITE_BRUSH));
  SelectPalette(dc.get(), static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
}

TEST_F(GdiTest, DeletingASelectedPenOrBrushRestoresTheStockOne) {
  ScopedMemoryDC dc(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  EXPECT_EQ(SelectObject(dc.get(), pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc.get(), brush), GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  ScopedPen other(CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
  ScopedBrush otherBrush(CreateSolidBrush(RGB(0, 0, 255)));
  EXPECT_EQ(SelectObject(dc.get(), other.get()), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc.get(), otherBrush.get()), GetStockObject(WHITE_BRUSH));
  SelectObject(dc.get(), GetStockObject(BLACK_PEN));
  SelectObject(dc.get(), GetStockObject(WHITE_BRUSH));
}

}  // namespace
}  // namespace kp::gdi::testing
