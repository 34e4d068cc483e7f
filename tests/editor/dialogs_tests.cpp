// The About box and the Image Finder, opened from the main dialog.

#include <memory>

#include "editor/ui/about_dlg.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/image_finder_dlg.h"
#include "platform/qt/window_system.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

// The caption of the window that has the focus: inside a nested modal
// loop, the dialog that loop runs.
std::string ActiveCaption() {
  CWnd* active = CWnd::GetActiveWindow();
  if (active == nullptr) return {};
  CString caption;
  active->GetWindowText(caption);
  return caption.str();
}

// Watches from the event loop, while `open` runs, for a modal dialog other
// than the main one to become active; then records its caption, runs
// `inside` in it and, unless `inside` ended it, ends it with Esc. The watch
// ends with `open`, so nothing opened later is taken for it. Returns the
// caption, empty when nothing opened.
void Watch(CJourneyDlg& dlg, const std::shared_ptr<bool>& done, std::string* caption,
           const std::function<void()>& inside) {
  kp::testing::RunSoon([&dlg, done, caption, inside] {
    if (*done) return;
    CWnd* active = CWnd::GetActiveWindow();
    if (active == nullptr || active->m_hWnd == dlg.m_hWnd || !kp::qt::IsModalLoopRunning(active->m_hWnd)) {
      Watch(dlg, done, caption, inside);
      return;
    }
    *done = true;
    const HWND opened = active->m_hWnd;
    *caption = ActiveCaption();
    if (inside) inside();
    if (kp::qt::IsModalLoopRunning(opened)) kp::testing::PressKey(opened, VK_ESCAPE);
  });
}

std::string CaptionOfWhatOpens(CJourneyDlg& dlg, const std::function<void()>& open,
                               const std::function<void()>& inside = {}) {
  auto done = std::make_shared<bool>(false);
  std::string caption;
  Watch(dlg, done, &caption, inside);
  open();
  *done = true;
  kp::testing::ProcessEvents();
  return caption;
}

TEST_F(EditorJourney, TheWindowMenuTheSystemCommandsAndTheAboutCommandOpenTheAboutBox) {
  // clang-format off
  const struct {
    const char* how;
    std::function<void(CJourneyDlg&)> open;
  } rows[] = {
      {"window menu", [](CJourneyDlg& dlg) {
         std::vector<kp::testing::MenuItemSeen> seen;
         kp::testing::AnswerNextPopupMenu("&About Kestrow...", &seen);
         kp::testing::RightClickAt(dlg.m_hWnd, POINT{4, 300});
         // The entry comes last, after a separator of its own.
         ASSERT_GE(seen.size(), 2u);
         EXPECT_TRUE(seen[seen.size() - 2].separator);
         EXPECT_EQ(seen.back().text, "&About Kestrow...");
       }},
      {"system command 16", [](CJourneyDlg& dlg) { dlg.SendMessage(WM_SYSCOMMAND, 16, 0); }},
      {"system command 31", [](CJourneyDlg& dlg) { dlg.SendMessage(WM_SYSCOMMAND, 31, 0); }},
      {"About command", [](CJourneyDlg& dlg) { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0); }},
  };
  // clang-format on
  WithEditor([&](CJourneyDlg& dlg) {
    for (const auto& row : rows) EXPECT_EQ(CaptionOfWhatOpens(dlg, [&] { row.open(dlg); }), "About Kestrow") << row.how;
    EXPECT_EQ(CaptionOfWhatOpens(dlg, [&] { dlg.SendMessage(WM_SYSCOMMAND, 32, 0); }), "")
        << "system command 32 is not the About entry";
    EXPECT_TRUE(dlg.IsWindowVisible());
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, TheImageFinderWantsAFileAndKeepsItsValuesBetweenOpenings) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  WithEditor([&](CJourneyDlg& dlg) {
    // The button is shown only once a file is chosen; its command without one:
    m_prompts.AnswerMessageBox(IDOK);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_IMAGE_FINDER, BN_CLICKED), 0);
    kp::testing::ProcessEvents();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Select shapes file before using image finder"});
    EXPECT_EQ(dlg.m_pImageFinder, nullptr) << "nothing was opened";

    SelectShapesFile(dlg, path);
    ClickItem(dlg, IDC_LOAD_SET);
    const Picture slot0 = PictureOf(dlg.m_slot[0]);
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP, kp::testing::Control | kp::testing::Shift);
    ASSERT_TRUE(Visible(dlg, IDC_IMAGE_FINDER));
    Picture found;
    const std::string first = CaptionOfWhatOpens(
        dlg, [&] { ClickItem(dlg, IDC_IMAGE_FINDER); },
        [&] {
          ASSERT_NE(dlg.m_pImageFinder, nullptr);
          CImageFinderDlg& finder = *dlg.m_pImageFinder;
          EXPECT_EQ(finder.m_strShapesFile, path.c_str());
          // Header 17 is "Texture Set # 1": its image 0 is what slot 0 shows.
          kp::testing::TypeText(::GetDlgItem(finder.m_hWnd, CImageFinderDlg::IDC_FINDER_HEADER), "17");
          kp::testing::TypeText(::GetDlgItem(finder.m_hWnd, CImageFinderDlg::IDC_FINDER_IMAGE_NUMBER), "0");
          kp::testing::Click(::GetDlgItem(finder.m_hWnd, CImageFinderDlg::IDC_FINDER_GET_VALUES));
          kp::testing::Click(::GetDlgItem(finder.m_hWnd, CImageFinderDlg::IDC_FINDER_LOAD));
          kp::testing::ProcessEvents();
          found = PictureOf(finder.m_wndImage);
          // Enter presses Load, the button with the focus, and the dialog
          // stays; Escape closes it. What Load took stays for the next
          // opening all the same.
          kp::testing::PressKey(finder.m_hWnd, VK_RETURN);
          EXPECT_TRUE(kp::qt::IsModalLoopRunning(finder.m_hWnd));
        });
    EXPECT_EQ(found, slot0);
    EXPECT_EQ(found.width, 128);
    EXPECT_EQ(first, "Image Finder");
    CImageFinderDlg* const finder = dlg.m_pImageFinder.get();
    std::string header;
    const std::string second = CaptionOfWhatOpens(
        dlg, [&] { ClickItem(dlg, IDC_IMAGE_FINDER); },
        [&] {
          CString text;
          dlg.m_pImageFinder->GetDlgItemText(CImageFinderDlg::IDC_FINDER_HEADER, text);
          header = text.str();
        });
    EXPECT_EQ(second, "Image Finder");
    EXPECT_EQ(dlg.m_pImageFinder.get(), finder) << "one object for every opening";
    EXPECT_EQ(header, "17");
  });
}

}  // namespace
}  // namespace editor_journey
