#include <vector>

#include "tests/control/tavlet_fixture.h"

namespace tavlet_host {
namespace {

using TavletDrawing = TavletTest;

constexpr std::uint32_t kRed = 0xFF0000;  // ARGB as grabbed
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

// A control of exactly this many pixels, repainted and grabbed.
kp::testing::Pixels Show(CHostedTavlet& control, int width, int height) {
  control.MoveWindow(4, 4, width, height);
  kp::testing::ProcessEvents();
  return kp::testing::GrabWindow(control.m_hWnd);
}

std::uint32_t Rgb(const kp::testing::Pixels& pixels, int x, int y) { return pixels.At(x, y) & 0xFFFFFF; }

// The one-pixel frame along all four edges has this colour.
void ExpectFrame(const kp::testing::Pixels& pixels, std::uint32_t colour) {
  for (int x = 0; x < pixels.width; ++x) {
    EXPECT_EQ(Rgb(pixels, x, 0), colour) << "top " << x;
    EXPECT_EQ(Rgb(pixels, x, pixels.height - 1), colour) << "bottom " << x;
  }
  for (int y = 0; y < pixels.height; ++y) {
    EXPECT_EQ(Rgb(pixels, 0, y), colour) << "left " << y;
    EXPECT_EQ(Rgb(pixels, pixels.width - 1, y), colour) << "right " << y;
  }
}

TEST_F(TavletDrawing, ABitmapIsSqueezedOverTheWholeWindowByWholeRowsAndColumns) {
  WithHost([](CHostDlg& dlg) {
    // Each source pixel names its own column and row (y from the top).
    std::vector<LONG> pixels(128 * 128);
    for (int row = 0; row < 128; ++row)
      for (int x = 0; x < 128; ++x) pixels[row * 128 + x] = (x << 16) | ((127 - row) << 8) | 0x80;
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(pixels.data(), 128, 128));
    kp::testing::Click(::GetDlgItem(dlg.m_hWnd, IDC_OTHER));
    kp::testing::Pixels shown = Show(dlg.m_slot, 50, 52);
    ASSERT_EQ(shown.width, 50);
    ASSERT_EQ(shown.height, 52);
    ExpectFrame(shown, kGrey);
    int wrong = 0;
    for (int y = 1; y < 51; ++y)
      for (int x = 1; x < 49; ++x) {
        const std::uint32_t expected = static_cast<std::uint32_t>((x * 128 / 50) << 16 | (y * 128 / 52) << 8 | 0x80);
        if (Rgb(shown, x, y) != expected && ++wrong < 5)
          ADD_FAILURE() << x << "," << y << " shows " << std::hex << Rgb(shown, x, y) << " not " << expected;
      }
    EXPECT_EQ(wrong, 0) << "not cropped, not letterboxed: source pixel (floor(x*128/50), floor(y*128/52))";
  });
}

TEST_F(TavletDrawing, AnEmptyControlIsWhiteWithACornerTriangleAnEighthOfItsWidth) {
  WithHost([](CHostDlg& dlg) {
    kp::testing::Click(::GetDlgItem(dlg.m_hWnd, IDC_OTHER));
    kp::testing::Pixels wide = Show(dlg.m_slot, 80, 60);
    ExpectFrame(wide, kGrey);
    // Legs of 10 pixels: (0,0), (10,0), (0,10).
    struct Row {
      int x, y;
      std::uint32_t colour;
    } rows[] = {{1, 1, kBlack},  {7, 1, kBlack}, {1, 7, kBlack}, {4, 4, kBlack},   {11, 1, kWhite},
                {1, 11, kWhite}, {6, 6, kWhite}, {9, 5, kWhite}, {40, 30, kWhite}, {78, 58, kWhite}};
    for (const Row& row : rows) EXPECT_EQ(Rgb(wide, row.x, row.y), row.colour) << row.x << "," << row.y;

    kp::testing::Pixels narrow = Show(dlg.m_slot, 7, 20);
    ExpectFrame(narrow, kGrey);
    for (int y = 1; y < 19; ++y)
      for (int x = 1; x < 6; ++x) EXPECT_EQ(Rgb(narrow, x, y), kWhite) << "no triangle at 7 wide: " << x << "," << y;
  });
}

TEST_F(TavletDrawing, TheFrameIsRedWhileTheControlHasTheFocusAndGreyOtherwise) {
  WithHost([](CHostDlg& dlg) {
    LONG pixel = 0x0000FF;
    ASSERT_TRUE(dlg.m_finder.RecreateBitmap(&pixel, 1, 1));
    for (CHostedTavlet* control : {&dlg.m_finder, &dlg.m_preview}) {  // holding and empty
      kp::testing::Click(control->m_hWnd);
      kp::testing::Pixels focused = Show(*control, 30, 20);
      ExpectFrame(focused, kRed);
      kp::testing::Click(::GetDlgItem(dlg.m_hWnd, IDC_OTHER));
      kp::testing::Pixels left = Show(*control, 30, 20);
      ExpectFrame(left, kGrey);
      EXPECT_EQ(Rgb(left, 15, 10), control == &dlg.m_finder ? 0x0000FFu : kWhite);
    }
  });
}

}  // namespace
}  // namespace tavlet_host
