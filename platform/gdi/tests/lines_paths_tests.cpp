#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF, kBlack = 0, kGrey = 0x00808080;

// The control's empty picture: white, a black corner triangle with legs of
// width / 8, and a one-pixel grey frame, drawn as the control draws it.
void DrawEmptyMarker(HDC hdc, int w, int h) {
  const RECT bounds{0, 0, w, h};
  FillRect(hdc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int c = w / 8;
  BeginPath(hdc);
  MoveToEx(hdc, 0, 0, nullptr);
  LineTo(hdc, c, 0);
  LineTo(hdc, 0, c);
  EndPath(hdc);
  {
    ScopedSelectObject brush(hdc, GetStockObject(BLACK_BRUSH));
    FillPath(hdc);
  }
  ScopedPen pen(CreatePen(PS_SOLID, 0, RGB(0x80, 0x80, 0x80)));
  ScopedSelectObject select(hdc, pen.get());
  const POINT frame[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
  Polyline(hdc, frame, 5);
}

TEST_F(GdiTest, EmptyMarkerHasExactTriangleAndFramePixels) {
  for (int size : {80, 7}) {
    SCOPED_TRACE(size);
    Canvas canvas(size, size, 0x00123456);
    DrawEmptyMarker(canvas.dc(), size, size);
    const int c = size / 8;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const bool frame = x == 0 || y == 0 || x == size - 1 || y == size - 1;
        const bool triangle = x + y <= c - 1;
        ASSERT_EQ(canvas.At(x, y), frame ? kGrey : triangle ? kBlack : kWhite) << x << "," << y;
      }
  }
}

TEST_F(GdiTest, TriangleLegsAreOneEighthOfTheWidth) {
  Canvas canvas(80, 80, kWhite);
  BeginPath(canvas.dc());
  MoveToEx(canvas.dc(), 0, 0, nullptr);
  LineTo(canvas.dc(), 10, 0);
  LineTo(canvas.dc(), 0, 10);
  EndPath(canvas.dc());
  ScopedSelectObject brush(canvas.dc(), GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(FillPath(canvas.dc()));
  int top = 0, left = 0, total = 0;
  for (int x = 0; x < 80; ++x) top += canvas.At(x, 0) == kBlack;
  for (int y = 0; y < 80; ++y) left += canvas.At(0, y) == kBlack;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x) total += canvas.At(x, y) == kBlack;
  EXPECT_EQ(top, 10);
  EXPECT_EQ(left, 10);
  EXPECT_EQ(total, 55);
  EXPECT_FALSE(FillPath(canvas.dc())) << "the path is gone after filling";
}

TEST_F(GdiTest, FillPathFillsByTheAlternateRule) {
  // Two nested squares: the inner one is a hole.
  Canvas canvas(10, 10, kWhite);
  ScopedSelectObject brush(canvas.dc(), GetStockObject(BLACK_BRUSH));
  BeginPath(canvas.dc());
  const POINT outer[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
  const POINT inner[] = {{3, 3}, {7, 3}, {7, 7}, {3, 7}, {3, 3}};
  Polyline(canvas.dc(), outer, 5);
  Polyline(canvas.dc(), inner, 5);
  EndPath(canvas.dc());
  ASSERT_TRUE(FillPath(canvas.dc()));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool hole = x >= 3 && x < 7 && y >= 3 && y < 7;
      EXPECT_EQ(canvas.At(x, y), hole ? kWhite : kBlack) << x << "," << y;
    }
}

TEST_F(GdiTest, PathCallsOutOfOrderFail) {
  Canvas canvas(4, 4);
  EXPECT_FALSE(FillPath(canvas.dc())) << "no path";
  EXPECT_FALSE(EndPath(canvas.dc())) << "nothing being recorded";
  BeginPath(canvas.dc());
  LineTo(canvas.dc(), 3, 3);
  EXPECT_FALSE(FillPath(canvas.dc())) << "still recording";
  EXPECT_EQ(canvas.At(1, 1), kWhite) << "lines in a path draw nothing";
  EXPECT_TRUE(EndPath(canvas.dc()));
  EXPECT_FALSE(EndPath(canvas.dc()));
}

TEST_F(GdiTest, LinesLeaveOutTheirLastPixel) {
  struct Row {
    const char* what;
    POINT from, to;
    std::vector<POINT> pixels;
  };
  const Row rows[] = {
      {"right", {1, 1}, {4, 1}, {{1, 1}, {2, 1}, {3, 1}}},
      {"up", {2, 4}, {2, 1}, {{2, 4}, {2, 3}, {2, 2}}},
      {"diagonal", {0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
      {"shallow", {0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
      {"point", {2, 2}, {2, 2}, {}},
      {"far outside", {-100000, 2}, {100000, 2}, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Canvas canvas(5, 5, kWhite);
    ScopedSelectObject pen(canvas.dc(), GetStockObject(BLACK_PEN));
    MoveToEx(canvas.dc(), r.from.x, r.from.y, nullptr);
    ASSERT_TRUE(LineTo(canvas.dc(), r.to.x, r.to.y));
    POINT now{};
    MoveToEx(canvas.dc(), 0, 0, &now);
    EXPECT_EQ(now.x, r.to.x);
    EXPECT_EQ(now.y, r.to.y);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) {
        bool expected = false;
        for (const POINT& p : r.pixels) expected |= p.x == x && p.y == y;
        EXPECT_EQ(canvas.At(x, y), expected ? kBlack : kWhite) << x << "," << y;
      }
  }
}

TEST_F(GdiTest, NullPenDrawsNothingAndPolylineKeepsThePosition) {
  Canvas canvas(4, 4, kWhite);
  ScopedSelectObject pen(canvas.dc(), GetStockObject(NULL_PEN));
  MoveToEx(canvas.dc(), 1, 2, nullptr);
  const POINT line[] = {{0, 0}, {3, 0}};
  EXPECT_TRUE(Polyline(canvas.dc(), line, 2));
  EXPECT_FALSE(Polyline(canvas.dc(), line, 1));
  EXPECT_EQ(canvas.At(1, 0), kWhite);
  POINT now{};
  MoveToEx(canvas.dc(), 0, 0, &now);
  EXPECT_EQ(now.x, 1);
  EXPECT_EQ(now.y, 2);
}

}  // namespace
}  // namespace kp::gdi::testing
