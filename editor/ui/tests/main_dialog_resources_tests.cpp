#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/shapes/slot_layout.h"
#include "editor/ui/art/editor_art.h"
#include "editor/ui/editor_ids.h"
#include "interfaces/tavlet_ids.h"
#include "platform/gdi/icon.h"
#include "platform/resources/dialog_init.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resources.h"

namespace {
using kp::resources::DialogItem;
using Class = DialogItem::Class;

// This test program links the editor's resource table as the program does,
// so the table must have registered itself for this module.
HINSTANCE Module() { return AfxGetInstanceHandle(); }

const kp::resources::DialogTemplate& MainTemplate() {
  const kp::resources::DialogTemplate* t = kp::resources::FindDialogTemplate(Module(), IDD_KESTROW_DIALOG);
  if (t == nullptr) throw std::runtime_error("template 102 is not registered for this module");
  return *t;
}

const DialogItem* FindItem(int id, const char* text = nullptr) {
  for (const DialogItem& item : MainTemplate().items)
    if (item.id == id && (text == nullptr || std::string(item.text) == text)) return &item;
  return nullptr;
}

TEST(MainDialogTemplate, IsRegisteredWithCaptionSizeFontAndWindowStyles) {
  const auto& t = MainTemplate();
  EXPECT_STREQ(t.caption, "Orvane Shape File Editor");
  EXPECT_EQ(t.cx, 446);
  EXPECT_EQ(t.cy, 292);
  EXPECT_STREQ(t.fontName, "MS Sans Serif");
  EXPECT_EQ(t.pointSize, 8);
  for (DWORD bit : {WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, DS_MODALFRAME})
    EXPECT_EQ(t.style & bit, bit) << std::hex << bit;
  EXPECT_EQ(t.style & WS_MAXIMIZEBOX, 0u);
  EXPECT_EQ(t.exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
}

TEST(MainDialogTemplate, ControlsStandWhereTheTableSaysWithTheirTextAndState) {
  struct Row {
    int id;
    Class kind;
    const char* text;
    short x, y, cx, cy;
    bool visible, enabled, tabStop;
  } rows[] = {
      {1008, Class::ComboBox, "", 307, 50, 117, 131, true, true, true},
      {1012, Class::Button, "Select Shapes File...", 18, 234, 117, 14, true, true, true},
      {1009, Class::Button, "Patch Selected Shapes File...", 151, 234, 117, 14, true, false, true},
      {1010, Class::Button, "Load Set From Selected Shapes File...", 300, 226, 130, 14, true, false, true},
      {1046, Class::Button, "Disable gamma correction when loading", 293, 251, 150, 10, true, true, true},
      {IDOK, Class::Button, "OK", 321, 6, 50, 14, false, true, true},
      {1052, Class::Button, "Image Finder", 389, 6, 50, 14, false, true, true},
      {IDCANCEL, Class::Button, "Exit", 341, 271, 50, 14, true, true, true},
      {IDC_STATIC, Class::Static, "Texture set to be patched:", 301, 36, 90, 8, true, true, false},
      {1011, Class::Control, "", 306, 110, 121, 107, true, true, false},
      {1013, Class::Edit, "", 18, 253, 268, 14, true, true, false},
      {IDC_STATIC, Class::Static, "Preview of selected texture:", 301, 96, 96, 8, true, true, false},
      {1007, Class::Control, "", 28, 63, 262, 120, false, true, true},
      {1060, Class::Static, "Drop texture bitmaps below ( recommended texture is 128 x 128 )", 18, 6, 272, 8, true,
       true, false},
      {1061, Class::Button, "Generate Palette Bitmap From Texture Set", 291, 69, 148, 14, true, false, true},
  };
  const auto& items = MainTemplate().items;
  ASSERT_EQ(items.size(), std::size(rows) + 30);
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    const DialogItem& item = items[i];  // template order is the table's order
    SCOPED_TRACE(row.text[0] ? row.text : std::to_string(row.id));
    EXPECT_EQ(item.id, row.id);
    EXPECT_EQ(item.windowClass, row.kind);
    EXPECT_STREQ(item.text, row.text);
    EXPECT_EQ((std::array<short, 4>{item.x, item.y, item.cx, item.cy}),
              (std::array<short, 4>{row.x, row.y, row.cx, row.cy}));
    EXPECT_EQ((item.style & WS_VISIBLE) != 0, row.visible);
    EXPECT_EQ((item.style & WS_DISABLED) == 0, row.enabled);
    EXPECT_EQ((item.style & WS_TABSTOP) != 0, row.tabStop);
    EXPECT_EQ(item.style & WS_CHILD, WS_CHILD);
  }
  EXPECT_EQ(FindItem(1008)->style & 0xF, CBS_DROPDOWNLIST);
  EXPECT_EQ(FindItem(1008)->style & (WS_VSCROLL | CBS_NOINTEGRALHEIGHT | CBS_SORT), WS_VSCROLL | CBS_NOINTEGRALHEIGHT);
  EXPECT_EQ(FindItem(IDOK)->style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(FindItem(1046)->style & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_EQ(FindItem(1013)->style & (ES_READONLY | ES_AUTOHSCROLL | WS_BORDER),
            ES_READONLY | ES_AUTOHSCROLL | WS_BORDER);
  for (int id : {1007, 1011}) EXPECT_EQ(*FindItem(id)->clsid, tavlet::CLSID_Tavlet) << id;
}

TEST(MainDialogTemplate, TheThirtySlotsFormASixByFiveGridOfTabStopsStartingAGroup) {
  const auto& items = MainTemplate().items;
  for (int k = 0; k < 30; ++k) {
    const DialogItem& item = items[15 + static_cast<std::size_t>(k)];
    SCOPED_TRACE("slot " + std::to_string(k));
    EXPECT_EQ(item.id, k < 2 ? 1005 + k : 1016 + k);
    EXPECT_EQ(item.windowClass, Class::Control);
    ASSERT_NE(item.clsid, nullptr);
    EXPECT_EQ(*item.clsid, tavlet::CLSID_Tavlet);
    EXPECT_EQ(item.x, 32 + 44 * (k % 6));
    EXPECT_EQ(item.y, 24 + 41 * (k / 6));
    EXPECT_EQ(item.cx, 33);
    EXPECT_EQ(item.cy, 32);
    EXPECT_EQ(item.style & (WS_VISIBLE | WS_TABSTOP), WS_VISIBLE | WS_TABSTOP);
    EXPECT_EQ((item.style & WS_GROUP) != 0, k == 0);
  }
}

// One creation record as the control container reads it: a zero count,
// then the 17-byte stream, every field little-endian.
std::vector<BYTE> Record(DWORD extentX, DWORD extentY, BYTE droppable) {
  std::vector<BYTE> bytes = {0,    0,    0,    0,      // no license key
                             0x00, 0x00, 0x01, 0x00};  // _Version 0x00010000
  for (DWORD value : {extentX, extentY, DWORD{0}})     // _ExtentX, _ExtentY, _StockProps
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(value >> shift));
  bytes.push_back(droppable);  // InitiallyDroppable
  return bytes;
}

TEST(MainDialogInit, HoldsTheEightSetNamesThenACreationRecordPerHostedControlInTemplateOrder) {
  auto bytes = kp::resources::FindResourceBytes(Module(), MAKEINTRESOURCE(IDD_KESTROW_DIALOG), RT_DLGINIT);
  ASSERT_TRUE(bytes.has_value());
  std::vector<kp::resources::DialogInitRecord> records;
  ASSERT_EQ(kp::resources::ParseDialogInit(*bytes, records), kp::resources::DialogInitError::None);
  ASSERT_EQ(records.size(), 8u + 32u);

  const char* names[] = {"Texture Set # 1", "Texture Set # 2", "Texture Set # 3", "Texture Set # 4",
                         "Landscape # 1",   "Landscape # 2",   "Landscape # 3",   "Landscape # 4"};
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(records[i].controlId, 1008);
    EXPECT_EQ(records[i].message, CB_ADDSTRING);
    std::string text(records[i].data.begin(), records[i].data.end());
    EXPECT_EQ(text, std::string(names[i]) + '\0');
  }

  struct Expected {
    int id;
    std::vector<BYTE> data;
  };
  std::vector<Expected> expected = {{1011, Record(4815, 4604, 0x00)}, {1007, Record(10398, 5159, 0x70)}};
  for (int k = 0; k < 30; ++k) expected.push_back({k < 2 ? 1005 + k : 1016 + k, Record(1323, 1376, 0x70)});
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& record = records[8 + i];
    SCOPED_TRACE("control " + std::to_string(expected[i].id));
    EXPECT_EQ(record.controlId, expected[i].id);
    EXPECT_EQ(record.message, 0x376u);
    EXPECT_EQ(record.data.size(), 21u);
    EXPECT_EQ(std::vector<BYTE>(record.data.begin(), record.data.end()), expected[i].data);
  }
}

TEST(EditorResources, StringsIconAndVersion) {
  const struct {
    UINT id;
    const char* text;
  } strings[] = {
      {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
      {101, "&About Kestrow..."},
      {57665, "Drop landscape bitmap below ( recommended texture is 512 x 270 )"},
      {57666, "Drop texture bitmaps below ( recommended texture is 128 x 128 )"},
  };
  for (const auto& s : strings) EXPECT_EQ(kp::resources::LoadStringResource(Module(), s.id), s.text) << s.id;

  HICON icon = ::LoadIcon(Module(), MAKEINTRESOURCE(128));
  ASSERT_NE(icon, nullptr);
  std::vector<kp::gdi::IconImage> images = kp::gdi::GetIconImages(icon);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].width, 32);
  EXPECT_EQ(images[1].width, 16);
  EXPECT_EQ(images[0].argb, kp::gdi::DecodeIconImage(ProgramIconImage(32))->argb);

  const kp::resources::VersionInfo* version = kp::resources::FindVersionInfo(Module());
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(std::vector<WORD>(version->fileVersion, version->fileVersion + 4), (std::vector<WORD>{1, 3, 0, 0}));
  EXPECT_EQ(std::vector<WORD>(version->productVersion, version->productVersion + 4), (std::vector<WORD>{1, 3, 0, 0}));
  const struct {
    const char* name;
    const char* value;
  } entries[] = {{"FileVersion", "1, 3, 0, 0"},
                 {"ProductVersion", "1, 3, 0, 0"},
                 {"ProductName", "Kestrow Application"},
                 {"FileDescription", "Kestrow MFC Application"},
                 {"InternalName", "Kestrow"},
                 {"OriginalFilename", "Kestrow.EXE"}};
  for (const auto& entry : entries)
    EXPECT_EQ(kp::resources::FindVersionString(Module(), entry.name).value_or("<none>"), entry.value) << entry.name;
}

}  // namespace
