#pragma once
// The fixture of the editor's journeys: each test gets its own registry
// with the real Tavlet.ocx registered by the real regsvr, OLE initialised
// and dialogs able to host controls, and runs the real main dialog,
// offscreen, with scripted prompts. Shapes files are made by the builder in
// the test program's temporary folder.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_kinds.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/testing/bmp_writer.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/held_elsewhere.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace editor_journey {

// The main dialog with its protected state open to the journeys.
class CJourneyDlg : public CKestrowDlg {
 public:
  using CKestrowDlg::m_pAutoProxy;
  using CKestrowDlg::m_pImageFinder;
  using CKestrowDlg::m_strShapesFile;
};

// A picture as a control holds it: width x height values 0x00RRGGBB,
// bottom row first; empty when the control holds no bitmap.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
  bool operator==(const Picture&) const = default;
};

class EditorJourney : public ::testing::Test {
 protected:
  void SetUp() override;

  // Runs the main dialog with `steps` inside its modal loop, ends it after
  // them (result kEndedByTheTest) unless they ended it, and returns the
  // modal result; then checks that no GDI object outlived the dialog.
  static constexpr INT_PTR kEndedByTheTest = 4242;
  INT_PTR WithEditor(const std::function<void(CJourneyDlg&)>& steps);
  // The same, with the shapes file `path` selected first.
  INT_PTR WithEditor(const std::string& path, const std::function<void(CJourneyDlg&)>& steps);

  // Writes the builder's file (exactly `length` bytes) as a new file of the
  // test and returns its path.
  static std::string WriteShapesFile(sample_shapes::ShapesFileBuilder& builder,
                                     ULONGLONG length = kExpectedShapesFileSize);
  static std::vector<BYTE> FileBytes(const std::string& path) { return kp::testing::ReadFileBytes(path); }
  // A 24-bit bitmap file whose pixel (x, y), y = 0 at the top, is
  // rgbAt(x, y) as 0x00RRGGBB.
  static std::string WriteBitmapFile(const std::string& name, int width, int height,
                                     const kp::testing::PictureColour& rgbAt);

  // The user's actions, through real input.
  void SelectShapesFile(CJourneyDlg& dlg, const std::string& path);
  static void ChooseSet(CJourneyDlg& dlg, int setIndex);
  static void ClickItem(CJourneyDlg& dlg, int id, unsigned modifiers = kp::testing::NoModifier);
  static void SetGammaBox(CJourneyDlg& dlg, bool checked);
  static bool DropOn(CWnd& control, const std::string& path);

  static HWND Item(CJourneyDlg& dlg, int id) { return ::GetDlgItem(dlg.m_hWnd, id); }
  static std::string ItemText(CJourneyDlg& dlg, int id);
  static bool Visible(CJourneyDlg& dlg, int id);
  static bool Enabled(CJourneyDlg& dlg, int id);
  // Any hosted drop control's picture, asked through its dispatch interface.
  static Picture PictureOf(CTavlet& control);

  // Every prompt of the test is answered from here.
  kp::testing::ScriptedPrompts m_prompts;
  // Message box texts shown so far.
  std::vector<std::string> Messages() const;
};

using kp::testing::HeldElsewhere;

}  // namespace editor_journey
