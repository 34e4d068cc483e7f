// Shows the test dialog for a few seconds through the real entry point
// (kafx_main, CWinApp, AfxWinMain), so a person can look at it on a screen.
#include <cstdlib>

#include "platform/afx/tests/test_dialog.h"
#include "platform/afx/win_app.h"

namespace {

class CPreviewDlg : public afx_tests::CTestDlg {
 public:
  BOOL OnInitDialog() override {
    CTestDlg::OnInitDialog();
    SetTimer(1, 4000);
    return TRUE;
  }

 protected:
  void OnTimer(UINT_PTR) { EndDialog(IDOK); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPreviewDlg, afx_tests::CTestDlg)
ON_WM_TIMER()
END_MESSAGE_MAP()

class CPreviewApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    CPreviewDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
  }
};

CPreviewApp theApp;

}  // namespace
