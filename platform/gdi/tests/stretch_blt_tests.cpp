#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

// Source pixel colours that name their own position.
std::uint32_t Position(int x, int y) { return (static_cast<std::uint32_t>(x) << 12) | static_cast<std::uint32_t>(y); }

void Stretch(const Canvas& to, int w, int h, const Canvas& from, int sw, int sh, int mode = COLORONCOLOR) {
  SetStretchBltMode(to.dc(), mode);
  ASSERT_TRUE(StretchBlt(to.dc(), 0, 0, w, h, from.dc(), 0, 0, sw, sh, SRCCOPY));
}

TEST_F(GdiTest, EnlargingTwoByTwoGivesFourUniformBlocks) {
  const std::uint32_t colours[2][2] = {{0x00FF0000, 0x0000FF00}, {0x000000FF, 0x00FFFFFF}};
  Canvas from(MakeBitmap(2, 2, [&](int x, int y) { return colours[y][x]; }));
  Canvas to(128, 128, 0x00123456);
  Stretch(to, 128, 128, from, 2, 2);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) ASSERT_EQ(to.At(x, y), colours[y / 64][x / 64]) << x << "," << y;
}

TEST_F(GdiTest, HalvingKeepsEvenRowsAndColumnsInEveryMode) {
  Canvas from(MakeBitmap(256, 256, Position));
  for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
    SCOPED_TRACE(mode);
    Canvas to(128, 128, 0);
    Stretch(to, 128, 128, from, 256, 256, mode);
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 128; ++x) ASSERT_EQ(to.At(x, y), Position(2 * x, 2 * y));
  }
}

TEST_F(GdiTest, StretchFollowsTheFloorRuleExactly) {
  struct Row {
    int sw, sh, dw, dh;
  };
  const Row rows[] = {{600, 200, 512, 270}, {128, 128, 50, 52}, {3, 7, 128, 128}, {7, 5, 7, 5}};
  for (const Row& r : rows) {
    SCOPED_TRACE(::testing::Message() << r.sw << "x" << r.sh << " -> " << r.dw << "x" << r.dh);
    Canvas from(MakeBitmap(r.sw, r.sh, Position));
    Canvas to(r.dw, r.dh, 0);
    Stretch(to, r.dw, r.dh, from, r.sw, r.sh);
    for (int y = 0; y < r.dh; ++y)
      for (int x = 0; x < r.dw; ++x)
        ASSERT_EQ(to.At(x, y),
                  Position(static_cast<int>(1LL * x * r.sw / r.dw), static_cast<int>(1LL * y * r.sh / r.dh)))
            << x << "," << y;
  }
}

TEST_F(GdiTest, StretchClipsTheTargetAndSkipsPixelsOutsideTheSource) {
  Canvas from(MakeBitmap(4, 4, Position));
  Canvas to(4, 4, 0x00AAAAAA);
  // Target rectangle hangs off the top-left; source rectangle off the right.
  ASSERT_TRUE(StretchBlt(to.dc(), -1, -1, 4, 4, from.dc(), 2, 0, 4, 4, SRCCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const int sx = x + 1 + 2, sy = y + 1;
      const bool written = x < 3 && y < 3 && sx < 4;
      EXPECT_EQ(to.At(x, y), written ? Position(sx, sy) : 0x00AAAAAAu) << x << "," << y;
    }
}

TEST_F(GdiTest, UnscaledCopiesFromAnOffsetKeepEveryPixelOfOddWidths) {
  Canvas from(MakeBitmap(20, 4, Position));
  for (int width : {1, 3, 4, 5, 13}) {
    SCOPED_TRACE(width);
    Canvas to(16, 2, 0x00AAAAAA);
    ASSERT_TRUE(BitBlt(to.dc(), 2, 1, width, 1, from.dc(), 3, 2, SRCCOPY));
    for (int x = 0; x < 16; ++x) {
      EXPECT_EQ(to.At(x, 0), 0x00AAAAAAu) << x;
      const bool written = x >= 2 && x < 2 + width;
      EXPECT_EQ(to.At(x, 1), written ? Position(x - 2 + 3, 2) : 0x00AAAAAAu) << x;
    }
  }
}

TEST_F(GdiTest, BlitsRefuseWhatTheyDoNotSupport) {
  Canvas from(2, 2), to(2, 2);
  constexpr DWORD SRCPAINT = 0x00EE0086;
  EXPECT_FALSE(StretchBlt(to.dc(), 0, 0, 2, 2, from.dc(), 0, 0, 2, 2, SRCPAINT));
  EXPECT_FALSE(StretchBlt(to.dc(), 0, 0, -2, 2, from.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_FALSE(StretchBlt(to.dc(), 0, 0, 2, 2, from.dc(), 0, 0, 0, 2, SRCCOPY));
  EXPECT_FALSE(StretchBlt(to.dc(), 0, 0, 2, 2, nullptr, 0, 0, 2, 2, SRCCOPY));
  EXPECT_TRUE(StretchBlt(to.dc(), 0, 0, 0, 2, from.dc(), 0, 0, 2, 2, SRCCOPY)) << "nothing to draw";
}

TEST_F(GdiTest, OverlappingCopyWithinOneBitmapReadsBeforeWriting) {
  Canvas canvas(MakeBitmap(5, 1, Position));
  ASSERT_TRUE(BitBlt(canvas.dc(), 1, 0, 4, 1, canvas.dc(), 0, 0, SRCCOPY));
  for (int x = 1; x < 5; ++x) EXPECT_EQ(canvas.At(x, 0), Position(x - 1, 0));
}

TEST_F(GdiTest, PatBltFillsWithTheBrushOrBlackOrWhite) {
  Canvas canvas(3, 1, 0x00808080);
  ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
  ScopedSelectObject select(canvas.dc(), brush.get());
  EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 1, 1, PATCOPY));
  EXPECT_TRUE(PatBlt(canvas.dc(), 2, 0, -1, 1, BLACKNESS)) << "negative width extends leftwards";
  EXPECT_TRUE(BitBlt(canvas.dc(), 2, 0, 1, 1, nullptr, 0, 0, WHITENESS));
  EXPECT_EQ(canvas.At(0, 0), 0x00010203u);
  EXPECT_EQ(canvas.At(1, 0), 0u);
  EXPECT_EQ(canvas.At(2, 0), 0x00FFFFFFu);
}

}  // namespace
}  // namespace kp::gdi::testing
