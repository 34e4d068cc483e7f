#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "editor/ui/about_dlg.h"
#include "editor/ui/art/editor_art.h"
#include "editor/ui/tests/ui_test_resources.h"
#include "platform/base/geometry.h"
#include "platform/gdi/gdi.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resources.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace {

using kp::resources::DialogItem;
using Class = DialogItem::Class;

constexpr int kFrameWidth = 256;
constexpr int kFrameHeight = 128;

// The seven frames decoded straight from their resources' bytes, in
// playing order, rows bottom-up.
const std::vector<kp::gdi::DecodedImage>& DecodedFrames() {
  static const std::vector<kp::gdi::DecodedImage> frames = [] {
    std::vector<kp::gdi::DecodedImage> decoded;
    for (UINT id : kAboutFrameResourceIds) decoded.push_back(*kp::gdi::DecodePackedDib(AboutFrameDib(id)));
    return decoded;
  }();
  return frames;
}

bool SamePicture(const kp::testing::Pixels& shown, const kp::gdi::DecodedImage& frame) {
  if (shown.width < kFrameWidth || shown.height < kFrameHeight) return false;
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x)
      if ((shown.At(x, y) & 0xFFFFFF) !=
          frame.pixels[static_cast<std::size_t>((kFrameHeight - 1 - y) * kFrameWidth + x)])
        return false;
  return true;
}

// The frame the picture button shows at its top left, or -1 for none.
int FrameShown(HWND picture) {
  kp::testing::ProcessEvents();
  const kp::testing::Pixels shown = kp::testing::GrabWindow(picture);
  for (std::size_t i = 0; i < DecodedFrames().size(); ++i)
    if (SamePicture(shown, DecodedFrames()[i])) return static_cast<int>(i);
  return -1;
}

HWND Item(CDialog& dlg, int id) { return ::GetDlgItem(dlg.m_hWnd, id); }
bool OkEnabled(CDialog& dlg) { return kp::qt::IsWindowEnabled(Item(dlg, IDOK)); }

// The box's timer ticks only when the test moves the clock, so every test
// sees each frame in turn whatever the machine's load.
class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program loads its shared icon when it starts; the box shows it.
    ASSERT_NE(::LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(128)), nullptr);
  }

  // One period of the box's timer, which ends with its tick.
  void Tick() { m_clock.Advance(CAboutDlg::kFrameMilliseconds); }

  // Plays forwards from the start to `frame`, tick by tick.
  void PlayTo(CAboutDlg& dlg, int frame) {
    ASSERT_EQ(dlg.m_nStep, 1);
    for (int ticks = 0; dlg.m_nFrame < frame; ++ticks) {
      ASSERT_LT(ticks, frame) << "each tick shows the next frame";
      Tick();
    }
  }

  kp::testing::ManualClock m_clock;
};

TEST_F(AboutBox, TemplateHoldsTheNameTheVersionThePictureAndTheIcon) {
  const kp::resources::DialogTemplate* t = kp::resources::FindDialogTemplate(AfxGetInstanceHandle(), 100);
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(t->caption, "About Kestrow");
  EXPECT_EQ(t->cx, 252);
  EXPECT_STREQ(t->fontName, "MS Sans Serif");
  EXPECT_EQ(t->pointSize, 8);
  EXPECT_EQ(t->style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
            WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);

  const struct {
    Class kind;
    int id;
    const char* text;
    short x, y, cx, cy;
    DWORD styles;  // bits that must be set
  } rows[] = {
      {Class::Button, IDOK, nullptr, 92, 108, 68, 14, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
      {Class::Button, 1404, "", 35, 15, 180, 85, BS_OWNERDRAW | WS_TABSTOP},
      {Class::Static, IDC_STATIC, "#128", 14, 105, 20, 20, SS_ICON},
      {Class::Static, IDC_STATIC, "Orvane Shape Editor v.", 39, 3, 78, 8, SS_NOPREFIX},
      {Class::Static, 1433, "v.vvv", 118, 3, 22, 8, 0},
  };
  ASSERT_EQ(t->items.size(), std::size(rows));
  int bottom = 0;
  for (std::size_t i = 0; i < t->items.size(); ++i) {
    const DialogItem& item = t->items[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(item.windowClass, rows[i].kind);
    EXPECT_EQ(item.id, rows[i].id);
    if (rows[i].text) {
      EXPECT_STREQ(item.text, rows[i].text);
    }
    EXPECT_EQ((CRect(item.x, item.y, item.cx, item.cy)), (CRect(rows[i].x, rows[i].y, rows[i].cx, rows[i].cy)));
    EXPECT_EQ(item.style & rows[i].styles, rows[i].styles);
    EXPECT_TRUE(item.style & WS_VISIBLE);
    bottom = std::max(bottom, item.y + item.cy);
  }
  EXPECT_EQ(bottom, 125) << "the controls end 125 dialog units from the top";
  EXPECT_GT(t->cy, 125);
}

TEST_F(AboutBox, OpensWithOkDisabledTheVersionBesideTheNameAndEscCloses) {
  CAboutDlg dlg;
  INT_PTR result = kp::testing::RunModalWith(dlg, [&] {
    EXPECT_FALSE(OkEnabled(dlg));
    EXPECT_EQ(kp::qt::GetWindowText(Item(dlg, 1433)), "1.3");
    HWND name = nullptr;
    for (HWND child : kp::qt::GetChildren(dlg.m_hWnd))
      if (kp::qt::GetWindowText(child) == "Orvane Shape Editor v.") name = child;
    ASSERT_NE(name, nullptr);
    const RECT nameRect = kp::testing::WidgetRectInWindow(name);
    const RECT versionRect = kp::testing::WidgetRectInWindow(Item(dlg, 1433));
    EXPECT_LE(nameRect.right, versionRect.left) << "the version follows the name on its line";
    EXPECT_EQ(nameRect.top, versionRect.top);

    // The disabled default button does not answer Enter; Esc ends the box.
    kp::testing::PressKey(dlg.m_hWnd, VK_RETURN);
    EXPECT_TRUE(::IsWindow(dlg.m_hWnd));
    kp::testing::PressKey(dlg.m_hWnd, VK_ESCAPE);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(AboutBox, TheCloseBoxEndsItWhileTheAnimationPlays) {
  CAboutDlg dlg;
  INT_PTR result = kp::testing::RunModalWith(dlg, [&] {
    EXPECT_FALSE(OkEnabled(dlg));
    kp::testing::CloseWindow(dlg.m_hWnd);
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(AboutBox, ItsTimerShowsAFrameEvery150MillisecondsAndEnablesOkAtTheSeventhTick) {
  CAboutDlg dlg;
  INT_PTR result = kp::testing::RunModalWith(dlg, [&] {
    HWND picture = Item(dlg, 1404);
    EXPECT_EQ(m_clock.RunningTimers(), 1u) << "the box started its timer";
    EXPECT_EQ(FrameShown(picture), 0) << "frame 0 is drawn when the box is first painted";
    for (int tick = 1; tick <= 7; ++tick) {
      SCOPED_TRACE("tick " + std::to_string(tick));
      const int frame = std::min(tick, CAboutDlg::kLastFrame);
      m_clock.Advance(CAboutDlg::kFrameMilliseconds - 1);
      EXPECT_EQ(dlg.m_nFrame, tick - 1) << "not before 150 ms";
      m_clock.Advance(1);
      EXPECT_EQ(dlg.m_nFrame, frame);
      EXPECT_EQ(FrameShown(picture), frame);
      EXPECT_EQ(OkEnabled(dlg), tick == 7);
    }
    EXPECT_EQ(m_clock.Now(), 1050u) << "OK is enabled 1.05 seconds after opening";
    m_clock.Advance(3 * CAboutDlg::kFrameMilliseconds);
    EXPECT_EQ(dlg.m_nFrame, 6) << "the last frame stays";
    EXPECT_EQ(FrameShown(picture), 6);
    EXPECT_TRUE(OkEnabled(dlg));
    kp::testing::Click(Item(dlg, IDOK));
  });
  EXPECT_EQ(result, IDOK);
}

TEST_F(AboutBox, AClickAtFrameThreePlaysBackToZeroThenForwardsAndEnablesOkAfterSix) {
  CAboutDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    HWND picture = Item(dlg, 1404);
    PlayTo(dlg, 3);
    ASSERT_EQ(FrameShown(picture), 3);
    kp::testing::Click(picture);
    EXPECT_EQ(dlg.m_nStep, -1);

    // clang-format off
    const struct {
      int frame;
      int step;
      bool ok;
    } ticks[] = {
        {2, -1, false}, {1, -1, false}, {0, -1, false},
        {0, 1, false},  // rests at frame 0 for one tick, turning forwards
        {1, 1, false},  {2, 1, false},  {3, 1, false}, {4, 1, false}, {5, 1, false}, {6, 1, false},
        {6, 1, true},   // the tick after frame 6
        {6, 1, true},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(ticks); ++i) {
      Tick();
      SCOPED_TRACE("tick " + std::to_string(i + 1));
      EXPECT_EQ(dlg.m_nFrame, ticks[i].frame);
      EXPECT_EQ(dlg.m_nStep, ticks[i].step);
      EXPECT_EQ(FrameShown(picture), ticks[i].frame);
      EXPECT_EQ(OkEnabled(dlg), ticks[i].ok);
    }
    dlg.EndDialog(IDOK);
  });
}

TEST_F(AboutBox, TwoClicksWithinOneTickLeaveTheDirectionUnchanged) {
  CAboutDlg dlg;
  kp::testing::RunModalWith(dlg, [&] {
    HWND picture = Item(dlg, 1404);
    PlayTo(dlg, 2);
    kp::testing::Click(picture);
    kp::testing::Click(picture);
    Tick();
    EXPECT_EQ(dlg.m_nFrame, 3);
    EXPECT_EQ(FrameShown(picture), 3);

    // Clicked once while resting at the last frame, it plays backwards.
    for (int ticks = 0; !OkEnabled(dlg) && ticks < 10; ++ticks) Tick();
    ASSERT_TRUE(OkEnabled(dlg));
    kp::testing::Click(picture);
    Tick();
    EXPECT_EQ(dlg.m_nFrame, 5);
    EXPECT_EQ(FrameShown(picture), 5);
    EXPECT_TRUE(OkEnabled(dlg)) << "OK stays enabled once enabled";
    dlg.EndDialog(IDOK);
  });
}

TEST_F(AboutBox, DrawFrameDrawsEachFrameFromItsResourceAndAnyOtherIndexAsTheLast) {
  CAboutDlg dlg;
  const int objects = kp::gdi::LiveObjectCount();
  const struct {
    int index;
    int picture;  // playing-order frame expected
  } rows[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 6}, {-1, 6}, {1000, 6}};
  for (const auto& row : rows) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    kp::gdi::ScopedBitmap target(::CreateCompatibleBitmap(dc.GetSafeHdc(), kFrameWidth + 4, kFrameHeight + 4));
    kp::gdi::ScopedSelectObject select(dc.GetSafeHdc(), target.get());
    dlg.DrawFrame(&dc, row.index);
    const kp::gdi::DecodedImage& expected = DecodedFrames()[static_cast<std::size_t>(row.picture)];
    int wrong = 0;
    for (int y = 0; y < kFrameHeight; ++y)
      for (int x = 0; x < kFrameWidth; ++x) {
        COLORREF c = ::GetPixel(dc.GetSafeHdc(), x, y);
        DWORD rgb = (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
        if (rgb != expected.pixels[static_cast<std::size_t>((kFrameHeight - 1 - y) * kFrameWidth + x)]) ++wrong;
      }
    EXPECT_EQ(wrong, 0) << "frame index " << row.index;
    EXPECT_EQ(::GetPixel(dc.GetSafeHdc(), kFrameWidth + 1, 0), RGB(0, 0, 0)) << "nothing right of the frame";
  }
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects) << "each draw deletes what it made";
}

// The frame drawn into a fresh memory DC: the playing-order frame whose
// pixels it shows, or -1.
int FrameDrawn(CAboutDlg& dlg, int index) {
  CDC dc;
  if (!dc.CreateCompatibleDC(nullptr)) return -1;
  kp::gdi::ScopedBitmap target(::CreateCompatibleBitmap(dc.GetSafeHdc(), kFrameWidth, kFrameHeight));
  kp::gdi::ScopedSelectObject select(dc.GetSafeHdc(), target.get());
  dlg.DrawFrame(&dc, index);
  for (std::size_t i = 0; i < DecodedFrames().size(); ++i) {
    bool same = true;
    for (int y = 0; y < kFrameHeight && same; y += 5)
      for (int x = 0; x < kFrameWidth && same; x += 3) {
        COLORREF c = ::GetPixel(dc.GetSafeHdc(), x, y);
        DWORD rgb = (static_cast<DWORD>(GetRValue(c)) << 16) | (static_cast<DWORD>(GetGValue(c)) << 8) | GetBValue(c);
        same = rgb == DecodedFrames()[i].pixels[static_cast<std::size_t>((kFrameHeight - 1 - y) * kFrameWidth + x)];
      }
    if (same) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(AboutBox, EachDrawLoadsItsFrameFromTheResourcesAfresh) {
  CAboutDlg dlg;
  ASSERT_EQ(FrameDrawn(dlg, 3), 3);
  // The module's table changes between two draws: bitmap 240 (frame 3)
  // now holds frame 0's picture. A frame kept from the first draw would
  // still show the old one.
  kp::resources::ResourceTable changed = ui_tests::TestResources();
  for (auto& bitmap : changed.bitmaps)
    if (bitmap.id == kAboutFrameResourceIds[3]) bitmap.bytes = AboutFrameDib(kAboutFrameResourceIds[0]);
  kp::resources::RegisterModuleResources(AfxGetInstanceHandle(), &changed);
  const int drawn = FrameDrawn(dlg, 3);
  kp::resources::RegisterModuleResources(AfxGetInstanceHandle(), &ui_tests::TestResources());
  EXPECT_EQ(drawn, 0);
  EXPECT_EQ(FrameDrawn(dlg, 3), 3);
}

TEST_F(AboutBox, LeavesNoGdiObjectAliveAndNoTimerRunning) {
  const int objects = kp::gdi::LiveObjectCount();
  {
    CAboutDlg dlg;
    kp::testing::RunModalWith(dlg, [&] {
      HWND picture = Item(dlg, 1404);
      for (int i = 0; i < 3; ++i) Tick();
      kp::testing::Click(picture);
      Tick();
      EXPECT_NE(FrameShown(picture), -1);
      kp::testing::PressKey(dlg.m_hWnd, VK_ESCAPE);
    });
    EXPECT_EQ(dlg.m_nTimer, 0u) << "the timer stops with the window";
    EXPECT_EQ(m_clock.RunningTimers(), 0u);
  }
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects);
}

TEST_F(AboutBox, ResourcesAreTheTemplateAndTheSevenFrames) {
  kp::resources::ResourceTable table;
  AddAboutBoxResources(table);
  ASSERT_EQ(table.dialogs.size(), 1u);
  EXPECT_EQ(table.dialogs[0].id, 100u);
  std::vector<UINT> ids;
  for (const auto& bitmap : table.bitmaps) {
    ids.push_back(bitmap.id);
    EXPECT_EQ(bitmap.bytes.data(), AboutFrameDib(bitmap.id).data());
    EXPECT_FALSE(bitmap.bytes.empty());
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(ids, (std::vector<UINT>{237, 238, 239, 240, 241, 242, 243}));
  EXPECT_TRUE(table.icons.empty()) << "icon 128 is the program's, added once by its table";
}

}  // namespace
