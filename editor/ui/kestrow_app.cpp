#include "editor/ui/kestrow_app.h"

#include "editor/ui/auto_proxy.h"
#include "editor/ui/automation_ids.h"
#include "editor/ui/control_failure.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "editor/ui/start_shapes_file.h"
#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_init.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/prompts.h"
#include "platform/resources/resources.h"
#include "platform/user/window_functions.h"

BEGIN_MESSAGE_MAP(CKestrowApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {
// Single use (the multiple-instance flag): each client that asks for the
// class gets an editor process of its own.
COleObjectFactory g_factory(CLSID_KestrowApplication, RUNTIME_CLASS(CKestrowDlgAutoProxy), TRUE, kKestrowProgId);
}  // namespace

CKestrowApp theApp;

void CKestrowApp::OnHelp() {
  ::WinHelp(m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr, nullptr, HELP_CONTEXT, 0);
}

BOOL CKestrowApp::InitInstance() {
  if (!AfxOleInit()) {
    AfxMessageBox(kp::resources::LoadStringResource(m_hInstance, IDP_OLE_INIT_FAILED), MB_OK);
    // The program ends without its window: a failure, as --help says.
    m_nExitCode = 1;
    return FALSE;
  }
  AfxEnableControlContainer();
  Enable3dControlsStatic();

  // Started by a client: the client's option is on the command line, and
  // the user does not control the program while the client holds it.
  if (RunEmbedded() || RunAutomated()) {
    AfxOleSetUserCtrl(FALSE);
    COleObjectFactory::RegisterAll();
  } else {
    COleObjectFactory::UpdateRegistryAll(TRUE);
  }

  CKestrowDlg dlg;
  dlg.StartWithShapesFile(TakeStartShapesFile(m_lpCmdLine));
  m_pMainWnd = &dlg;
  // A dialog whose drop controls cannot be created ends before it opens:
  // the program says why and ends with a non-zero status.
  dlg.DoModal();
  if (!dlg.WasOpened()) m_nExitCode = ReportMainDialogFailure();
  m_pMainWnd = nullptr;
  // The framework ends the program instead of running a message loop.
  return FALSE;
}

int CKestrowApp::ExitInstance() { return m_nExitCode; }
