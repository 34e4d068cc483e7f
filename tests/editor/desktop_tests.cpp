// The editor among other programs on a real X server: the real kestrow, in
// a process of its own, driven through the server's input as a person
// would, while an X client of the test plays the other programs, reading
// what the editor copies, offering what it pastes and taking what it drags
// out, by the desktop's own protocols (the CLIPBOARD selection, XDND).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/shapes/sample/sample_shapes.h"
#include "platform/afx/dialog.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/load_image.h"
#include "platform/qt/window_system.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/clipboard_driver.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/ui_driver.h"
#include "platform/testing/x_display.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr char kCaption[] = "Orvane Shape File Editor";

// A rectangle of the main dialog's template, in dialog units.
struct Units {
  int x, y, cx, cy;
};
constexpr Units kLoadButton{300, 226, 130, 14};
constexpr Units kPreview{306, 110, 121, 107};
Units Slot(int k) { return Units{32 + 44 * (k % 6), 24 + 41 * (k / 6), 33, 32}; }

class Desktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_server = new kp::testing::PrivateXServer;
    s_x = new kp::testing::XClient(s_server->Display());
  }
  static void TearDownTestSuite() {
    delete s_x;
    delete s_server;
  }

  void SetUp() override {
    ASSERT_FALSE(s_server->Display().empty()) << "Xvfb did not start (scripts/test installs it)";
    ASSERT_TRUE(s_x->Connected());
    kp::testing::UseFreshRegistry();
    ASSERT_EQ(kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
    m_folder = kp::testing::TemporaryRoot() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(m_folder + "/export");
    m_shapes = m_folder + "/shapes.shp2";
    sample_shapes::MakeSampleShapes().WriteFile(m_shapes);
    // What Load shows of the first texture set, as kestrow-cli writes it.
    ASSERT_EQ(kp::testing::RunProgram({KESTROW_CLI_PROGRAM, "export", m_shapes, "1", m_folder + "/export"}).status, 0);

    std::vector<std::string> environment = kp::testing::EnvironmentWithout({"DISPLAY", "QT_QPA_PLATFORM"});
    environment.push_back("DISPLAY=" + s_server->Display());
    environment.push_back("QT_QPA_PLATFORM=xcb");
    kp::testing::ProgramOptions options;
    options.environment = environment;
    m_editor =
        std::make_unique<kp::testing::StartedProgram>(std::vector<std::string>{KESTROW_PROGRAM, m_shapes}, options);
    ASSERT_TRUE(kp::testing::WaitUntil([&] { return Window() != 0; })) << "no editor window\n" << m_editor->Err();
    ASSERT_TRUE(kp::testing::WaitUntil([&] { return s_x->FocusedWindow() == Window(); }));
    ASSERT_TRUE(s_x->WindowOrigin(Window(), &m_originX, &m_originY));
    m_baseUnits = kp::qt::GetDialogBaseUnits("MS Sans Serif", 8);

    Click(kLoadButton);
    ASSERT_TRUE(ShowsColour(Slot(0), Centre(kp::testing::ReadFileBytes(Exported(0)))))
        << "the set loaded into the slots";
  }
  void TearDown() override { m_editor.reset(); }

  unsigned long Window() {
    for (unsigned long window : s_x->WindowsTitled(kCaption))
      if (s_x->WindowProcess(window) == m_editor->Pid()) return window;
    return 0;
  }

  // The screen point at the middle of a template rectangle.
  POINT Middle(const Units& u) const {
    const RECT r = kp::afx::MapDialogUnits(RECT{u.x, u.y, u.x + u.cx, u.y + u.cy}, m_baseUnits);
    return POINT{m_originX + (r.left + r.right) / 2, m_originY + (r.top + r.bottom) / 2};
  }
  void Click(const Units& u) {
    const POINT at = Middle(u);
    s_x->Click(at.x, at.y);
  }
  void Keys(const std::string& keys) {
    std::string why;
    ASSERT_TRUE(s_x->PressKeys(Window(), keys, &why)) << why;
  }
  // Whether the screen shows `rgb` in the middle of the rectangle, within
  // the generous bound.
  bool ShowsColour(const Units& u, std::uint32_t rgb) {
    const POINT at = Middle(u);
    return kp::testing::WaitUntil([&] { return s_x->ScreenPixel(at.x, at.y) == rgb; });
  }

  std::string Exported(int slot) const {
    return m_folder + "/export/slot-" + (slot < 10 ? "0" : "") + std::to_string(slot) + ".bmp";
  }
  // The colour in the middle of a picture file, as a slot shows it there.
  static std::uint32_t Centre(const Bytes& file) {
    kp::gdi::ScopedBitmap bitmap(kp::gdi::LoadBitmapFromBytes(file));
    BITMAP b{};
    ::GetObject(bitmap.get(), sizeof b, &b);
    kp::gdi::ScopedMemoryDC dc(nullptr);
    kp::gdi::ScopedSelectObject select(dc.get(), bitmap.get());
    const COLORREF c = ::GetPixel(dc.get(), b.bmWidth / 2, b.bmHeight / 2);
    return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  // Whether two picture files hold the same pixels.
  static bool SamePicture(const Bytes& a, const Bytes& b) {
    kp::gdi::ScopedBitmap one(kp::gdi::LoadBitmapFromBytes(a)), two(kp::gdi::LoadBitmapFromBytes(b));
    BITMAP x{}, y{};
    if (!one || !two || ::GetObject(one.get(), sizeof x, &x) == 0 || ::GetObject(two.get(), sizeof y, &y) == 0 ||
        x.bmWidth != y.bmWidth || x.bmHeight != y.bmHeight)
      return false;
    kp::gdi::ScopedMemoryDC dc1(nullptr), dc2(nullptr);
    kp::gdi::ScopedSelectObject s1(dc1.get(), one.get()), s2(dc2.get(), two.get());
    for (int row = 0; row < x.bmHeight; ++row)
      for (int column = 0; column < x.bmWidth; ++column)
        if (::GetPixel(dc1.get(), column, row) != ::GetPixel(dc2.get(), column, row)) return false;
    return true;
  }

  static kp::testing::PrivateXServer* s_server;
  static kp::testing::XClient* s_x;
  std::string m_folder, m_shapes;
  std::unique_ptr<kp::testing::StartedProgram> m_editor;
  int m_originX = 0, m_originY = 0;
  SIZE m_baseUnits{};
};

kp::testing::PrivateXServer* Desktop::s_server = nullptr;
kp::testing::XClient* Desktop::s_x = nullptr;

TEST_F(Desktop, ASlotCopiedIsOfferedToOtherProgramsAsPngAndAsTheFileSaveAsWrites) {
  Click(Slot(0));
  Keys("ctrl+c");
  ASSERT_TRUE(kp::testing::WaitUntil([&] {
    const std::vector<std::string> types = s_x->ClipboardTypes();
    return std::find(types.begin(), types.end(), "image/bmp") != types.end();
  })) << "nothing on the clipboard";
  const std::vector<std::string> types = s_x->ClipboardTypes();
  EXPECT_NE(std::find(types.begin(), types.end(), "image/png"), types.end());
  const auto bmp = s_x->ClipboardBytes("image/bmp");
  ASSERT_TRUE(bmp.has_value());
  EXPECT_EQ(*bmp, kp::testing::ReadFileBytes(Exported(0))) << "the bytes of the slot's picture as a bitmap file";
  const auto png = s_x->ClipboardBytes("image/png");
  ASSERT_TRUE(png.has_value());
  EXPECT_TRUE(SamePicture(*png, *bmp));
}

TEST_F(Desktop, WhatOtherProgramsCopiedIsPastedIntoTheSlotWithTheFocusAndThePreviewFollows) {
  const Bytes red = kp::testing::BitmapFile24(40, 30, [](int, int) { return 0xC01020u; });
  const std::string file = m_folder + "/red.bmp";
  ASSERT_TRUE(kp::testing::WriteFileBytes(file, red));
  const std::string uri = kp::testing::FileUri(file) + "\r\n";
  const struct {
    const char* what;
    std::string type;
    Bytes bytes;
    int slot;
    std::uint32_t shown;
  } rows[] = {
      {"a file copied in a file manager", "text/uri-list", Bytes(uri.begin(), uri.end()), 1, 0xC01020},
      {"a picture copied in a paint program", "image/png",
       kp::testing::PngFile(30, 20, [](int, int) { return 0x20C040u; }), 2, 0x20C040},
  };
  for (const auto& row : rows) {
    Click(Slot(row.slot));
    const POINT slot = Middle(Slot(row.slot)), preview = Middle(kPreview);
    EXPECT_TRUE(s_x->ServeClipboardUntil(
        {{row.type, row.bytes}}, [&] { Keys("ctrl+v"); },
        [&] {
          return s_x->ScreenPixel(slot.x, slot.y) == row.shown && s_x->ScreenPixel(preview.x, preview.y) == row.shown;
        }))
        << row.what;
  }
}

TEST_F(Desktop, ASlotDraggedOutHandsOverItsBitmapFileAndItsPicture) {
  const POINT from = Middle(Slot(3));
  kp::testing::XClient::Dropped dropped;
  std::string why;
  ASSERT_TRUE(s_x->DragToOwnWindow(from.x, from.y, 60, 60, &dropped, &why)) << why;
  for (const char* type : {"text/uri-list", "image/png", "image/bmp"})
    EXPECT_NE(std::find(dropped.types.begin(), dropped.types.end(), type), dropped.types.end()) << type;
  std::string uri(dropped.uriList.begin(), dropped.uriList.end());
  while (!uri.empty() && (uri.back() == '\n' || uri.back() == '\r')) uri.pop_back();
  ASSERT_EQ(uri.rfind("file:///", 0), 0u) << uri;
  const std::string path = uri.substr(7);
  EXPECT_EQ(fs::path(path).filename(), "texture.bmp");
  EXPECT_EQ(kp::testing::ReadFileBytes(path), kp::testing::ReadFileBytes(Exported(3)))
      << "the file a file manager copies is the one Save As writes";
  EXPECT_TRUE(SamePicture(dropped.png, kp::testing::ReadFileBytes(Exported(3))));
}

TEST_F(Desktop, ASlotDraggedOntoAnotherSlotPutsItsPictureThere) {
  const std::uint32_t four = Centre(kp::testing::ReadFileBytes(Exported(4)));
  ASSERT_NE(four, Centre(kp::testing::ReadFileBytes(Exported(5))));
  const POINT from = Middle(Slot(4)), to = Middle(Slot(5));
  s_x->Drag(from.x, from.y, to.x, to.y);
  EXPECT_TRUE(ShowsColour(Slot(5), four));
}

}  // namespace
