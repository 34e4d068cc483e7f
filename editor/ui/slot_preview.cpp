// The preview follows the texture slot that was changed or selected last.

#include "editor/import/slot_preview_copy.h"
#include "editor/ui/kestrow_dlg.h"

void CKestrowDlg::ShowSlotPreview(CTavlet* pSlot) {
  // The slot's bitmap stays the slot's; the preview gets a copy of its own
  // and deletes it when something replaces it. A slot without a bitmap
  // leaves the preview as it is.
  const HBITMAP slotBitmap = Long32ToHandle<HBITMAP>(static_cast<DWORD>(pSlot->GetBitmapHandle()));
  const HBITMAP copy = CopySlotBitmap(slotBitmap);
  if (copy == nullptr) return;
  m_wndPreview.SetBitmapHandle(static_cast<LONG>(HandleToLong32(copy)));
}
