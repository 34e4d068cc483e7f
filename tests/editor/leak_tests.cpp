// Loads and drops, a hundred times over, leave no GDI object behind.

#include "editor/ui/editor_ids.h"
#include "platform/gdi/handle_table.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

DWORD Checks(int x, int y) { return ((x / 8 + y / 8) % 2) != 0 ? 0x00FFFFFFu : 0x00203040u; }

TEST_F(EditorJourney, AHundredLoadsAndDropsLeaveTheObjectCountWhereItWas) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::string bitmap = WriteBitmapFile("checks.bmp", 40, 30, &Checks);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    // Once, so every slot and the preview hold a bitmap: the count to keep.
    ClickItem(dlg, IDC_LOAD_SET);
    ASSERT_TRUE(DropOn(dlg.m_slot[5], bitmap));
    const int objects = kp::gdi::LiveObjectCount();
    for (int round = 0; round < 100; ++round) {
      ClickItem(dlg, IDC_LOAD_SET);
      ASSERT_TRUE(DropOn(dlg.m_slot[round % kTextureSlotCount], bitmap)) << round;
    }
    EXPECT_EQ(kp::gdi::LiveObjectCount(), objects);
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

}  // namespace
}  // namespace editor_journey
