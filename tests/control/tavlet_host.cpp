#include "tests/control/tavlet_host.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/afx/event_sink_map.h"
#include "platform/gdi/gdi.h"
#include "platform/resources/resource_table.h"
#include "platform/testing/file_contents.h"
#include "platform/testing/temp_environment.h"
#include "platform/testing/ui_driver.h"
#include "tests/control/tavlet_calls.h"

namespace tavlet_host {
namespace {

using kp::resources::DialogItem;
using Class = DialogItem::Class;
using tavlet::CLSID_Tavlet;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

// clang-format off
const kp::resources::DialogTemplate kHost = {
    "Tavlet Host", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 300, 160,
    "MS Sans Serif", 8,
    {
        {Class::Button, IDC_OTHER, "Other", 200, 60, 50, 14, kChild | WS_TABSTOP},
        {Class::Control, IDC_SLOT, "", 7, 7, 40, 40, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Control, IDC_PREVIEW, "", 55, 7, 40, 40, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Control, IDC_LANDSCAPE, "", 103, 7, 80, 42, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Control, IDC_FINDER, "", 7, 60, 60, 56, kChild | WS_TABSTOP, 0, &CLSID_Tavlet},
        {Class::Button, IDOK, "OK", 240, 140, 50, 14, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON},
    },
};
// clang-format on

const kp::resources::DialogTemplate kEmpty = {
    "Empty", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT, 0, 0, 0, 200, 100, "MS Sans Serif", 8, {},
};

void AppendLittleEndian(std::vector<BYTE>& out, DWORD value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

std::vector<BYTE> Stream(LONG cx, LONG cy, BYTE droppable) {
  std::vector<BYTE> s;
  AppendLittleEndian(s, tavlet::kStreamVersion, 4);
  AppendLittleEndian(s, static_cast<DWORD>(cx), 4);
  AppendLittleEndian(s, static_cast<DWORD>(cy), 4);
  AppendLittleEndian(s, 0, 4);  // no stock properties
  s.push_back(droppable);
  return s;
}

// A creation record: control id, message 0x376, length 21, then a count of
// 0 (no string before the stream) and the 17-byte stream.
void AppendCreationRecord(std::vector<BYTE>& out, int id, const std::vector<BYTE>& stream) {
  AppendLittleEndian(out, static_cast<DWORD>(id), 2);
  AppendLittleEndian(out, WM_OCC_LOADFROMSTREAM, 2);
  AppendLittleEndian(out, static_cast<DWORD>(4 + stream.size()), 4);
  AppendLittleEndian(out, 0, 4);
  out.insert(out.end(), stream.begin(), stream.end());
}

const std::vector<BYTE> kHostInit = [] {
  std::vector<BYTE> out;
  for (int id : kControlIds) AppendCreationRecord(out, id, RecordStream(id));
  AppendLittleEndian(out, 0, 2);
  return out;
}();

const kp::resources::ResourceTable kResources = [] {
  kp::resources::ResourceTable table;
  table.dialogs = {{IDD_HOST, &kHost}, {IDD_EMPTY, &kEmpty}};
  table.dialogInit = {{IDD_HOST, kHostInit}};
  return table;
}();

}  // namespace

std::vector<BYTE> RecordStream(int controlId) {
  struct Record {
    int id;
    LONG cx, cy;
    BYTE droppable;
  };
  static constexpr Record kRecords[] = {
      {IDC_SLOT, 1323, 1376, 0x70},
      {IDC_PREVIEW, 4815, 4604, 0x00},
      {IDC_LANDSCAPE, 10398, 5159, 0x70},
      {IDC_FINDER, 7911, 7435, 0x01},
  };
  for (const Record& r : kRecords)
    if (r.id == controlId) return Stream(r.cx, r.cy, r.droppable);
  return {};
}

}  // namespace tavlet_host

KP_MODULE_RESOURCES(tavlet_host::kResources)

namespace tavlet_host {

BOOL CHostedTavlet::RecreateBitmapFromFile(LPCTSTR pathname) {
  return tavlet_calls::RecreateBitmapFromFile(*this, pathname);
}

BOOL CHostedTavlet::GetInitiallyDroppable(DISPID dispid) {
  BOOL result = FALSE;
  InvokeHelper(dispid, DISPATCH_PROPERTYGET, VT_BOOL, &result, nullptr);
  return result;
}

void CHostedTavlet::SetInitiallyDroppable(BOOL value) {
  static const BYTE parms[] = VTS_BOOL;
  InvokeHelper(tavlet::DispidInitiallyDroppable, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, parms, value);
}

BEGIN_EVENTSINK_MAP(CHostDlg, CDialog)
ON_EVENT(CHostDlg, IDC_SLOT, tavlet::EventidBmpChange, OnBmpChangeSlot, VTS_NONE)
ON_EVENT(CHostDlg, IDC_PREVIEW, tavlet::EventidBmpChange, OnBmpChangePreview, VTS_NONE)
ON_EVENT(CHostDlg, IDC_LANDSCAPE, tavlet::EventidBmpChange, OnBmpChangeLandscape, VTS_NONE)
ON_EVENT(CHostDlg, IDC_FINDER, tavlet::EventidBmpChange, OnBmpChangeFinder, VTS_NONE)
END_EVENTSINK_MAP()

void CHostDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_SLOT, m_slot);
  DDX_Control(pDX, IDC_PREVIEW, m_preview);
  DDX_Control(pDX, IDC_LANDSCAPE, m_landscape);
  DDX_Control(pDX, IDC_FINDER, m_finder);
}

CHostedTavlet& CHostDlg::Control(int id) {
  switch (id) {
    case IDC_PREVIEW: return m_preview;
    case IDC_LANDSCAPE: return m_landscape;
    case IDC_FINDER: return m_finder;
    default: return m_slot;
  }
}

int CHostDlg::ChangesOf(int id) const { return static_cast<int>(std::count(m_changes.begin(), m_changes.end(), id)); }

std::string WriteTemporaryFile(const std::string& name, const std::vector<BYTE>& bytes) {
  const std::string path = kp::testing::TemporaryRoot() + "/" + name;
  kp::testing::WriteFileBytes(path, bytes);
  return path;
}

DWORD PixelOf(HBITMAP bitmap, int x, int y) {
  kp::gdi::ScopedMemoryDC dc(nullptr);
  kp::gdi::ScopedSelectObject select(dc.get(), bitmap);
  if (!select.ok()) return 0xFFFFFFFF;
  const COLORREF c = ::GetPixel(dc.get(), x, y);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

}  // namespace tavlet_host
