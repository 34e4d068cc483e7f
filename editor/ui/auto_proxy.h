#pragma once
// CKestrowDlgAutoProxy: the editor's automation object, "Kestrow.Application".
// It has no properties and no methods; a client that holds it holds the
// editor open, window included. It locks the program while it lives and
// links itself with the main dialog, each side clearing the other's
// pointer as it goes.

#include "platform/afx/cmd_target.h"

class CKestrowDlg;

class CKestrowDlgAutoProxy : public CCmdTarget {
  DECLARE_DYNCREATE(CKestrowDlgAutoProxy)
 public:
  CKestrowDlgAutoProxy();
  ~CKestrowDlgAutoProxy() override;

  // The main dialog, null once it is gone.
  CKestrowDlg* m_pDialog = nullptr;

  // Keeps the framework's behaviour: the object deletes itself when its
  // last reference goes.
  void OnFinalRelease() override;

 protected:
  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
};
