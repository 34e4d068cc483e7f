#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

TEST_F(GdiTest, WrappersOwnTheirHandlesAndRestoreSelections) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 4, 4));
  CBrush red(RGB(255, 0, 0));
  CBitmap* previous = dc.SelectObject(&bitmap);
  ASSERT_NE(previous, nullptr);
  dc.FillRect(CRect(0, 0, 4, 4), &red);
  EXPECT_EQ(dc.GetPixel(3, 3), RGB(255, 0, 0));
  dc.FillSolidRect(1, 1, 1, 1, RGB(0, 0, 255));
  EXPECT_EQ(dc.GetPixel(CPoint(1, 1)), RGB(0, 0, 255));
  BITMAP bm{};
  EXPECT_EQ(bitmap.GetBitmap(&bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(dc.SelectObject(previous), &*CBitmap::FromHandle(bitmap)) << "one temporary wrapper per handle";
  {
    ScopedSelectObject select(dc, bitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap.m_hObject);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), previous->m_hObject);
  CGdiObject::DeleteTempMap();
  CDC::DeleteTempMap();
  EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP) << "dropping wrappers deletes nothing";
}

TEST_F(GdiTest, ScopedOwnersDeleteUnlessReleased) {
  const int before = LiveObjectCount();
  HBITMAP kept;
  {
    ScopedBitmap bitmap(CreateCompatibleBitmap(nullptr, 2, 2));
    ScopedBitmap dropped(CreateCompatibleBitmap(nullptr, 2, 2));
    ScopedMemoryDC dc(nullptr);
    EXPECT_EQ(LiveObjectCount(), before + 3);
    kept = bitmap.release();
  }
  EXPECT_EQ(LiveObjectCount(), before + 1);
  EXPECT_TRUE(DeleteObject(kept));
  {
    CDC attached;
    attached.Attach(CreateCompatibleDC(nullptr));
    CPen pen(PS_SOLID, 1, RGB(1, 1, 1));
    CPalette palette;
    EXPECT_FALSE(palette.CreatePalette(nullptr));
    EXPECT_EQ(LiveObjectCount(), before + 2);
  }
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(GdiTest, CdcDrawsTheFrameThroughItsWrappers) {
  Canvas canvas(5, 4, 0x00FFFFFF);
  CDC* dc = CDC::FromHandle(canvas.dc());
  CPen red(PS_SOLID, 0, RGB(255, 0, 0));
  CPen* old = dc->SelectObject(&red);
  const POINT frame[] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 0}};
  EXPECT_TRUE(dc->Polyline(frame, 5));
  dc->SelectObject(old);
  int red_pixels = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) red_pixels += canvas.At(x, y) == 0x00FF0000u;
  EXPECT_EQ(red_pixels, 14);
  EXPECT_EQ(canvas.At(2, 1), 0x00FFFFFFu);
  EXPECT_EQ(dc->SelectStockObject(NULL_BRUSH), CGdiObject::FromHandle(GetStockObject(WHITE_BRUSH)));
}

}  // namespace
}  // namespace kp::gdi::testing
