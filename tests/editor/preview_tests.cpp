// The preview follows the texture slot changed or selected last.

#include "editor/shapes/set_palette.h"
#include "editor/ui/editor_ids.h"
#include "platform/gdi/gdi.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

DWORD Warm(int x, int y) { return PaletteEntry(static_cast<BYTE>(200 + x % 50), static_cast<BYTE>(y % 200), 40); }
DWORD Cool(int x, int y) { return PaletteEntry(20, static_cast<BYTE>(x % 256), static_cast<BYTE>(150 + y % 100)); }

// Clears a slot through its own context menu, answering its question Yes.
void ClearSlot(kp::testing::ScriptedPrompts& prompts, CTavlet& slot) {
  prompts.AnswerMessageBox(IDYES);
  kp::testing::AnswerNextPopupMenu("Clear Contents");
  kp::testing::RightClickAt(slot.m_hWnd, POINT{5, 5});
  kp::testing::ProcessEvents();
}

TEST_F(EditorJourney, EachDropOnATextureSlotShowsInThePreviewAndALandscapeDropDoesNot) {
  const std::string warm = WriteBitmapFile("warm.bmp", 300, 200, &Warm);
  const std::string cool = WriteBitmapFile("cool.bmp", 64, 64, &Cool);
  WithEditor([&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[7], warm));
    const Picture shownWarm = PictureOf(dlg.m_wndPreview);
    EXPECT_EQ(shownWarm, PictureOf(dlg.m_slot[7]));
    EXPECT_EQ(shownWarm.width, 300);
    const int objects = kp::gdi::LiveObjectCount();
    ASSERT_TRUE(DropOn(dlg.m_slot[3], cool));
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), PictureOf(dlg.m_slot[3]));
    EXPECT_EQ(kp::gdi::LiveObjectCount(), objects + 1) << "slot 3's bitmap is new; the preview's old copy is gone";

    ChooseSet(dlg, 4);
    const Picture before = PictureOf(dlg.m_wndPreview);
    ASSERT_TRUE(DropOn(dlg.m_wndLandscape, warm));
    EXPECT_EQ(PictureOf(dlg.m_wndLandscape).width, 300);
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), before) << "the landscape slot has no handler";
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

// Copying a slot and pasting it into another goes through the drop's
// intake: the slot pasted into shows in the preview.
TEST_F(EditorJourney, APictureCopiedFromOneSlotAndPastedIntoAnotherShowsInThePreview) {
  const std::string warm = WriteBitmapFile("warm-copied.bmp", 40, 30, &Warm);
  WithEditor([&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[2], warm));
    kp::testing::Click(dlg.m_slot[2].m_hWnd);
    kp::testing::PressKey(dlg.m_slot[2].m_hWnd, 'C', kp::testing::Control);
    kp::testing::Click(dlg.m_slot[9].m_hWnd);
    kp::testing::PressKey(dlg.m_slot[9].m_hWnd, 'V', kp::testing::Control);
    kp::testing::ProcessEvents();
    EXPECT_EQ(PictureOf(dlg.m_slot[9]), PictureOf(dlg.m_slot[2]));
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), PictureOf(dlg.m_slot[9]));
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, ClickingASlotShowsItAndAnEmptySlotOrAClearedOneKeepsThePreview) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ClickItem(dlg, IDC_LOAD_SET);
    const Picture slot29 = PictureOf(dlg.m_slot[29]);
    ASSERT_EQ(PictureOf(dlg.m_wndPreview), slot29);

    // Clearing slot 29 right after the load leaves its old image in the preview.
    ClearSlot(m_prompts, dlg.m_slot[29]);
    EXPECT_EQ(PictureOf(dlg.m_slot[29]).width, 0);
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), slot29);

    kp::testing::Click(dlg.m_slot[12].m_hWnd);
    kp::testing::ProcessEvents();
    const Picture slot12 = PictureOf(dlg.m_slot[12]);
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), slot12);
    const LONG copy = dlg.m_wndPreview.GetBitmapHandle();
    kp::testing::Click(dlg.m_slot[12].m_hWnd);
    kp::testing::ProcessEvents();
    EXPECT_EQ(dlg.m_wndPreview.GetBitmapHandle(), copy) << "a second click on the focused slot changes nothing";

    kp::testing::Click(dlg.m_slot[29].m_hWnd);
    kp::testing::ProcessEvents();
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), slot12) << "selecting an empty slot keeps the preview";
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{"Clear image from memory?"});
}

}  // namespace
}  // namespace editor_journey
