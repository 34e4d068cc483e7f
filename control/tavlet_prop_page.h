#pragma once
// CTavletPropPage: the control's one property page (dialog 200, caption
// "General"), a check box bound to InitiallyDroppable.

#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_property_page.h"

class CTavletPropPage : public COlePropertyPage {
  DECLARE_DYNCREATE(CTavletPropPage)
  DECLARE_OLECREATE_EX(CTavletPropPage)

 public:
  CTavletPropPage();

  BOOL m_initiallyDroppable = TRUE;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};
