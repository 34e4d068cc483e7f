// The patch history in the editor: the window menu's Undo Last Patch, and a
// patch that was interrupted rolled back as soon as the editor meets the
// file.

#include <regex>

#include "editor/import/patch_journal.h"
#include "editor/shapes/tests/expected_pictures.h"
#include "editor/ui/editor_ids.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

constexpr char kUndoItem[] = "&Undo Last Patch";

DWORD Plasma(int x, int y) { return static_cast<DWORD>((x * 3) << 16 | (y * 5) << 8 | ((x ^ y) & 0xFF)); }

class Undo : public EditorJourney {
 protected:
  // Opens the window menu and chooses `item` (none: it only looks); returns
  // whether Undo Last Patch was enabled.
  static bool UndoEnabled(CJourneyDlg& dlg, const std::string& item = {}) {
    std::vector<kp::testing::MenuItemSeen> seen;
    kp::testing::AnswerNextPopupMenu(item, &seen);
    kp::testing::RightClickAt(dlg.m_hWnd, POINT{4, 300});
    kp::testing::ProcessEvents();
    for (const auto& entry : seen)
      if (entry.text == kUndoItem) return entry.enabled;
    ADD_FAILURE() << "the window menu has no " << kUndoItem;
    return false;
  }
};

TEST_F(Undo, UndoLastPatchPutsBackThePatchTheUserConfirmsAndLoadSetShowsTheOldImages) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::string bitmap = WriteBitmapFile("plasma.bmp", 300, 200, &Plasma);
  const std::vector<BYTE> before = FileBytes(path);
  const Picture old{128, 128, shapes_tests::ExpectedPicture(builder, 0, 7, true)};
  WithEditor([&](CJourneyDlg& dlg) {
    EXPECT_FALSE(UndoEnabled(dlg)) << "no file chosen";
    SelectShapesFile(dlg, path);
    EXPECT_FALSE(UndoEnabled(dlg)) << "nothing patched yet";
    ASSERT_TRUE(DropOn(dlg.m_slot[7], bitmap));
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    const std::vector<BYTE> patched = FileBytes(path);
    ASSERT_NE(patched, before);
    ASSERT_TRUE(UndoEnabled(dlg));

    // No: nothing changes. Yes: the file is as it was.
    m_prompts.AnswerMessageBox(IDNO).AnswerMessageBox(IDYES);
    UndoEnabled(dlg, kUndoItem);
    EXPECT_EQ(FileBytes(path), patched);
    UndoEnabled(dlg, kUndoItem);
    EXPECT_EQ(FileBytes(path), before);
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(PictureOf(dlg.m_slot[7]), old);

    // The undo is a patch of its own: undoing it puts the patch back.
    m_prompts.AnswerMessageBox(IDYES);
    ASSERT_TRUE(UndoEnabled(dlg, kUndoItem));
    EXPECT_EQ(FileBytes(path), patched);
  });
  const std::vector<std::string> asked = Messages();
  ASSERT_EQ(asked.size(), 3u);
  const std::regex patch(R"(Undo the patch of Texture Set # 1 made at \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\?)");
  EXPECT_TRUE(std::regex_match(asked[0], patch)) << asked[0];
  EXPECT_EQ(asked[1], asked[0]);
  EXPECT_TRUE(std::regex_match(asked[2], std::regex(R"(Undo the undo of Texture Set # 1 made at .*\?)"))) << asked[2];
}

// Texture 3 of set 1 torn by a patch that died, with the journal it left.
void LeaveInterruptedPatch(const std::string& path, const sample_shapes::ShapesFileBuilder& builder,
                           const std::vector<BYTE>& original) {
  const std::uint64_t at = static_cast<std::uint64_t>(builder.SetLayout(0).pixels[3]);
  const std::uint64_t start = at / 512 * 512;
  const auto first = original.begin() + static_cast<std::ptrdiff_t>(start);
  const PatchJournal journal{
      path,
      *PosixPatchFileSystem().Identify(path),
      {{start, std::vector<BYTE>(first, first + static_cast<std::ptrdiff_t>(at - start) + kTextureBytes)}}};
  sample_shapes::WriteBytes(JournalBeside(path), EncodeJournal(journal));
  std::vector<BYTE> torn = original;
  std::fill_n(torn.begin() + static_cast<std::ptrdiff_t>(at), 6000, BYTE{0xEE});
  sample_shapes::WriteBytes(path, torn);
}

TEST_F(Undo, APatchThatWasInterruptedIsRolledBackWhenTheFileIsChosenOrLoadedAndSaidOnce) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::vector<BYTE> original = FileBytes(path);
  const std::string restored =
      "The last patch of " + path + " was interrupted; " + path + " has been restored to how it was before that patch.";
  WithEditor([&](CJourneyDlg& dlg) {
    LeaveInterruptedPatch(path, builder, original);
    m_prompts.AnswerFileDialog(path).AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_SELECT_SHAPES_FILE);
    EXPECT_EQ(Messages(), std::vector<std::string>{restored});
    EXPECT_EQ(FileBytes(path), original);

    LeaveInterruptedPatch(path, builder, original);
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(Messages(), (std::vector<std::string>{restored, restored}));
    EXPECT_EQ(PictureOf(dlg.m_slot[3]), (Picture{128, 128, shapes_tests::ExpectedPicture(builder, 0, 3, true)}));
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(Messages().size(), 2u) << "said once";
  });
}

}  // namespace
}  // namespace editor_journey
