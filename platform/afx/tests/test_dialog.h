#pragma once
// A dialog with every kind of template item, and the resources of this test
// program (dialog 300 and its init data, menu 400, strings).

#include <functional>
#include <string>
#include <vector>

#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"

namespace afx_tests {

enum : int {
  IDD_TEST = 300,
  IDD_MISSING = 301,
  IDD_BAD_INIT = 302,
  IDR_TEST_MENU = 400,
  ID_ENABLED_ITEM = 500,
  ID_GREYED_ITEM = 501,
  IDC_LIST = 1001,
  IDC_PRESS = 1002,
  IDC_DISABLED = 1003,
  IDC_CHECK = 1004,
  IDC_NUMBER = 1005,
  IDC_BOUNDED = 1006,
  IDC_READONLY = 1007,
  IDC_NOPREFIX = 1008,
  IDC_PICTURE = 1009,
  IDC_HIDDEN = 1010,
  IDC_LABEL = 1011,
  IDC_ICON = 1012,
  IDC_GROUP = 1013,
  IDM_ABOUT = 16,
};

class CTestDlg : public CDialog {
 public:
  explicit CTestDlg(UINT id = IDD_TEST) : CDialog(id) {}

  int m_nChoice = 1;
  int m_bChecked = TRUE;
  int m_nNumber = 42;
  int m_nBounded = 5;
  CString m_strText = "read-only text";

  std::vector<std::string> m_events;
  std::vector<DRAWITEMSTRUCT> m_draws;
  std::function<void()> m_onPress;  // runs inside the click handler
  int m_ctrlAndShiftSeen = -1;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

 protected:
  void OnPressMe();
  void OnSelchangeList();
  void OnPicture();
  void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  void OnSysCommand(UINT nID, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};

}  // namespace afx_tests
