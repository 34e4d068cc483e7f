#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "control/tavlet_resource_ids.h"
#include "control/tests/tavlet_module.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resources.h"

namespace tavlet_test {
namespace {

using namespace tavlet;

class TavletResources : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(m_module, nullptr); }
  HINSTANCE m_module = LoadTavletModule();
};

TEST_F(TavletResources, TheStringTableHoldsExactlyTheModulesTexts) {
  struct Row {
    UINT id;
    const char* text;  // null: the module must not have it
  } rows[] = {
      {IDS_TAVLET, "Tavlet Control"},
      {IDS_TAVLET_PPG, "Tavlet Property Page"},
      {IDS_TAVLET_PPG_CAPTION, "General"},
      {ID_FILE_SAVE_AS, "Save the displayed bitmap with a new name\nSave As"},
      {ID_BITMAP_PROPERTIES, "Show properties of the displayed bitmap\nProperties"},
      {ID_CLEAR_CONTENTS, nullptr},
      {65089, nullptr},  // the Properties verb's name: containers show "<unknown verb>"
  };
  for (const Row& row : rows) {
    std::optional<std::string> text = kp::resources::FindStringResource(m_module, row.id);
    if (row.text == nullptr)
      EXPECT_FALSE(text.has_value()) << row.id;
    else
      EXPECT_EQ(text.value_or("<none>"), row.text) << row.id;
  }
}

// Save As, Clear Contents and Properties keep their places; Copy and Paste
// follow them, after a separator.
TEST_F(TavletResources, TheContextMenuIsOnePopupOfItsCommands) {
  const kp::resources::MenuTemplate* menu = kp::resources::FindMenuTemplate(m_module, IDR_BITMAP_MENU);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->items.size(), 1u);
  EXPECT_TRUE(menu->items[0].flags & MF_POPUP);
  struct Item {
    std::string text;
    UINT id;
    UINT flags;
    bool operator==(const Item&) const = default;
  };
  std::vector<Item> items;
  for (const auto& item : menu->items[0].popup) items.push_back({item.text ? item.text : "", item.id, item.flags});
  EXPECT_EQ(items, (std::vector<Item>{{"Save &As...", ID_FILE_SAVE_AS, MF_STRING},
                                      {"Clear Contents", ID_CLEAR_CONTENTS, MF_STRING},
                                      {"&Properties...", ID_BITMAP_PROPERTIES, MF_STRING},
                                      {"", 0, MF_SEPARATOR},
                                      {"Copy", ID_EDIT_COPY, MF_STRING},
                                      {"Paste", ID_EDIT_PASTE, MF_STRING}}))
      << "enabled in the resource: the update handlers grey them";
}

struct ItemRow {
  kp::resources::DialogItem::Class windowClass;
  int id;
  std::string text;
  short x, y, cx, cy;
  bool operator==(const ItemRow&) const = default;
};

std::vector<ItemRow> Items(const kp::resources::DialogTemplate& dialog) {
  std::vector<ItemRow> rows;
  for (const auto& item : dialog.items)
    rows.push_back({item.windowClass, item.id, item.text, item.x, item.y, item.cx, item.cy});
  return rows;
}

TEST_F(TavletResources, ThePropertyPageIsAChildDialogWithOneCheckBox) {
  const kp::resources::DialogTemplate* page = kp::resources::FindDialogTemplate(m_module, IDD_PROPPAGE_TAVLET);
  ASSERT_NE(page, nullptr);
  EXPECT_STREQ(page->caption, "");
  EXPECT_TRUE(page->style & WS_CHILD);
  EXPECT_EQ(page->cx, 250);
  EXPECT_EQ(page->cy, 62);
  using C = kp::resources::DialogItem::Class;
  EXPECT_EQ(Items(*page), (std::vector<ItemRow>{{C::Button, 201, "Initially Droppable", 7, 7, 71, 10}}));
  EXPECT_EQ(page->items[0].style & 0xF, static_cast<DWORD>(BS_AUTOCHECKBOX));
}

TEST_F(TavletResources, ThePropertiesDialogShowsTwoReadOnlySizesAndOk) {
  const kp::resources::DialogTemplate* dialog = kp::resources::FindDialogTemplate(m_module, IDD_BITMAP_PROPERTIES);
  ASSERT_NE(dialog, nullptr);
  EXPECT_STREQ(dialog->caption, "Properties...");
  for (DWORD style : {DWORD{WS_POPUP}, DWORD{WS_CAPTION}, DWORD{WS_SYSMENU}, DWORD{DS_MODALFRAME}})
    EXPECT_EQ(dialog->style & style, style) << std::hex << style;
  EXPECT_EQ(dialog->cx, 130);
  EXPECT_EQ(dialog->cy, 95);
  using C = kp::resources::DialogItem::Class;
  std::vector<ItemRow> items = Items(*dialog);
  for (ItemRow& item : items)
    if (item.windowClass == C::Static) item.cx = item.cy = 0;  // the statics' size is ours to choose
  EXPECT_EQ(items, (std::vector<ItemRow>{{C::Static, IDC_STATIC, "Width:", 7, 15, 0, 0},
                                         {C::Static, IDC_STATIC, "Height:", 7, 30, 0, 0},
                                         {C::Edit, 206, "", 35, 15, 40, 14},
                                         {C::Edit, 207, "", 35, 30, 40, 14},
                                         {C::Button, IDOK, "OK", 39, 74, 50, 14}}));
  for (const auto& item : dialog->items) {
    if (item.windowClass == C::Edit) {
      EXPECT_TRUE(item.style & ES_READONLY) << item.id;
    } else if (item.id == IDOK) {
      EXPECT_EQ(item.style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    } else {
      // The statics end before the edits begin.
      EXPECT_LE(item.x + item.cx, 35) << item.text;
    }
  }
}

TEST_F(TavletResources, TheVersionResourceDescribesASelfRegisteringModule) {
  const kp::resources::VersionInfo* version = kp::resources::FindVersionInfo(m_module);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(std::vector<WORD>(version->fileVersion, version->fileVersion + 4), (std::vector<WORD>{1, 0, 0, 1}));
  EXPECT_EQ(std::vector<WORD>(version->productVersion, version->productVersion + 4), (std::vector<WORD>{1, 0, 0, 1}));
  EXPECT_EQ(version->language, 0x0409);
  EXPECT_EQ(version->codePage, 0x04B0);
  std::vector<std::pair<std::string, std::string>> strings;
  for (const auto& s : version->strings) strings.emplace_back(s.name, s.value);
  std::sort(strings.begin(), strings.end());
  EXPECT_EQ(strings, (std::vector<std::pair<std::string, std::string>>{
                         {"CompanyName", ""},
                         {"FileDescription", "Tavlet ActiveX Control Module"},
                         {"FileVersion", "1, 0, 0, 1"},
                         {"InternalName", "Tavlet"},
                         {"LegalTrademarks", ""},
                         {"OLESelfRegister", ""},
                         {"OriginalFilename", "Tavlet.OCX"},
                         {"ProductName", "Tavlet ActiveX Control Module"},
                         {"ProductVersion", "1, 0, 0, 1"},
                     }));
}

TEST_F(TavletResources, TheToolboxBitmapIsSixteenByFifteenAtFourBits) {
  kp::gdi::ScopedBitmap bitmap(::LoadBitmap(m_module, MAKEINTRESOURCE(IDB_TAVLET)));
  ASSERT_TRUE(bitmap);
  BITMAP described{};
  ASSERT_EQ(::GetObject(bitmap.get(), sizeof described, &described), static_cast<int>(sizeof described));
  EXPECT_EQ(described.bmWidth, 16);
  EXPECT_EQ(described.bmHeight, 15);
  EXPECT_EQ(described.bmBitsPixel, 4);
}

}  // namespace
}  // namespace tavlet_test
