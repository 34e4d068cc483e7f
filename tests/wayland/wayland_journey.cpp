// Not run by ctest on its own: wayland_tests.cpp runs this program inside a
// weston session of its own, as a native Wayland client. It runs the real
// main dialog, loads a set, drops a picture, opens the About box and the
// Image Finder, and has the compositor take screenshots, in which it finds
// its windows where a person would see them. The screenshots stay in the
// folder KESTROW_SCREENSHOTS names.
//
// The session's compositor has no seat (the headless backend has no input
// devices), so it activates no window, gives no keyboard focus and grants
// no popup: the clicks here are Qt's own input events, delivered to the
// windows as the compositor would deliver a pointer's. Focus, keys and
// menus are tried in wayland_tests.cpp, in a session with a seat.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor/ui/editor_ids.h"
#include "editor/ui/start_shapes_file.h"
#include "platform/afx/win_app.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/load_image.h"
#include "platform/testing/bitmap_pixels.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "tests/editor/editor_journey.h"

namespace {

namespace fs = std::filesystem;

// The screen as the compositor shows it: pixels 0x00RRGGBB, top row first.
struct Screen {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// A screenshot by the compositor, kept as `name` in the screenshot folder.
std::optional<Screen> Screenshot(const std::string& name) {
  const char* folder = std::getenv("KESTROW_SCREENSHOTS");
  if (folder == nullptr || ::chdir(folder) != 0) return std::nullopt;
  // weston-screenshooter writes wayland-screenshot-<time>.png here.
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().rfind("wayland-screenshot-", 0) == 0) fs::remove(entry.path());
  kp::testing::ProgramOptions options;
  options.timeout = std::chrono::seconds(20);
  if (kp::testing::RunProgram({"/usr/bin/weston-screenshooter"}, options).status != 0) return std::nullopt;
  fs::path shot;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().rfind("wayland-screenshot-", 0) == 0) shot = entry.path();
  if (shot.empty()) return std::nullopt;
  const fs::path kept = fs::path(folder) / name;
  fs::rename(shot, kept);
  kp::gdi::ScopedBitmap bitmap(kp::gdi::LoadBitmapFromBytes(kp::testing::ReadFileBytes(kept.string())));
  BITMAP b{};
  if (!bitmap || ::GetObject(bitmap.get(), sizeof b, &b) == 0) return std::nullopt;
  Screen screen{b.bmWidth, b.bmHeight, kp::testing::BitmapPixels(bitmap.get(), b.bmWidth, b.bmHeight, true)};
  for (std::uint32_t& pixel : screen.rgb) pixel &= 0xFFFFFF;
  return screen;
}

// Where the middle 16 x 16 pixels of the window, as it draws itself, are on
// the screen: the screen point of the window's own top-left corner.
std::optional<POINT> FindOnScreen(const Screen& screen, HWND hWnd) {
  const kp::testing::Pixels drawn = kp::testing::GrabWindow(hWnd);
  constexpr int kSide = 16;
  if (drawn.width < kSide || drawn.height < kSide) return std::nullopt;
  const int bx = drawn.width / 2 - kSide / 2, by = drawn.height / 2 - kSide / 2;
  auto block = [&](int x, int y) { return drawn.At(bx + x, by + y) & 0xFFFFFF; };
  for (int y = 0; y + kSide <= screen.height; ++y)
    for (int x = 0; x + kSide <= screen.width; ++x) {
      bool same = true;
      for (int j = 0; j < kSide && same; ++j)
        for (int i = 0; i < kSide && same; ++i) same = screen.At(x + i, y + j) == block(i, j);
      if (same) return POINT{x - bx, y - by};
    }
  return std::nullopt;
}

// The screenshot that shows the window, and where: the compositor shows a
// window once it has drawn it, so screenshots are taken until one does.
struct Seen {
  Screen screen;
  POINT origin{};
};
std::optional<Seen> ScreenshotShowing(const std::string& name, HWND hWnd) {
  std::optional<Seen> seen;
  kp::testing::WaitUntil([&] {
    kp::testing::ProcessEvents();
    std::optional<Screen> shot = Screenshot(name);
    if (!shot) return false;
    if (std::optional<POINT> at = FindOnScreen(*shot, hWnd)) seen = Seen{std::move(*shot), *at};
    return seen.has_value();
  });
  return seen;
}

using Wayland = editor_journey::EditorJourney;

TEST_F(Wayland, TheEditorIsANativeClientThatLoadsASetAndShowsItsWindowsOverIt) {
  ASSERT_EQ(kp::testing::PlatformName(), "wayland");
  sample_shapes::ShapesFileBuilder builder;
  const std::string shapes = WriteShapesFile(builder);
  const std::string red = WriteBitmapFile("red.bmp", 64, 64, [](int, int) { return 0xD02020u; });

  editor_journey::CJourneyDlg dlg;
  dlg.StartWithShapesFile(TakeStartShapesFile(shapes.c_str()));
  // The main window of the program, as the application makes it.
  AfxGetApp()->m_pMainWnd = &dlg;
  // A failed assertion ends the steps; the dialog is ended after them anyway.
  auto steps = [&] {
    kp::testing::WaitUntilExposed(dlg.m_hWnd);
    ClickItem(dlg, IDC_LOAD_SET);
    for (int k = 0; k < kTextureSlotCount; ++k) EXPECT_EQ(PictureOf(dlg.m_slot[k]).width, 128) << "slot " << k;
    EXPECT_TRUE(DropOn(dlg.m_slot[1], red));
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), PictureOf(dlg.m_slot[1])) << "the preview follows the drop";
    kp::testing::ProcessEvents();

    // The compositor shows the window with the set in it.
    ASSERT_TRUE(ScreenshotShowing("editor.png", dlg.m_slot[0].m_hWnd).has_value())
        << "no screenshot of the compositor shows the loaded slot";

    // A window cannot place itself on a Wayland screen; the compositor
    // places it. Each dialog of the editor is known to the compositor as
    // the editor's own (a transient window, which the desktops centre
    // over its owner), and shows whole on the screen.
    const struct {
      const char* caption;
      std::function<void()> open;
    } dialogs[] = {
        {"About Kestrow", [&] { dlg.PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }},
        {"Image Finder",
         [&] {
           ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP, kp::testing::Control | kp::testing::Shift);
           ClickItem(dlg, IDC_IMAGE_FINDER);
         }},
    };
    for (const auto& shown : dialogs) {
      bool seen = false;
      kp::testing::WhenModalWindowOpens(shown.caption, [&](HWND opened) {
        seen = true;
        kp::testing::WaitUntilExposed(opened);
        EXPECT_TRUE(kp::testing::IsTransientFor(opened, dlg.m_hWnd)) << shown.caption;
        const std::optional<Seen> over = ScreenshotShowing(std::string(shown.caption) + ".png", opened);
        if (over.has_value()) {
          RECT box{};
          CWnd::FromHandle(opened)->GetClientRect(&box);
          const POINT at = over->origin;
          EXPECT_TRUE(at.x >= 0 && at.y >= 0 && at.x + box.right <= over->screen.width &&
                      at.y + box.bottom <= over->screen.height)
              << shown.caption << " at " << at.x << "," << at.y << " is not whole on the screen";
        } else {
          ADD_FAILURE() << shown.caption << " is not on the screen";
        }
        ::SendMessage(opened, WM_CLOSE, 0, 0);
      });
      shown.open();
      EXPECT_TRUE(kp::testing::WaitUntil([&] { return seen; })) << shown.caption;
    }
  };
  kp::testing::RunSoon([&] {
    steps();
    dlg.EndDialog(IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  AfxGetApp()->m_pMainWnd = nullptr;
}

}  // namespace
