#include <cmath>
#include <vector>

#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

int Pixel(double scale, int unit) { return static_cast<int>(std::floor(unit * scale + 0.5)); }

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

// A surface of a high-density screen: drawing is in units, and unit u
// covers the pixels from round(u * scale) to round((u + 1) * scale). At 1.5
// the unit columns 0, 1, 2 are pixels 0-1, 2 and 3-4.
TEST_F(GdiTest, ASurfaceOfMorePixelsThanUnitsIsDrawnAtItsPixels) {
  const struct {
    double scale;
    std::vector<int> edges;  // the pixel edge of units 0, 1, 2, 3, 4
  } rows[] = {{2, {0, 2, 4, 6, 8}}, {1.5, {0, 2, 3, 5, 6}}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.scale);
    constexpr int kSide = 8;
    std::vector<std::uint32_t> image(kSide * kSide, 0);
    ScopedDC dc(CreateSurfaceDC(Surface{kSide, kSide, image.data(), kSide, row.scale}));
    ASSERT_TRUE(dc);
    auto at = [&](int x, int y) { return image[static_cast<std::size_t>(y) * kSide + x] & 0xFFFFFF; };
    const auto& e = row.edges;

    // A fill of units 1..3 across and 1..2 down covers their pixels exactly.
    ScopedBrush brush(CreateSolidBrush(RGB(0, 0, 0xFF)));
    const RECT units{1, 1, 3, 2};
    FillRect(dc.get(), &units, brush.get());
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x) {
        const bool inside = x >= e[1] && x < e[3] && y >= e[1] && y < e[2];
        ASSERT_EQ(at(x, y), inside ? 0x0000FFu : 0u) << x << "," << y;
      }
    EXPECT_EQ(GetPixel(dc.get(), 2, 1), RGB(0, 0, 0xFF)) << "a unit reads as its top-left pixel";

    // A 2 x 2 picture blitted onto 2 x 2 units fills each unit's pixels with
    // its own pixel: the picture is sampled at the pixels, once.
    ScopedBitmap picture(MakeBitmap(2, 2, [](int x, int y) { return 0x100000u * (x + 1) + 0x10u * (y + 1); }));
    ScopedMemoryDC source(nullptr);
    ScopedSelectObject select(source.get(), picture.get());
    ASSERT_TRUE(BitBlt(dc.get(), 2, 2, 2, 2, source.get(), 0, 0, SRCCOPY));
    for (int y = e[2]; y < e[4]; ++y)
      for (int x = e[2]; x < e[4]; ++x)
        ASSERT_EQ(at(x, y), 0x100000u * (x < e[3] ? 1 : 2) + 0x10u * (y < e[3] ? 1 : 2)) << x << "," << y;

    // A one-pixel pen draws one unit wide: whole pixels, nothing between.
    ScopedPen pen(CreatePen(PS_SOLID, 0, RGB(0xFF, 0, 0)));
    ScopedSelectObject usePen(dc.get(), pen.get());
    MoveToEx(dc.get(), 0, 4, nullptr);
    LineTo(dc.get(), 4, 4);
    for (int y = 0; y < kSide; ++y) EXPECT_EQ(at(0, y) == 0xFF0000u, y >= e[4] && y < Pixel(row.scale, 5)) << y;
  }
}

TEST_F(GdiTest, MalformedSurfacesAreRefused) {
  std::uint32_t pixel = 0;
  const Surface bad[] = {
      {-1, 1, &pixel, 1},
      {2, 1, &pixel, 1},  // stride shorter than a row
      {1, 1, nullptr, 1},
      {1, 1, &pixel, 1, 0.5},  // fewer pixels than units
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
