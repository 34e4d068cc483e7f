#pragma once
// CBitmapPropertiesDlg: shows the width and height of the control's bitmap
// in two read-only fields (dialog 202). Nothing in it changes the control.

#include "platform/afx/data_exchange.h"
#include "platform/afx/dialog.h"

class CBitmapPropertiesDlg : public CDialog {
 public:
  explicit CBitmapPropertiesDlg(CWnd* pParent = nullptr);

  int m_height = 0;  // edit 207
  int m_width = 0;   // edit 206

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};
