#pragma once
// CCmdUI: one user-interface item of a command (a menu item) while its
// update handler decides its state (ON_UPDATE_COMMAND_UI).

#include "platform/base/win_types.h"

class CCmdTarget;
class CMenu;
class CWnd;

class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;
  UINT m_nIndexMax = 0;
  CMenu* m_pMenu = nullptr;  // the popup holding the item, or null
  CWnd* m_pOther = nullptr;  // a window standing for the item, or null
  BOOL m_bEnableChanged = FALSE;

  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL bOn = TRUE);

  // Asks the target's update handler; TRUE when one ran.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};
