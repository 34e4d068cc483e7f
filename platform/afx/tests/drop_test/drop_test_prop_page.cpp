#include "platform/afx/tests/drop_test/drop_test_prop_page.h"

#include "platform/afx/ole_registration.h"
#include "platform/afx/tests/drop_test/drop_test_ids.h"

using namespace drop_test;

IMPLEMENT_DYNCREATE(CDropTestPropPage, COlePropertyPage)
IMPLEMENT_OLECREATE_EX(CDropTestPropPage, kPageProgId, 0x7D21A3B4, 0x5C1E, 0x4A8F, 0x91, 0x2D, 0x4E, 0x6B, 0x0C, 0x3A,
                       0x77, 0x10)

BOOL CDropTestPropPage::CDropTestPropPageFactory::UpdateRegistry(BOOL bRegister) {
  if (bRegister) return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, IDS_DROPTEST_PPG, 0);
  return AfxOleUnregisterClass(m_clsid, nullptr);
}

CDropTestPropPage::CDropTestPropPage() : COlePropertyPage(IDD_PROPPAGE_DROPTEST, IDS_DROPTEST_PPG_CAPTION) {}

void CDropTestPropPage::DoDataExchange(CDataExchange* pDX) {
  DDP_Check(pDX, IDC_INITIALLY_DROPPABLE, m_initiallyDroppable, "InitiallyDroppable");
  DDX_Check(pDX, IDC_INITIALLY_DROPPABLE, m_initiallyDroppable);
  DDP_PostProcessing(pDX);
}
