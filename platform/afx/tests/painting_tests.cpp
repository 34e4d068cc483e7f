#include <gtest/gtest.h>

#include "platform/afx/tests/test_dialog.h"
#include "platform/afx/window_dc.h"
#include "platform/gdi/gdi.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace afx_tests {
namespace {

using namespace kp::testing;

// Paints a red rectangle inside a one-pixel black frame through WM_PAINT.
class CPainted : public CWnd {
 public:
  int m_paints = 0;

 protected:
  void OnPaint() {
    ++m_paints;
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
    EXPECT_GE(painted.m_paints, 1);
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

namespace afx_tests {
namespace {

using namespace kp::testing;

// Paints through the framework's DC classes what a bitmap drop control
// paints: a 2 x 2 bitmap stretched over the left half, a black triangle
// filled from a path on the right half, and a one-pixel grey frame.
class CFramedPicture : public CWnd {
 public:
  HBITMAP m_hBitmap = nullptr;

 protected:
  void OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    int half = client.Width() / 2;
    {
      kp::gdi::ScopedMemoryDC memory(dc.GetSafeHdc());
      kp::gdi::ScopedSelectObject select(memory.get(), m_hBitmap);
      dc.SetStretchBltMode(COLORONCOLOR);
      ::StretchBlt(dc.GetSafeHdc(), 0, 0, half, client.Height(), memory.get(), 0, 0, 2, 2, SRCCOPY);
    }

    CRect right(half, 0, client.right, client.bottom);
    ::FillRect(dc.GetSafeHdc(), &right, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    int leg = right.Width() / 2;
    dc.BeginPath();
    dc.MoveTo(half, 0);
    dc.LineTo(half + leg, 0);
    dc.LineTo(half, leg);
    dc.EndPath();
    {
      kp::gdi::ScopedSelectObject brush(dc.GetSafeHdc(), GetStockObject(BLACK_BRUSH));
      dc.FillPath();
    }

    kp::gdi::ScopedPen grey(CreatePen(PS_SOLID, 0, RGB(0x80, 0x80, 0x80)));
    kp::gdi::ScopedSelectObject pen(dc.GetSafeHdc(), grey.get());
    POINT frame[] = {
        {0, 0}, {client.right - 1, 0}, {client.right - 1, client.bottom - 1}, {0, client.bottom - 1}, {0, 0}};
    dc.Polyline(frame, 5);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFramedPicture, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(Painting, StretchedBitmapFilledPathAndFrameGrabAsDrawn) {
  int objects = kp::gdi::LiveObjectCount();
  {
    CTestDlg dlg;
    CFramedPicture picture;
    // Bottom-up 2 x 2: bottom row blue, green; top row red, white.
    const DWORD pixels[4] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
    picture.m_hBitmap = kp::gdi::CreateBitmapFromPixels(2, 2, 32, pixels);
    ASSERT_NE(picture.m_hBitmap, nullptr);
    RunModalWith(dlg, [&] {
      ASSERT_TRUE(picture.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 50), &dlg, 2101));
      ProcessEvents();
      Pixels shot = GrabWindow(picture.m_hWnd);
      ASSERT_EQ(shot.width, 80);
      ASSERT_EQ(shot.height, 40);
      // The frame is exactly the border ring.
      for (int x = 0; x < 80; ++x) {
        EXPECT_EQ(shot.At(x, 0), 0xFF808080u) << x;
        EXPECT_EQ(shot.At(x, 39), 0xFF808080u) << x;
      }
      for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(shot.At(0, y), 0xFF808080u) << y;
        EXPECT_EQ(shot.At(79, y), 0xFF808080u) << y;
      }
      // Each source pixel became a 20 x 20 block (floor rule), top row first.
      EXPECT_EQ(shot.At(1, 1), 0xFFFF0000u);
      EXPECT_EQ(shot.At(19, 19), 0xFFFF0000u);
      EXPECT_EQ(shot.At(20, 1), 0xFFFFFFFFu);
      EXPECT_EQ(shot.At(1, 20), 0xFF0000FFu);
      EXPECT_EQ(shot.At(39, 38), 0xFF00FF00u);
      // The triangle: legs of 20 pixels from the right half's corner.
      EXPECT_EQ(shot.At(41, 1), 0xFF000000u);
      EXPECT_EQ(shot.At(58, 1), 0xFF000000u);
      EXPECT_EQ(shot.At(41, 18), 0xFF000000u);
      EXPECT_EQ(shot.At(60, 1), 0xFFFFFFFFu);
      EXPECT_EQ(shot.At(41, 20), 0xFFFFFFFFu);
      EXPECT_EQ(shot.At(70, 30), 0xFFFFFFFFu);
      dlg.EndDialog(IDOK);
    });
    DeleteObject(picture.m_hBitmap);
  }
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects);
}

}  // namespace
}  // namespace afx_tests
