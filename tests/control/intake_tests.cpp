#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/temp_environment.h"
#include "tests/control/tavlet_fixture.h"

namespace tavlet_host {
namespace {

using namespace tavlet;
using kp::testing::BitmapFile24;

using TavletIntake = TavletTest;

constexpr char kInvalidDrop[] =
    "Invalid file dropped-- file must be of type 'bmp'.\n"
    "If file is a 'bmp' file, try converting it to a\n"
    "different color-depth or compression mode.";

HBITMAP Handle(LONG value) { return Long32ToHandle<HBITMAP>(static_cast<std::uint32_t>(value)); }

BITMAP Describe(LONG handle) {
  BITMAP described{};
  EXPECT_EQ(::GetObject(Handle(handle), sizeof described, &described), static_cast<int>(sizeof described));
  return described;
}

TEST_F(TavletIntake, PixelsArriveBottomRowFirstLeftToRight) {
  WithHost([](CHostDlg& dlg) {
    EXPECT_EQ(dlg.m_slot.GetBitmapHandle(), 0) << "a new control is empty";
    LONG pixels[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF};
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(pixels, 2, 2));
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_SLOT});
    const LONG handle = dlg.m_slot.GetBitmapHandle();
    ASSERT_NE(handle, 0);
    BITMAP described = Describe(handle);
    EXPECT_EQ(described.bmWidth, 2);
    EXPECT_EQ(described.bmHeight, 2);
    EXPECT_EQ(described.bmBitsPixel, 32);
    struct Row {
      int x, y;  // y from the top
      DWORD rgb;
      const char* what;
    } rows[] = {{0, 1, 0x0000FF, "bottom-left blue"},
                {1, 1, 0x00FF00, "bottom-right green"},
                {0, 0, 0xFF0000, "top-left red"},
                {1, 0, 0xFFFFFF, "top-right white"}};
    for (const Row& row : rows) EXPECT_EQ(PixelOf(Handle(handle), row.x, row.y), row.rgb) << row.what;
    pixels[0] = 0;
    EXPECT_EQ(PixelOf(Handle(handle), 0, 1), 0x0000FFu) << "the control copied the array";
  });
}

TEST_F(TavletIntake, SizesThatAreNotPositiveOrTooLargeAreRefusedWithoutAnEvent) {
  WithHost([](CHostDlg& dlg) {
    LONG pixels[4] = {1, 2, 3, 4};
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(pixels, 1, 1));
    const LONG held = dlg.m_slot.GetBitmapHandle();
    dlg.m_changes.clear();
    struct Row {
      SHORT sx, sy;
    } rows[] = {{0, 5}, {4, -4}, {-1, 1}, {0, 0}, {-32768, -32768}};
    for (const Row& row : rows) EXPECT_FALSE(dlg.m_slot.RecreateBitmap(pixels, row.sx, row.sy)) << row.sx << "x" << row.sy;
    // 32767 x 32767 pixels is a section the platform refuses before any
    // pixel is read.
    EXPECT_FALSE(dlg.m_slot.RecreateBitmap(pixels, 32767, 32767));
    EXPECT_TRUE(dlg.m_changes.empty());
    EXPECT_EQ(dlg.m_slot.GetBitmapHandle(), held) << "the bitmap held stays";
  });
}

TEST_F(TavletIntake, AHandedBitmapBecomesTheControlsAndGoesStaleAtTheNextIntake) {
  WithHost([](CHostDlg& dlg) {
    kp::gdi::ScopedBitmap made(::CreateBitmap(3, 5, 1, 32, nullptr));
    const LONG handed = static_cast<LONG>(HandleToLong32(made.get()));
    ASSERT_TRUE(dlg.m_preview.SetBitmapHandle(handed));
    made.release();  // the control's now
    EXPECT_EQ(dlg.m_preview.GetBitmapHandle(), handed);
    EXPECT_EQ(dlg.ChangesOf(IDC_PREVIEW), 1);

    LONG pixel = 0x123456;
    ASSERT_TRUE(dlg.m_preview.RecreateBitmap(&pixel, 1, 1));
    EXPECT_EQ(::GetObjectType(Handle(handed)), 0u) << "the replaced bitmap was released";
    EXPECT_NE(dlg.m_preview.GetBitmapHandle(), handed);
    EXPECT_EQ(dlg.ChangesOf(IDC_PREVIEW), 2);
  });
}

TEST_F(TavletIntake, HandingTheControlItsOwnBitmapKeepsItAlive) {
  WithHost([](CHostDlg& dlg) {
    LONG pixels[] = {0x00ABCDEF, 0x00123456};
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(pixels, 2, 1));
    const LONG own = dlg.m_slot.GetBitmapHandle();
    dlg.m_changes.clear();
    EXPECT_TRUE(dlg.m_slot.SetBitmapHandle(own));
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_SLOT}) << "a successful intake, raised once";
    EXPECT_EQ(dlg.m_slot.GetBitmapHandle(), own);
    EXPECT_EQ(::GetObjectType(Handle(own)), static_cast<DWORD>(OBJ_BITMAP)) << "not deleted";
    EXPECT_EQ(PixelOf(Handle(own), 0, 0), 0xABCDEFu);
    kp::testing::ProcessEvents();  // and it still paints
  });
}

TEST_F(TavletIntake, NoHandleAnInvalidOneOrAnotherKindOfObjectIsRefused) {
  WithHost([](CHostDlg& dlg) {
    LONG pixel = 0x00FF00;
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(&pixel, 1, 1));
    const LONG own = dlg.m_slot.GetBitmapHandle();
    dlg.m_changes.clear();

    EXPECT_FALSE(dlg.m_slot.SetBitmapHandle(0));

    kp::gdi::ScopedBitmap gone(::CreateBitmap(2, 2, 1, 32, nullptr));
    const LONG stale = static_cast<LONG>(HandleToLong32(gone.get()));
    gone.reset();
    EXPECT_FALSE(dlg.m_slot.SetBitmapHandle(stale));

    // A pen describes itself too, but it is not a bitmap: refused and
    // released, as any invalid handle is.
    HPEN pen = ::CreatePen(PS_SOLID, 0, RGB(1, 2, 3));
    EXPECT_FALSE(dlg.m_slot.SetBitmapHandle(static_cast<LONG>(HandleToLong32(pen))));
    EXPECT_EQ(::GetObjectType(pen), 0u);

    EXPECT_TRUE(dlg.m_changes.empty());
    EXPECT_EQ(dlg.m_slot.GetBitmapHandle(), own);
    EXPECT_EQ(::GetObjectType(Handle(own)), static_cast<DWORD>(OBJ_BITMAP));
  });
}

TEST_F(TavletIntake, ANamedFileLoadsByItsContentWhateverItsName) {
  const std::string bitmap =
      WriteTemporaryFile("picture.dat", BitmapFile24(5, 3, [](int x, int y) { return DWORD(0x00100000 * x + y); }));
  const std::string text = WriteTemporaryFile("text.bmp", {'h', 'e', 'l', 'l', 'o', '\n'});
  std::vector<BYTE> cut = BitmapFile24(5, 3, [](int, int) { return DWORD(0x808080); });
  cut.resize(cut.size() - 7);
  const std::string truncated = WriteTemporaryFile("truncated.bmp", cut);
  kp::testing::ScriptedPrompts prompts;
  WithHost([&](CHostDlg& dlg) {
    ASSERT_TRUE(dlg.m_finder.RecreateBitmapFromFile(bitmap.c_str()));
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_FINDER});
    const LONG loaded = dlg.m_finder.GetBitmapHandle();
    BITMAP described = Describe(loaded);
    EXPECT_EQ(described.bmWidth, 5);
    EXPECT_EQ(described.bmHeight, 3);
    EXPECT_EQ(described.bmBitsPixel, 24) << "the file's own depth";
    EXPECT_EQ(PixelOf(Handle(loaded), 4, 2), 0x400002u);

    dlg.m_changes.clear();
    for (const std::string& path : {text, truncated, kp::testing::TemporaryRoot() + "/missing.bmp", std::string()})
      EXPECT_FALSE(dlg.m_finder.RecreateBitmapFromFile(path.c_str())) << path;
    EXPECT_TRUE(dlg.m_changes.empty());
    EXPECT_EQ(dlg.m_finder.GetBitmapHandle(), loaded);
  });
  EXPECT_TRUE(prompts.MessageBoxes().empty()) << "this path shows no message";
}

TEST_F(TavletIntake, EachSuccessfulIntakeRaisesBmpChangeOnceEvenForTheSamePixels) {
  const std::string file = WriteTemporaryFile("same.bmp", BitmapFile24(2, 2, [](int, int) { return DWORD(7); }));
  WithHost([&](CHostDlg& dlg) {
    LONG pixels[4] = {7, 7, 7, 7};
    ASSERT_TRUE(dlg.m_landscape.RecreateBitmap(pixels, 2, 2));
    ASSERT_TRUE(dlg.m_landscape.RecreateBitmap(pixels, 2, 2));
    ASSERT_TRUE(dlg.m_landscape.RecreateBitmapFromFile(file.c_str()));
    ASSERT_TRUE(dlg.m_landscape.SetBitmapHandle(static_cast<LONG>(HandleToLong32(::CreateBitmap(2, 2, 1, 32, nullptr)))));
    ASSERT_TRUE(kp::testing::DropFiles(dlg.m_landscape.m_hWnd, POINT{3, 3}, {file}));
    kp::testing::ProcessEvents();
    EXPECT_EQ(dlg.m_changes, std::vector<int>(5, IDC_LANDSCAPE));
  });
}

TEST_F(TavletIntake, ADropTakesTheFirstFileOnlyAndABadOneShowsTheMessageAndChangesNothing) {
  const std::string good = WriteTemporaryFile("good.bmp", BitmapFile24(7, 2, [](int, int) { return DWORD(0x0000FF); }));
  const std::string other =
      WriteTemporaryFile("other.bmp", BitmapFile24(3, 9, [](int, int) { return DWORD(0x00FF00); }));
  const std::string text = WriteTemporaryFile("notes.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
  std::vector<BYTE> cut = BitmapFile24(7, 2, [](int, int) { return DWORD(0); });
  cut.resize(60);
  const std::string truncated = WriteTemporaryFile("cut.bmp", cut);
  const std::string renamed = WriteTemporaryFile("renamed.png", BitmapFile24(4, 4, [](int, int) { return DWORD(9); }));
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
  WithHost([&](CHostDlg& dlg) {
    const auto drop = [&](std::vector<std::string> files) {
      EXPECT_TRUE(kp::testing::DropFiles(dlg.m_slot.m_hWnd, POINT{5, 5}, files));
      kp::testing::ProcessEvents();
    };
    drop({good, other, text});
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_SLOT});
    const LONG held = dlg.m_slot.GetBitmapHandle();
    EXPECT_EQ(Describe(held).bmWidth, 7) << "the first file, not the others";
    EXPECT_EQ(Describe(held).bmHeight, 2);

    dlg.m_changes.clear();
    drop({text, good});  // a later loadable file does not help
    drop({truncated});
    EXPECT_TRUE(dlg.m_changes.empty());
    EXPECT_EQ(dlg.m_slot.GetBitmapHandle(), held) << "the bitmap held stays";

    drop({renamed});  // the name is not looked at
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_SLOT});
    EXPECT_EQ(Describe(dlg.m_slot.GetBitmapHandle()).bmWidth, 4);
  });
  ASSERT_EQ(prompts.MessageBoxes().size(), 2u);
  for (const auto& box : prompts.MessageBoxes()) {
    EXPECT_EQ(box.text, kInvalidDrop);
    EXPECT_EQ(box.caption, "Tavlet") << "the module's name";
    EXPECT_EQ(box.type & 0xF, static_cast<UINT>(MB_OK));
  }
}

TEST_F(TavletIntake, FocusArrivingByClickOrTabRaisesBmpChangeEachTimeEmptyOrNot) {
  WithHost([](CHostDlg& dlg) {
    HWND other = ::GetDlgItem(dlg.m_hWnd, IDC_OTHER);
    kp::testing::Click(dlg.m_preview.m_hWnd);
    EXPECT_EQ(CWnd::GetFocus()->GetSafeHwnd(), dlg.m_preview.m_hWnd);
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_PREVIEW}) << "an empty control too";
    kp::testing::Click(dlg.m_preview.m_hWnd);
    EXPECT_EQ(dlg.m_changes.size(), 1u) << "a click on the focused control is no new arrival";

    kp::testing::Click(other);
    kp::testing::Click(dlg.m_preview.m_hWnd);
    EXPECT_EQ(dlg.m_changes, (std::vector<int>{IDC_PREVIEW, IDC_PREVIEW}));

    // The button stands before the controls in tab order.
    dlg.m_changes.clear();
    kp::testing::Click(other);
    kp::testing::PressKey(dlg.m_hWnd, VK_TAB);
    kp::testing::ProcessEvents();
    EXPECT_EQ(CWnd::GetFocus()->GetSafeHwnd(), dlg.m_slot.m_hWnd);
    kp::testing::PressKey(dlg.m_hWnd, VK_TAB);
    kp::testing::ProcessEvents();
    EXPECT_EQ(dlg.m_changes, (std::vector<int>{IDC_SLOT, IDC_PREVIEW}));
  });
}

TEST_F(TavletIntake, NoGdiObjectOutlivesTheControls) {
  const int before = kp::gdi::LiveObjectCount();
  const std::string file = WriteTemporaryFile("any.bmp", BitmapFile24(3, 3, [](int, int) { return DWORD(1); }));
  WithHost([&](CHostDlg& dlg) {
    LONG pixels[16] = {};
    for (int id : kControlIds) ASSERT_TRUE(dlg.Control(id).RecreateBitmap(pixels, 4, 4));
    ASSERT_TRUE(dlg.m_slot.RecreateBitmapFromFile(file.c_str()));
    ASSERT_TRUE(dlg.m_preview.SetBitmapHandle(static_cast<LONG>(HandleToLong32(::CreateBitmap(8, 8, 1, 32, nullptr)))));
    kp::testing::Click(dlg.m_finder.m_hWnd);  // paints with pens and memory DCs
    kp::testing::ProcessEvents();
    EXPECT_GT(kp::gdi::LiveObjectCount(), before) << "the controls hold their bitmaps";
  });
  EXPECT_EQ(kp::gdi::LiveObjectCount(), before);
}

}  // namespace
}  // namespace tavlet_host
