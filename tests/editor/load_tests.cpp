// Loading sets into the slots, and the two views of the slot area.

#include "editor/shapes/tests/expected_pictures.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "editor/ui/editor_ids.h"
#include "platform/user/window_functions.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

constexpr char kTextureHint[] = "Drop texture bitmaps below ( recommended texture is 128 x 128 )";
constexpr char kLandscapeHint[] = "Drop landscape bitmap below ( recommended texture is 512 x 270 )";

Picture Expected(const sample_shapes::ShapesFileBuilder& builder, int set, int image, bool gamma) {
  const SetKind& kind = KindOfSet(set);
  return Picture{kind.width, kind.height, shapes_tests::ExpectedPicture(builder, set, image, gamma)};
}

TEST_F(EditorJourney, LoadingATextureSetFillsEverySlotWithItsDecodedImageAndThePreviewShowsSlot29) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const struct {
    int set;
    bool gamma;
  } rows[] = {{0, true}, {0, false}, {3, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE("set " + std::to_string(row.set) + (row.gamma ? " with" : " without") + " the curve");
    WithEditor(path, [&](CJourneyDlg& dlg) {
      ChooseSet(dlg, row.set);
      SetGammaBox(dlg, !row.gamma);
      ClickItem(dlg, IDC_LOAD_SET);
      for (int k = 0; k < kTextureSlotCount; ++k)
        EXPECT_EQ(PictureOf(dlg.m_slot[k]), Expected(builder, row.set, k, row.gamma)) << "slot " << k;
      EXPECT_EQ(PictureOf(dlg.m_wndPreview), PictureOf(dlg.m_slot[29]));
      EXPECT_NE(dlg.m_wndPreview.GetBitmapHandle(), dlg.m_slot[29].GetBitmapHandle()) << "the preview holds a copy";
      EXPECT_EQ(PictureOf(dlg.m_wndLandscape).width, 0) << "a texture load leaves the landscape slot alone";
    });
  }
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, ALandscapeSwitchesTheViewAndLoadsBottomUpAndSwitchingBackShowsTheSameSlots) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ClickItem(dlg, IDC_LOAD_SET);
    std::vector<Picture> textures;
    for (int k = 0; k < kTextureSlotCount; ++k) textures.push_back(PictureOf(dlg.m_slot[k]));
    const Picture preview = PictureOf(dlg.m_wndPreview);

    ChooseSet(dlg, 4);
    EXPECT_EQ(ItemText(dlg, IDC_DROP_HINT), kLandscapeHint);
    EXPECT_TRUE(Visible(dlg, IDC_LANDSCAPE));
    for (int k = 0; k < kTextureSlotCount; ++k) EXPECT_FALSE(dlg.m_slot[k].IsWindowVisible()) << k;
    EXPECT_EQ(PictureOf(dlg.m_wndLandscape).width, 0) << "choosing a set loads nothing";

    ClickItem(dlg, IDC_LOAD_SET);
    const Picture landscape = PictureOf(dlg.m_wndLandscape);
    EXPECT_EQ(landscape, Expected(builder, 4, 0, true));
    // The first stored row is the bottom row: array row 0 holds stored bytes 0 to 511.
    const SetPalette palette = shapes_tests::ExpectedPalette(builder.Set(4), true);
    const std::vector<BYTE>& stored = builder.Set(4).images[0].pixels;
    for (int x = 0; x < 512; x += 51)
      EXPECT_EQ(landscape.pixels[static_cast<std::size_t>(x)],
                palette[std::min<BYTE>(stored[static_cast<std::size_t>(x)], 230)]);
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), preview) << "a landscape load leaves the preview alone";

    ChooseSet(dlg, 1);
    EXPECT_EQ(ItemText(dlg, IDC_DROP_HINT), kTextureHint);
    EXPECT_FALSE(Visible(dlg, IDC_LANDSCAPE));
    for (int k = 0; k < kTextureSlotCount; ++k) {
      EXPECT_TRUE(dlg.m_slot[k].IsWindowVisible()) << k;
      EXPECT_EQ(PictureOf(dlg.m_slot[k]), textures[static_cast<std::size_t>(k)]) << "slot " << k;
    }
    EXPECT_EQ(PictureOf(dlg.m_wndLandscape), landscape) << "the hidden landscape keeps its image";
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, AFileOneByteShortIsWarnedAboutAndStillLoads) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder, kExpectedShapesFileSize - 1);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(PictureOf(dlg.m_slot[12]), Expected(builder, 0, 12, true));
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{"Selected shapes file is not the expected size!"});
}

TEST_F(EditorJourney, AnImageOutsideTheFileStopsTheLoadWithTheFileErrorMessage) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(0).imageTable + 4 * 10, 0x7FFFFF00);
  const std::string path = shapes_tests::WriteShapes("image-outside.shp2", bytes);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(PictureOf(dlg.m_slot[9]), Expected(builder, 0, 9, true)) << "the images before it are shown";
    EXPECT_EQ(PictureOf(dlg.m_slot[10]).width, 0);
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW)) << "the arrow is back";
  });
  ASSERT_EQ(m_prompts.MessageBoxes().size(), 1u);
  EXPECT_NE(Messages()[0].find(path), std::string::npos) << Messages()[0];
}

TEST_F(EditorJourney, AFileHeldForWritingElsewhereCannotBeLoaded) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    HeldElsewhere holder(path, CFile::modeReadWrite | CFile::shareExclusive);
    ASSERT_TRUE(holder.Holding());
    const HCURSOR before = ::GetCursor();
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(PictureOf(dlg.m_slot[0]).width, 0);
    EXPECT_EQ(::GetCursor(), before) << "the cursor is left as it was";
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{
                            "Unable to open selected shapes file\nMake sure it is not in use by another application"});
}

}  // namespace
}  // namespace editor_journey
