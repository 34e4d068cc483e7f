#pragma once
// A container for the drop test control: a dialog whose template hosts four
// of them, bound to CDropTest members, with an event-sink map recording
// every event by control id. Also the templates that cannot be made.

#include <string>
#include <vector>

#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"
#include "platform/afx/tests/drop_test/drop_test_ids.h"

namespace control_host {

enum : int {
  IDD_HOST = 300,
  IDD_UNREGISTERED = 301,
  IDD_TRUNCATED = 302,
  IDD_EMPTY = 303,
  IDC_SLOT_A = 1005,   // record byte 0x70: accepts drops
  IDC_PREVIEW = 1011,  // record byte 0x00: refuses drops
  IDC_FINDER = 1051,   // record byte 0x01
  IDC_FRESH = 1060,    // no record: a new control
  IDC_LIST = 1061,     // a combo box whose strings stand between the records
  IDC_OTHER = 1070,    // a push button to move the focus to
};

// The editor's kind of wrapper: a window whose typed members call the
// hosted control by dispid.
class CDropTest : public CWnd {
 public:
  BOOL RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy);
  LONG GetBitmapHandle();
  BOOL SetBitmapHandle(LONG hbm);
  BOOL GetDroppable(DISPID dispid = drop_test::DispDroppable);
  void SetDroppable(BOOL value);
  LONG GetFocusCount();
};

class CHostDlg : public CDialog {
 public:
  explicit CHostDlg(UINT id = IDD_HOST) : CDialog(id) {}

  CDropTest m_slotA, m_preview, m_finder, m_fresh;
  std::vector<std::string> m_events;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

 protected:
  // Each event handler notes its event in m_events and says it was handled.
  BOOL Note(const std::string& event);
  BOOL OnChangeSlotA();
  BOOL OnChangePreview();
  BOOL OnChangeFinder();
  BOOL OnChangeFresh();
  BOOL OnDroppedSlotA(LPCTSTR path);
  BOOL OnDroppedPreview(LPCTSTR path);
  DECLARE_EVENTSINK_MAP()
};

// The 17-byte stream each hosted control of IDD_HOST was created from.
std::vector<BYTE> RecordStream(int controlId);

}  // namespace control_host
