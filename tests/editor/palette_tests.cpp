// The palette picture in the preview, and the hidden Image Finder button.

#include "editor/shapes/tests/expected_pictures.h"
#include "editor/ui/editor_ids.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

// The picture's pixel at column x, row y counted from the bottom.
DWORD At(const Picture& p, int x, int yFromBottom) {
  return p.pixels[static_cast<std::size_t>(yFromBottom * p.width + x)];
}

TEST_F(EditorJourney, ThePalettePictureFollowsTheWorkedLayouts) {
  const int counts[] = {256, 231, 100, 16, 1};
  for (int n : counts) {
    SCOPED_TRACE(std::to_string(n) + " colours");
    sample_shapes::ShapesFileBuilder builder;
    builder.SetColourCount(1, n);
    const std::string path = WriteShapesFile(builder);
    const SetPalette palette = shapes_tests::ExpectedPalette(builder.Set(1), true);
    WithEditor(path, [&](CJourneyDlg& dlg) {
      ChooseSet(dlg, 1);
      ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP);
      const Picture p = PictureOf(dlg.m_wndPreview);
      ASSERT_EQ(p.width, 256);
      ASSERT_EQ(p.height, 256);
      const int band = 4096 / n;
      // Every entry fills its 16 x 16 cell: column e mod 16, band e div 16 from the bottom.
      for (int e = 0; e < n; ++e) {
        const int firstRow = (e / 16) * band;
        for (int row : {firstRow, std::min(firstRow + band, 256) - 1})
          for (int x : {(e % 16) * 16, (e % 16) * 16 + 15})
            ASSERT_EQ(At(p, x, row), palette[static_cast<std::size_t>(e)]) << "entry " << e;
      }
      switch (n) {
        case 231:
          for (int x = 7 * 16; x < 256; ++x) EXPECT_EQ(At(p, x, 14 * 17), 0u) << "cells 7-15 of band 14 are black";
          for (int x = 0; x < 256; ++x) EXPECT_EQ(At(p, x, 255), 0u) << "the top row is black";
          EXPECT_EQ(At(p, 0, 254), palette[224]) << "band 14 ends at row 254";
          break;
        case 100:
          for (int x = 0; x < 256; ++x)
            EXPECT_EQ(At(p, x, 240), x < 64 ? palette[static_cast<std::size_t>(96 + x / 16)] : 0u) << "x " << x;
          EXPECT_EQ(At(p, 0, 239), palette[80]);
          break;
        case 16:
          for (int x = 0; x < 256; x += 8) EXPECT_EQ(At(p, x, 255), palette[static_cast<std::size_t>(x / 16)]);
          break;
        case 1:
          for (int row : {0, 128, 255}) {
            EXPECT_EQ(At(p, 15, row), palette[0]);
            EXPECT_EQ(At(p, 16, row), 0u);
            EXPECT_EQ(At(p, 255, row), 0u);
          }
          break;
        default:
          EXPECT_EQ(At(p, 0, 0), palette[0]) << "entry 0 at the bottom left";
          EXPECT_EQ(At(p, 255, 255), palette[255]) << "entry 255 at the top right";
      }
    });
  }
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, CtrlShiftClickRevealsTheImageFinderButtonAndChangesNothingElse) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    // The file is held exclusively elsewhere: opening it would fail loudly.
    HeldElsewhere holder(path, CFile::modeReadWrite | CFile::shareExclusive);
    ASSERT_TRUE(holder.Holding());
    m_prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP, kp::testing::Control);
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP, kp::testing::Shift);
    EXPECT_FALSE(Visible(dlg, IDC_IMAGE_FINDER)) << "one of the two keys is not enough";
    EXPECT_EQ(m_prompts.MessageBoxes().size(), 2u) << "each of those clicks tried the file";
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP, kp::testing::Control | kp::testing::Shift);
    EXPECT_TRUE(Visible(dlg, IDC_IMAGE_FINDER));
    EXPECT_EQ(m_prompts.MessageBoxes().size(), 2u) << "the reveal opens no file";
    EXPECT_EQ(PictureOf(dlg.m_wndPreview).width, 0) << "nor draws anything";
  });
}

TEST_F(EditorJourney, GenerationUsesTheGammaStateOfTheLastExchange) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const SetPalette corrected = shapes_tests::ExpectedPalette(builder.Set(5), true);
  const SetPalette raw = shapes_tests::ExpectedPalette(builder.Set(5), false);
  ASSERT_NE(corrected[100], raw[100]);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ChooseSet(dlg, 5);  // "Landscape # 2", with the box clear
    SetGammaBox(dlg, true);
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP);
    EXPECT_EQ(At(PictureOf(dlg.m_wndPreview), 4 * 16, 6 * 17), corrected[100])
        << "the box alone is not taken: the curve still applies";
    ChooseSet(dlg, 6);
    ChooseSet(dlg, 5);
    ClickItem(dlg, IDC_GENERATE_PALETTE_BITMAP);
    EXPECT_EQ(At(PictureOf(dlg.m_wndPreview), 4 * 16, 6 * 17), raw[100]) << "a change of the set took the box";
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

}  // namespace
}  // namespace editor_journey
