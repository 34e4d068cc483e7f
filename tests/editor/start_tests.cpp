// The main dialog as it opens, and choosing the shapes file.

#include "editor/shapes/slot_layout.h"
#include "editor/ui/auto_proxy.h"
#include "editor/ui/editor_ids.h"
#include "platform/afx/win_app.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resource_images.h"
#include "platform/user/window_functions.h"
#include "tests/editor/editor_journey.h"

namespace editor_journey {
namespace {

using kp::testing::WidgetRectInWindow;

// The control's rectangle in pixels, as the dialog's font maps the
// template's dialog units.
RECT Mapped(int x, int y, int cx, int cy) {
  return kp::afx::MapDialogUnits(RECT{x, y, x + cx, y + cy}, kp::qt::GetDialogBaseUnits("MS Sans Serif", 8));
}

void ExpectRect(HWND hWnd, const RECT& expected, const std::string& what) {
  RECT r = WidgetRectInWindow(hWnd);
  // A combo box shows its closed height; the template's height includes the list.
  EXPECT_EQ(r.left, expected.left) << what;
  EXPECT_EQ(r.top, expected.top) << what;
  EXPECT_EQ(r.right, expected.right) << what;
  if (what != "1008") {
    EXPECT_EQ(r.bottom, expected.bottom) << what;
  }
}

TEST_F(EditorJourney, OpensWithTheTextsStatesAndLayoutOfTheTemplate) {
  WithEditor([&](CJourneyDlg& dlg) {
    CString caption;
    dlg.GetWindowText(caption);
    EXPECT_EQ(caption, "Orvane Shape File Editor");
    EXPECT_TRUE(kp::testing::ShowsInTaskBar(dlg.m_hWnd));
    EXPECT_TRUE(kp::testing::HasMinimizeButton(dlg.m_hWnd));
    RECT client{};
    dlg.GetClientRect(&client);
    RECT whole = Mapped(0, 0, 446, 292);
    EXPECT_EQ(client.right, whole.right);
    EXPECT_EQ(client.bottom, whole.bottom);

    const struct {
      int id;
      const char* text;
      bool visible, enabled;
      int x, y, cx, cy;
    } rows[] = {
        {1012, "Select Shapes File...", true, true, 18, 234, 117, 14},
        {1009, "Patch Selected Shapes File...", true, false, 151, 234, 117, 14},
        {1010, "Load Set From Selected Shapes File...", true, false, 300, 226, 130, 14},
        {1046, "Disable gamma correction when loading", true, true, 293, 251, 150, 10},
        {IDOK, "OK", false, true, 321, 6, 50, 14},
        {1052, "Image Finder", false, true, 389, 6, 50, 14},
        {IDCANCEL, "Exit", true, true, 341, 271, 50, 14},
        {1011, "", true, true, 306, 110, 121, 107},
        {1013, "No Valid Shapes File Selected", true, true, 18, 253, 268, 14},
        {1007, "", false, true, 28, 63, 262, 120},
        {1060, "Drop texture bitmaps below ( recommended texture is 128 x 128 )", true, true, 18, 6, 272, 8},
        {1061, "Generate Palette Bitmap From Texture Set", true, false, 291, 69, 148, 14},
        {1008, "Texture Set # 1", true, true, 307, 50, 117, 131},
    };
    for (const auto& row : rows) {
      const std::string what = std::to_string(row.id);
      ASSERT_NE(Item(dlg, row.id), nullptr) << what;
      EXPECT_EQ(ItemText(dlg, row.id), row.text) << what;
      EXPECT_EQ(Visible(dlg, row.id), row.visible) << what;
      EXPECT_EQ(Enabled(dlg, row.id), row.enabled) << what;
      ExpectRect(Item(dlg, row.id), Mapped(row.x, row.y, row.cx, row.cy), what);
    }
    for (int k = 0; k < kTextureSlotCount; ++k) {
      const int id = SlotControlIds[static_cast<std::size_t>(k)];
      EXPECT_TRUE(Visible(dlg, id)) << k;
      ExpectRect(Item(dlg, id), Mapped(32 + 44 * (k % 6), 24 + 41 * (k / 6), 33, 32), "slot " + std::to_string(k));
      EXPECT_EQ(dlg.GetDlgItem(id), &dlg.m_slot[k]) << "slot " << k << " is bound to its wrapper";
    }
    EXPECT_EQ(dlg.GetDlgItem(IDC_PREVIEW), &dlg.m_wndPreview);
    EXPECT_EQ(dlg.GetDlgItem(IDC_LANDSCAPE), &dlg.m_wndLandscape);

    HWND list = Item(dlg, IDC_SET_LIST);
    ASSERT_EQ(::SendMessage(list, CB_GETCOUNT), 8);
    const char* names[] = {"Texture Set # 1", "Texture Set # 2", "Texture Set # 3", "Texture Set # 4",
                           "Landscape # 1",   "Landscape # 2",   "Landscape # 3",   "Landscape # 4"};
    for (int i = 0; i < 8; ++i) {
      char text[64] = {};
      ::SendMessage(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      EXPECT_STREQ(text, names[i]);
    }
    EXPECT_EQ(::SendMessage(list, CB_GETCURSEL), 0);
    EXPECT_EQ(::SendMessage(Item(dlg, IDC_DISABLE_GAMMA), BM_GETCHECK), BST_UNCHECKED);
    EXPECT_TRUE(kp::testing::IsReadOnlyEdit(Item(dlg, IDC_SHAPES_FILE_PATH)));
    EXPECT_EQ(PictureOf(dlg.m_wndPreview).width, 0) << "the preview starts empty";
    EXPECT_EQ(dlg.GetIcon(TRUE), ::LoadIcon(dlg.GetModuleInstance(), MAKEINTRESOURCE(IDR_MAINFRAME)));
    EXPECT_EQ(dlg.GetIcon(FALSE), dlg.GetIcon(TRUE));
  });
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, ChoosingAFileEnablesTheThreeCommandsAndACancelledSecondChoiceKeepsIt) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  WithEditor(path, [&](CJourneyDlg& dlg) {
    ASSERT_EQ(m_prompts.FileDialogs().size(), 1u);
    const auto& request = m_prompts.FileDialogs()[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.title, "Please specify location of the 'shapes' file");
    EXPECT_EQ(request.filter, "Shapes Files (*.shp2)|*.shp2|All Files (*.*)|*.*||");
    EXPECT_EQ(request.initialName, "shapes.shp2");
    EXPECT_EQ(request.defaultExtension, "shp2");
    EXPECT_EQ(request.flags & (OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT),
              OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(request.owner, dlg.m_hWnd);

    EXPECT_EQ(ItemText(dlg, IDC_SHAPES_FILE_PATH), path);
    EXPECT_EQ(dlg.m_strShapesFile, path.c_str());
    for (int id : {1061, 1009, 1010}) EXPECT_TRUE(Enabled(dlg, id)) << id;

    m_prompts.CancelFileDialog();
    ClickItem(dlg, IDC_SELECT_SHAPES_FILE);
    EXPECT_EQ(m_prompts.FileDialogs().size(), 2u);
    EXPECT_EQ(ItemText(dlg, IDC_SHAPES_FILE_PATH), path);
    EXPECT_EQ(dlg.m_strShapesFile, path.c_str());
    for (int id : {1061, 1009, 1010}) EXPECT_TRUE(Enabled(dlg, id)) << id;
  });
  EXPECT_TRUE(m_prompts.ScriptDone());
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

TEST_F(EditorJourney, ExitEscapeAndTheCloseBoxEndTheDialogWithoutAClient) {
  // clang-format off
  const struct {
    const char* how;
    std::function<void(CJourneyDlg&)> close;
    INT_PTR result;
  } rows[] = {
      {"Exit", [](CJourneyDlg& dlg) { ClickItem(dlg, IDCANCEL); }, IDCANCEL},
      {"Esc", [](CJourneyDlg& dlg) { kp::testing::PressKey(dlg.m_hWnd, VK_ESCAPE); }, IDCANCEL},
      {"close box", [](CJourneyDlg& dlg) { kp::testing::CloseWindow(dlg.m_hWnd); }, IDCANCEL},
      {"Enter", [](CJourneyDlg& dlg) {
         kp::testing::Click(Item(dlg, IDC_DISABLE_GAMMA));
         kp::testing::PressKey(dlg.m_hWnd, VK_RETURN);
       }, IDOK},
  };
  // clang-format on
  for (const auto& row : rows) {
    bool gamma = false;
    INT_PTR result = WithEditor([&](CJourneyDlg& dlg) {
      row.close(dlg);
      kp::testing::ProcessEvents();
      gamma = dlg.m_bDisableGamma != FALSE;
    });
    EXPECT_EQ(result, row.result) << row.how;
    if (row.result == IDOK) {
      EXPECT_TRUE(gamma) << "OK took the controls' values into the members first";
    }
  }
}

TEST_F(EditorJourney, WhileAClientHoldsTheEditorClosingOnlyHidesItAndKeepsEverySlot) {
  sample_shapes::ShapesFileBuilder builder;
  const std::string path = WriteShapesFile(builder);
  CWinApp app;
  const struct {
    const char* how;
    std::function<void(CJourneyDlg&)> close;
  } rows[] = {
      {"Exit", [](CJourneyDlg& dlg) { ClickItem(dlg, IDCANCEL); }},
      {"Esc", [](CJourneyDlg& dlg) { kp::testing::PressKey(dlg.m_hWnd, VK_ESCAPE); }},
      {"Enter", [](CJourneyDlg& dlg) { kp::testing::PressKey(dlg.m_hWnd, VK_RETURN); }},
      {"close box", [](CJourneyDlg& dlg) { kp::testing::CloseWindow(dlg.m_hWnd); }},
  };
  const INT_PTR result = WithEditor([&](CJourneyDlg& dlg) {
    app.m_pMainWnd = &dlg;
    auto* proxy = static_cast<CKestrowDlgAutoProxy*>(RUNTIME_CLASS(CKestrowDlgAutoProxy)->CreateObject());
    ASSERT_EQ(dlg.m_pAutoProxy, proxy);
    SelectShapesFile(dlg, path);
    ClickItem(dlg, IDC_LOAD_SET);
    std::vector<Picture> slots;
    for (CTavlet& slot : dlg.m_slot) slots.push_back(PictureOf(slot));
    for (const auto& row : rows) {
      dlg.ShowWindow(SW_SHOW);
      kp::testing::ProcessEvents();
      row.close(dlg);
      kp::testing::ProcessEvents();
      EXPECT_FALSE(dlg.IsWindowVisible()) << row.how;
      EXPECT_TRUE(kp::qt::IsModalLoopRunning(dlg.m_hWnd)) << row.how;
    }
    for (int k = 0; k < kTextureSlotCount; ++k)
      EXPECT_EQ(PictureOf(dlg.m_slot[k]), slots[static_cast<std::size_t>(k)]) << "slot " << k;

    // Once the client lets go, Exit closes the dialog again.
    proxy->ExternalRelease();
    EXPECT_EQ(dlg.m_pAutoProxy, nullptr);
    dlg.ShowWindow(SW_SHOW);
    kp::testing::ProcessEvents();
    ClickItem(dlg, IDCANCEL);
    app.m_pMainWnd = nullptr;
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(m_prompts.MessageBoxes().empty());
}

}  // namespace
}  // namespace editor_journey
