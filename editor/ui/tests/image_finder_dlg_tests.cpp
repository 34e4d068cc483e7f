#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "editor/shapes/image_probe.h"
#include "editor/shapes/sample/shapes_file_builder.h"
#include "editor/shapes/set_images.h"
#include "editor/shapes/shapes_file_open.h"
#include "editor/ui/image_finder_dlg.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/vts.h"
#include "platform/gdi/gdi.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resources.h"
#include "platform/testing/bitmap_pixels.h"
#include "platform/testing/run_program.h"
#include "platform/testing/scripted_prompts.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/temp_registry.h"
#include "platform/testing/ui_driver.h"
#include "platform/user/window_functions.h"

namespace {

using Dlg = CImageFinderDlg;
using sample_shapes::ShapesFileBuilder;

constexpr int kFirstTextureHeader = 17;
constexpr int kProbeHeader = 5;  // not a set: 16 colours, two 16 x 16 images

std::string TempPath(const std::string& name) { return kp::testing::TemporaryRoot() + "/" + name; }

// A picture as width, height and 0x00RRGGBB pixels, rows bottom-up.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
};

// What the finder's image control holds; width 0 when it holds nothing.
Picture ControlPicture(CTavlet& control) {
  const LONG handle = control.GetBitmapHandle();
  Picture picture;
  if (handle == 0) return picture;
  HBITMAP bitmap = Long32ToHandle<HBITMAP>(static_cast<std::uint32_t>(handle));
  BITMAP described{};
  if (::GetObject(bitmap, sizeof described, &described) == 0) return picture;
  return {described.bmWidth, described.bmHeight,
          kp::testing::BitmapPixels(bitmap, described.bmWidth, described.bmHeight)};
}

// Image `image` of set `setIndex` as Load Set shows it, gamma on.
Picture SetImage(const std::string& path, int setIndex, int image) {
  CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyWrite);
  Picture picture;
  ReadSetImages(file, setIndex, FALSE, [&](const SetImagePixels& p) {
    if (p.image != image) return;
    picture.width = p.width;
    picture.height = p.height;
    picture.pixels.assign(p.pixels, p.pixels + static_cast<std::size_t>(p.width) * p.height);
  });
  return picture;
}

std::string Field(Dlg& dlg, int id) { return kp::qt::GetWindowText(::GetDlgItem(dlg.m_hWnd, id)); }
void Type(Dlg& dlg, int id, const std::string& text) { kp::testing::TypeText(::GetDlgItem(dlg.m_hWnd, id), text); }
void Press(Dlg& dlg, int id) { kp::testing::Click(::GetDlgItem(dlg.m_hWnd, id)); }

// The numeric fields in the order of the data exchange.
// clang-format off
constexpr int kFields[] = {
    Dlg::IDC_FINDER_BASE_OFFSET,  Dlg::IDC_FINDER_X_SIZE,       Dlg::IDC_FINDER_Y_SIZE,
    Dlg::IDC_FINDER_NUM_ENTRIES,  Dlg::IDC_FINDER_PALETTE_OFFSET, Dlg::IDC_FINDER_HEADER,
    Dlg::IDC_FINDER_IMAGE_COUNT,  Dlg::IDC_FINDER_IMAGE_NUMBER,  Dlg::IDC_FINDER_IMAGE_OFFSET,
    Dlg::IDC_FINDER_IMAGE_HEADER_OFFSET, Dlg::IDC_FINDER_RES_HEADER_OFFSET,
};
// clang-format on

std::vector<std::string> AllFields(Dlg& dlg) {
  std::vector<std::string> texts;
  for (int id : kFields) texts.push_back(Field(dlg, id));
  return texts;
}

std::string EndOfFileMessage(const std::string& path) {
  return "An attempt was made to access " + path + " past its end.";
}

class ImageFinder : public ::testing::Test {
 protected:
  void SetUp() override {
    kp::testing::UseFreshRegistry();
    ASSERT_TRUE(AfxOleInit());
    AfxEnableControlContainer();
    // Tavlet.ocx, registered by the real regsvr into the test's registry.
    ASSERT_EQ(kp::testing::RunProgram({REGSVR_PROGRAM, TAVLET_MODULE}).status, 0);
  }

  // Writes the builder's file (cut to `length`) and returns its path.
  std::string WriteShapes(ShapesFileBuilder& builder, const std::string& name,
                          ULONGLONG length = kExpectedShapesFileSize) {
    std::string path = TempPath(name);
    builder.WriteFile(path, length);
    return path;
  }

  // Opens the finder on `path` and runs `steps` inside it; the finder is
  // closed with Esc afterwards if the steps left it open.
  static void Open(Dlg& dlg, const std::string& path, const std::function<void()>& steps) {
    dlg.m_strShapesFile = path.c_str();
    kp::testing::RunModalWith(dlg, [&] {
      steps();
      if (::IsWindow(dlg.m_hWnd)) kp::testing::PressKey(dlg.m_hWnd, VK_ESCAPE);
    });
  }
};

TEST_F(ImageFinder, TemplateLaysOutTheFieldsTheButtonsAndTheDroppableImageControl) {
  const kp::resources::DialogTemplate* t = kp::resources::FindDialogTemplate(AfxGetInstanceHandle(), Dlg::IDD);
  ASSERT_NE(t, nullptr);
  EXPECT_STREQ(t->caption, "Image Finder");
  EXPECT_EQ(t->cx, 373);
  EXPECT_EQ(t->cy, 244);
  EXPECT_STREQ(t->fontName, "MS Sans Serif");
  EXPECT_EQ(t->pointSize, 8);
  EXPECT_EQ(t->style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  ASSERT_EQ(t->items.size(), 27u);

  const struct {
    int id;
    const char* text;  // nullptr: not checked
    short x, y, cx, cy;
    bool readOnly;
  } rows[] = {
      {1051, nullptr, 7, 7, 199, 173, false},
      {1062, nullptr, 253, 11, 24, 14, false},
      {1063, "Get values from header", 285, 11, 81, 14, false},
      {1064, nullptr, 268, 31, 37, 14, true},
      {1065, nullptr, 268, 50, 37, 14, false},
      {1047, nullptr, 261, 71, 96, 14, false},
      {1052, nullptr, 297, 90, 60, 14, true},
      {1054, nullptr, 297, 109, 60, 14, true},
      {1053, nullptr, 297, 130, 60, 14, true},
      {1048, nullptr, 246, 163, 40, 14, true},
      {1049, nullptr, 246, 183, 40, 14, true},
      {1050, "Load", 83, 201, 50, 14, false},
      {1056, nullptr, 213, 217, 70, 14, false},
      {1057, nullptr, 297, 217, 40, 14, false},
      {IDOK, "OK", 7, 202, 50, 14, false},
      {IDCANCEL, "Cancel", 7, 223, 50, 14, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    const kp::resources::DialogItem* item = nullptr;
    for (const auto& candidate : t->items)
      if (candidate.id == row.id) item = &candidate;
    ASSERT_NE(item, nullptr);
    if (row.text) {
      EXPECT_STREQ(item->text, row.text);
    }
    EXPECT_EQ((CRect(item->x, item->y, item->cx, item->cy)), (CRect(row.x, row.y, row.cx, row.cy)));
    if (item->windowClass == kp::resources::DialogItem::Class::Edit) {
      EXPECT_EQ((item->style & ES_READONLY) != 0, row.readOnly);
    }
    EXPECT_EQ((item->style & WS_VISIBLE) != 0, row.id != IDOK && row.id != IDCANCEL) << "OK and Cancel are hidden";
  }
  EXPECT_EQ(*t->items[0].clsid, tavlet::CLSID_Tavlet);

  // No item covers another, widened labels included.
  for (std::size_t i = 0; i < t->items.size(); ++i)
    for (std::size_t j = i + 1; j < t->items.size(); ++j) {
      const auto& a = t->items[i];
      const auto& b = t->items[j];
      const bool apart = a.x + a.cx <= b.x || b.x + b.cx <= a.x || a.y + a.cy <= b.y || b.y + b.cy <= a.y;
      EXPECT_TRUE(apart) << "items " << i << " and " << j << " overlap";
    }

  // The labels, in template order.
  std::vector<std::string> labels;
  for (const auto& item : t->items)
    if (item.windowClass == kp::resources::DialogItem::Class::Static) labels.push_back(item.text);
  EXPECT_EQ(labels, (std::vector<std::string>{
                        "Header #:", "image count:", "image number:", "Base Offset:", "res header offset from base:",
                        "image header offset from base:", "image offset from base:", "X Size", "Y Size",
                        "palette offset:", "num entries"}));
}

TEST_F(ImageFinder, OpensWithTheStartValuesAnEmptyDroppableImageAndHiddenOkAndCancel) {
  ShapesFileBuilder builder;
  const std::string path = WriteShapes(builder, "start.shp2");
  Dlg dlg;
  Open(dlg, path, [&] {
    EXPECT_EQ(AllFields(dlg),
              (std::vector<std::string>{"4617412", "128", "128", "231", "4614246", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(ControlPicture(dlg.m_wndImage).width, 0) << "the image control starts empty";
    EXPECT_FALSE(kp::qt::IsWindowVisible(::GetDlgItem(dlg.m_hWnd, IDOK)));
    EXPECT_FALSE(kp::qt::IsWindowVisible(::GetDlgItem(dlg.m_hWnd, IDCANCEL)));
    EXPECT_TRUE(kp::testing::IsReadOnlyEdit(::GetDlgItem(dlg.m_hWnd, Dlg::IDC_FINDER_X_SIZE)));
    EXPECT_FALSE(kp::testing::IsReadOnlyEdit(::GetDlgItem(dlg.m_hWnd, Dlg::IDC_FINDER_HEADER)));
    // The control was made from its creation record: it takes dropped files.
    BOOL droppable = FALSE;
    dlg.m_wndImage.InvokeHelper(tavlet::DispidInitiallyDroppable, DISPATCH_PROPERTYGET, VT_BOOL, &droppable, nullptr);
    EXPECT_TRUE(droppable);
  });
}

TEST_F(ImageFinder, GetValuesFromHeaderShowsWhatTheHeadersSayAndPullsTheImageNumberIn) {
  ShapesFileBuilder builder;
  builder.Block(kProbeHeader).images[1].field0 = 20;
  builder.Block(kProbeHeader).images[1].field1 = 12;
  const std::string path = WriteShapes(builder, "values.shp2");

  // clang-format off
  const struct {
    int header;
    int typedImage;
    int image;  // after the pull into the block
    int xSize, ySize;
  } rows[] = {
      {kFirstTextureHeader, 0, 0, 128, 128}, {kFirstTextureHeader, 500, 29, 128, 128},
      {kFirstTextureHeader, 12, 12, 128, 128}, {kProbeHeader, 1, 1, 12, 20},
      {kProbeHeader, 500, 1, 12, 20},          {kProbeHeader, -3, 0, 16, 16},
  };
  // clang-format on
  Dlg dlg;
  Open(dlg, path, [&] {
    for (const auto& row : rows) {
      SCOPED_TRACE("header " + std::to_string(row.header) + ", image " + std::to_string(row.typedImage));
      Type(dlg, Dlg::IDC_FINDER_HEADER, std::to_string(row.header));
      Type(dlg, Dlg::IDC_FINDER_IMAGE_NUMBER, std::to_string(row.typedImage));
      Press(dlg, Dlg::IDC_FINDER_GET_VALUES);

      const sample_shapes::BlockLayout& layout = builder.Layout(row.header);
      const LONGLONG imageHeader = layout.imageHeaders[static_cast<std::size_t>(row.image)] - layout.base;
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_COUNT), std::to_string(builder.Block(row.header).imageCount));
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_NUMBER), std::to_string(row.image));
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_BASE_OFFSET), std::to_string(layout.base));
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_RES_HEADER_OFFSET), std::to_string(layout.imageTable - layout.base));
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_HEADER_OFFSET), std::to_string(imageHeader));
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_OFFSET), std::to_string(imageHeader + 30 + 4 * row.ySize))
          << "30 + 4 x Y Size past the image header";
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_X_SIZE), std::to_string(row.xSize));
      EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_Y_SIZE), std::to_string(row.ySize));
    }
  });
  EXPECT_EQ(dlg.m_nImageNumber, 0);
  EXPECT_EQ(dlg.m_nXSize, 16);
}

TEST_F(ImageFinder, LoadShowsTheImageAsLoadSetShowsTheSameSlot) {
  ShapesFileBuilder builder;
  const std::string path = WriteShapes(builder, "load.shp2");
  const Picture slot0 = SetImage(path, 0, 0);
  const Picture slot7 = SetImage(path, 0, 7);
  ASSERT_EQ(slot0.width, 128);
  ASSERT_NE(slot0.pixels, slot7.pixels);

  Dlg dlg;
  Open(dlg, path, [&] {
    Type(dlg, Dlg::IDC_FINDER_HEADER, "17");
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    Press(dlg, Dlg::IDC_FINDER_LOAD);
    Picture shown = ControlPicture(dlg.m_wndImage);
    EXPECT_EQ(shown.width, 128);
    EXPECT_EQ(shown.height, 128);
    EXPECT_TRUE(shown.pixels == slot0.pixels) << "image 0 of header 17 is slot 0 of Texture Set # 1";
    // The colour count is kept without being shown.
    EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_NUM_ENTRIES), "231");
    EXPECT_EQ(dlg.m_nNumEntries, builder.Set(0).colourCount);

    // Load locates the image afresh from the numbers, not from the shown
    // offsets, and replaces the picture.
    Type(dlg, Dlg::IDC_FINDER_IMAGE_NUMBER, "7");
    Type(dlg, Dlg::IDC_FINDER_BASE_OFFSET, "12");
    Press(dlg, Dlg::IDC_FINDER_LOAD);
    shown = ControlPicture(dlg.m_wndImage);
    EXPECT_TRUE(shown.pixels == slot7.pixels);
  });
}

TEST_F(ImageFinder, SizesThatDescribeNoImageOfTheFileAreRefusedAndNoneBecomesOneByOne) {
  // clang-format off
  const struct {
    SHORT field0, field1;  // Y Size, X Size as the image header gives them
    bool refused;
  } rows[] = {
      {30000, 30000, true},   // 900 million pixels, more than the file has bytes
      {-5, -5, true},         // a positive product of no image
      {32767, 32767, true},
      {0, 128, false},        // nothing: 1 x 1
      {4, -3, false},
  };
  // clang-format on
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.field1) + " x " + std::to_string(row.field0));
    ShapesFileBuilder builder;
    std::vector<BYTE> bytes = builder.Build();
    const LONGLONG imageHeader = builder.Layout(kProbeHeader).imageHeaders[0];
    sample_shapes::PutBigEndian16(bytes, imageHeader, row.field0);
    sample_shapes::PutBigEndian16(bytes, imageHeader + 2, row.field1);
    const std::string path = TempPath("sizes" + std::to_string(n++) + ".shp2");
    sample_shapes::WriteBytes(path, bytes);
    kp::testing::ScriptedPrompts prompts;
    if (row.refused) prompts.AnswerMessageBox(IDOK);
    Dlg dlg;
    Open(dlg, path, [&] {
      Type(dlg, Dlg::IDC_FINDER_HEADER, std::to_string(kProbeHeader));
      Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
      Press(dlg, Dlg::IDC_FINDER_LOAD);
      const Picture shown = ControlPicture(dlg.m_wndImage);
      if (row.refused) {
        EXPECT_EQ(shown.width, 0) << "nothing is loaded";
      } else {
        EXPECT_EQ(shown.width, 1);
        EXPECT_EQ(shown.height, 1);
      }
    });
    EXPECT_TRUE(prompts.ScriptDone());
    if (row.refused) {
      ASSERT_EQ(prompts.MessageBoxes().size(), 1u);
      EXPECT_EQ(prompts.MessageBoxes()[0].text, StringPrintf(kImageProbeSizeRefusedFormat, row.field1, row.field0));
    } else {
      EXPECT_TRUE(prompts.MessageBoxes().empty());
    }
  }
}

TEST_F(ImageFinder, ReadingPastTheEndStopsWithTheFileErrorAndChangesNothing) {
  // The file ends inside the pixels of image 0 of header 17: its headers
  // can be read, its pixels cannot.
  ShapesFileBuilder builder;
  builder.Build();
  const ULONGLONG cut = static_cast<ULONGLONG>(builder.Layout(kFirstTextureHeader).pixels[0] + 100);
  const std::string path = WriteShapes(builder, "short.shp2", cut);

  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
  Dlg dlg;
  Open(dlg, path, [&] {
    Type(dlg, Dlg::IDC_FINDER_HEADER, "17");
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_COUNT), "30");
    Press(dlg, Dlg::IDC_FINDER_LOAD);
    EXPECT_EQ(ControlPicture(dlg.m_wndImage).width, 0);
  });
  EXPECT_TRUE(prompts.ScriptDone());
  std::vector<std::string> texts;
  for (const auto& box : prompts.MessageBoxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{kShapesFileSizeWarning, kShapesFileSizeWarning, EndOfFileMessage(path)}));
}

TEST_F(ImageFinder, AnImageTableEntryPointingPastTheEndLeavesTheFieldsAsTheyWere) {
  ShapesFileBuilder builder;
  std::vector<BYTE> bytes = builder.Build();
  sample_shapes::PutBigEndian32(bytes, builder.Layout(kProbeHeader).imageTable + 4, 20000000);
  const std::string path = TempPath("entry.shp2");
  sample_shapes::WriteBytes(path, bytes);

  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK);
  Dlg dlg;
  Open(dlg, path, [&] {
    Type(dlg, Dlg::IDC_FINDER_HEADER, std::to_string(kProbeHeader));
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    const std::vector<std::string> before = AllFields(dlg);
    EXPECT_EQ(before[6], "2") << "image count";
    Type(dlg, Dlg::IDC_FINDER_IMAGE_NUMBER, "1");
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    std::vector<std::string> after = AllFields(dlg);
    EXPECT_EQ(after[7], "1") << "the typed image number stays";
    after[7] = "0";
    EXPECT_EQ(after, before) << "nothing read from the damaged entry is shown";
  });
  ASSERT_EQ(prompts.MessageBoxes().size(), 1u);
  EXPECT_EQ(prompts.MessageBoxes()[0].text, EndOfFileMessage(path));
}

TEST_F(ImageFinder, AFileThatCannotBeOpenedIsReportedAndLoadChangesNothing) {
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
  Dlg dlg;
  Open(dlg, TempPath("missing.shp2"), [&] {
    Type(dlg, Dlg::IDC_FINDER_HEADER, "17");
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_HEADER), "17");
    EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_COUNT), "0");
    Press(dlg, Dlg::IDC_FINDER_LOAD);
    EXPECT_EQ(ControlPicture(dlg.m_wndImage).width, 0);
  });
  ASSERT_EQ(prompts.MessageBoxes().size(), 2u);
  for (const auto& box : prompts.MessageBoxes()) EXPECT_EQ(box.text, kShapesFileOpenFailedMessage);
}

TEST_F(ImageFinder, TheFieldsKeepTheirLastExchangedValuesBetweenOpenings) {
  ShapesFileBuilder builder;
  const std::string path = WriteShapes(builder, "reopen.shp2");
  Dlg dlg;
  std::vector<std::string> exchanged;
  Open(dlg, path, [&] {
    Type(dlg, Dlg::IDC_FINDER_HEADER, std::to_string(kProbeHeader));
    Type(dlg, Dlg::IDC_FINDER_IMAGE_NUMBER, "1");
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    Press(dlg, Dlg::IDC_FINDER_LOAD);
    EXPECT_EQ(ControlPicture(dlg.m_wndImage).width, 16);
    exchanged = AllFields(dlg);
    // Typed after the last exchange and left with Esc: not kept.
    Type(dlg, Dlg::IDC_FINDER_HEADER, "9");
  });
  // Load kept the block's colour count in its member without showing it;
  // the next opening shows the member.
  exchanged[3] = std::to_string(builder.Block(kProbeHeader).colourCount);
  Open(dlg, path, [&] {
    EXPECT_EQ(AllFields(dlg), exchanged);
    EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_HEADER), std::to_string(kProbeHeader));
    EXPECT_EQ(ControlPicture(dlg.m_wndImage).width, 0) << "the image control starts empty again";
  });
}

TEST_F(ImageFinder, TextThatIsNotANumberIsReportedAndTheCommandStops) {
  ShapesFileBuilder builder;
  const std::string path = WriteShapes(builder, "text.shp2");
  kp::testing::ScriptedPrompts prompts;
  prompts.AnswerMessageBox(IDOK).AnswerMessageBox(IDOK);
  Dlg dlg;
  Open(dlg, path, [&] {
    Type(dlg, Dlg::IDC_FINDER_HEADER, "seventeen");
    Press(dlg, Dlg::IDC_FINDER_GET_VALUES);
    EXPECT_EQ(Field(dlg, Dlg::IDC_FINDER_IMAGE_COUNT), "0") << "nothing was read";
    Type(dlg, Dlg::IDC_FINDER_HEADER, "17");
    Type(dlg, Dlg::IDC_FINDER_BASE_OFFSET, "-1");
    Press(dlg, Dlg::IDC_FINDER_LOAD);
    EXPECT_EQ(ControlPicture(dlg.m_wndImage).width, 0) << "nothing was loaded";
  });
  std::vector<std::string> texts;
  for (const auto& box : prompts.MessageBoxes()) texts.push_back(box.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Please enter an integer.",
                                             "Please enter an integer between 0 and 2147483647."}));
}

TEST_F(ImageFinder, ResourcesAreTheTemplateAndTheImageControlsCreationRecord) {
  kp::resources::ResourceTable table;
  AddImageFinderResources(table);
  ASSERT_EQ(table.dialogs.size(), 1u);
  EXPECT_EQ(table.dialogs[0].id, 133u);
  ASSERT_EQ(table.dialogInit.size(), 1u);
  EXPECT_EQ(table.dialogInit[0].id, 133u);
  const std::span<const BYTE> init = table.dialogInit[0].bytes;
  ASSERT_EQ(init.size(), 8u + 4u + tavlet::kStreamSize + 2u);
  EXPECT_EQ(init[0] | (init[1] << 8), 1051);
  EXPECT_EQ(init[8 + 4 + tavlet::kStreamInitiallyDroppableOffset], 1) << "the control takes dropped files";
  EXPECT_TRUE(table.bitmaps.empty());
}

}  // namespace
