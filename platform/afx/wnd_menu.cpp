// CWnd's side of menus: the window menu it gives as its system menu, and the
// update handlers it runs before a popup opens. Kept apart from wnd.cpp so
// that the window object sits below CMenu and CCmdUI, which refer to it.

#include "platform/afx/cmd_ui.h"
#include "platform/afx/menu.h"
#include "platform/afx/wnd.h"
#include "platform/user/window_functions.h"

// WM_INITMENUPOPUP is the one message every window's map handles.
BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
  return CMenu::FromHandle(kp::user::GetWindowMenu(m_hWnd, bRevert != FALSE));
}

void CWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu) {
  if (pPopupMenu != nullptr && !bSysMenu) {
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
      UINT id = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
      // Separators (0) and popups (-1) have no command to update.
      if (id == 0 || id == static_cast<UINT>(-1)) continue;
      state.m_nID = id;
      state.DoUpdate(this, FALSE);
    }
  }
  Default();
}
