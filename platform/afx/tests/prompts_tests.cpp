#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/afx/file_dialog.h"
#include "platform/afx/tests/test_dialog.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/ui_driver.h"

namespace afx_tests {
namespace {

using namespace kp::testing;

std::string TempPath(const std::string& name) { return kp::testing::TemporaryRoot() + "/" + name; }

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST(MessageBox, CaptionIsTheCallingModulesNameAndAnswersAreReturned) {
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDNO).AnswerMessageBox(IDYES);
  EXPECT_EQ(AfxMessageBox("Select shapes file before using image finder"), IDOK);
  EXPECT_EQ(AfxMessageBox("Clear image from memory?", MB_YESNO), IDNO);
  EXPECT_EQ(AfxMessageBox("Again?", MB_YESNO, 0, nullptr), IDYES);
  ASSERT_EQ(prompts.MessageBoxes().size(), 3u);
  std::string program = GetModuleBaseName(AfxGetInstanceHandle());
  EXPECT_EQ(program, "platform_afx_window_tests");
  EXPECT_EQ(prompts.MessageBoxes()[0].caption, program);
  EXPECT_EQ(prompts.MessageBoxes()[0].type, MB_OK);
  EXPECT_EQ(prompts.MessageBoxes()[1].text, "Clear image from memory?");
  EXPECT_EQ(prompts.MessageBoxes()[1].type, MB_YESNO);
  EXPECT_TRUE(prompts.ScriptDone());
}

TEST(MessageBox, AWindowsMessageBoxIsOwnedByItAndTakesAGivenCaption) {
  CTestDlg dlg;
  ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
  RunModalWith(dlg, [&] {
    dlg.MessageBox("Unable to open file");
    dlg.MessageBox("text", "Own caption", MB_OK | MB_ICONWARNING);
    dlg.EndDialog(IDOK);
  });
  ASSERT_EQ(prompts.MessageBoxes().size(), 2u);
  EXPECT_EQ(prompts.MessageBoxes()[0].caption, "platform_afx_window_tests");
  EXPECT_NE(prompts.MessageBoxes()[0].owner, nullptr);
  EXPECT_EQ(prompts.MessageBoxes()[1].caption, "Own caption");
}

TEST(FileDialog, OpenDialogShowsTheProgramsSettingsAndReturnsThePath) {
  std::string existing = TempPath("shapes.shp2");
  Touch(existing);
  ScriptedPrompts prompts;
  prompts.AnswerFileDialog(existing);
  CFileDialog dialog(TRUE, "shp2", "shapes.shp2", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT,
                     "Shapes Files (*.shp2)|*.shp2|All Files (*.*)|*.*||");
  dialog.m_ofn.lpstrTitle = "Please specify location of the 'shapes' file";
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetPathName(), existing.c_str());
  ASSERT_EQ(prompts.FileDialogs().size(), 1u);
  const auto& request = prompts.FileDialogs()[0];
  EXPECT_TRUE(request.open);
  EXPECT_EQ(request.title, "Please specify location of the 'shapes' file");
  EXPECT_EQ(request.initialName, "shapes.shp2");
  EXPECT_EQ(request.filter, "Shapes Files (*.shp2)|*.shp2|All Files (*.*)|*.*||");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[1].description, "All Files (*.*)");
  EXPECT_EQ(request.filters[1].patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(prompts.MessageBoxes().empty()) << "an open dialog never asks about overwriting";
}

TEST(FileDialog, CancelChangesNothing) {
  ScriptedPrompts prompts;
  prompts.CancelFileDialog();
  CFileDialog dialog(TRUE, "bmp", "texture.bmp", OFN_HIDEREADONLY, "Windows Bitmap Files (*.bmp) | *.bmp");
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(dialog.GetPathName(), "texture.bmp");
  ASSERT_EQ(prompts.FileDialogs()[0].filters.size(), 1u);
  EXPECT_EQ(prompts.FileDialogs()[0].filters[0].description, "Windows Bitmap Files (*.bmp)");
  EXPECT_EQ(prompts.FileDialogs()[0].filters[0].patterns, (std::vector<std::string>{"*.bmp"}));
}

TEST(FileDialog, TheDefaultExtensionIsAddedToANameWithoutOne) {
  struct Row {
    const char* typed;
    const char* path;
  } rows[] = {
      {"/tmp/texture", "/tmp/texture.bmp"},     {"/tmp/texture.bmp", "/tmp/texture.bmp"},
      {"/tmp/texture.png", "/tmp/texture.png"}, {"/tmp/dir.d/texture", "/tmp/dir.d/texture.bmp"},
      {"/tmp/.hidden", "/tmp/.hidden.bmp"},
  };
  for (const Row& row : rows) EXPECT_EQ(kp::afx::AddDefaultExtension(row.typed, "bmp"), row.path) << row.typed;
  EXPECT_EQ(kp::afx::AddDefaultExtension("/tmp/texture", ""), "/tmp/texture");
}

TEST(FileDialog, AMissingFileIsRefusedWhenItMustExist) {
  std::string existing = TempPath("present.shp2");
  Touch(existing);
  ScriptedPrompts prompts;
  prompts.AnswerFileDialog(TempPath("absent")).AnswerMessageBox(IDOK).AnswerFileDialog(TempPath("present"));
  CFileDialog dialog(TRUE, "shp2", nullptr, OFN_FILEMUSTEXIST, "Shapes Files (*.shp2)|*.shp2||");
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.GetPathName(), existing.c_str());
  ASSERT_EQ(prompts.MessageBoxes().size(), 1u);
  EXPECT_EQ(prompts.MessageBoxes()[0].text,
            "absent.shp2\nFile not found.\nPlease verify the correct file name was given.");
  EXPECT_EQ(prompts.FileDialogs()[1].initialName, TempPath("absent.shp2")) << "asked again with what was typed";
}

TEST(FileDialog, SavingOverAFileAsksFirstWhenTheProgramWantsThat) {
  std::string existing = TempPath("out.bmp");
  Touch(existing);
  {
    ScriptedPrompts prompts;
    prompts.AnswerFileDialog(existing).AnswerMessageBox(IDNO).CancelFileDialog();
    CFileDialog dialog(FALSE, "bmp", nullptr, OFN_OVERWRITEPROMPT, "Bitmaps|*.bmp||");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_EQ(prompts.MessageBoxes().size(), 1u);
    EXPECT_EQ(prompts.MessageBoxes()[0].text, existing + " already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompts.MessageBoxes()[0].type & MB_TYPEMASK, MB_YESNO);
  }
  {
    ScriptedPrompts prompts;
    prompts.AnswerFileDialog(existing).AnswerMessageBox(IDYES);
    CFileDialog dialog(FALSE, "bmp", nullptr, OFN_OVERWRITEPROMPT, "Bitmaps|*.bmp||");
    EXPECT_EQ(dialog.DoModal(), IDOK);
  }
  {
    // The open kind replaces an existing file without a question.
    ScriptedPrompts prompts;
    prompts.AnswerFileDialog(existing);
    CFileDialog dialog(TRUE, "bmp", "texture.bmp", OFN_HIDEREADONLY, "Windows Bitmap Files (*.bmp) | *.bmp");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(prompts.MessageBoxes().empty());
  }
}

TEST(ScriptedPrompts, AnUnexpectedPromptFailsTheTestWithoutWaiting) {
  ::testing::TestPartResultArray failures;
  {
    ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
    ScriptedPrompts prompts;
    EXPECT_EQ(AfxMessageBox("Surprise", MB_YESNO), IDNO);
    CFileDialog dialog(TRUE);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  }
  ASSERT_EQ(failures.size(), 2);
  EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("Surprise"), std::string::npos);
}

}  // namespace
}  // namespace afx_tests
