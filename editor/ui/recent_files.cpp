// The shapes files chosen last, in the window menu, and the folder the file
// dialog opens in: both kept per user, so that the next start finds them.

#include <algorithm>
#include <filesystem>
#include <string>

#include "editor/ui/editor_ids.h"
#include "editor/ui/editor_messages.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/afx/menu.h"
#include "platform/registry/registry_helpers.h"

namespace {
// A menu shows "&&" as one '&'; any other '&' would mark a mnemonic.
std::string MenuText(const std::string& text) {
  std::string shown;
  for (char c : text) {
    if (c == '&') shown += '&';
    shown += c;
  }
  return shown;
}
}  // namespace

void CKestrowDlg::ChooseShapesFile(const CString& path) {
  UseShapesFile(path);
  if (path.IsEmpty()) return;
  // What cannot be kept is only not remembered: the file is chosen anyway.
  m_recentFiles.ReadList();
  m_recentFiles.Add(path);
  m_recentFiles.WriteList();
  const std::string folder = std::filesystem::path(path.str()).parent_path().string();
  kp::registry::SetStringValue(HKEY_CURRENT_USER, kSettingsKey, kShapesFolderValue, folder);
}

void CKestrowDlg::ListRecentFiles(CMenu* pMenu, UINT firstId) {
  for (int i = 0; i < m_nRecentFilesShown; ++i) pMenu->DeleteMenu(static_cast<UINT>(m_nRecentFilesAt), MF_BYPOSITION);
  // Read anew: another editor may have chosen a file since.
  m_recentFiles.ReadList();
  m_listedRecentFiles.clear();
  const int count = std::min(m_recentFiles.GetSize(), kRecentFileCount);
  for (int k = 0; k < count; ++k) {
    const std::string text = "&" + std::to_string(k + 1) + " " + MenuText(m_recentFiles.GetDisplayName(k).str());
    pMenu->InsertMenu(static_cast<UINT>(m_nRecentFilesAt + k), MF_BYPOSITION | MF_STRING, firstId + 0x10 * k,
                      text.c_str());
    m_listedRecentFiles.push_back(m_recentFiles[k]);
  }
  if (count > 0) pMenu->InsertMenu(static_cast<UINT>(m_nRecentFilesAt + count), MF_BYPOSITION | MF_SEPARATOR);
  m_nRecentFilesShown = count > 0 ? count + 1 : 0;
}

void CKestrowDlg::OnRecentFile(int index) {
  if (index < 0 || index >= static_cast<int>(m_listedRecentFiles.size())) return;
  const CString path = m_listedRecentFiles[static_cast<std::size_t>(index)];
  const std::string why = WhyNotReadable(path.str());
  if (why.empty()) {
    ChooseShapesFile(path);
    return;
  }
  m_recentFiles.ReadList();
  if (m_recentFiles.Remove(path)) m_recentFiles.WriteList();
  MessageBox(StringPrintf(kRecentFileUnusableFormat, path.GetString(), why.c_str()).c_str(), nullptr,
             MB_OK | MB_ICONWARNING);
}
