#pragma once
// CMenu: the framework's object around a menu of the window system
// (platform/user/menu.h).

#include "platform/afx/object.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/module.h"
#include "platform/user/menu.h"

class CWnd;

class CMenu : public CObject {
  DECLARE_DYNCREATE(CMenu)
 public:
  CMenu() = default;
  // Destroys the menu it holds.
  ~CMenu() override;

  HMENU m_hMenu = nullptr;
  operator HMENU() const { return m_hMenu; }
  HMENU GetSafeHmenu() const { return m_hMenu; }

  // The CMenu of a handle: a temporary object the framework keeps until the
  // menu is destroyed. Null for no menu.
  static CMenu* FromHandle(HMENU hMenu);
  BOOL Attach(HMENU hMenu);
  HMENU Detach();

  // From the resources of the calling module.
  BOOL LoadMenu(UINT nIDResource, HINSTANCE hModule = AfxGetInstanceHandle());
  BOOL DestroyMenu();

  CMenu* GetSubMenu(int nPos) const;
  int GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
  CString GetMenuString(UINT nIDItem, UINT nFlags) const;
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
};
