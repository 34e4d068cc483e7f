#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/afx/file_dialog.h"
#include "platform/gdi/gdi.h"
#include "platform/qt/window_system.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/clipboard_driver.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/temp_environment.h"
#include "tests/control/tavlet_fixture.h"

namespace tavlet_host {
namespace {

using kp::com::ComPtr;
using kp::testing::MenuItemSeen;
using kp::testing::WhenModalWindowOpens;
using namespace tavlet;

using TavletCommands = TavletTest;

// The property page's check box, as the frame shows it.
constexpr int kInitiallyDroppableCheckBox = 201;

// Right-clicks the control and answers its context menu with `choose`
// (nothing: the menu is closed); the items as the menu showed them.
std::vector<MenuItemSeen> ChooseFromMenu(CHostedTavlet& control, const std::string& choose) {
  std::vector<MenuItemSeen> seen;
  kp::testing::AnswerNextPopupMenu(choose, &seen);
  kp::testing::RightClickAt(control.m_hWnd, POINT{5, 5});
  kp::testing::ProcessEvents();
  return seen;
}

// A 3 x 2 bitmap whose pixels carry junk in their ignored top byte.
void Give3x2(CHostedTavlet& control) {
  LONG pixels[] = {
      static_cast<LONG>(0xFF010203), static_cast<LONG>(0xEE040506), static_cast<LONG>(0xDD070809),  // bottom row
      static_cast<LONG>(0xCC0A0B0C), static_cast<LONG>(0xBB0D0E0F), static_cast<LONG>(0xAA101112),  // top row
  };
  ASSERT_TRUE(control.RecreateBitmap(pixels, 3, 2));
}

TEST_F(TavletCommands, TheContextMenuIsGreyedWhileEmptyAndTakesTheFocus) {
  kp::testing::ClearClipboard();
  WithHost([](CHostDlg& dlg) {
    std::vector<MenuItemSeen> seen = ChooseFromMenu(dlg.m_slot, "");
    ASSERT_EQ(seen.size(), 6u);
    struct Row {
      const char* text;
      const char* statusTip;
    } rows[] = {{"Save &As...", "Save the displayed bitmap with a new name"},
                {"Clear Contents", ""},
                {"&Properties...", "Show properties of the displayed bitmap"},
                {"", ""},
                {"Copy", "Copy the displayed bitmap to the Clipboard"},
                {"Paste", "Replace the displayed bitmap with the picture or file on the Clipboard"}};
    for (std::size_t i = 0; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].separator, i == 3);
      EXPECT_EQ(seen[i].text, rows[i].text);
      if (!seen[i].separator) {
        EXPECT_FALSE(seen[i].enabled) << rows[i].text;
      }
      EXPECT_EQ(seen[i].statusTip, rows[i].statusTip);
    }
    EXPECT_EQ(CWnd::GetFocus()->GetSafeHwnd(), dlg.m_slot.m_hWnd) << "the right click took the focus";
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_SLOT});

    LONG pixel = 1;
    ASSERT_TRUE(dlg.m_slot.RecreateBitmap(&pixel, 1, 1));
    seen = ChooseFromMenu(dlg.m_slot, "");
    ASSERT_EQ(seen.size(), 6u);
    for (std::size_t i : {0, 1, 2, 4}) EXPECT_TRUE(seen[i].enabled) << seen[i].text;
    EXPECT_FALSE(seen[5].enabled) << "nothing to paste";
  });
}

TEST_F(TavletCommands, SaveAsWritesA24BitFileWithEveryHeaderFieldAndItsPixels) {
  const std::string folder = kp::testing::TemporaryRoot();
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerFileDialog(folder + "/saved");
  WithHost([&](CHostDlg& dlg) {
    Give3x2(dlg.m_slot);
    ChooseFromMenu(dlg.m_slot, "Save &As...");
  });
  ASSERT_EQ(prompts.FileDialogs().size(), 1u);
  const kp::prompts::FileDialogRequest& request = prompts.FileDialogs()[0];
  EXPECT_TRUE(request.open) << "the open kind: its button reads Open";
  EXPECT_EQ(request.title, "Specify the name of the bitmap file to save");
  EXPECT_EQ(request.initialName, "texture.bmp");
  EXPECT_EQ(request.defaultExtension, "bmp");
  EXPECT_TRUE(request.flags & OFN_HIDEREADONLY);
  EXPECT_EQ(request.filter, "Windows Bitmap Files (*.bmp) | *.bmp");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].patterns, std::vector<std::string>{"*.bmp"});
  EXPECT_TRUE(prompts.MessageBoxes().empty());

  const std::vector<BYTE> file = kp::testing::ReadFileBytes(folder + "/saved.bmp");
  ASSERT_EQ(file.size(), 78u) << "54 + 2 x 12";
  EXPECT_EQ(kp::testing::BitmapFile24HeaderMismatches(file, 3, 2), "");
  // Rows of 9 pixel bytes (blue, green, red; the top byte dropped) and 3
  // filler bytes, the bottom row first.
  const std::vector<BYTE> pixels(file.begin() + 54, file.end());
  const std::vector<BYTE> expected = {0x03, 0x02, 0x01, 0x06, 0x05, 0x04, 0x09, 0x08, 0x07,
                                      0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11, 0x10};
  for (int row = 0; row < 2; ++row)
    EXPECT_EQ(std::vector<BYTE>(pixels.begin() + 12 * row, pixels.begin() + 12 * row + 9),
              std::vector<BYTE>(expected.begin() + 9 * row, expected.begin() + 9 * row + 9))
        << "row " << row;

  // And it loads back with the same pixels.
  kp::gdi::ScopedBitmap loaded(static_cast<HBITMAP>(::LoadImage(nullptr, (folder + "/saved.bmp").c_str(), IMAGE_BITMAP,
                                                                0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(PixelOf(loaded.get(), 0, 1), 0x010203u);
  EXPECT_EQ(PixelOf(loaded.get(), 2, 1), 0x070809u);
  EXPECT_EQ(PixelOf(loaded.get(), 0, 0), 0x0A0B0Cu);
  EXPECT_EQ(PixelOf(loaded.get(), 2, 0), 0x101112u);
}

TEST_F(TavletCommands, SaveAsReplacesAnExistingFileWithoutAskingAndCancelWritesNothing) {
  const std::string existing = WriteTemporaryFile("existing.bmp", std::vector<BYTE>(500, 0xAB));
  kp::testing::ScriptedPrompts prompts;
  prompts.CancelFileDialog().AnswerFileDialog(existing);
  WithHost([&](CHostDlg& dlg) {
    Give3x2(dlg.m_finder);
    ChooseFromMenu(dlg.m_finder, "Save &As...");
    EXPECT_EQ(kp::testing::ReadFileBytes(existing).size(), 500u) << "cancelled";
    ChooseFromMenu(dlg.m_finder, "Save &As...");
  });
  EXPECT_TRUE(prompts.ScriptDone());
  EXPECT_TRUE(prompts.MessageBoxes().empty()) << "no question before replacing";
  EXPECT_EQ(kp::testing::ReadFileBytes(existing).size(), 78u);
}

TEST_F(TavletCommands, AFailedSaveTellsWhyAndLeavesTheEarlierFileAsItWas) {
  const std::string folder = kp::testing::TemporaryRoot() + "/failing";
  std::filesystem::create_directory(folder);
  const std::vector<BYTE> earlier(40, 0x5A);
  const std::string existing = folder + "/earlier.bmp";
  WriteTemporaryFile("failing/earlier.bmp", earlier);
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerFileDialog(kp::testing::TemporaryRoot() + "/no such folder/x.bmp").AnswerMessageBox(IDOK);
  prompts.AnswerFileDialog(existing).AnswerMessageBox(IDOK);
  WithHost([&](CHostDlg& dlg) {
    Give3x2(dlg.m_slot);
    ChooseFromMenu(dlg.m_slot, "Save &As...");

    // Writes beyond 20 bytes fail (EFBIG) while the file is being written.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 20;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ChooseFromMenu(dlg.m_slot, "Save &As...");
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);
  });
  EXPECT_TRUE(prompts.ScriptDone());
  ASSERT_EQ(prompts.MessageBoxes().size(), 2u);
  EXPECT_EQ(prompts.MessageBoxes()[0].text, "Unable to open file");
  EXPECT_EQ(prompts.MessageBoxes()[0].caption, "Tavlet");
  EXPECT_NE(prompts.MessageBoxes()[1].text.find("earlier.bmp"), std::string::npos)
      << "the framework's file error names the file: " << prompts.MessageBoxes()[1].text;
  EXPECT_EQ(kp::testing::ReadFileBytes(existing), earlier) << "the earlier file is untouched";
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"earlier.bmp"}) << "no partial file is left behind";
}

TEST_F(TavletCommands, ClearAsksFirstAndOnYesEmptiesTheControlButKeepsTheSize) {
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDNO).AnswerMessageBox(IDYES);
  WithHost([&](CHostDlg& dlg) {
    Give3x2(dlg.m_landscape);
    const LONG held = dlg.m_landscape.GetBitmapHandle();
    ChooseFromMenu(dlg.m_landscape, "Clear Contents");
    dlg.m_changes.clear();  // the right click's focus arrival
    EXPECT_EQ(dlg.m_landscape.GetBitmapHandle(), held) << "No keeps the bitmap";

    ChooseFromMenu(dlg.m_landscape, "Clear Contents");
    EXPECT_EQ(dlg.m_landscape.GetBitmapHandle(), 0);
    EXPECT_EQ(::GetObjectType(Long32ToHandle<HBITMAP>(static_cast<std::uint32_t>(held))), 0u) << "released";
    EXPECT_EQ(dlg.m_changes, std::vector<int>{IDC_LANDSCAPE}) << "Yes raises BmpChange once";

    std::vector<MenuItemSeen> seen = ChooseFromMenu(dlg.m_landscape, "");
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_FALSE(seen[2].enabled) << "Properties is greyed again";
    kp::testing::Pixels shown = kp::testing::GrabWindow(dlg.m_landscape.m_hWnd);
    EXPECT_EQ(shown.At(shown.width / 2, shown.height / 2) & 0xFFFFFF, 0xFFFFFFu) << "the empty marker";
  });
  ASSERT_EQ(prompts.MessageBoxes().size(), 2u);
  for (const auto& box : prompts.MessageBoxes()) {
    EXPECT_EQ(box.text, "Clear image from memory?");
    EXPECT_EQ(box.caption, "Tavlet");
    EXPECT_EQ(box.type & 0xF, static_cast<UINT>(MB_YESNO));
  }
}

TEST_F(TavletCommands, ThePropertiesDialogShowsTheSizeRecordedAtIntake) {
  WithHost([](CHostDlg& dlg) {
    Give3x2(dlg.m_slot);
    std::string width, height;
    bool widthReadOnly = false;
    WhenModalWindowOpens("Properties...", [&](HWND window) {
      width = kp::qt::GetWindowText(kp::qt::GetDlgItem(window, 206));
      height = kp::qt::GetWindowText(kp::qt::GetDlgItem(window, 207));
      widthReadOnly = kp::testing::IsReadOnlyEdit(kp::qt::GetDlgItem(window, 206));
      kp::testing::Click(kp::qt::GetDlgItem(window, IDOK));
    });
    ChooseFromMenu(dlg.m_slot, "&Properties...");
    EXPECT_EQ(width, "3");
    EXPECT_EQ(height, "2");
    EXPECT_TRUE(widthReadOnly);
    EXPECT_EQ(dlg.m_slot.GetBitmapHandle() != 0, true) << "nothing in it changes the control";
  });
}

TEST_F(TavletCommands, ThePropertiesVerbShowsThePageAndApplyingItSetsThePropertyAndMarksTheControl) {
  WithHost([](CHostDlg& dlg) {
    ComPtr<IOleObject> object = ControlInterface<IOleObject>(dlg.m_slot, IID_IOleObject);
    ComPtr<IPersistStreamInit> persist = ControlInterface<IPersistStreamInit>(dlg.m_slot, IID_IPersistStreamInit);
    ASSERT_TRUE(object && persist);
    BOOL checkedWhenShown = FALSE;
    BOOL droppableAfterApply = TRUE;
    std::string label;
    WhenModalWindowOpens("Tavlet Control Properties", [&](HWND frame) {
      HWND check = nullptr;
      for (HWND child : kp::qt::GetChildren(frame))
        if (HWND found = kp::qt::GetDlgItem(child, kInitiallyDroppableCheckBox)) check = found;
      ASSERT_NE(check, nullptr);
      label = kp::qt::GetWindowText(check);
      checkedWhenShown = static_cast<BOOL>(::SendMessage(check, BM_GETCHECK));
      kp::testing::Click(check);
      kp::testing::Click(kp::qt::GetDlgItem(frame, 0x3021));  // Apply
      droppableAfterApply = dlg.m_slot.GetInitiallyDroppable();
      kp::testing::Click(kp::qt::GetDlgItem(frame, IDOK));
    });
    // Verb 0 is the control's one verb, Properties.
    EXPECT_EQ(object->DoVerb(0, nullptr, nullptr, 0, dlg.m_hWnd, nullptr), S_OK);
    EXPECT_EQ(label, "Initially Droppable");
    EXPECT_TRUE(checkedWhenShown) << "the slot's record says 0x70";
    EXPECT_FALSE(droppableAfterApply);
    EXPECT_EQ(persist->IsDirty(), S_OK) << "the control is marked modified";
  });
}

}  // namespace
}  // namespace tavlet_host
