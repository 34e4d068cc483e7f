// The control on screens of 1, 1.5 and 2 pixels per unit: ctest runs this
// program at each (QT_SCALE_FACTOR). The picture is sampled once, by the
// slots' rule, at the screen's own pixels, and the frame and the empty
// marker fill whole pixels: nothing drawn at one pixel per unit is
// enlarged, and nothing is blended.

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "tests/control/tavlet_fixture.h"

namespace tavlet_host {
namespace {

using TavletAtScale = TavletTest;

constexpr std::uint32_t kGrey = 0x808080;

// The pixel edge of unit edge v at `scale` pixels per unit.
int Pixel(double scale, int v) { return static_cast<int>(std::floor(v * scale + 0.5)); }

// A picture of every colour its own: (x, y) from the top.
std::uint32_t Colour(int x, int y) { return static_cast<std::uint32_t>(x << 16 | y << 8 | ((x * 7 + y * 13) & 0xFF)); }

TEST_F(TavletAtScale, APictureIsSampledOnceFromItsOwnPixelsAtTheScreensPixels) {
  WithHost([](CHostDlg& dlg) {
    constexpr int kSide = 128;
    std::vector<LONG> rows;
    for (int y = kSide - 1; y >= 0; --y)
      for (int x = 0; x < kSide; ++x) rows.push_back(static_cast<LONG>(Colour(x, y)));
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(rows.data(), kSide, kSide));
    kp::testing::ProcessEvents();

    const double scale = kp::testing::PixelsPerUnit(dlg.m_slot.m_hWnd);
    const char* asked = std::getenv("QT_SCALE_FACTOR");
    ASSERT_DOUBLE_EQ(scale, asked != nullptr ? std::atof(asked) : 1.0) << "the screen's pixels per unit";
    RECT client{};
    dlg.m_slot.GetClientRect(&client);
    const kp::testing::Pixels shown = kp::testing::GrabWindow(dlg.m_slot.m_hWnd);
    const int width = Pixel(scale, client.right), height = Pixel(scale, client.bottom);
    ASSERT_EQ(shown.width, width) << "one pixel of the window for each of the screen";
    ASSERT_EQ(shown.height, height);

    // Inside the frame, target pixel (x, y) takes picture pixel
    // (x * 128 / width, y * 128 / height).
    const int left = Pixel(scale, 1), right = Pixel(scale, client.right - 1);
    const int top = Pixel(scale, 1), bottom = Pixel(scale, client.bottom - 1);
    int wrong = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if ((shown.At(x, y) & 0xFFFFFF) != Colour(x * kSide / width, y * kSide / height)) ++wrong;
    EXPECT_EQ(wrong, 0) << "of " << (right - left) * (bottom - top) << " pixels at " << scale << " pixels per unit";

    // The frame is one unit wide: whole pixels of grey on every side.
    for (int y = 0; y < height; ++y)
      for (int x : {0, left - 1, right, width - 1}) ASSERT_EQ(shown.At(x, y) & 0xFFFFFF, kGrey) << x << "," << y;
  });
}

TEST_F(TavletAtScale, TheEmptyMarkerAndTheFrameAreOnlyTheirOwnColours) {
  WithHost([](CHostDlg& dlg) {
    kp::testing::ProcessEvents();
    const kp::testing::Pixels shown = kp::testing::GrabWindow(dlg.m_landscape.m_hWnd);
    std::set<std::uint32_t> colours;
    for (std::uint32_t argb : shown.argb) colours.insert(argb & 0xFFFFFF);
    EXPECT_EQ(colours, (std::set<std::uint32_t>{0x000000, 0xFFFFFF, kGrey})) << "nothing blended or smoothed";
    const double scale = kp::testing::PixelsPerUnit(dlg.m_landscape.m_hWnd);
    RECT client{};
    dlg.m_landscape.GetClientRect(&client);
    // The triangle's legs are an eighth of the width, in units.
    const int leg = Pixel(scale, client.right / 8);
    EXPECT_EQ(shown.At(Pixel(scale, 1), Pixel(scale, 1)) & 0xFFFFFF, 0u);
    EXPECT_EQ(shown.At(leg + Pixel(scale, 1), Pixel(scale, 1)) & 0xFFFFFF, 0xFFFFFFu);
  });
}

}  // namespace
}  // namespace tavlet_host
