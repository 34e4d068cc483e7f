#include "control/tavlet_prop_page.h"

#include "control/tavlet_resource_ids.h"
#include "interfaces/tavlet_ids.h"
#include "platform/afx/ole_registration.h"

using namespace tavlet;

IMPLEMENT_DYNCREATE(CTavletPropPage, COlePropertyPage)
IMPLEMENT_OLECREATE_EX(CTavletPropPage, kPropPageProgId, CLSID_TavletPropPage.Data1, CLSID_TavletPropPage.Data2,
                       CLSID_TavletPropPage.Data3, CLSID_TavletPropPage.Data4[0], CLSID_TavletPropPage.Data4[1],
                       CLSID_TavletPropPage.Data4[2], CLSID_TavletPropPage.Data4[3], CLSID_TavletPropPage.Data4[4],
                       CLSID_TavletPropPage.Data4[5], CLSID_TavletPropPage.Data4[6], CLSID_TavletPropPage.Data4[7])

BOOL CTavletPropPage::CTavletPropPageFactory::UpdateRegistry(BOOL bRegister) {
  // No threading model is written for the page.
  if (bRegister) return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), m_clsid, IDS_TAVLET_PPG, 0);
  return AfxOleUnregisterClass(m_clsid, nullptr);
}

CTavletPropPage::CTavletPropPage() : COlePropertyPage(IDD_PROPPAGE_TAVLET, IDS_TAVLET_PPG_CAPTION) {}

void CTavletPropPage::DoDataExchange(CDataExchange* pDX) {
  DDP_Check(pDX, IDC_INITIALLY_DROPPABLE, m_initiallyDroppable, "InitiallyDroppable");
  DDX_Check(pDX, IDC_INITIALLY_DROPPABLE, m_initiallyDroppable);
  DDP_PostProcessing(pDX);
}
