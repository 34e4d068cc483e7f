// Choosing the shapes file that every other command opens.

#include "editor/import/journal_recovery.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/editor_messages.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/afx/file_dialog.h"
#include "platform/afx/prompts.h"
#include "platform/registry/registry_helpers.h"

void CKestrowDlg::OnSelectShapesFile() {
  CFileDialog dlg(TRUE, "shp2", "shapes.shp2", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT,
                  "Shapes Files (*.shp2)|*.shp2|All Files (*.*)|*.*||", this);
  dlg.m_ofn.lpstrTitle = "Please specify location of the 'shapes' file";
  // The dialog opens where the last shapes file was chosen.
  std::string folder;
  if (kp::registry::GetStringValue(HKEY_CURRENT_USER, kSettingsKey, kShapesFolderValue, &folder) == ERROR_SUCCESS &&
      !folder.empty())
    dlg.m_ofn.lpstrInitialDir = folder.c_str();
  if (dlg.DoModal() != IDOK) return;
  ChooseShapesFile(dlg.GetPathName());
}

LRESULT CKestrowDlg::OnShowStartProblem(WPARAM, LPARAM) {
  MessageBox(m_start.problem.c_str(), nullptr, MB_OK | MB_ICONWARNING);
  return 0;
}

void CKestrowDlg::UseShapesFile(const CString& path) {
  m_strShapesFile = path;
  m_bSetLoaded = false;
  const BOOL bValid = !m_strShapesFile.IsEmpty();
  SetDlgItemText(IDC_SHAPES_FILE_PATH, bValid ? static_cast<LPCTSTR>(m_strShapesFile) : kNoShapesFileText);
  for (int nID : {IDC_GENERATE_PALETTE_BITMAP, IDC_PATCH_SHAPES_FILE, IDC_LOAD_SET})
    if (CWnd* pButton = GetDlgItem(nID)) pButton->EnableWindow(bValid);
  // A patch of the file that was interrupted is rolled back as soon as the
  // file is chosen, before the user looks at any of it.
  if (!bValid) return;
  const RecoveryReport recovery = RecoverShapesFile(m_strShapesFile.str());
  if (!recovery.message.empty()) AfxMessageBox(recovery.message.c_str(), MB_OK);
}
