#include "control/tavlet_prop_page.h"

#include "control/tavlet_resource_ids.h"

using namespace tavlet;

IMPLEMENT_DYNCREATE(CTavletPropPage, COlePropertyPage)

CTavletPropPage::CTavletPropPage() : COlePropertyPage(IDD_PROPPAGE_TAVLET, IDS_TAVLET_PPG_CAPTION) {}

void CTavletPropPage::DoDataExchange(CDataExchange* pDX) {
  DDP_Check(pDX, IDC_INITIALLY_DROPPABLE, m_initiallyDroppable, "InitiallyDroppable");
  DDX_Check(pDX, IDC_INITIALLY_DROPPABLE, m_initiallyDroppable);
  DDP_PostProcessing(pDX);
}
