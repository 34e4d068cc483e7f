#include "platform/afx/file_dialog.h"

#include <sys/stat.h>

#include <cstring>

#include "platform/afx/wnd.h"

IMPLEMENT_DYNAMIC(CFileDialog, CCmdTarget)

namespace kp::afx {
namespace {
std::string Trim(const std::string& s) {
  std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at = s.find(separator); at != std::string::npos; at = s.find(separator, start)) {
    parts.push_back(s.substr(start, at - start));
    start = at + 1;
  }
  parts.push_back(s.substr(start));
  return parts;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string LastComponent(const std::string& path) { return path.substr(path.rfind('/') + 1); }
}  // namespace

std::vector<kp::prompts::FileFilter> ParseFileFilter(const std::string& filter) {
  std::vector<kp::prompts::FileFilter> filters;
  std::vector<std::string> fields = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
    std::string description = Trim(fields[i]);
    // "||" ends the list.
    if (description.empty()) break;
    kp::prompts::FileFilter f;
    f.description = description;
    for (const std::string& pattern : Split(fields[i + 1], ';'))
      if (!Trim(pattern).empty()) f.patterns.push_back(Trim(pattern));
    if (!f.patterns.empty()) filters.push_back(std::move(f));
  }
  return filters;
}

std::string AddDefaultExtension(const std::string& path, const std::string& extension) {
  if (extension.empty()) return path;
  std::string name = LastComponent(path);
  if (name.empty() || name.find('.', 1) != std::string::npos) return path;
  return path + "." + extension;
}

}  // namespace kp::afx

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn{}, m_bOpenFileDialog(bOpenFileDialog) {
  m_filter = lpszFilter ? lpszFilter : "";
  m_defExt = lpszDefExt ? lpszDefExt : "";
  if (lpszFileName) std::strncpy(m_szFileName, lpszFileName, sizeof m_szFileName - 1);
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
  m_ofn.lpstrFilter = m_filter.c_str();
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = sizeof m_szFileName;
  m_ofn.Flags = dwFlags;
  m_ofn.lpstrDefExt = m_defExt.c_str();
}

INT_PTR CFileDialog::DoModal() {
  kp::prompts::FileDialogRequest request;
  request.open = m_bOpenFileDialog != FALSE;
  request.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (request.open ? "Open" : "Save As");
  request.filter = m_filter;
  request.filters = kp::afx::ParseFileFilter(m_filter);
  request.initialName = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
  request.initialFolder = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
  request.defaultExtension = m_ofn.lpstrDefExt ? m_ofn.lpstrDefExt : "";
  request.flags = m_ofn.Flags;
  request.owner = m_ofn.hwndOwner;

  for (;;) {
    std::optional<std::string> answer = kp::prompts::CurrentPromptResponder().ShowFileDialog(request);
    if (!answer || answer->empty()) return IDCANCEL;
    std::string path = kp::afx::AddDefaultExtension(*answer, request.defaultExtension);
    bool exists = kp::afx::FileExists(path);
    if ((m_ofn.Flags & OFN_FILEMUSTEXIST) && !exists) {
      std::string text =
          kp::afx::LastComponent(path) + "\nFile not found.\nPlease verify the correct file name was given.";
      kp::afx::ShowMessageBox(request.owner, text.c_str(), request.title.c_str(), MB_OK | MB_ICONWARNING);
      request.initialName = path;
      continue;
    }
    if (!request.open && (m_ofn.Flags & OFN_OVERWRITEPROMPT) && exists) {
      std::string text = path + " already exists.\nDo you want to replace it?";
      if (kp::afx::ShowMessageBox(request.owner, text.c_str(), request.title.c_str(), MB_YESNO | MB_ICONWARNING) !=
          IDYES) {
        request.initialName = path;
        continue;
      }
    }
    if (path.size() >= m_ofn.nMaxFile) return IDCANCEL;
    std::memcpy(m_ofn.lpstrFile, path.c_str(), path.size() + 1);
    return IDOK;
  }
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile ? m_ofn.lpstrFile : ""); }
