#pragma once
// Menus: HMENU handles name menu records of the framework (items with text,
// command id and state, or a popup), loaded from a module's menu resource or
// built by AppendMenu. TrackPopupMenu shows one at a screen point; before it
// opens the owner gets WM_INITMENUPOPUP (so its update handlers grey items),
// and the chosen item arrives at the owner as WM_COMMAND.

#include <string>

#include "platform/afx/object.h"
#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/module.h"
#include "platform/base/win_user.h"

class CWnd;

HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName);
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
int GetMenuItemCount(HMENU hMenu);
UINT GetMenuItemID(HMENU hMenu, int nPos);  // -1 for a popup, 0 for a separator
HMENU GetSubMenu(HMENU hMenu, int nPos);
UINT EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);  // previous state or -1
// Without TPM_RETURNCMD: TRUE when shown, and the chosen command is posted
// to the owner. With it: the chosen id, or 0.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);

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
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);
};

namespace kp::afx {
// The number of live menus (for leak tests).
std::size_t LiveMenuCount();
// Shows a menu for its owner and returns the chosen id (0 for none), after
// sending WM_INITMENUPOPUP for it and its submenus.
UINT ShowPopupMenu(HMENU hMenu, POINT screen, HWND owner, bool windowMenu);
}  // namespace kp::afx
