#include "platform/afx/cmd_ui.h"

#include "platform/afx/cmd_target.h"
#include "platform/afx/menu.h"
#include "platform/afx/wnd.h"

void CCmdUI::Enable(BOOL bOn) {
  if (m_pMenu != nullptr) {
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther != nullptr) {
    m_pOther->EnableWindow(bOn);
  }
  m_bEnableChanged = TRUE;
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler) {
  m_bEnableChanged = FALSE;
  BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this);
  if (!handled && bDisableIfNoHandler && !m_bEnableChanged) {
    // An item nothing would carry out is offered greyed.
    if (pTarget->FindMessageEntry(WM_COMMAND, CN_COMMAND, m_nID) == nullptr) Enable(FALSE);
  }
  return handled;
}
