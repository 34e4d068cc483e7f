#include "platform/afx/ole_init.h"

#include <cstdlib>

#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_lock.h"
#include "platform/afx/win_app.h"
#include "platform/afx/wnd.h"
#include "platform/com/com_runtime.h"
#include "platform/qt/event_loop_fd_watcher.h"
#include "platform/qt/modal_windows.h"
#include "platform/user/window_functions.h"

namespace {
bool g_bInitialized = false;
bool g_bTermScheduled = false;

void TermAtExit() { AfxOleTerm(FALSE); }

// The program's last lock went while a client had it: its main window goes,
// which ends its modal run, unless another modal window of the program is
// open over it (as Windows disables a modal dialog's owner); then the user
// closes it.
void CloseMainWindow() {
  CWnd* main = AfxGetMainWnd();
  if (main == nullptr || !::IsWindow(main->m_hWnd)) {
    ::PostQuitMessage(0);
    return;
  }
  if (main->IsWindowEnabled() && !kp::qt::IsBlockedByModalWindow(main->m_hWnd)) main->DestroyWindow();
}
}  // namespace

BOOL AfxOleInit() {
  if (g_bInitialized) return TRUE;
  if (FAILED(OleInitialize(nullptr))) return FALSE;
  g_bInitialized = true;
  // A local server's activation request is then served by whichever event
  // loop runs, the main dialog's modal loop included.
  kp::qt::InstallEventLoopFdWatcher();
  kp::afx::SetOleCloseMainWindowHandler(&CloseMainWindow);
  if (!g_bTermScheduled) {
    // The runtime's class-registration table comes into being on its first
    // use; using it here, before the exit handler is scheduled, means the
    // handler runs while that table still exists.
    CoRevokeClassObject(0);
    std::atexit(&TermAtExit);
    g_bTermScheduled = true;
  }
  return TRUE;
}

void AfxOleTerm(BOOL bJustRevoke) {
  AfxOleSetUserCtrl(TRUE);
  COleObjectFactory::RevokeAll(kp::afx::MainProgramInstance());
  if (bJustRevoke || !g_bInitialized) return;
  g_bInitialized = false;
  OleUninitialize();
}
