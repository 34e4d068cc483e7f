#pragma once
// Dialog data exchange: DoDataExchange lists one DDX_ call per control, run
// towards the controls (m_bSaveAndValidate FALSE) or towards the members
// (TRUE). A value that fails is reported in a message box with the
// framework's text, the focus goes back to the field (text selected) and
// UpdateData returns FALSE; members after the failing one keep their values.

#include "platform/afx/wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  HWND m_hWndLastControl = nullptr;
  BOOL m_bEditLastControl = FALSE;

  // The control with this id, remembered as the one a failure points at.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Puts the focus back on the last control and abandons the exchange.
  [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Binds the member to the control's window once; after that GetDlgItem
// returns the member itself and the control's messages reach its map.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

// The framework's messages.
inline constexpr const char* kAfxParseIntMessage = "Please enter an integer.";
inline constexpr const char* kAfxMinMaxIntMessage = "Please enter an integer between %1 and %2.";
