#pragma once
// CRecentFileList: the files a program opened last, newest first, kept per
// user in HKEY_CURRENT_USER under a key of the program's own, one string
// value per file ("File1" for the newest, "File2"...), as the framework keeps
// them on Windows. The list holds at most its size; a file added again moves
// to the front instead of being listed twice. Paths compare exactly.
//
//   CRecentFileList recent("Software\\Company\\Program\\Recent File List", "File", 8);
//   recent.ReadList();
//   recent.Add("/home/u/shapes.shp2");
//   recent.WriteList();

#include <string>
#include <vector>

#include "platform/base/cstring.h"

class CRecentFileList {
 public:
  // `keyName` is below HKEY_CURRENT_USER; entry n (counting from 1) is the
  // value `entryPrefix` followed by n.
  CRecentFileList(LPCTSTR keyName, LPCTSTR entryPrefix, int nSize);

  int GetSize() const { return static_cast<int>(m_files.size()); }
  int GetMaxSize() const { return m_nSize; }
  const CString& operator[](int nIndex) const { return m_files[static_cast<std::size_t>(nIndex)]; }

  void Add(LPCTSTR lpszPathName);
  void Remove(int nIndex);
  // Removes the file wherever it is listed; FALSE when it is not.
  BOOL Remove(LPCTSTR lpszPathName);

  // Reads the list as the registry holds it now, which another instance of
  // the program may have changed; empty entries and entries past the size
  // are skipped. A list that cannot be read reads as empty.
  void ReadList();
  // Writes the list, and removes the entries of files it no longer holds.
  // FALSE when the registry cannot be written.
  BOOL WriteList() const;

  // The file's name for a menu: the path, shortened in the middle to at most
  // `maxLength` characters ("/home/u/.../shapes.shp2"), always keeping the
  // file's own name.
  CString GetDisplayName(int nIndex, int maxLength = 60) const;

 private:
  std::string EntryName(int nIndex) const;

  std::string m_keyName;
  std::string m_entryPrefix;
  int m_nSize;
  std::vector<CString> m_files;
};
