// The recent shapes files of the window menu, and the folder the file
// dialog opens in: what the user chose last, kept per user from one start
// of the editor to the next.

#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "editor/ui/editor_ids.h"
#include "editor/ui/start_shapes_file.h"
#include "platform/registry/registry_helpers.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_environment.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

namespace fs = std::filesystem;

class RecentFiles : public EditorJourney {
 protected:
  // A file to choose at `name` (a path below the test's folder). Choosing
  // reads nothing of it, so a few bytes do.
  static std::string ShapesFileAt(const std::string& name) {
    const std::string path = kp::testing::TemporaryRoot() + "/" + name;
    kp::testing::WriteFileText(path, "chosen");
    return path;
  }

  // Opens the window menu, answers it with `choose` (nothing: closes it),
  // and returns the texts of the recent files it listed.
  static std::vector<std::string> RecentItems(CJourneyDlg& dlg, const std::string& choose = "") {
    std::vector<kp::testing::MenuItemSeen> seen;
    kp::testing::AnswerNextPopupMenu(choose, &seen);
    kp::testing::RightClickAt(dlg.m_hWnd, POINT{4, 300});
    kp::testing::ProcessEvents();
    std::vector<std::string> texts;
    for (const auto& item : seen)
      if (!item.separator && item.text[0] == '&' && std::isdigit(static_cast<unsigned char>(item.text[1])))
        texts.push_back(item.text);
    return texts;
  }
};

TEST_F(RecentFiles, TheWindowMenuListsTheFilesChosenNewestFirstAndAClickChoosesOneAgain) {
  const std::string a = ShapesFileAt("one/a.shp2");
  const std::string b = ShapesFileAt("two/b&c.shp2");
  WithEditor([&](CJourneyDlg& dlg) {
    EXPECT_EQ(RecentItems(dlg), std::vector<std::string>{}) << "nothing chosen yet";
    SelectShapesFile(dlg, a);
    SelectShapesFile(dlg, b);
    std::vector<kp::testing::MenuItemSeen> seen;
    kp::testing::AnswerNextPopupMenu("", &seen);
    kp::testing::RightClickAt(dlg.m_hWnd, POINT{4, 300});
    std::vector<std::string> texts;
    for (const auto& item : seen) texts.push_back(item.separator ? "-" : item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Mi&nimize", "&Close", "-",
                                               "&1 " + fs::path(b).parent_path().string() + "/b&&c.shp2", "&2 " + a,
                                               "-", "&Undo Last Patch", "A&pply Patch File...",
                                               "Sa&ve Changes as Patch File...", "-", "&About Kestrow..."}));

    // The older one, as Select Shapes File... would choose it.
    RecentItems(dlg, "&2 " + a);
    EXPECT_EQ(ItemText(dlg, IDC_SHAPES_FILE_PATH), a);
    EXPECT_EQ(std::string(dlg.m_strShapesFile), a);
    for (int id : {IDC_LOAD_SET, IDC_PATCH_SHAPES_FILE, IDC_GENERATE_PALETTE_BITMAP}) EXPECT_TRUE(Enabled(dlg, id));
    EXPECT_EQ(RecentItems(dlg)[0], "&1 " + a) << "chosen again, it comes first";
  });
  // The next start finds them, kept per user under the editor's own key.
  std::string first;
  EXPECT_EQ(
      kp::registry::GetStringValue(HKEY_CURRENT_USER, "Software\\Kestrow\\Kestrow\\Recent File List", "File1", &first),
      ERROR_SUCCESS);
  EXPECT_EQ(first, a);
  WithEditor([&](CJourneyDlg& dlg) { EXPECT_EQ(RecentItems(dlg).size(), 2u); });
  EXPECT_TRUE(m_prompts.ScriptDone());
}

TEST_F(RecentFiles, AFileThatIsGoneIsSaidAndLeavesTheListAndTheChoiceStays) {
  const std::string kept = ShapesFileAt("kept.shp2");
  const std::string gone = ShapesFileAt("gone.shp2");
  WithEditor(gone, [&](CJourneyDlg& dlg) {
    SelectShapesFile(dlg, kept);
    ASSERT_EQ(::unlink(gone.c_str()), 0);
    m_prompts.AnswerMessageBox(IDOK);
    RecentItems(dlg, "&2 " + gone);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "Cannot use " + gone +
                                 " as the shapes file (No such file or directory); it is taken off the recent files.");
    EXPECT_EQ(std::string(dlg.m_strShapesFile), kept) << "the file chosen before stays chosen";
    EXPECT_EQ(RecentItems(dlg), std::vector<std::string>{"&1 " + kept});
  });
}

TEST_F(RecentFiles, EightAreKeptAndTheCommandLineCountsAsAChoice) {
  std::vector<std::string> files;
  for (int i = 0; i < 9; ++i) files.push_back(ShapesFileAt("many/" + std::to_string(i) + ".shp2"));
  WithEditor([&](CJourneyDlg& dlg) {
    for (int i = 0; i < 8; ++i) SelectShapesFile(dlg, files[static_cast<std::size_t>(i)]);
  });
  CJourneyDlg dlg;
  dlg.StartWithShapesFile(TakeStartShapesFile(files[8].c_str()));
  kp::testing::RunModalWith(dlg, [&] {
    kp::testing::ProcessEvents();
    const std::vector<std::string> items = RecentItems(dlg);
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items.front(), "&1 " + files[8]);
    EXPECT_EQ(items.back(), "&8 " + files[1]) << "the oldest went";
    dlg.EndDialog(IDCANCEL);
  });
}

TEST_F(RecentFiles, SelectShapesFileOpensWhereTheLastShapesFileWasChosen) {
  const std::string first = ShapesFileAt("first/s.shp2");
  const std::string second = ShapesFileAt("second/s.shp2");
  WithEditor(first, [&](CJourneyDlg& dlg) {
    SelectShapesFile(dlg, second);
    RecentItems(dlg, "&2 " + first);
    m_prompts.CancelFileDialog();
    ClickItem(dlg, IDC_SELECT_SHAPES_FILE);
  });
  const auto& dialogs = m_prompts.FileDialogs();
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[0].initialFolder, "") << "nothing chosen before: where the dialog likes";
  EXPECT_EQ(dialogs[1].initialFolder, fs::path(first).parent_path().string());
  EXPECT_EQ(dialogs[2].initialFolder, fs::path(first).parent_path().string()) << "a recent file counts as a choice";
  EXPECT_EQ(dialogs[2].initialName, "shapes.shp2");
}

}  // namespace
}  // namespace editor_journey
