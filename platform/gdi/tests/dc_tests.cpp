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
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(image[y * 6 + x], x < 4 ? 0xFF112233u : 0x12345678u) << x << "," << y;
  EXPECT_EQ(SetPixel(dc.get(), 1, 1, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(image[6 + 1], 0xFF010203u);
  EXPECT_EQ(GetPixel(dc.get(), 1, 1), RGB(1, 2, 3));

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
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(GetObjectType(dc.get()), OBJ_MEMDC);
  EXPECT_EQ(GetStretchBltMode(dc.get()), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc.get(), COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(GetStretchBltMode(dc.get()), COLORONCOLOR);
  EXPECT_EQ(SetStretchBltMode(dc.get(), 0), 0);
  EXPECT_EQ(GetDeviceCaps(dc.get(), BITSPIXEL), 1);
  ScopedDC display(CreateDisplayDC());
  EXPECT_EQ(GetDeviceCaps(display.get(), BITSPIXEL), 32);
  EXPECT_EQ(GetObjectType(display.get()), OBJ_DC);
}

TEST_F(GdiTest, DeletingASelectedPenOrBrushRestoresTheStockOne) {
  ScopedMemoryDC dc(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  EXPECT_EQ(SelectObject(dc.get(), pen), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc.get(), brush), GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
}

}  // namespace
}  // namespace kp::gdi::testing
