#include "platform/afx/recent_file_list.h"

#include <algorithm>

#include "platform/registry/registry_helpers.h"

CRecentFileList::CRecentFileList(LPCTSTR keyName, LPCTSTR entryPrefix, int nSize)
    : m_keyName(keyName), m_entryPrefix(entryPrefix), m_nSize(std::max(nSize, 1)) {}

std::string CRecentFileList::EntryName(int nIndex) const { return m_entryPrefix + std::to_string(nIndex + 1); }

void CRecentFileList::Add(LPCTSTR lpszPathName) {
  const CString path(lpszPathName);
  if (path.IsEmpty()) return;
  Remove(path);
  m_files.insert(m_files.begin(), path);
  if (GetSize() > m_nSize) m_files.resize(static_cast<std::size_t>(m_nSize));
}

void CRecentFileList::Remove(int nIndex) {
  if (nIndex >= 0 && nIndex < GetSize()) m_files.erase(m_files.begin() + nIndex);
}

BOOL CRecentFileList::Remove(LPCTSTR lpszPathName) {
  const auto found = std::find(m_files.begin(), m_files.end(), CString(lpszPathName));
  if (found == m_files.end()) return FALSE;
  m_files.erase(found);
  return TRUE;
}

void CRecentFileList::ReadList() {
  m_files.clear();
  for (int n = 0; n < m_nSize; ++n) {
    std::string path;
    if (kp::registry::GetStringValue(HKEY_CURRENT_USER, m_keyName, EntryName(n), &path) != ERROR_SUCCESS) continue;
    // A list edited by hand may repeat a file; it is shown once.
    if (!path.empty() && std::find(m_files.begin(), m_files.end(), CString(path)) == m_files.end())
      m_files.emplace_back(path);
  }
}

BOOL CRecentFileList::WriteList() const {
  kp::registry::ScopedHKey key;
  if (RegCreateKeyEx(HKEY_CURRENT_USER, m_keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                     key.put(), nullptr) != ERROR_SUCCESS)
    return FALSE;
  BOOL written = TRUE;
  for (int n = 0; n < m_nSize; ++n) {
    const std::string name = EntryName(n);
    if (n < GetSize()) {
      const CString& path = m_files[static_cast<std::size_t>(n)];
      if (RegSetValueEx(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.GetString()),
                        static_cast<DWORD>(path.GetLength() + 1)) != ERROR_SUCCESS)
        written = FALSE;
    } else {
      const LONG result = RegDeleteValue(key.get(), name.c_str());
      if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) written = FALSE;
    }
  }
  return written;
}

CString CRecentFileList::GetDisplayName(int nIndex, int maxLength) const {
  if (nIndex < 0 || nIndex >= GetSize()) return CString();
  const std::string& path = m_files[static_cast<std::size_t>(nIndex)].str();
  const std::size_t limit = static_cast<std::size_t>(std::max(maxLength, 1));
  if (path.size() <= limit) return CString(path);
  // The file's own name always shows; as much of the folder's start as fits
  // goes before it, and "..." stands for the rest.
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash);
  const std::string ellipsis = "...";
  if (name.size() + ellipsis.size() >= limit) return CString(ellipsis + name);
  // Cut between characters, never inside a UTF-8 sequence.
  std::size_t keep = limit - name.size() - ellipsis.size();
  while (keep > 0 && (static_cast<unsigned char>(path[keep]) & 0xC0) == 0x80) --keep;
  return CString(path.substr(0, keep) + ellipsis + name);
}
