#include "platform/afx/cmd_target.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, entries, 0};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const {
  return AfxFindMapEntry(GetMessageMap(), [&](const AFX_MSGMAP_ENTRY& e) {
    if (e.nMessage != nMessage) return false;
    // Window messages match on the message alone; commands also on their
    // code and on the id range.
    if (nMessage != WM_COMMAND) return true;
    return e.nCode == nCode && e.nID <= nID && nID <= e.nLastID;
  });
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra) {
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, static_cast<UINT>(nCode), nID);
  if (entry == nullptr) return FALSE;
  entry->pfn(this, nID, 0, pExtra);
  return TRUE;
}
