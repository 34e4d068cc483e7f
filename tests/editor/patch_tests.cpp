// Writing the slots back into the shapes file.

#include "editor/import/reference/reference_conversion.h"
#include "editor/shapes/tests/expected_pictures.h"
#include "editor/shapes/tests/shapes_test_support.h"
#include "editor/ui/editor_ids.h"
#include "platform/gdi/gdi.h"
#include "platform/user/window_functions.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

constexpr char kOpenFailed[] = "Unable to open selected shapes file\nMake sure it is not in use by another application";
constexpr char kSizeWarning[] = "Selected shapes file is not the expected size!";

DWORD Plasma(int x, int y) {
  return PaletteEntry(static_cast<BYTE>(x * 255 / 299), static_cast<BYTE>((x * y) % 251),
                      static_cast<BYTE>(y * 255 / 199));
}

// The indices the plain conversion makes of a picture for set `set`'s
// palette as the builder wrote it.
std::vector<BYTE> ReferenceIndices(const Picture& picture, const sample_shapes::ShapesFileBuilder& builder, int set,
                                   bool gamma) {
  const SetKind& kind = KindOfSet(set);
  const auto& block = builder.Block(SetHeaderNumbers[static_cast<std::size_t>(set)]);
  kp::gdi::ScopedBitmap bitmap(kp::gdi::CreateBitmapFromPixels(picture.width, picture.height, 32, picture.pixels));
  kp::gdi::ScopedMemoryDC dc(nullptr);
  kp::gdi::ScopedSelectObject select(dc.get(), bitmap.get());
  std::vector<BYTE> indices(static_cast<std::size_t>(kind.ImageBytes()));
  reference::ConvertBitmapToPalette(indices.data(), kind.width, kind.height, dc.get(), picture.width, picture.height,
                                    kind.order == PixelOrder::BottomUpRows, shapes_tests::ExpectedPalette(block, gamma),
                                    block.colourCount);
  return indices;
}

using shapes_tests::ExpectChangedOnlyInside;
using shapes_tests::Slice;

TEST_F(EditorJourney, ADroppedBitmapIsPatchedIntoItsImageAndNothingElseChanges) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::string bitmap = WriteBitmapFile("plasma.bmp", 300, 200, &Plasma);
  const std::vector<BYTE> before = FileBytes(path);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[7], bitmap));
    const Picture dropped = PictureOf(dlg.m_slot[7]);
    ASSERT_EQ(dropped.width, 300);
    ASSERT_EQ(dropped.height, 200);
    EXPECT_EQ(PictureOf(dlg.m_wndPreview), dropped) << "the drop shows in the preview";

    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    const std::vector<BYTE> after = FileBytes(path);
    const LONGLONG at = builder.SetLayout(0).pixels[7];
    ExpectChangedOnlyInside(before, after, {{at, kTextureBytes}});
    EXPECT_EQ(Slice(after, at, kTextureBytes), ReferenceIndices(dropped, builder, 0, true));
    EXPECT_EQ(PictureOf(dlg.m_slot[7]), dropped) << "the slot keeps its bitmap";

    // Loading again shows the reduced picture in slot 7.
    builder.SetImagePixels(0, 7, Slice(after, at, kTextureBytes));
    ClickItem(dlg, IDC_LOAD_SET);
    EXPECT_EQ(PictureOf(dlg.m_slot[7]), (Picture{128, 128, shapes_tests::ExpectedPicture(builder, 0, 7, true)}));
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, PatchingRightAfterLoadingRewritesTheSameIndicesSaveTheNamedCases) {
  for (bool gamma : {true, false}) {
    sample_shapes::ShapesFileBuilder builder;
    const std::string path = WriteShapesFile(builder);
    const std::vector<BYTE> before = FileBytes(path);
    WithEditor(path, [&](CJourneyDlg& dlg) {
      ChooseSet(dlg, 2);
      SetGammaBox(dlg, !gamma);
      ClickItem(dlg, IDC_LOAD_SET);
      ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    });
    const std::vector<BYTE> after = FileBytes(path);
    const SetPalette palette = shapes_tests::ExpectedPalette(builder.Set(2), gamma);
    std::size_t checked = 0;
    for (int image = 0; image < 30; ++image) {
      const LONGLONG at = builder.SetLayout(2).pixels[static_cast<std::size_t>(image)];
      for (LONGLONG i = at; i < at + kTextureBytes; ++i) {
        const BYTE stored = before[static_cast<std::size_t>(i)];
        const BYTE written = after[static_cast<std::size_t>(i)];
        if (written == stored) continue;
        // Only a lower entry of the same colour as the one shown may differ.
        ASSERT_LT(written, stored) << "image " << image;
        ASSERT_EQ(palette[written], palette[std::min<BYTE>(stored, 230)]) << "image " << image;
        ++checked;
      }
    }
    // Set 2 has 256 colours, so its pattern holds indices above 230.
    EXPECT_GT(checked, 0u);
    std::vector<std::pair<LONGLONG, LONGLONG>> images;
    for (LONGLONG at : builder.SetLayout(2).pixels) images.push_back({at, kTextureBytes});
    ExpectChangedOnlyInside(before, after, images);
  }
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, AnEmptyLandscapeSlotIsReportedAndTheFileIsUnchanged) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::vector<BYTE> before = FileBytes(path);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ChooseSet(dlg, 5);
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to write landscape texture"});
  EXPECT_EQ(FileBytes(path), before);
}

TEST_F(EditorJourney, AFileOpenElsewhereCannotBePatched) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  const std::string bitmap = WriteBitmapFile("plasma.bmp", 300, 200, &Plasma);
  const std::vector<BYTE> before = FileBytes(path);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[0], bitmap));
    HeldElsewhere reader(path, CFile::modeRead | CFile::shareDenyWrite);
    ASSERT_TRUE(reader.Holding());
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{kOpenFailed});
  EXPECT_EQ(FileBytes(path), before);
}

TEST_F(EditorJourney, AFileOneByteShortIsWarnedAboutAndPatchedWhereItsHeadersSay) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder, kExpectedShapesFileSize - 1);
  const std::string bitmap = WriteBitmapFile("plasma.bmp", 300, 200, &Plasma);
  const std::vector<BYTE> before = FileBytes(path);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[29], bitmap));
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    const LONGLONG at = builder.SetLayout(0).pixels[29];
    EXPECT_EQ(Slice(FileBytes(path), at, kTextureBytes), ReferenceIndices(PictureOf(dlg.m_slot[29]), builder, 0, true));
  });
  EXPECT_EQ(Messages(), std::vector<std::string>{kSizeWarning});
  EXPECT_EQ(FileBytes(path).size(), before.size());
}

TEST_F(EditorJourney, HeadersPointingPastTheEndAreToldAboutAndNothingIsWrittenThere) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  const LONGLONG length = static_cast<LONGLONG>(bytes.size());
  // Texture 8's image header, moved to the end of the file, puts its pixels
  // 100 bytes before the end: they would run past it.
  const auto& layout = builder.SetLayout(0);
  const LONGLONG header = length - 32 - 100;
  sample_shapes::PutBigEndian32(bytes, layout.imageTable + 4 * 8, static_cast<LONG>(header - layout.base));
  sample_shapes::PutBigEndian16(bytes, header, 0);
  const std::string path = shapes_tests::WriteShapes("past-the-end.shp2", bytes);
  const std::string bitmap = WriteBitmapFile("plasma.bmp", 300, 200, &Plasma);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[8], bitmap));
    ASSERT_TRUE(DropOn(dlg.m_slot[9], bitmap));
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
  });
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Texture #8 <column 3, row 2> lies outside the shapes file and was not written"});
  const std::vector<BYTE> after = FileBytes(path);
  const LONGLONG at9 = layout.pixels[9];
  ExpectChangedOnlyInside(bytes, after, {{at9, kTextureBytes}});
  EXPECT_NE(Slice(after, at9, kTextureBytes), Slice(bytes, at9, kTextureBytes)) << "texture 9 was written";
}

TEST_F(EditorJourney, AHeaderThatCannotBeReadStopsThePatchWithTheFileErrorAndWritesNothing) {
  sample_shapes::ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  sample_shapes::PutBigEndian32(bytes, builder.SetLayout(0).imageTable + 4 * 20, 0x7FFFFF00);
  const std::string path = shapes_tests::WriteShapes("unreadable-header.shp2", bytes);
  const std::string bitmap = WriteBitmapFile("plasma.bmp", 300, 200, &Plasma);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ASSERT_TRUE(DropOn(dlg.m_slot[3], bitmap));
    ASSERT_TRUE(DropOn(dlg.m_slot[20], bitmap));
    m_prompts.AnswerMessageBox(IDOK);
    ClickItem(dlg, IDC_PATCH_SHAPES_FILE);
    EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));
  });
  ASSERT_EQ(m_prompts.MessageBoxes().size(), 1u);
  EXPECT_NE(Messages()[0].find(path), std::string::npos)
      << "the framework's file error names the file: " << Messages()[0];
  EXPECT_EQ(FileBytes(path), bytes);
}

}  // namespace
}  // namespace editor_journey
