// Patch files in the editor's window menu: Apply Patch File... shows what a
// patch changes and writes it only after Yes, then offers to load the set
// again; Save Changes as Patch File... writes what the file's history
// patched, as a patch that kestrow-cli applies to the stock file.

#include <filesystem>
#include <regex>

#include "editor/shapes/tests/expected_pictures.h"
#include "editor/ui/editor_ids.h"
#include "platform/testing/temp_environment.h"
#include "tests/cli/cli_process.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

constexpr char kApplyItem[] = "A&pply Patch File...";
constexpr char kSaveItem[] = "Sa&ve Changes as Patch File...";

DWORD Stripes(int x, int y) { return static_cast<DWORD>(((x / 8) % 2 ? 0xD02010 : 0x1030C0) + y); }
DWORD Rings(int x, int y) { return static_cast<DWORD>(((x - 60) * (x - 60) + (y - 60) * (y - 60)) / 40 * 0x030507); }

class PatchFileMenu : public EditorJourney {
 protected:
  // Opens the window menu and chooses `item` (none: it only looks);
  // returns whether each of the two patch-file items was enabled.
  static std::pair<bool, bool> Enabled(CJourneyDlg& dlg, const std::string& item = {}) {
    std::vector<kp::testing::MenuItemSeen> seen;
    kp::testing::AnswerNextPopupMenu(item, &seen);
    kp::testing::RightClickAt(dlg.m_hWnd, POINT{4, 300});
    kp::testing::ProcessEvents();
    std::pair<bool, bool> enabled;
    for (const auto& entry : seen) {
      if (entry.text == kApplyItem) enabled.first = entry.enabled;
      if (entry.text == kSaveItem) enabled.second = entry.enabled;
    }
    return enabled;
  }
};

// A patch made for another version of the file is refused with the
// check's reason. One that paints texture 7 of the first set, answered No
// and then Yes: No writes nothing and asks nothing more; Yes writes the
// patch and, since a set was loaded, offers to load it again, which then
// shows the new texture.
TEST_F(PatchFileMenu, ApplyPatchFileWritesOnlyAfterYesAndOffersToLoadTheSetAgain) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::vector<BYTE> stock = FileBytes(path);
  builder.SetImagePixels(0, 7, std::vector<BYTE>(kTextureBytes, BYTE{42}));
  const std::string modified = WriteShapesFile(builder);
  builder.SetImagePixels(0, 3, std::vector<BYTE>(kTextureBytes, BYTE{9}));
  const std::string further = WriteShapesFile(builder);
  const std::string patches = kp::testing::NewFolder("patches");
  const std::string patch = patches + "/texture-7.vcdiff";
  const std::string foreign = patches + "/texture-3.vcdiff";
  ASSERT_EQ(cli_journeys::RunKestrowCli({"diff", path, modified, patch}).status, 0);
  ASSERT_EQ(cli_journeys::RunKestrowCli({"diff", modified, further, foreign}).status, 0);

  const struct {
    std::string patch;
    int answer;
    std::vector<BYTE> bytes;
  } rows[] = {{foreign, IDOK, stock}, {patch, IDNO, stock}, {patch, IDYES, FileBytes(modified)}};
  WithEditor([&](CJourneyDlg& dlg) {
    EXPECT_EQ(Enabled(dlg), std::make_pair(false, false)) << "no file chosen";
    SelectShapesFile(dlg, path);
    EXPECT_EQ(Enabled(dlg), std::make_pair(true, false)) << "a file, with no history";
    ClickItem(dlg, IDC_LOAD_SET);
    for (const auto& row : rows) {
      m_prompts.AnswerFileDialog(row.patch).AnswerMessageBox(row.answer);
      if (row.answer == IDYES) m_prompts.AnswerMessageBox(IDYES);
      Enabled(dlg, kApplyItem);
      EXPECT_TRUE(m_prompts.ScriptDone()) << row.patch << " " << row.answer;
      EXPECT_EQ(FileBytes(path), row.bytes) << row.patch << " " << row.answer;
    }
    EXPECT_EQ(PictureOf(dlg.m_slot[7]), (Picture{128, 128, shapes_tests::ExpectedPicture(builder, 0, 7, true)}));
    EXPECT_EQ(Enabled(dlg), std::make_pair(true, true)) << "the patch is in the history";
  });

  const std::vector<std::string> asked = Messages();
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked[0].rfind(
                "Cannot apply " + foreign + " to " + path + ": it was made for another version of the shapes file", 0),
            0u)
      << asked[0];
  EXPECT_EQ(asked[1].rfind("Apply " + patch + " to " + path + "?\n\nIt was made by kestrow-cli ", 0), 0u) << asked[1];
  EXPECT_TRUE(std::regex_search(asked[1], std::regex("\nIt changes \\d+ bytes:\nTexture Set # 1 texture #7 "
                                                     "<column 2, row 2>: \\d+ bytes\n$")))
      << asked[1];
  EXPECT_EQ(asked[2], asked[1]);
  EXPECT_EQ(asked[3], "Load Texture Set # 1 again, to show the images as the patch left them?");
  // The first file dialog chose the shapes file.
  ASSERT_EQ(m_prompts.FileDialogs().size(), 4u);
  const auto& dialog = m_prompts.FileDialogs()[1];
  EXPECT_TRUE(dialog.open);
  EXPECT_EQ(dialog.defaultExtension, "vcdiff");
  EXPECT_EQ(dialog.filters.at(0).patterns, std::vector<std::string>{"*.vcdiff"});
  EXPECT_EQ(dialog.initialFolder, kp::testing::TemporaryRoot()) << "first beside the shapes file";
  EXPECT_EQ(m_prompts.FileDialogs()[2].initialFolder, patches) << "then where the last patch file was";
}

// Two Patches, then Save Changes as Patch File...: the patch turns a copy
// of the stock file into the file as the editor left it.
TEST_F(PatchFileMenu, SaveChangesAsPatchFileAfterTwoPatchesGivesAPatchFromTheStockFile) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::string stock = kp::testing::TemporaryRoot() + "/stock-copy.shp2";
  sample_shapes::WriteBytes(stock, FileBytes(path));
  const std::string stripes = WriteBitmapFile("stripes.bmp", 128, 128, &Stripes);
  const std::string rings = WriteBitmapFile("rings.bmp", 200, 150, &Rings);
  const std::string patch = kp::testing::TemporaryRoot() + "/my-mod.vcdiff";
  WithEditor([&](CJourneyDlg& dlg) {
    SelectShapesFile(dlg, path);
    ASSERT_TRUE(DropOn(dlg.m_slot[4], stripes));
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    ChooseSet(dlg, 2);
    ASSERT_TRUE(DropOn(dlg.m_slot[20], rings));
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    m_prompts.AnswerFileDialog(patch);
    Enabled(dlg, kSaveItem);
    EXPECT_TRUE(m_prompts.ScriptDone());
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{});
  const auto& dialog = m_prompts.FileDialogs().back();
  EXPECT_FALSE(dialog.open);
  EXPECT_EQ(dialog.initialName, std::filesystem::path(path).stem().string() + ".vcdiff");

  const std::string rebuilt = kp::testing::TemporaryRoot() + "/rebuilt.shp2";
  const cli_journeys::ProgramRun apply = cli_journeys::RunKestrowCli({"apply", stock, patch, "--output", rebuilt});
  ASSERT_EQ(apply.status, 0) << apply.err;
  EXPECT_NE(apply.out.find("changed Texture Set # 1 texture #4 "), std::string::npos) << apply.out;
  EXPECT_NE(apply.out.find("changed Texture Set # 3 texture #20 "), std::string::npos) << apply.out;
  EXPECT_EQ(FileBytes(rebuilt), FileBytes(path));
}

}  // namespace
}  // namespace editor_journey
