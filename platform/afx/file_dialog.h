#pragma once
// CFileDialog: the common file dialog, shown through the prompt responder.
// The filter is given in the framework's bar-separated form
// ("Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*||"; blanks around a
// field are ignored). After the user chooses, the default extension is added
// to a name without one, OFN_FILEMUSTEXIST refuses a missing file and
// OFN_OVERWRITEPROMPT (save dialogs) asks before replacing one; each asks
// again as the system dialog would.

#include <vector>

#include "platform/afx/cmd_target.h"
#include "platform/afx/prompts.h"
#include "platform/base/cstring.h"

class CWnd;

struct OPENFILENAME {
  DWORD lStructSize;
  HWND hwndOwner;
  LPCTSTR lpstrFilter;
  LPTSTR lpstrFile;
  DWORD nMaxFile;
  LPCTSTR lpstrInitialDir;
  LPCTSTR lpstrTitle;
  DWORD Flags;
  LPCTSTR lpstrDefExt;
};

class CFileDialog : public CCmdTarget {
  DECLARE_DYNAMIC(CFileDialog)
 public:
  CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
              DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
              CWnd* pParentWnd = nullptr);

  OPENFILENAME m_ofn;

  // IDOK with the chosen path, or IDCANCEL.
  virtual INT_PTR DoModal();
  CString GetPathName() const;

 private:
  BOOL m_bOpenFileDialog;
  std::string m_filter;
  std::string m_defExt;
  char m_szFileName[4096] = {};
};

namespace kp::afx {
// The filters of the framework's bar-separated form, in order.
std::vector<kp::prompts::FileFilter> ParseFileFilter(const std::string& filter);
// The name with the extension added when its last component has none.
std::string AddDefaultExtension(const std::string& path, const std::string& extension);
}  // namespace kp::afx
