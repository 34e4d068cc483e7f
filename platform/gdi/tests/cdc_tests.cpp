#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

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
    EXPECT_EQ(LiveObjectCount(), before + 1);
  }
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST_F(GdiTest, CdcDrawsTheFrameWithTheSelectedPen) {
  Canvas canvas(5, 4, 0x00FFFFFF);
  ScopedPen red(CreatePen(PS_SOLID, 0, RGB(255, 0, 0)));
  ScopedSelectObject select(canvas.dc(), red.get());
  CDC dc;
  ASSERT_TRUE(dc.Attach(canvas.dc()));
  const POINT frame[] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}, {0, 0}};
  EXPECT_TRUE(dc.Polyline(frame, 5));
  dc.Detach();
  int red_pixels = 0;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) red_pixels += canvas.At(x, y) == 0x00FF0000u;
  EXPECT_EQ(red_pixels, 14);
  EXPECT_EQ(canvas.At(2, 1), 0x00FFFFFFu);
}

}  // namespace
}  // namespace kp::gdi::testing
