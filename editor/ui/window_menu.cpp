// The editor's items of the window menu: appended once, greyed or enabled
// each time the menu opens, and run from the system command they send.

#include "editor/ui/window_menu.h"

#include "editor/ui/editor_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/afx/menu.h"
#include "platform/resources/resources.h"

std::span<const WindowMenuItem> CKestrowDlg::WindowMenuItems() {
  static const WindowMenuItem kItems[] = {
      {0, 0, nullptr, nullptr},
      {IDM_RECENT_FILE_FIRST, 0, nullptr, nullptr, WindowMenuSection::RecentFiles},
      {IDM_UNDO_LAST_PATCH, IDS_UNDO_LAST_PATCH, &CKestrowDlg::OnUndoLastPatch, &CKestrowDlg::HasPatchHistory},
      {IDM_APPLY_PATCH_FILE, IDS_APPLY_PATCH_FILE, &CKestrowDlg::OnApplyPatchFile, &CKestrowDlg::HasShapesFile},
      {IDM_SAVE_CHANGES_AS_PATCH_FILE, IDS_SAVE_CHANGES_AS_PATCH_FILE, &CKestrowDlg::OnSaveChangesAsPatchFile,
       &CKestrowDlg::HasPatchHistory},
      {0, 0, nullptr, nullptr},
      {IDM_ABOUTBOX, IDS_ABOUTBOX, &CKestrowDlg::OnAppAbout, nullptr},
  };
  return kItems;
}

void CKestrowDlg::AppendWindowMenuItems() {
  CMenu* pSysMenu = GetSystemMenu(FALSE);
  if (pSysMenu == nullptr) return;
  for (const WindowMenuItem& item : WindowMenuItems()) {
    if (item.section == WindowMenuSection::RecentFiles) {
      // Filled each time the menu opens; empty until then.
      m_nRecentFilesAt = pSysMenu->GetMenuItemCount();
      m_nRecentFilesShown = 0;
      continue;
    }
    if (item.id == 0) {
      pSysMenu->AppendMenu(MF_SEPARATOR);
      continue;
    }
    const CString text = kp::resources::LoadStringResource(GetModuleInstance(), item.textId);
    if (!text.IsEmpty()) pSysMenu->AppendMenu(MF_STRING, item.id, text);
  }
}

void CKestrowDlg::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
  CDialog::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
  if (pPopupMenu == nullptr || !bSysMenu) return;
  for (const WindowMenuItem& item : WindowMenuItems()) {
    if (item.section == WindowMenuSection::RecentFiles)
      ListRecentFiles(pPopupMenu, item.id);
    else if (item.id != 0 && item.enabled != nullptr)
      pPopupMenu->EnableMenuItem(item.id, (this->*item.enabled)() ? MF_ENABLED : MF_GRAYED);
  }
}

void CKestrowDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  // The low four bits of a system command are the window system's own.
  const UINT command = nID & 0xFFF0;
  for (const WindowMenuItem& item : WindowMenuItems()) {
    if (item.section == WindowMenuSection::RecentFiles) {
      if (command >= item.id && command < item.id + 0x10 * kRecentFileCount) {
        OnRecentFile(static_cast<int>((command - item.id) / 0x10));
        return;
      }
    } else if (item.id != 0 && command == item.id) {
      (this->*item.command)();
      return;
    }
  }
  CDialog::OnSysCommand(nID, lParam);
}
