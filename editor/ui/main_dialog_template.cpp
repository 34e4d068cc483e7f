#include "editor/ui/main_dialog_template.h"

#include <string>
#include <vector>

#include "editor/shapes/set_kinds.h"
#include "editor/shapes/slot_layout.h"
#include "editor/ui/editor_ids.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/wnd.h"

namespace {
using kp::resources::DialogItem;
using kp::resources::DialogTemplate;
using Class = DialogItem::Class;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// Slot k stands in column k mod 6 and row k div 6 of the grid.
constexpr short kSlotLeft = 32;
constexpr short kSlotTop = 24;
constexpr short kSlotPitchX = 44;
constexpr short kSlotPitchY = 41;
constexpr short kSlotWidth = 33;
constexpr short kSlotHeight = 32;

// Four texts are wider in the Linux dialog font than the rectangles made
// for the Windows one (measured: 130, 138, 217 and 222 pixels against 126,
// 132, 211 and 204), so these items are a few units wider than on Windows,
// the button keeping its centre; everything else stands where it did.
constexpr short kSetLabelWidth = 90;
constexpr short kPreviewLabelWidth = 96;
constexpr short kGammaBoxWidth = 150;
constexpr short kGenerateLeft = 291;
constexpr short kGenerateWidth = 148;

DialogTemplate MakeTemplate() {
  DialogTemplate t{
      "Orvane Shape File Editor",
      WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
      WS_EX_APPWINDOW,
      0,
      0,
      446,
      292,
      "MS Sans Serif",
      8,
      {
          {Class::ComboBox, IDC_SET_LIST, "", 307, 50, 117, 131,
           kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT},
          {Class::Button, IDC_SELECT_SHAPES_FILE, "Select Shapes File...", 18, 234, 117, 14,
           kChild | WS_TABSTOP | BS_PUSHBUTTON},
          {Class::Button, IDC_PATCH_SHAPES_FILE, "Patch Selected Shapes File...", 151, 234, 117, 14,
           kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON},
          {Class::Button, IDC_LOAD_SET, "Load Set From Selected Shapes File...", 300, 226, 130, 14,
           kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON},
          {Class::Button, IDC_DISABLE_GAMMA, "Disable gamma correction when loading", 293, 251, kGammaBoxWidth, 10,
           kChild | WS_TABSTOP | BS_AUTOCHECKBOX},
          {Class::Button, IDOK, "OK", 321, 6, 50, 14, WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON},
          {Class::Button, IDC_IMAGE_FINDER, "Image Finder", 389, 6, 50, 14, WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON},
          {Class::Button, IDCANCEL, "Exit", 341, 271, 50, 14, kChild | WS_TABSTOP | BS_PUSHBUTTON},
          {Class::Static, IDC_STATIC, "Texture set to be patched:", 301, 36, kSetLabelWidth, 8, kChild | SS_LEFT},
          {Class::Control, IDC_PREVIEW, "", 306, 110, 121, 107, kChild, 0, &tavlet::CLSID_Tavlet},
          {Class::Edit, IDC_SHAPES_FILE_PATH, "", 18, 253, 268, 14,
           kChild | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY},
          {Class::Static, IDC_STATIC, "Preview of selected texture:", 301, 96, kPreviewLabelWidth, 8, kChild | SS_LEFT},
          {Class::Control, IDC_LANDSCAPE, "", 28, 63, 262, 120, WS_CHILD | WS_TABSTOP, 0, &tavlet::CLSID_Tavlet},
          {Class::Static, IDC_DROP_HINT, "Drop texture bitmaps below ( recommended texture is 128 x 128 )", 18, 6, 272,
           8, kChild | SS_LEFT},
          {Class::Button, IDC_GENERATE_PALETTE_BITMAP, "Generate Palette Bitmap From Texture Set", kGenerateLeft, 69,
           kGenerateWidth, 14, kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON},
      },
  };
  for (int k = 0; k < kTextureSlotCount; ++k) {
    const auto x = static_cast<short>(kSlotLeft + kSlotPitchX * (k % kSlotColumns));
    const auto y = static_cast<short>(kSlotTop + kSlotPitchY * (k / kSlotColumns));
    const DWORD group = k == 0 ? WS_GROUP : 0;
    t.items.push_back({Class::Control, SlotControlIds[static_cast<std::size_t>(k)], "", x, y, kSlotWidth, kSlotHeight,
                       kChild | WS_TABSTOP | group, 0, &tavlet::CLSID_Tavlet});
  }
  return t;
}

// What each hosted control is created with: its extent in HIMETRIC and the
// InitiallyDroppable byte of its persisted stream.
struct CreationValues {
  LONG extentX;
  LONG extentY;
  BYTE initiallyDroppable;
};
constexpr CreationValues kSlotCreation = {1323, 1376, 0x70};
constexpr CreationValues kPreviewCreation = {4815, 4604, 0x00};
constexpr CreationValues kLandscapeCreation = {10398, 5159, 0x70};

void PutWord(std::vector<BYTE>& out, WORD value) {
  out.push_back(static_cast<BYTE>(value));
  out.push_back(static_cast<BYTE>(value >> 8));
}
void PutDword(std::vector<BYTE>& out, DWORD value) {
  PutWord(out, static_cast<WORD>(value));
  PutWord(out, static_cast<WORD>(value >> 16));
}

void PutRecord(std::vector<BYTE>& out, int controlId, UINT message, const std::vector<BYTE>& data) {
  PutWord(out, static_cast<WORD>(controlId));
  PutWord(out, static_cast<WORD>(message));
  PutDword(out, static_cast<DWORD>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

// A creation record's data: a count of 0 (no license key before the
// stream), then the 17-byte control stream, little-endian.
std::vector<BYTE> CreationRecord(const CreationValues& values) {
  std::vector<BYTE> data;
  PutDword(data, 0);
  PutDword(data, tavlet::kStreamVersion);
  PutDword(data, static_cast<DWORD>(values.extentX));
  PutDword(data, static_cast<DWORD>(values.extentY));
  PutDword(data, 0);  // no stock properties
  data.push_back(values.initiallyDroppable);
  return data;
}

// Records in the order the controls stand in the template.
std::vector<BYTE> MakeDialogInit() {
  std::vector<BYTE> out;
  for (const char* name : kSetListStrings) {  // list index = set index
    std::vector<BYTE> text(name, name + std::char_traits<char>::length(name) + 1);
    PutRecord(out, IDC_SET_LIST, CB_ADDSTRING, text);
  }
  PutRecord(out, IDC_PREVIEW, WM_OCC_LOADFROMSTREAM, CreationRecord(kPreviewCreation));
  PutRecord(out, IDC_LANDSCAPE, WM_OCC_LOADFROMSTREAM, CreationRecord(kLandscapeCreation));
  for (int id : SlotControlIds) PutRecord(out, id, WM_OCC_LOADFROMSTREAM, CreationRecord(kSlotCreation));
  PutWord(out, 0);
  return out;
}

const DialogTemplate& MainDialogTemplate() {
  static const DialogTemplate t = MakeTemplate();
  return t;
}

const std::vector<BYTE>& MainDialogInit() {
  static const std::vector<BYTE> bytes = MakeDialogInit();
  return bytes;
}

}  // namespace

void AddMainDialogResources(kp::resources::ResourceTable& table) {
  table.dialogs.push_back({IDD_KESTROW_DIALOG, &MainDialogTemplate()});
  table.dialogInit.push_back({IDD_KESTROW_DIALOG, MainDialogInit()});
}
