#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

// Source pixel colours that name their own position.
std::uint32_t Position(int x, int y) { return (static_cast<std::uint32_t>(x) << 12) | static_cast<std::uint32_t>(y); }

// What the rows say target pixel (x, y) takes; 0xFFFFFFFF for none.
std::uint32_t Taken(const StretchedRows& rows, int x, int y) {
  const std::uint32_t* row = rows.Row(y);
  const int column = rows.Columns()[static_cast<std::size_t>(x)];
  return row != nullptr && column >= 0 ? row[column] & 0x00FFFFFF : 0xFFFFFFFFu;
}

// Every pixel the rows give is the one StretchBlt copies, and where the
// source rectangle reaches past the bitmap, the rows give none exactly where
// StretchBlt leaves the target as it was.
TEST_F(GdiTest, StretchedRowsTakeThePixelsStretchBltCopies) {
  // clang-format off
  const struct {
    int width, height;  // of the source bitmap
    int sw, sh, dw, dh;
  } cases[] = {
      {600, 200, 600, 200, 512, 270}, {64, 64, 64, 64, 128, 128}, {256, 256, 256, 256, 128, 128},
      {2, 2, 2, 2, 128, 128},         {128, 128, 128, 128, 128, 128}, {37, 500, 37, 500, 128, 128},
      {10, 6, 16, 9, 20, 20},         {5, 5, 5, 8, 7, 16},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << "x" << c.height << " as " << c.sw << "x" << c.sh << " -> " << c.dw
                                      << "x" << c.dh);
    Canvas from(MakeBitmap(c.width, c.height, Position));
    Canvas to(c.dw, c.dh, 0x00ABCDEF);
    ASSERT_TRUE(StretchBlt(to.dc(), 0, 0, c.dw, c.dh, from.dc(), 0, 0, c.sw, c.sh, SRCCOPY));
    const StretchedRows rows(from.dc(), c.sw, c.sh, c.dw, c.dh);
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.Columns().size(), static_cast<std::size_t>(c.dw));
    EXPECT_EQ(rows.ColumnsInside(), c.sw <= c.width);
    for (int y = 0; y < c.dh; ++y) {
      EXPECT_EQ(rows.SourceRow(y), static_cast<int>(1LL * y * c.sh / c.dh)) << "row " << y;
      for (int x = 0; x < c.dw; ++x) {
        const std::uint32_t taken = Taken(rows, x, y);
        ASSERT_EQ(taken == 0xFFFFFFFFu ? 0x00ABCDEFu : taken, to.At(x, y)) << x << "," << y;
      }
    }
  }
}

TEST_F(GdiTest, StretchedRowsReadAWindowSurfaceTopDownWithItsStride) {
  // Three rows of four pixels, each row six pixels after the last, with the
  // alpha byte a window image keeps.
  std::vector<std::uint32_t> image(18, 0xFF000000u);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) image[static_cast<std::size_t>(y * 6 + x)] = 0xFF000000u | Position(x, y);
  ScopedDC surface(CreateSurfaceDC(Surface{4, 3, image.data(), 6}));
  const StretchedRows rows(surface.get(), 4, 3, 8, 6);
  ASSERT_TRUE(rows.ok());
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(Taken(rows, x, y), Position(x / 2, y / 2)) << x << "," << y;
}

TEST_F(GdiTest, StretchedRowsRefuseWhatStretchBltRefuses) {
  Canvas from(4, 4);
  EXPECT_FALSE(StretchedRows(nullptr, 4, 4, 4, 4).ok());
  EXPECT_FALSE(StretchedRows(reinterpret_cast<HDC>(std::uintptr_t{0x7777}), 4, 4, 4, 4).ok()) << "forged handle";
  EXPECT_FALSE(StretchedRows(from.dc(), 0, 4, 4, 4).ok());
  EXPECT_FALSE(StretchedRows(from.dc(), 4, -1, 4, 4).ok());
  EXPECT_FALSE(StretchedRows(from.dc(), 4, 4, 0, 4).ok());
  EXPECT_TRUE(StretchedRows(from.dc(), 4, 4, 4, 4).ok());
}

TEST_F(GdiTest, StretchedRowsOfADcWithoutPixelsTakeNone) {
  ScopedDC display(CreateSurfaceDC(Surface{}));
  const StretchedRows rows(display.get(), 4, 4, 3, 2);
  ASSERT_TRUE(rows.ok());
  EXPECT_FALSE(rows.ColumnsInside());
  for (int y = 0; y < 2; ++y) EXPECT_EQ(rows.Row(y), nullptr);
}

}  // namespace
}  // namespace kp::gdi::testing
