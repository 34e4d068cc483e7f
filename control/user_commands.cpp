// What the user can do with the control directly: the context menu with
// Save As, Clear Contents and Properties, and taking the focus by clicking.

#include <string>
#include <vector>

#include "control/bitmap_folders.h"
#include "control/bitmap_properties_dlg.h"
#include "control/tavlet_ctrl.h"
#include "control/tavlet_resource_ids.h"
#include "platform/afx/cmd_ui.h"
#include "platform/afx/file_dialog.h"
#include "platform/afx/menu.h"
#include "platform/afx/prompts.h"
#include "platform/file/file.h"
#include "platform/gdi/bitmap_file_24.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/scoped_gdi.h"

using namespace tavlet;

void CTavletCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  SetFocus();
  // Moving far enough with the button down drags the picture out.
  m_bDragArmed = m_hBitmap.get() != nullptr;
  m_dragFrom = point;
  COleControl::OnLButtonDown(nFlags, point);
}

void CTavletCtrl::OnContextMenu(CWnd*, CPoint point) {
  SetFocus();
  CMenu menu;  // destroyed when it goes out of scope
  if (!menu.LoadMenu(IDR_BITMAP_MENU)) return;
  if (CMenu* popup = menu.GetSubMenu(0)) popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CTavletCtrl::OnUpdateHasBitmap(CCmdUI* pCmdUI) { pCmdUI->Enable(m_hBitmap.get() != nullptr); }

void CTavletCtrl::OnSaveAs() {
  // The open kind of dialog: it asks nothing when the file exists.
  CFileDialog dialog(TRUE, "bmp", "texture.bmp", OFN_HIDEREADONLY, "Windows Bitmap Files (*.bmp) | *.bmp", this);
  dialog.m_ofn.lpstrTitle = "Specify the name of the bitmap file to save";
  // Where bitmaps were saved last, or else opened from.
  const std::string folder = tavlet::SaveAsFolder();
  if (!folder.empty()) dialog.m_ofn.lpstrInitialDir = folder.c_str();
  if (dialog.DoModal() != IDOK) return;
  const CString path = dialog.GetPathName();

  // The file is written beside the target and replaces it only once it is
  // complete, so a failure leaves an earlier file as it was.
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose)) {
    AfxMessageBox("Unable to open file");
    return;
  }
  kp::gdi::ScopedMemoryDC memory(nullptr);
  if (!memory) {
    AfxMessageBox("Unable to create a memory device context");
    return;
  }
  std::vector<BYTE> bytes;
  if (!kp::gdi::BuildBitmapFile24(memory.get(), m_hBitmap.get(), m_bitmapWidth, m_bitmapHeight, bytes)) {
    AfxMessageBox("Unable to retrieve bitmap from memory");
    return;
  }
  file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
  file.Close();
  tavlet::RememberFolderOf(tavlet::kSavedBitmapsFolder, path.str());
}

void CTavletCtrl::OnClearContents() {
  if (AfxMessageBox("Clear image from memory?", MB_YESNO) != IDYES) return;
  m_hBitmap.reset();
  // The recorded size stays: only the bitmap goes.
  InvalidateControl(nullptr, TRUE);
  FireBmpChange();
}

void CTavletCtrl::OnBitmapProperties() {
  CBitmapPropertiesDlg dialog(nullptr);
  dialog.m_height = m_bitmapHeight;
  dialog.m_width = m_bitmapWidth;
  dialog.DoModal();
}
