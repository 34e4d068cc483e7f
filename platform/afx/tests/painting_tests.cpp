#include <gtest/gtest.h>

#include "platform/afx/tests/test_dialog.h"
#include "platform/afx/window_functions.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/ui_driver.h"

namespace afx_tests {
namespace {

using namespace kp::testing;

// Paints a red rectangle inside a one-pixel black frame through WM_PAINT.
class CPainted : public CWnd {
 public:
  int paints = 0;

 protected:
  void OnPaint() {
    ++paints;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(&client);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &client, black);
    RECT inner{1, 1, client.right - 1, client.bottom - 1};
    FillRect(dc, &inner, red);
    DeleteObject(black);
    DeleteObject(red);
    ::EndPaint(m_hWnd, &ps);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPainted, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(Painting, WhatWMPaintDrawsIsWhatTheWindowShows) {
  int objects = kp::gdi::LiveObjectCount();
  CTestDlg dlg;
  CPainted painted;
  RunModalWith(dlg, [&] {
    ASSERT_TRUE(painted.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(200, 150, 240, 180), &dlg, 2100));
    ProcessEvents();
    Pixels pixels = GrabWindow(painted.m_hWnd);
    ASSERT_EQ(pixels.width, 40);
    ASSERT_EQ(pixels.height, 30);
    EXPECT_GE(painted.paints, 1);
    EXPECT_EQ(pixels.At(0, 0), 0xFF000000u);
    EXPECT_EQ(pixels.At(39, 29), 0xFF000000u);
    EXPECT_EQ(pixels.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(pixels.At(20, 15), 0xFFFF0000u);

    // Drawing outside WM_PAINT lands in the same image and is shown.
    HDC dc = ::GetDC(painted.m_hWnd);
    ASSERT_NE(dc, nullptr);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT spot{10, 10, 12, 12};
    FillRect(dc, &spot, blue);
    DeleteObject(blue);
    ::ReleaseDC(painted.m_hWnd, dc);
    ProcessEvents();
    EXPECT_EQ(GrabWindow(painted.m_hWnd).At(11, 11), 0xFF0000FFu);
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects) << "every brush and DC was released";
}

}  // namespace
}  // namespace afx_tests
