// Loading a set into the slots, and switching the slot area between the
// texture grid and the landscape slot as the set list changes.

#include "editor/shapes/set_images.h"
#include "editor/shapes/slot_layout.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "editor/ui/shapes_file_command.h"
#include "platform/resources/resources.h"

void CKestrowDlg::OnSelchangeSet() {
  UpdateData(TRUE);
  ShowSetView(IsLandscapeSet(m_nSet));
}

void CKestrowDlg::ShowSetView(BOOL bLandscape) {
  UINT nHint = IDS_TEXTURE_DROP_HINT;
  if (bLandscape) {
    for (int k = 0; k < kTextureSlotCount; ++k) m_pSlotWnd[k]->ShowWindow(SW_HIDE);
    m_wndLandscape.ShowWindow(SW_SHOW);
    nHint = IDS_LANDSCAPE_DROP_HINT;
  } else {
    m_wndLandscape.ShowWindow(SW_HIDE);
    for (int k = 0; k < kTextureSlotCount; ++k) m_pSlotWnd[k]->ShowWindow(SW_SHOW);
  }
  SetDlgItemText(IDC_DROP_HINT, kp::resources::LoadStringResource(GetModuleInstance(), nHint));
}

void CKestrowDlg::OnLoadSet() {
  UpdateData(TRUE);
  ShapesFileCommand command(m_strShapesFile, ShapesFileUse::LoadSet);
  if (!command.Opened()) return;
  m_bSetLoaded = true;

  const bool bLandscape = IsLandscapeSet(m_nSet);
  ReadSetImages(command.File(), m_nSet, m_bDisableGamma, [&](const SetImagePixels& picture) {
    CTavlet* pControl =
        bLandscape ? &m_wndLandscape : FindSlotControl(SlotControlIds[static_cast<std::size_t>(picture.image)]);
    if (pControl == nullptr) return;
    // The control only reads the pixels; the array is passed the way the
    // control's method takes it, as a pointer to its first 32-bit value.
    pControl->RecreateBitmap(reinterpret_cast<LONG*>(const_cast<DWORD*>(picture.pixels)),
                             static_cast<SHORT>(picture.width), static_cast<SHORT>(picture.height));
  });
}
