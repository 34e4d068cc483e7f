#include "platform/afx/tests/control_host_dialog.h"

#include "platform/resources/resource_table.h"

namespace control_host {
namespace {
using kp::resources::DialogItem;
using Class = DialogItem::Class;
using namespace drop_test;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr CLSID CLSID_NotRegistered = {0x7D21A3BF, 0x5C1E, 0x4A8F, {0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A, 0x77, 0x10}};

// clang-format off
const kp::resources::DialogTemplate kHost = {
    "Control Host", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 300, 160,
    "MS Sans Serif", 8,
    {
        {Class::Control, IDC_SLOT_A, "", 7, 7, 50, 50, kChild | WS_TABSTOP, 0, &CLSID_DropTestCtrl},
        {Class::ComboBox, IDC_LIST, "", 70, 7, 60, 60, kChild | WS_TABSTOP | CBS_DROPDOWNLIST},
        {Class::Control, IDC_PREVIEW, "", 140, 7, 50, 50, kChild | WS_TABSTOP, 0, &CLSID_DropTestCtrl},
        {Class::Control, IDC_FINDER, "", 7, 70, 40, 30, kChild | WS_TABSTOP, 0, &CLSID_DropTestCtrl},
        {Class::Control, IDC_FRESH, "", 70, 70, 40, 30, kChild | WS_TABSTOP | WS_GROUP, 0, &CLSID_DropTestCtrl},
        {Class::Button, IDC_OTHER, "Other", 140, 70, 50, 14, kChild | WS_TABSTOP},
        {Class::Button, IDOK, "OK", 240, 140, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
    },
};
// clang-format on

// clang-format off
const kp::resources::DialogTemplate kUnregistered = {
    "Unregistered", WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 60, "MS Sans Serif", 8,
    {
        {Class::Control, IDC_SLOT_A, "", 7, 7, 40, 40, kChild, 0, &CLSID_DropTestCtrl},
        {Class::Control, IDC_PREVIEW, "", 50, 7, 40, 40, kChild, 0, &CLSID_NotRegistered},
    },
};
// clang-format on

// clang-format off
const kp::resources::DialogTemplate kTruncated = {
    "Truncated", WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 60, "MS Sans Serif", 8,
    {{Class::Control, IDC_SLOT_A, "", 7, 7, 40, 40, kChild, 0, &CLSID_DropTestCtrl}},
};
// clang-format on

const kp::resources::DialogTemplate kEmpty = {
    "Empty", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 200, 100, "MS Sans Serif", 8, {},
};

// The 17-byte control stream: version 1.0, the extents, no stock
// properties, and the InitiallyDroppable byte.
std::vector<BYTE> Stream(LONG cx, LONG cy, BYTE droppable) {
  std::vector<BYTE> s = {0x00, 0x00, 0x01, 0x00};
  for (LONG v : {cx, cy, LONG{0}})
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<BYTE>(static_cast<DWORD>(v) >> (8 * i)));
  s.push_back(droppable);
  return s;
}

void AppendRecord(std::vector<BYTE>& out, WORD id, WORD message, const std::vector<BYTE>& data) {
  out.push_back(static_cast<BYTE>(id));
  out.push_back(static_cast<BYTE>(id >> 8));
  out.push_back(static_cast<BYTE>(message));
  out.push_back(static_cast<BYTE>(message >> 8));
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(data.size() >> (8 * i)));
  out.insert(out.end(), data.begin(), data.end());
}

// A creation record: a count of 0 (no license key), then the stream.
std::vector<BYTE> Creation(const std::vector<BYTE>& stream) {
  std::vector<BYTE> data = {0, 0, 0, 0};
  data.insert(data.end(), stream.begin(), stream.end());
  return data;
}

const std::vector<BYTE> kHostInit = [] {
  std::vector<BYTE> out;
  AppendRecord(out, IDC_SLOT_A, WM_OCC_LOADFROMSTREAM, Creation(Stream(1323, 1376, 0x70)));
  AppendRecord(out, IDC_LIST, CB_ADDSTRING, {'O', 'n', 'e', 0});
  AppendRecord(out, IDC_PREVIEW, WM_OCC_LOADFROMSTREAM, Creation(Stream(4815, 4604, 0x00)));
  AppendRecord(out, IDC_FINDER, WM_OCC_LOADFROMSTREAM, Creation(Stream(7911, 7435, 0x01)));
  out.push_back(0);
  out.push_back(0);
  return out;
}();

const std::vector<BYTE> kTruncatedInit = [] {
  std::vector<BYTE> out;
  std::vector<BYTE> cut = Stream(1323, 1376, 0x70);
  cut.resize(10);
  AppendRecord(out, IDC_SLOT_A, WM_OCC_LOADFROMSTREAM, Creation(cut));
  out.push_back(0);
  out.push_back(0);
  return out;
}();

const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  table.dialogs = {
      {IDD_HOST, &kHost}, {IDD_UNREGISTERED, &kUnregistered}, {IDD_TRUNCATED, &kTruncated}, {IDD_EMPTY, &kEmpty}};
  table.dialogInit = {{IDD_HOST, kHostInit}, {IDD_TRUNCATED, kTruncatedInit}};
  return table;
}();
}  // namespace

std::vector<BYTE> RecordStream(int controlId) {
  switch (controlId) {
    case IDC_SLOT_A: return Stream(1323, 1376, 0x70);
    case IDC_PREVIEW: return Stream(4815, 4604, 0x00);
    case IDC_FINDER: return Stream(7911, 7435, 0x01);
    default: return {};
  }
}

}  // namespace control_host

KP_MODULE_RESOURCES(control_host::kResources)

namespace control_host {

BOOL CDropTest::RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy) {
  BOOL result = FALSE;
  static BYTE parms[] = VTS_PI4 VTS_I2 VTS_I2;
  InvokeHelper(DispRecreateBitmap, DISPATCH_METHOD, VT_BOOL, &result, parms, rgb, sx, sy);
  return result;
}

LONG CDropTest::GetBitmapHandle() {
  LONG result = 0;
  InvokeHelper(DispGetHandle, DISPATCH_METHOD, VT_I4, &result, nullptr);
  return result;
}

BOOL CDropTest::SetBitmapHandle(LONG hbm) {
  BOOL result = FALSE;
  static BYTE parms[] = VTS_I4;
  InvokeHelper(DispSetHandle, DISPATCH_METHOD, VT_BOOL, &result, parms, hbm);
  return result;
}

BOOL CDropTest::GetDroppable(DISPID dispid) {
  BOOL result = FALSE;
  InvokeHelper(dispid, DISPATCH_PROPERTYGET, VT_BOOL, &result, nullptr);
  return result;
}

void CDropTest::SetDroppable(BOOL value) {
  static BYTE parms[] = VTS_BOOL;
  InvokeHelper(DispDroppable, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, parms, value);
}

LONG CDropTest::GetFocusCount() {
  LONG result = 0;
  InvokeHelper(DispGetFocusCount, DISPATCH_METHOD, VT_I4, &result, nullptr);
  return result;
}

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
ON_EVENT(CHostDlg, IDC_SLOT_A, EventChange, OnChangeSlotA, VTS_NONE)
ON_EVENT(CHostDlg, IDC_PREVIEW, EventChange, OnChangePreview, VTS_NONE)
ON_EVENT(CHostDlg, IDC_FINDER, EventChange, OnChangeFinder, VTS_NONE)
ON_EVENT(CHostDlg, IDC_FRESH, EventChange, OnChangeFresh, VTS_NONE)
ON_EVENT(CHostDlg, IDC_SLOT_A, EventDropped, OnDroppedSlotA, VTS_BSTR)
ON_EVENT(CHostDlg, IDC_PREVIEW, EventDropped, OnDroppedPreview, VTS_BSTR)
END_EVENTSINK_MAP()

BOOL CHostDlg::OnInitDialog() {
  m_events.push_back("init");
  return CDialog::OnInitDialog();
}

void CHostDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_SLOT_A, m_slotA);
  DDX_Control(pDX, IDC_PREVIEW, m_preview);
  DDX_Control(pDX, IDC_FINDER, m_finder);
  DDX_Control(pDX, IDC_FRESH, m_fresh);
}

BOOL CHostDlg::Note(const std::string& event) {
  m_events.push_back(event);
  return TRUE;
}
BOOL CHostDlg::OnChangeSlotA() { return Note("change 1005"); }
BOOL CHostDlg::OnChangePreview() { return Note("change 1011"); }
BOOL CHostDlg::OnChangeFinder() { return Note("change 1051"); }
BOOL CHostDlg::OnChangeFresh() { return Note("change 1060"); }
BOOL CHostDlg::OnDroppedSlotA(LPCTSTR path) { return Note(std::string("dropped 1005 ") + path); }
BOOL CHostDlg::OnDroppedPreview(LPCTSTR path) { return Note(std::string("dropped 1011 ") + path); }

}  // namespace control_host
