#include "tests/editor/editor_journey.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "editor/ui/editor_ids.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/gdi/gdi.h"
#include "platform/qt/window_system.h"
#include "platform/testing/run_program.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/user/window_functions.h"

extern char** environ;

namespace editor_journey {

HeldElsewhere::HeldElsewhere(const std::string& path, UINT flags) {
  int toChild[2];
  int fromChild[2];
  if (::pipe(toChild) != 0) return;
  if (::pipe(fromChild) != 0) {
    ::close(toChild[0]);
    ::close(toChild[1]);
    return;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, toChild[1]);
  posix_spawn_file_actions_addclose(&actions, fromChild[0]);
  std::string program = HOLD_FILE_PROGRAM;
  std::string target = path;
  std::string flagText = std::to_string(flags);
  char* argv[] = {program.data(), target.data(), flagText.data(), nullptr};
  if (posix_spawn(&m_pid, HOLD_FILE_PROGRAM, &actions, nullptr, argv, environ) != 0) m_pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  ::close(toChild[0]);
  ::close(fromChild[1]);
  m_release = toChild[1];
  char line[16] = {};
  std::size_t got = 0;
  while (got < sizeof line - 1) {
    ssize_t n = ::read(fromChild[0], line + got, 1);
    if (n <= 0 || line[got] == '\n') break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fromChild[0]);
  m_holding = std::string(line, got) == "held";
}

HeldElsewhere::~HeldElsewhere() {
  if (m_release >= 0) ::close(m_release);
  if (m_pid > 0) ::waitpid(m_pid, nullptr, 0);
}

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

std::string EditorJourney::WriteShapesFile(sample_shapes::ShapesFileBuilder& builder, ULONGLONG length) {
  static int files = 0;
  std::string path = kp::testing::TemporaryRoot() + "/shapes-" + std::to_string(++files) + ".shp2";
  builder.WriteFile(path, length);
  return path;
}

std::vector<BYTE> EditorJourney::FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
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
  picture.pixels.resize(static_cast<std::size_t>(picture.width * picture.height));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  kp::gdi::ScopedMemoryDC dc(nullptr);
  EXPECT_EQ(
      GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(picture.height), picture.pixels.data(), &info, DIB_RGB_COLORS),
      picture.height);
  for (DWORD& pixel : picture.pixels) pixel &= 0xFFFFFF;
  return picture;
}

std::vector<std::string> EditorJourney::Messages() const {
  std::vector<std::string> texts;
  for (const auto& box : m_prompts.MessageBoxes()) texts.push_back(box.text);
  return texts;
}

}  // namespace editor_journey
