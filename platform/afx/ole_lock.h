#pragma once
// The lifetime of OLE servers: a lock count per module.
//
// Each module (the program, each control module) counts the locks on it:
// every object a class factory made holds one until it is destroyed, each
// IClassFactory::LockServer(TRUE) holds one, and code may take its own with
// AfxOleLockApp. The module argument defaults to the module the call is
// compiled into (AfxGetInstanceHandle has internal linkage, so the default
// is evaluated in the caller's module).
//
// When the program's last lock goes and the program is not under the
// user's control (it was started by an automation client), the program is
// put under the user's control and its main window, when enabled, is
// destroyed, which ends its modal run. A disabled main window (another
// modal dialog is open) stays; the program then ends when the user closes
// it. Control modules only count: DllCanUnloadNow reads their count.

#include "platform/base/module.h"
#include "platform/base/win_types.h"

void AfxOleLockApp(HINSTANCE hModule = AfxGetInstanceHandle());
void AfxOleUnlockApp(HINSTANCE hModule = AfxGetInstanceHandle());
// TRUE when no lock is held on the module.
BOOL AfxOleCanExitApp(HINSTANCE hModule = AfxGetInstanceHandle());
// The number of locks on the module.
LONG AfxOleGetLockCount(HINSTANCE hModule = AfxGetInstanceHandle());

// Whether the user controls the program: TRUE after a normal start, FALSE
// while an automation client that started it holds it.
void AfxOleSetUserCtrl(BOOL bUserCtrl);
BOOL AfxOleGetUserCtrl();

// What the release of the program's last lock does (see above); called by
// AfxOleUnlockApp.
void AfxOleOnReleaseAllObjects();

namespace kp::afx {
// The module instance of the main program.
HINSTANCE MainProgramInstance();
// What closes the main window when the last lock goes: destroys it when it
// is enabled, else leaves it. The application object installs it.
void SetOleCloseMainWindowHandler(void (*pfnClose)());
}  // namespace kp::afx
