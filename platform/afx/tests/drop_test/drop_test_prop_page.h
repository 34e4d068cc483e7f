#pragma once
// The drop test control's property page: one check box bound to
// InitiallyDroppable.

#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_property_page.h"

class CDropTestPropPage : public COlePropertyPage {
  DECLARE_DYNCREATE(CDropTestPropPage)
  DECLARE_OLECREATE_EX(CDropTestPropPage)

 public:
  CDropTestPropPage();
  BOOL m_initiallyDroppable = TRUE;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
};
