// "kestrow SHAPES": the editor starts with the shapes file named on its
// command line chosen, as Select Shapes File... would choose it; a name it
// cannot use gets a message over the open window, and the editor starts
// with none chosen.

#include <unistd.h>

#include <filesystem>

#include "editor/ui/editor_ids.h"
#include "editor/ui/start_shapes_file.h"
#include "platform/testing/temp_environment.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

TEST_F(EditorJourney, StartsWithTheShapesFileNamedOnTheCommandLineChosen) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  // Named relative to the folder the editor starts in, as a shell passes it.
  const std::string relative = std::filesystem::relative(path).string();
  const StartShapesFile start = TakeStartShapesFile(("\"" + relative + "\"").c_str());
  EXPECT_EQ(std::string(start.path), path);
  EXPECT_EQ(start.problem, "");

  std::string pickedText;
  WithEditor(path, [&](CJourneyDlg& dlg) { pickedText = ItemText(dlg, IDC_SHAPES_FILE_PATH); });
  CJourneyDlg dlg;
  dlg.StartWithShapesFile(start);
  kp::testing::RunModalWith(dlg, [&] {
    kp::testing::ProcessEvents();
    EXPECT_EQ(ItemText(dlg, IDC_SHAPES_FILE_PATH), pickedText) << "shown as if picked through the file dialog";
    EXPECT_EQ(std::string(dlg.m_strShapesFile), path);
    for (int id : {IDC_LOAD_SET, IDC_PATCH_SHAPES_FILE, IDC_GENERATE_PALETTE_BITMAP})
      EXPECT_TRUE(Enabled(dlg, id)) << id;
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_TRUE(dlg.WasOpened());
  EXPECT_EQ(m_prompts.MessageBoxes().size(), 0u);
}

TEST_F(EditorJourney, ANameThatIsNotAReadableFileIsSaidOverTheOpenWindowAndNothingIsChosen) {
  const std::string folder = kp::testing::TemporaryRoot();
  const struct {
    std::string commandLine;
    std::string message;
  } rows[] = {
      {"/no/such/shapes.shp2",
       "Cannot use /no/such/shapes.shp2 as the shapes file (No such file or directory); the editor starts with "
       "none chosen."},
      {"\"" + folder + "\"",
       "Cannot use " + folder + " as the shapes file (not a file); the editor starts with none chosen."},
      {"one.shp2 two.shp2",
       "One shapes file at most can be named on the command line; the editor starts with none chosen."},
  };
  for (const auto& row : rows) {
    ::testing::internal::CaptureStderr();
    const StartShapesFile start = TakeStartShapesFile(row.commandLine.c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "kestrow: " + row.message + "\n");
    EXPECT_TRUE(start.path.IsEmpty()) << row.commandLine;
    EXPECT_EQ(start.problem, row.message);

    kp::testing::ScriptedPrompts told;
    told.AnswerMessageBox(IDOK);
    CJourneyDlg dlg;
    dlg.StartWithShapesFile(start);
    kp::testing::RunModalWith(dlg, [&] {
      kp::testing::ProcessEvents();
      ASSERT_EQ(told.MessageBoxes().size(), 1u) << row.commandLine;
      EXPECT_EQ(told.MessageBoxes()[0].text, row.message);
      EXPECT_EQ(told.MessageBoxes()[0].owner, dlg.m_hWnd) << "over the open window";
      EXPECT_EQ(ItemText(dlg, IDC_SHAPES_FILE_PATH), "No Valid Shapes File Selected");
      EXPECT_FALSE(Enabled(dlg, IDC_LOAD_SET));
      dlg.EndDialog(IDCANCEL);
    });
  }
  // Nothing named, nothing said.
  const StartShapesFile none = TakeStartShapesFile("");
  EXPECT_TRUE(none.path.IsEmpty());
  EXPECT_EQ(none.problem, "");
}

}  // namespace
}  // namespace editor_journey
