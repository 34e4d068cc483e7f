#include "editor/ui/auto_proxy.h"

#include "editor/ui/automation_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/win_app.h"

IMPLEMENT_DYNCREATE(CKestrowDlgAutoProxy, CCmdTarget)

BEGIN_DISPATCH_MAP(CKestrowDlgAutoProxy, CCmdTarget)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(CKestrowDlgAutoProxy, CCmdTarget)
INTERFACE_PART(CKestrowDlgAutoProxy, IID_IKestrow, Dispatch)
END_INTERFACE_MAP()

CKestrowDlgAutoProxy::CKestrowDlgAutoProxy() {
  EnableAutomation();
  // The program stays alive while the object exists.
  AfxOleLockApp();
  // Requests arrive through the main dialog's message loop, so the main
  // window is the dialog.
  CWnd* pMainWnd = AfxGetMainWnd();
  if (pMainWnd != nullptr && pMainWnd->IsKindOf(RUNTIME_CLASS(CKestrowDlg))) {
    m_pDialog = static_cast<CKestrowDlg*>(pMainWnd);
    m_pDialog->m_pAutoProxy = this;
  }
}

CKestrowDlgAutoProxy::~CKestrowDlgAutoProxy() {
  if (m_pDialog != nullptr) m_pDialog->m_pAutoProxy = nullptr;
  AfxOleUnlockApp();
}

void CKestrowDlgAutoProxy::OnFinalRelease() { CCmdTarget::OnFinalRelease(); }
