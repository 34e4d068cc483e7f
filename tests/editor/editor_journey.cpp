#include "tests/editor/editor_journey.h"

#include "editor/ui/editor_ids.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/gdi/gdi.h"
#include "platform/qt/window_system.h"
#include "platform/testing/bitmap_pixels.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/user/window_functions.h"

namespace editor_journey {

void EditorJourney::SetUp() {
  kp::testing::UseFreshRegistry();
  ASSERT_TRUE(AfxOleInit());
  AfxEnableControlContainer();
  ASSERT_EQ(kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
}

INT_PTR EditorJourney::WithEditor(const std::function<void(CJourneyDlg&)>& steps) {
  const int objects = kp::gdi::LiveObjectCount();
  INT_PTR result = -1;
  {
    CJourneyDlg dlg;
    result = kp::testing::RunModalWith(dlg, [&] {
      kp::testing::ProcessEvents();
      steps(dlg);
      kp::testing::ProcessEvents();
      if (kp::qt::IsModalLoopRunning(dlg.m_hWnd)) dlg.EndDialog(kEndedByTheTest);
    });
    EXPECT_NE(result, -1) << "the dialog could not be made";
  }
  EXPECT_EQ(kp::gdi::LiveObjectCount(), objects) << "GDI objects outlived the dialog";
  return result;
}

INT_PTR EditorJourney::WithEditor(const std::string& path, const std::function<void(CJourneyDlg&)>& steps) {
  return WithEditor([&](CJourneyDlg& dlg) {
    SelectShapesFile(dlg, path);
    steps(dlg);
  });
}

std::string EditorJourney::WriteShapesFile(sample_shapes::ShapesFileBuilder& builder, ULONGLONG length) {
  static int files = 0;
  std::string path = kp::testing::TemporaryRoot() + "/shapes-" + std::to_string(++files) + ".shp2";
  builder.WriteFile(path, length);
  return path;
}

std::string EditorJourney::WriteBitmapFile(const std::string& name, int width, int height,
                                           const kp::testing::PictureColour& rgbAt) {
  std::string path = kp::testing::TemporaryRoot() + "/" + name;
  sample_shapes::WriteBytes(path, kp::testing::BitmapFile24(width, height, rgbAt));
  return path;
}

void EditorJourney::SelectShapesFile(CJourneyDlg& dlg, const std::string& path) {
  m_prompts.AnswerFileDialog(path);
  ClickItem(dlg, IDC_SELECT_SHAPES_FILE);
}

void EditorJourney::ChooseSet(CJourneyDlg& dlg, int setIndex) {
  kp::testing::ChooseComboItem(Item(dlg, IDC_SET_LIST), setIndex);
  kp::testing::ProcessEvents();
}

void EditorJourney::ClickItem(CJourneyDlg& dlg, int id, unsigned modifiers) {
  kp::testing::Click(Item(dlg, id), modifiers);
  kp::testing::ProcessEvents();
}

void EditorJourney::SetGammaBox(CJourneyDlg& dlg, bool checked) {
  if ((::SendMessage(Item(dlg, IDC_DISABLE_GAMMA), BM_GETCHECK) == BST_CHECKED) != checked)
    ClickItem(dlg, IDC_DISABLE_GAMMA);
}

bool EditorJourney::DropOn(CWnd& control, const std::string& path) {
  bool accepted = kp::testing::DropFiles(control.m_hWnd, POINT{4, 4}, {path});
  kp::testing::ProcessEvents();
  return accepted;
}

std::string EditorJourney::ItemText(CJourneyDlg& dlg, int id) {
  CString text;
  dlg.GetDlgItemText(id, text);
  return text.str();
}

bool EditorJourney::Visible(CJourneyDlg& dlg, int id) { return dlg.GetDlgItem(id)->IsWindowVisible() != FALSE; }
bool EditorJourney::Enabled(CJourneyDlg& dlg, int id) { return dlg.GetDlgItem(id)->IsWindowEnabled() != FALSE; }

Picture EditorJourney::PictureOf(CTavlet& control) {
  Picture picture;
  HBITMAP bitmap = Long32ToHandle<HBITMAP>(static_cast<DWORD>(control.GetBitmapHandle()));
  BITMAP description{};
  if (bitmap == nullptr || GetObject(bitmap, sizeof description, &description) == 0) return picture;
  picture.width = description.bmWidth;
  picture.height = description.bmHeight;
  picture.pixels = kp::testing::BitmapPixels(bitmap, picture.width, picture.height);
  for (DWORD& pixel : picture.pixels) pixel &= 0xFFFFFF;
  return picture;
}

std::vector<std::string> EditorJourney::Messages() const {
  std::vector<std::string> texts;
  for (const auto& box : m_prompts.MessageBoxes()) texts.push_back(box.text);
  return texts;
}

}  // namespace editor_journey
