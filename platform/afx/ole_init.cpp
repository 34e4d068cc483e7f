#include "platform/afx/ole_init.h"

#include <cstdlib>

#include "platform/afx/ole_factory.h"
#include "platform/afx/ole_lock.h"
#include "platform/com/com_runtime.h"

namespace {
bool g_bInitialized = false;
bool g_bTermScheduled = false;

void TermAtExit() { AfxOleTerm(FALSE); }
}  // namespace

BOOL AfxOleInit() {
  if (g_bInitialized) return TRUE;
  if (FAILED(OleInitialize(nullptr))) return FALSE;
  g_bInitialized = true;
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
