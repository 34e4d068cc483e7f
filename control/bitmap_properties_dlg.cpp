#include "control/bitmap_properties_dlg.h"

#include "control/tavlet_resource_ids.h"

using namespace tavlet;

CBitmapPropertiesDlg::CBitmapPropertiesDlg(CWnd* pParent) : CDialog(IDD_BITMAP_PROPERTIES, pParent) {}

void CBitmapPropertiesDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_HEIGHT, m_height);
  DDX_Text(pDX, IDC_WIDTH, m_width);
}
